/* SPDX-License-Identifier: MIT */
/* The public header on its own, compiled as every C and C++ standard a
 * consumer may use, with and without <windows.h> before it. Compiling is the
 * test: nothing here runs. */
#if defined(_WIN32) && VELMORA_HEADER_TEST_WINDOWS_FIRST
#include <windows.h>
#endif
#include "velmora.h"

typedef int32_t(VELMORA_CALL *velmora_test_tester)(const velmora_char *);

int velmora_header_test(void);

int velmora_header_test(void)
{
    static const char version[] = VELMORA_VERSION_STRING;
    velmora_test_tester testers[5];
    testers[0] = has_NTFS_path_prefix;
    testers[1] = is_UNC_path;
    testers[2] = is_absolute;
    testers[3] = is_mask;
    testers[4] = 0;
#if defined(_WIN32) && VELMORA_HEADER_TEST_WINDOWS_FIRST
    {
        /* The platform's own record goes in as it is, without a cast. */
        WIN32_FILE_ATTRIBUTE_DATA record;
        if (get_file_attr(L"C:\\", &record) && record.dwFileAttributes == 0) return 1;
    }
#endif
    return (int)sizeof version + VELMORA_VERSION_MAJOR + VELMORA_VERSION_MINOR +
           VELMORA_VERSION_PATCH + (testers[0] != 0) + (get_err_code() == err_none);
}
