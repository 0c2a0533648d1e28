/* The public header compiled as C99, calling the library as a C program does. */
#include <stdio.h>

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

    printf("c_api_test: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
