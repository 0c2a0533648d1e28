/* SPDX-License-Identifier: MIT */
/* A short tour of velmora: a few calls and what they answer. */
#include <stdio.h>

#include "velmora.h"

/* Prints 16-bit text; the tour's texts are ASCII. */
static void print_text(const char *label, const velmora_char *text)
{
    printf("%-44s ", label);
    if (!text) {
        printf("(null)\n");
        return;
    }
    for (; *text; ++text)
        putchar(*text < 128 ? (char)*text : '?');
    putchar('\n');
}

static const velmora_char sample[] = {'C', ':', '\\', 'd', 'a', 't', 'a', '\\',
                                      'a', 'p', 'p',  '.', 'l', 'o', 'g', 0};
static const velmora_char unc[] = {'\\', '\\', 's', 'r',  'v', '\\', 's', 'h',
                                   'a',  'r',  'e', '\\', 'd', 'i',  'r', 0};
static const velmora_char name[] = {'b', 'a', 'c', 'k', 'u', 'p', 0};

int main(void)
{
    velmora_char buffer[64];

    print_text("path", sample);
    print_text("get_file_part(path)", get_file_part(sample));
    print_text("get_drive_part(path)", get_drive_part(sample));
    printf("%-44s %d\n", "is_absolute(path)", (int)is_absolute(sample));
    if (add_NTFS_path_prefix(sample, buffer, 63)) print_text("add_NTFS_path_prefix(path)", buffer);
    if (path_pop(sample, buffer, 63)) print_text("path_pop(path)", buffer);
    if (path_push(buffer, name, buffer, 64)) print_text("path_push(popped, \"backup\")", buffer);
    print_text("UNC path", unc);
    printf("%-44s %d\n", "is_UNC_path(UNC path)", (int)is_UNC_path(unc));
    print_text("get_path_part(UNC path)", get_path_part(unc));
    if (!path_push(sample, name, buffer, 8)) {
        printf("%-44s failed with code %d\n", "path_push(path, \"backup\") into 8 units",
               (int)get_err_code());
        print_text("get_error_text(get_err_code())", get_error_text(get_err_code()));
    }
    return 0;
}
