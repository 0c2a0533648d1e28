/*
 * velmora: Windows file-system paths as 16-bit wide text.
 *
 * Every text is a zero-terminated string of 16-bit units (UTF-16 as on
 * Windows). Lengths, sizes and positions count those units. The caller owns
 * every input string and every output buffer; the library never allocates for
 * the caller and keeps no pointer after a call returns.
 *
 * Results: functions answering yes/no or success/failure return 1 or 0. A
 * failure stores a code in one process-wide slot, read back with
 * get_err_code(); nothing ever clears it, so it holds the last code stored.
 * Functions that only test text never store a code.
 *
 * Writers and their size argument: dst is either the very same address as the
 * input path (the in-place form) or a buffer overlapping no input. Each writer
 * checks the size before it writes anything; on failure it stores
 * err_buffer_small and leaves dst untouched. Null pointer arguments never
 * crash: tests answer 0, getters return null, writers and file queries fail
 * with err_not_path.
 */
#ifndef VELMORA_H
#define VELMORA_H

#include <stdint.h>

#if defined(_WIN32)
#include <wchar.h>
#include <windows.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One export macro: dllexport while building, dllimport for DLL users, and
 * default visibility elsewhere (everything else in the library is hidden). */
#if defined(_WIN32)
#if defined(VELMORA_BUILDING)
#define VELMORA_API __declspec(dllexport)
#elif defined(VELMORA_STATIC)
#define VELMORA_API
#else
#define VELMORA_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define VELMORA_API __attribute__((visibility("default")))
#else
#define VELMORA_API
#endif

/* ---- Text ---------------------------------------------------------------- */

/* A 16-bit text unit: wchar_t on Windows, char16_t (uint_least16_t in C)
 * elsewhere. VELMORA_TEXT("C:\\dir") spells a literal of that type. */
#if defined(_WIN32)
typedef wchar_t velmora_char;
#define VELMORA_TEXT(s) L##s
#elif defined(__cplusplus)
typedef char16_t velmora_char;
#define VELMORA_TEXT(s) u##s
#else
typedef uint_least16_t velmora_char;
#if defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define VELMORA_TEXT(s) u##s
#endif
#endif

/* ---- Error codes ---------------------------------------------------------- */

enum velmora_error {
    err_none = 0,          /* "No error": nothing stored since load */
    err_not_path = 1,      /* "The string is not conformed path" */
    err_buffer_small = 2,  /* "Buffer is too small": a size check failed */
    err_undefined = 3,     /* "The error code is undefined": an unmapped OS error */
    err_file_not_found = 4 /* "File not found" */
};

/* ---- File attribute record ----------------------------------------------- */

/* The platform's WIN32_FILE_ATTRIBUTE_DATA; elsewhere a struct of the same
 * 36-byte layout and field names. Times are FILETIMEs (100 ns units since
 * 1601-01-01 UTC); the size is split into two 32-bit halves. */
#if defined(_WIN32)
typedef WIN32_FILE_ATTRIBUTE_DATA velmora_file_attributes;
#else
typedef struct velmora_filetime {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
} velmora_filetime;

typedef struct velmora_file_attributes {
    uint32_t dwFileAttributes;
    velmora_filetime ftCreationTime;
    velmora_filetime ftLastAccessTime;
    velmora_filetime ftLastWriteTime;
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
} velmora_file_attributes;
#endif

/* ---- Error state ----------------------------------------------------------- */

/* The last code stored by any thread since load (err_none if none). */
VELMORA_API int32_t get_err_code(void);

/* English text for codes 0 to 4, null for any other code. The text is static:
 * never modify or free it. get_error_text(err_buffer_small) is "Buffer is too
 * small". */
VELMORA_API const velmora_char *get_error_text(int32_t code);

/* ---- Long-path and UNC prefixes -------------------------------------------- */

/* 1 if path begins with "\\?\" (exactly, with backslashes), else 0. */
VELMORA_API int32_t has_NTFS_path_prefix(const velmora_char *path);

/* 1 if path begins with "\\", "\\?\UNC\" or "UNC\", else 0. Every long-path
 * text counts, so "\\?\C:\dir" gives 1. */
VELMORA_API int32_t is_UNC_path(const velmora_char *path);

/* Writes path without a leading "\\?\" to dst; dst holds size + 1 units.
 * Fails with err_buffer_small when the length of path exceeds size. After the
 * result, dst is null-filled through position size - 1.
 * "\\?\C:\a" -> "C:\a"; "\\?\UNC\srv\x" -> "UNC\srv\x". */
VELMORA_API int32_t rem_NTFS_path_prefix(const velmora_char *path, velmora_char *dst,
                                         uint32_t size);

/* Writes path without its UNC prefix ("\\?\UNC\", "UNC\" or "\\") to dst; a
 * long-path drive path such as "\\?\C:\dir" is copied unchanged. Size rule and
 * null filling as rem_NTFS_path_prefix: the whole length of path counts.
 * "\\server\share" -> "server\share". */
VELMORA_API int32_t rem_UNC_path_prefix(const velmora_char *path, velmora_char *dst, uint32_t size);

/* Writes "\\?\" followed by path to dst (path unchanged, null-filled, when it
 * already has the prefix); dst holds size + 1 units. Fails with
 * err_buffer_small when length(path) + 4 exceeds size, even when nothing
 * would be added. "C:\a" with size 8 -> "\\?\C:\a". */
VELMORA_API int32_t add_NTFS_path_prefix(const velmora_char *path, velmora_char *dst,
                                         uint32_t size);

/* ---- Path components ------------------------------------------------------ */

/* Pointer to the drive letter (the alphabetic character before the first
 * colon, by the C runtime's classification), or null.
 * "\\?\C:\dir" -> "C:\dir"; "1:\x", ":x" and "\\srv\share" -> null. */
VELMORA_API const velmora_char *get_drive_part(const velmora_char *path);

/* 1 if get_drive_part(path) is not null, else 0. */
VELMORA_API int32_t is_absolute(const velmora_char *path);

/* Pointer past the last backslash or slash, or null when there is none.
 * "C:\dir\file.txt" -> "file.txt"; "C:\dir\" -> "" (its terminator). */
VELMORA_API const velmora_char *get_file_part(const velmora_char *path);

/* For a long-path or UNC path, pointer to what follows its first component
 * once the prefix is stripped; null for other paths or no such part.
 * "\\?\C:\dir\file" -> "dir\file"; "\\server\share\dir" -> "share\dir".
 * Stores err_buffer_small (and returns null) for a prefixed path longer than
 * 32,767 units, as the prefix removal does. */
VELMORA_API const velmora_char *get_path_part(const velmora_char *path);

/* Writes path without its last separator and what follows; dst holds
 * size + 1 units. Fails with err_buffer_small when the kept part is longer
 * than size (in place, size is not consulted) and with err_not_path when
 * path has no separator. "C:\dir\file" -> "C:\dir". */
VELMORA_API int32_t path_pop(const velmora_char *path, velmora_char *dst, uint32_t size);

/* Writes base, a backslash unless base ends with a separator or is empty, and
 * name to dst; dst holds size units, terminator included. Fails with
 * err_buffer_small when length(base) + length(name) + 2 exceeds size.
 * "C:\dir" + "file" with size 12 -> "C:\dir\file". */
VELMORA_API int32_t path_push(const velmora_char *base, const velmora_char *name, velmora_char *dst,
                              uint32_t size);

/* ---- Wildcard masks --------------------------------------------------------- */

/* 1 if text contains '*' or '?' anywhere, else 0. */
VELMORA_API int32_t is_mask(const velmora_char *text);

/* 1 if path matches mask, else 0; never stores a code. '*' stands for any
 * run, '?' for one unit, case is ignored. A mask without separators is
 * matched against the name after the path's last backslash ("*.LOG" matches
 * "C:\logs\app.log"); any other mask is completed from the working directory
 * unless its 2nd or 6th unit is a colon, and compared component by component,
 * the first three units of both dropped (so drive letters are not compared).
 * A path deeper than the mask matches when its leading components do. */
VELMORA_API int32_t path_mask_cmp(const velmora_char *path, const velmora_char *mask);

/* ---- File-system queries ---------------------------------------------------- */

/* Whether a file (not a directory) can be opened at path. Found: *exists = 1,
 * returns 1. Not found (the file or a directory on the way): *exists = 0,
 * returns 1 and stores err_file_not_found. Otherwise returns 0 with
 * err_undefined and leaves *exists untouched. */
VELMORA_API int32_t file_exist(const velmora_char *path, int32_t *exists);

/* Fills *record with path's attributes and returns 1; on failure returns 0
 * with err_file_not_found (missing last component) or err_undefined. */
VELMORA_API int32_t get_file_attr(const velmora_char *path, velmora_file_attributes *record);

/* On success stores 16 (a directory) or 0 in *is_dir and returns 1; fails as
 * get_file_attr does, leaving *is_dir untouched. */
VELMORA_API int32_t is_directory(const velmora_char *path, int32_t *is_dir);

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_H */
