// SPDX-License-Identifier: MIT
#include "platform.h"

#include "utf8.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#endif

namespace velmora::cli {

std::vector<std::string> utf8_arguments(int argc, char **argv)
{
#if defined(_WIN32)
    // The command line is UTF-16 on Windows; take it as it is.
    (void)argc, (void)argv;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i)
        out.push_back(to_utf8(reinterpret_cast<const velmora_char *>(wide[i])));
    LocalFree(wide);
    return out;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

void use_binary_standard_streams()
{
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace velmora::cli
