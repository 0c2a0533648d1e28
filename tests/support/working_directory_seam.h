// SPDX-License-Identifier: MIT
// The seam through which tests, fuzz targets and benchmarks choose the
// working directory that the library sees. It lives in the tests' archive
// (working_directory_seam.cpp) and never in the library.
#pragma once

#include "host/host.h"

namespace velmora::host {

// Makes working_directory() report `text` until called with null. The text
// must stay alive meanwhile.
void override_working_directory(const unit *text);

} // namespace velmora::host
