/* SPDX-License-Identifier: MIT */
/* Splits a path into its parts: built with find_package(velmora). */
#include <stdio.h>

#include <velmora.h>

static void print(const char *label, const velmora_char *text)
{
    printf("%s: ", label);
    for (; text && *text; ++text)
        putchar(*text < 128 ? (char)*text : '?');
    putchar('\n');
}

int main(void)
{
    static const velmora_char path[] = {'\\', '\\', '?', '\\', 'C', ':', '\\', 'l', 'o', 'g',
                                        's',  '\\', 'a', 'p',  'p', '.', 'l',  'o', 'g', 0};
    velmora_char parent[32];

    print("path", path);
    print("drive", get_drive_part(path));
    print("below the first component", get_path_part(path));
    print("file", get_file_part(path));
    if (!path_pop(path, parent, 31)) return 1;
    print("parent", parent);
    return get_err_code() == err_none ? 0 : 1;
}
