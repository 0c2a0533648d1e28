// SPDX-License-Identifier: MIT
#include "library_info.h"

#include "scan/kernel_sets.h"
#include "utf8.h"
#include "velmora.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#endif

namespace velmora::cli {
namespace {

// Any export serves to find the module that holds them all.
[[maybe_unused]] void *an_export() { return reinterpret_cast<void *>(&get_err_code); }

#if defined(_WIN32)

[[maybe_unused]] std::string resource_version(const wchar_t *path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return "unknown version";
    std::string block(size, '\0');
    VS_FIXEDFILEINFO *info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path, 0, size, &block[0]) ||
        !VerQueryValueW(&block[0], L"\\", reinterpret_cast<void **>(&info), &length) || !info)
        return "unknown version";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS));
}

#endif

} // namespace

std::string loaded_library()
{
#if defined(VELMORA_STATIC)
    // Linked into the tool, the library is the header's own version.
    return VELMORA_VERSION_STRING " (linked into the tool)";
#elif defined(_WIN32)
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(an_export()), &module))
        return "unknown";
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(module, path, sizeof path / sizeof path[0]);
    if (length == 0 || length == sizeof path / sizeof path[0]) return "unknown";
    return resource_version(path) + " (" + to_utf8(path) + ")";
#else
    Dl_info info{};
    if (!dladdr(an_export(), &info) || !info.dli_fname) return "unknown";
    char real[PATH_MAX];
    const std::string path = realpath(info.dli_fname, real) ? real : info.dli_fname;
    const std::string marker = ".so.";
    const std::size_t at = path.rfind(marker);
    const std::string version =
        at == std::string::npos ? "unknown version" : path.substr(at + marker.size());
    return version + " (" + path + ")";
#endif
}

const char *scanner_set() { return velmora::scanners::best().name; }

} // namespace velmora::cli
