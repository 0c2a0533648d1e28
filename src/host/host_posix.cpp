// SPDX-License-Identifier: MIT
// The host layer on POSIX systems: C runtime calls, and stand-ins for the
// Windows calls that reproduce their answers.
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <memory>

#include <fcntl.h>
#include <langinfo.h>
#include <limits.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/utf8.h"
#include "host/fold_tables.h"
#include "host/host.h"

namespace velmora::host {
namespace {

struct free_deleter {
    void operator()(char *p) const { std::free(p); }
};

} // namespace

bool runtime_is_alpha(unit c) { return std::iswalpha(static_cast<std::wint_t>(c)) != 0; }

std::uint32_t to_upper(unit c)
{
    return static_cast<std::uint32_t>(std::towupper(static_cast<std::wint_t>(c)));
}

#if defined(__GLIBC__)
} // namespace velmora::host

// Counts the changes of the global locale: every setlocale adds one.
extern "C" int _nl_msg_cat_cntr;

namespace velmora::host {
namespace {

// The global locale's upper-case table, asked of the runtime again only after
// a setlocale.
std::atomic<int> global_table_change{-1};
std::atomic<const void *> global_table{nullptr};

const void *global_upper_case_table()
{
    const int change = _nl_msg_cat_cntr;
    if (global_table_change.load(std::memory_order_acquire) == change)
        return global_table.load(std::memory_order_relaxed);
    const void *table = nl_langinfo(_NL_CTYPE_TOUPPER);
    global_table.store(table, std::memory_order_relaxed);
    global_table_change.store(change, std::memory_order_release);
    return table;
}

} // namespace

// Which upper-case table is in force in the calling thread's locale: a
// pointer into the locale's own data, so it changes whenever the mapping can.
// A thread's own locale (uselocale) carries it; the global one is asked once
// per setlocale.
const void *current_upper_case_table()
{
    const locale_t own = uselocale(nullptr);
    if (own != LC_GLOBAL_LOCALE) return own->__ctype_toupper - 128;
    return global_upper_case_table();
}
#else
const void *current_upper_case_table()
{
    return reinterpret_cast<const void *>(std::wctrans("toupper"));
}
#endif

namespace {
fold_tables ascii_tables;
}

void upper_case::take_ascii_table() const
{
    taken_ = true;
    const void *table = current_upper_case_table();
    if (!table) return;
    ascii_ = ascii_tables.find(reinterpret_cast<std::uintptr_t>(table));
}

std::size_t platform_working_directory(unit *out, std::size_t room)
{
    char inline_room[4096];
    const char *directory = getcwd(inline_room, sizeof inline_room);
    std::unique_ptr<char, free_deleter> large;
    if (!directory && errno == ERANGE) {
        large.reset(getcwd(nullptr, 0));
        directory = large.get();
    }
    if (!directory) return 0;
    // Whatever bytes the system holds, the directory still reaches the masks.
    return utf8::to_utf16(directory, std::strlen(directory), out, room, utf8::policy::lenient)
        .length;
}

namespace {

thread_local std::uint32_t thread_last_error = 0;

bool fail_with(std::uint32_t error)
{
    thread_last_error = error;
    return false;
}

// Windows errors that have no name in the library.
constexpr std::uint32_t error_gen_failure = 31;
constexpr std::uint32_t error_cant_resolve_filename = 1921;

// A path converted to the host's UTF-8, or the Windows error that stops it:
// a lone surrogate is not a name here, and no name is longer than PATH_MAX.
class native_path {
  public:
    explicit native_path(const unit *path)
    {
        const text_view name(path);
        const utf8::outcome made = utf8::to_utf8(name.data(), name.size(), bytes_,
                                                 sizeof bytes_ - 1, utf8::policy::strict);
        if (made.length >= sizeof bytes_) {
            error_ = os_error::filename_exced_range;
        } else if (made.stopped != utf8::fault::none) {
            error_ = os_error::invalid_name;
        } else if (made.length == 0) {
            error_ = os_error::path_not_found;
        }
        bytes_[made.length < sizeof bytes_ ? made.length : 0] = 0;
    }

    const char *c_str() const { return bytes_; }
    std::uint32_t error() const { return error_; }

  private:
    char bytes_[PATH_MAX];
    std::uint32_t error_ = 0;
};

bool is_directory_at(const char *path)
{
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// Windows tells a missing last component (file not found) from a missing
// directory on the way (path not found); POSIX says ENOENT for both.
bool parent_is_directory(const char *path)
{
    char parent[PATH_MAX];
    std::size_t end = std::strlen(path);
    std::memcpy(parent, path, end + 1);
    while (end > 1 && parent[end - 1] == '/')
        --end;
    while (end > 0 && parent[end - 1] != '/')
        --end;
    if (end == 0) return is_directory_at(".");
    while (end > 1 && parent[end - 1] == '/')
        --end;
    parent[end] = 0;
    return is_directory_at(parent);
}

std::uint32_t windows_error(int error, const char *path)
{
    switch (error) {
    case ENOENT:
        return parent_is_directory(path) ? os_error::file_not_found : os_error::path_not_found;
    case ENOTDIR:
        return os_error::path_not_found;
    case EACCES:
    case EPERM:
        return os_error::access_denied;
    case ENAMETOOLONG:
        return os_error::filename_exced_range;
    case ELOOP:
        return error_cant_resolve_filename;
    default:
        return error_gen_failure;
    }
}

// 100 ns units since 1601-01-01 UTC; earlier times read as the epoch itself.
velmora_filetime filetime(std::int64_t seconds, std::int64_t nanoseconds)
{
    constexpr std::int64_t seconds_from_1601_to_1970 = 11644473600;
    const std::int64_t since_1601 = seconds + seconds_from_1601_to_1970;
    const std::uint64_t ticks = since_1601 < 0
                                    ? 0
                                    : static_cast<std::uint64_t>(since_1601) * 10000000u +
                                          static_cast<std::uint64_t>(nanoseconds / 100);
    return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

std::uint32_t attributes_of(mode_t mode)
{
    std::uint32_t attributes = 0;
    if (S_ISDIR(mode)) attributes |= file_attribute::directory;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= file_attribute::readonly;
    return attributes ? attributes : file_attribute::normal;
}

void fill_size(velmora_file_attributes &record, std::uint64_t size)
{
    record.nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    record.nFileSizeLow = static_cast<std::uint32_t>(size);
}

} // namespace

static_assert(sizeof(attribute_record) == sizeof(velmora_file_attributes) &&
                  offsetof(attribute_record, nFileSizeLow) ==
                      offsetof(velmora_file_attributes, nFileSizeLow),
              "attribute_record must be laid out as velmora_file_attributes");

bool get_file_attributes(const unit *path, velmora_file_attributes *record)
{
    const native_path native(path);
    if (native.error()) return fail_with(native.error());
#if defined(__linux__) && defined(STATX_BTIME)
    struct statx status;
    if (statx(AT_FDCWD, native.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0)
        return fail_with(windows_error(errno, native.c_str()));
    const auto time = [](const struct statx_timestamp &t) { return filetime(t.tv_sec, t.tv_nsec); };
    record->dwFileAttributes = attributes_of(status.stx_mode);
    record->ftCreationTime =
        time((status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_ctime);
    record->ftLastAccessTime = time(status.stx_atime);
    record->ftLastWriteTime = time(status.stx_mtime);
    fill_size(*record, status.stx_size);
#else
    struct stat status;
    if (stat(native.c_str(), &status) != 0) return fail_with(windows_error(errno, native.c_str()));
    const auto time = [](const struct timespec &t) { return filetime(t.tv_sec, t.tv_nsec); };
    record->dwFileAttributes = attributes_of(status.st_mode);
    record->ftCreationTime = time(status.st_ctim);
    record->ftLastAccessTime = time(status.st_atim);
    record->ftLastWriteTime = time(status.st_mtim);
    fill_size(*record, static_cast<std::uint64_t>(status.st_size));
#endif
    return true;
}

bool open_existing_file(const unit *path, file_handle &handle)
{
    const native_path native(path);
    if (native.error()) return fail_with(native.error());
        // With O_PATH no access is asked for: an unreadable file still opens,
        // as on Windows.
#if defined(O_PATH)
    const int descriptor = open(native.c_str(), O_PATH | O_CLOEXEC);
#else
    const int descriptor = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
    if (descriptor < 0) return fail_with(windows_error(errno, native.c_str()));
    struct stat status;
    if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(descriptor);
        return fail_with(os_error::access_denied);
    }
    handle.value = descriptor;
    return true;
}

void close_file(file_handle handle) { close(static_cast<int>(handle.value)); }

std::uint32_t last_error() { return thread_last_error; }

} // namespace velmora::host
