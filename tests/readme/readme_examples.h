/* SPDX-License-Identifier: MIT */
/* What the README's C examples take for granted: the header, the C runtime's
 * locale, Windows' wide literals and attribute record, and the checks that
 * extract_c_examples.cmake makes of their shown answers. */
#ifndef VELMORA_README_EXAMPLES_H
#define VELMORA_README_EXAMPLES_H

#if defined(_WIN32)
#include <windows.h>
#endif
#include <locale.h>
#include <stddef.h>

#include "velmora.h"

/* Elsewhere the examples' L"..." are 16-bit by -fshort-wchar, and the record
 * is the header's stand-in of the same layout. */
#if !defined(_WIN32)
typedef velmora_file_attributes WIN32_FILE_ATTRIBUTE_DATA;
#endif

void expect_number(int line, int32_t got, int32_t want);
void expect_null(int line, const wchar_t *got);
void expect_text(int line, const wchar_t *got, const wchar_t *want);

void readme_examples(void);

#endif
