/* SPDX-License-Identifier: MIT */
/*
 * The tool's exit statuses, one line each:
 *
 *   VELMORA_EXIT_STATUS(id, value, after one call, after batch mode)
 *
 * The constants in call.h, the exit-status paragraph of `velmora --help` and
 * the manual page's EXIT STATUS are made from these lines, and the README's
 * shell check holds the README's paragraph to the help's. Batch mode ends
 * with the highest status any of its lines had. Each line stays on one line,
 * its texts without double quotes, backslashes or semicolons, so that
 * tools/extract_contracts.cmake reads it too.
 */
/* clang-format off */
VELMORA_EXIT_STATUS(exit_true, 0, "success or true", "every line succeeded")
VELMORA_EXIT_STATUS(exit_false, 1, "failure, false or no such part", "any line failed or answered false and none was a usage error")
VELMORA_EXIT_STATUS(exit_usage, 2, "a usage error", "any line was a usage error")
/* clang-format on */
