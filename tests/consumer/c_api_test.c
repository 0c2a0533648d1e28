/* SPDX-License-Identifier: MIT */
/* The public header compiled as C99, calling the library as a C program does. */
#include <stdio.h>

#if defined(_WIN32)
#include <windows.h> /* the attribute record's layout */
#endif
#include "velmora.h"

static int failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);                \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static int same(const velmora_char *a, const velmora_char *b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

/* Calls in a loop, outside main (which keeps a frame pointer): were the
 * caller and the library to disagree on who pops the arguments, the stack
 * would drift with every call and this function would return wrongly. */
#if defined(__GNUC__)
__attribute__((noinline))
#endif
static int32_t
calls_in_a_loop(const velmora_char *path, int count)
{
    int32_t total = 0;
    int i;
    for (i = 0; i < count; ++i)
        total += is_absolute(path) + (get_file_part(path) != NULL) + is_mask(path);
    return total;
}

int main(void)
{
    static const velmora_char path[] = {'C', ':', '\\', 'd', 'i', 'r', 0};
    static const velmora_char name[] = {'x', 0};
    static const velmora_char joined[] = {'C', ':', '\\', 'd', 'i', 'r', '\\', 'x', 0};
    velmora_char out[16];

    CHECK(get_err_code() == err_none);
    CHECK(is_absolute(path) == 1);
    CHECK(get_file_part(path) == path + 3);
    CHECK(path_push(path, name, out, 16) == 1 && same(out, joined));
    CHECK(path_push(path, name, out, 8) == 0 && get_err_code() == err_buffer_small);
    CHECK(get_error_text(err_buffer_small) != NULL);
    CHECK(get_error_text(5) == NULL);
    CHECK(sizeof(velmora_char) == 2);
    CHECK(sizeof(velmora_file_attributes) == 36);
    CHECK(calls_in_a_loop(path, 1000) == 2000);

    printf("c_api_test: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
