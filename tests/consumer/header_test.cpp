// SPDX-License-Identifier: MIT
// The header test's C text, compiled as C++.
#include "header_test.c"
