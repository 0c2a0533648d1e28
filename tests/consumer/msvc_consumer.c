/* SPDX-License-Identifier: MIT */
/* A consumer as an MSVC-target compiler builds it: the header alone, no C
 * runtime, linked against velmora.lib and nothing else. With nothing to print
 * through, it answers by its exit status: 0 when every answer is right, else
 * the number of the first wrong check. */
#include "velmora.h"

static int same(const velmora_char *a, const velmora_char *b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

int consumer_main(void);

int consumer_main(void)
{
    velmora_char out[32];
    int check = 0;
#define CHECK(condition)                                                                           \
    do {                                                                                           \
        ++check;                                                                                   \
        if (!(condition)) return check;                                                            \
    } while (0)
    CHECK(get_err_code() == err_none);
    CHECK(has_NTFS_path_prefix(L"\\\\?\\C:\\dir") == 1);
    CHECK(is_UNC_path(L"\\\\server\\share") == 1);
    CHECK(add_NTFS_path_prefix(L"C:\\a", out, 31) == 1 && same(out, L"\\\\?\\C:\\a"));
    CHECK(rem_UNC_path_prefix(L"\\\\?\\UNC\\srv\\x", out, 31) == 1 && same(out, L"srv\\x"));
    CHECK(same(get_file_part(L"C:\\dir\\file.txt"), L"file.txt"));
    CHECK(same(get_path_part(L"\\\\?\\C:\\dir\\file"), L"dir\\file"));
    CHECK(path_push(L"C:\\dir", L"x", out, 32) == 1 && same(out, L"C:\\dir\\x"));
    CHECK(path_push(L"C:\\dir", L"x", out, 8) == 0 && get_err_code() == err_buffer_small);
    CHECK(path_mask_cmp(L"C:\\data\\app.log", L"*.LOG") == 1);
    CHECK(is_mask(L"readme.md") == 0);
    CHECK(same(get_error_text(err_buffer_small), L"Buffer is too small"));
    return 0;
}
