/* SPDX-License-Identifier: MIT */
/*
 * The library's exports, one line each, in the order of their ordinals:
 *
 *   VELMORA_EXPORT(name, ordinal, kind, (example arguments), tool quirks)
 *
 * The Windows module-definition file, the loader test's rows, the tool's
 * export table and the architecture comparison are made from these lines;
 * the built libraries, the header's declarations and the README's table are
 * checked against them. A new export goes at the end with the next ordinal:
 * callers that bind by ordinal keep working only while no ordinal moves.
 *
 * kind is the export's function type as the tool calls it (one of test,
 * test2, getter, writer, push, flag_query, attr_query, code, code_text); the
 * tool's build fails when it differs from the header's declaration. The
 * example arguments are what `velmora help` runs. The quirks say what a kind
 * leaves open: how many units a writer adds, whether it null-fills its buffer
 * to the size, the JSON name of a query's answer, whether a query's "no"
 * stores a code, and when a getter's null is a failure.
 *
 * Each line stays on one line so that CMake and shell scripts read it too.
 */
/* clang-format off */
VELMORA_EXPORT(add_NTFS_path_prefix, 1, writer, ("C:\\a"), quirks.adds(4).fills())
VELMORA_EXPORT(file_exist, 2, flag_query, ("C:\\no_such_file"), quirks.answer_field("exists").stores_code_when_false())
VELMORA_EXPORT(get_drive_part, 3, getter, ("\\\\?\\C:\\dir"), quirks)
VELMORA_EXPORT(get_err_code, 4, code, (), quirks)
VELMORA_EXPORT(get_error_text, 5, code_text, ("2"), quirks)
VELMORA_EXPORT(get_file_attr, 6, attr_query, ("."), quirks)
VELMORA_EXPORT(get_file_part, 7, getter, ("C:\\dir\\file.txt"), quirks)
VELMORA_EXPORT(get_path_part, 8, getter, ("\\\\server\\share\\dir"), quirks.null_fails_when(prefixed_path_too_long))
VELMORA_EXPORT(has_NTFS_path_prefix, 9, test, ("\\\\?\\C:\\dir"), quirks)
VELMORA_EXPORT(is_UNC_path, 10, test, ("\\\\server\\share"), quirks)
VELMORA_EXPORT(is_absolute, 11, test, ("C:\\dir"), quirks)
VELMORA_EXPORT(is_directory, 12, flag_query, ("."), quirks.answer_field("is_dir"))
VELMORA_EXPORT(is_mask, 13, test, ("*.txt"), quirks)
VELMORA_EXPORT(path_mask_cmp, 14, test2, ("C:\\logs\\app.log", "*.LOG"), quirks)
VELMORA_EXPORT(path_pop, 15, writer, ("C:\\dir\\file"), quirks)
VELMORA_EXPORT(path_push, 16, push, ("C:\\dir", "file"), quirks.adds(2))
VELMORA_EXPORT(rem_NTFS_path_prefix, 17, writer, ("\\\\?\\C:\\a"), quirks.fills())
VELMORA_EXPORT(rem_UNC_path_prefix, 18, writer, ("\\\\server\\share"), quirks.fills())
/* clang-format on */
