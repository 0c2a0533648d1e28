/* SPDX-License-Identifier: MIT */
/* Runs the README's C examples (readme_examples.c, made from the README) in
 * a folder that holds the C:\data the file-system example asks about, and
 * fails naming each README line whose shown answer is not the one given. */
#include <stdio.h>
#include <string.h>
#if defined(_WIN32)
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "readme_examples.h"

static int failures;

static void show(const wchar_t *text)
{
    if (!text) {
        fputs("null", stderr);
        return;
    }
    fputc('"', stderr);
    for (; *text; ++text) {
        if (*text < 128)
            fputc((char)*text, stderr);
        else
            fprintf(stderr, "\\u%04x", (unsigned)*text);
    }
    fputc('"', stderr);
}

static int same(const wchar_t *a, const wchar_t *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

void expect_number(int line, int32_t got, int32_t want)
{
    if (got == want) return;
    ++failures;
    fprintf(stderr, "README.md:%d: gave %ld, the README shows %ld\n", line, (long)got, (long)want);
}

void expect_null(int line, const wchar_t *got)
{
    if (!got) return;
    ++failures;
    fprintf(stderr, "README.md:%d: gave ", line);
    show(got);
    fputs(", the README shows null\n", stderr);
}

void expect_text(int line, const wchar_t *got, const wchar_t *want)
{
    if (got && same(got, want)) return;
    ++failures;
    fprintf(stderr, "README.md:%d: gave ", line);
    show(got);
    fputs(", the README shows ", stderr);
    show(want);
    fputc('\n', stderr);
}

int main(void)
{
    /* On POSIX hosts "C:\data" is one name, in the working folder. */
#if defined(_WIN32)
    _mkdir("C:\\data");
#else
    mkdir("C:\\data", 0755);
#endif
    readme_examples();
#if defined(_WIN32)
    _rmdir("C:\\data");
#else
    rmdir("C:\\data");
#endif
    if (failures) fprintf(stderr, "%d README example(s) answer otherwise\n", failures);
    return failures ? 1 : 0;
}
