// SPDX-License-Identifier: MIT
// The file-system queries: the host's answers classified into the library's
// codes. Paths go to the host unchanged.
#include "core/error.h"
#include "host/host.h"

using namespace velmora;

extern "C" {

int32_t get_file_attr(const velmora_char *path, velmora_file_attributes *record)
{
    if (!path || !record) return fail(err_not_path);
    if (host::get_file_attributes(path, record)) return 1;
    // A missing directory on the way is not "file not found" here.
    return fail(host::last_error() == host::os_error::file_not_found ? err_file_not_found
                                                                     : err_undefined);
}

int32_t is_directory(const velmora_char *path, int32_t *is_dir)
{
    if (!is_dir) return fail(err_not_path);
    host::attribute_record attributes;
    if (!get_file_attr(path, attributes.platform())) return 0;
    *is_dir = static_cast<int32_t>(attributes.dwFileAttributes & host::file_attribute::directory);
    return 1;
}

int32_t file_exist(const velmora_char *path, int32_t *exists)
{
    if (!path || !exists) return fail(err_not_path);
    host::file_handle handle;
    if (host::open_existing_file(path, handle)) {
        host::close_file(handle);
        *exists = 1;
        return 1;
    }
    const std::uint32_t error = host::last_error();
    if (error == host::os_error::file_not_found || error == host::os_error::path_not_found) {
        // "Not there" is an answer, and it still leaves its code.
        set_err_code(err_file_not_found);
        *exists = 0;
        return 1;
    }
    return fail(err_undefined);
}

} // extern "C"
