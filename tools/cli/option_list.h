/* SPDX-License-Identifier: MIT */
/*
 * The tool's options, one line each:
 *
 *   VELMORA_OPTION(id, word, other spelling, value, where, help, manual)
 *
 * where: lead (before the export or -), batch (with - only), writers,
 * getters, every_export (after any export's name), alone (the whole command).
 * The parser, `velmora --help` (the help text; alone options show in its
 * usage lines instead, and have none), the bash completion and the manual
 * page's OPTIONS and SYNOPSIS (the manual text, in scdoc's markup) are made
 * from these lines.
 * Each line stays on one line, its texts without double quotes, backslashes
 * or semicolons, so that tools/extract_contracts.cmake reads it too.
 */
/* clang-format off */
VELMORA_OPTION(json_output, "--json", "", "", lead, "one JSON object per call, on one line", "Print one JSON object per call on one line instead of plain text (see *JSON OUTPUT*). Given before the export's name or *-*.")
VELMORA_OPTION(null_records, "-0", "--null", "", batch, "batch records end with NUL bytes, and so do plain answers", "With *-*: read records separated by NUL bytes instead of lines, and end the plain-text answers with a NUL byte as well.")
VELMORA_OPTION(size, "--size", "", "N", writers, "writers: the size handed over (default: one that fits)", "Writers only: the size handed to the export (default: one that fits the result).")
VELMORA_OPTION(in_place, "--in-place", "", "", writers, "writers: work in one buffer holding the input", "Writers only: the export writes into the buffer that holds its input.")
VELMORA_OPTION(offset, "--offset", "", "", getters, "getters: print the part's position in the input first", "Getters only: print the position of the part found in the input, a tab, then the part.")
VELMORA_OPTION(end_of_options, "--", "", "", every_export, "ends the options", "Ends the options: every later word is an argument, even one that starts with *--*.")
VELMORA_OPTION(show_help, "--help", "-h", "", alone, "", "Print the usage, the options and every export's usage line.")
VELMORA_OPTION(show_version, "--version", "", "", alone, "", "Print three lines: *velmora* and the version of the library's header, the version and file of the library the tool loaded, and the scanner set that the tool's copy of the library's scan engine chooses on this processor.")
/* clang-format on */
