// SPDX-License-Identifier: MIT
// The host layer on Windows: the C runtime and kernel32, called directly.
#include <windows.h>

#include <ctype.h>
#include <direct.h>
#include <errno.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstddef>

#include "host/fold_tables.h"
#include "host/host.h"

// msvcrt's locale handles by category; exported, though no header declares it.
extern "C" __declspec(dllimport) unsigned int *__cdecl ___lc_handle_func(void);

namespace velmora::host {

bool runtime_is_alpha(unit c) { return iswctype(c, _ALPHA) != 0; }

std::uint32_t to_upper(unit c) { return towupper(c); }

// The C runtime's towupper maps by the locale handle (LCID) of LC_CTYPE in
// force for the calling thread: the C locale's handle 0 maps a to z alone,
// any other maps as the platform does for that handle. The same handle means
// the same mapping, so it names the ASCII table.
namespace {
fold_tables ascii_tables;
}

void upper_case::take_ascii_table() const
{
    taken_ = true;
    const std::uintptr_t handle = ___lc_handle_func()[LC_CTYPE];
    // Slot keys are non-zero: the C locale's handle is kept as one past it.
    ascii_ = ascii_tables.find(handle + 1);
}

std::size_t platform_working_directory(unit *out, std::size_t room)
{
    const int capped = static_cast<int>(std::min<std::size_t>(room, long_path_max));
    if (_wgetcwd(out, capped)) return wcslen(out);
    // The C runtime does not say how much room it needs; the platform's
    // longest path always fits.
    return errno == ERANGE && room < long_path_max ? long_path_max : 0;
}

static_assert(sizeof(attribute_record) == sizeof(WIN32_FILE_ATTRIBUTE_DATA) &&
                  offsetof(attribute_record, dwFileAttributes) ==
                      offsetof(WIN32_FILE_ATTRIBUTE_DATA, dwFileAttributes) &&
                  offsetof(attribute_record, nFileSizeLow) ==
                      offsetof(WIN32_FILE_ATTRIBUTE_DATA, nFileSizeLow),
              "attribute_record must be laid out as WIN32_FILE_ATTRIBUTE_DATA");

bool get_file_attributes(const unit *path, velmora_file_attributes *record)
{
    return GetFileAttributesExW(path, GetFileExInfoStandard, record) == TRUE;
}

bool open_existing_file(const unit *path, file_handle &handle)
{
    const HANDLE opened = CreateFileW(path, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    handle.value = reinterpret_cast<std::intptr_t>(opened);
    return true;
}

void close_file(file_handle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle.value)); }

std::uint32_t last_error() { return GetLastError(); }

} // namespace velmora::host

// The library keeps no per-thread state, so thread notifications are wasted
// work for every thread the process starts.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
