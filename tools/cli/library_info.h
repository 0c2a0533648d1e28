// SPDX-License-Identifier: MIT
// What `velmora --version` says of the library the tool runs with, so that a
// bug report carries it.
#pragma once

#include <string>

namespace velmora::cli {

// The version of the library this process loaded and the file it came
// from: on Windows from the DLL's version resource, elsewhere from the
// shared object's file name (libvelmora.so.MAJOR.MINOR.PATCH); a static
// build says the library is linked into the tool.
std::string loaded_library();

// The name of the scanner set the library's scan engine chooses on this
// processor and system. The tool links the engine's own choice, built from
// the same sources as the library it ships with; the library keeps the set
// it installed to itself.
const char *scanner_set();

} // namespace velmora::cli
