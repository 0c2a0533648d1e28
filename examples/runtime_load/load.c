/* SPDX-License-Identifier: MIT */
/* Loads the library at run time by name, without its header, as programs in
 * other languages do: resolve the export, call it with 16-bit text. */
#include <stdint.h>
#include <stdio.h>

#if defined(_WIN32)
#include <windows.h>
#define LIBRARY_NAME "velmora.dll"
#else
#include <dlfcn.h>
#define LIBRARY_NAME "libvelmora.so.1"
#endif

typedef uint16_t unit16;
typedef const unit16 *(*get_file_part_fn)(const unit16 *);

int main(int argc, char **argv)
{
    const char *library = argc > 1 ? argv[1] : LIBRARY_NAME;
    static const unit16 path[] = {'C', ':', '\\', 'd', 'i', 'r', '\\', 'f', 'i', 'l', 'e', 0};
#if defined(_WIN32)
    HMODULE handle = LoadLibraryA(library);
    get_file_part_fn get_file_part =
        handle ? (get_file_part_fn)(void *)GetProcAddress(handle, "get_file_part") : NULL;
#else
    void *handle = dlopen(library, RTLD_NOW);
    get_file_part_fn get_file_part = NULL;
    if (handle) *(void **)&get_file_part = dlsym(handle, "get_file_part");
#endif
    if (!get_file_part) {
        fprintf(stderr, "cannot load get_file_part from %s\n", library);
        return 1;
    }
    const unit16 *file = get_file_part(path);
    printf("get_file_part found the name at offset %d\n", (int)(file - path));
    return file == path + 7 ? 0 : 1;
}
