// The host layer on Windows: the C runtime and kernel32, called directly.
#include <windows.h>

#include <ctype.h>
#include <wctype.h>

#include "host/host.h"

namespace velmora::host {

bool is_alpha(unit c) { return iswctype(c, _ALPHA) != 0; }

std::uint32_t to_upper(unit c) { return towupper(c); }

} // namespace velmora::host

// The library keeps no per-thread state, so thread notifications are wasted
// work for every thread the process starts.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
