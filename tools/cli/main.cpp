// SPDX-License-Identifier: MIT
// velmora: calls any export of the library by name, on arguments given in
// UTF-8, and prints the outcome in UTF-8, as plain text or as JSON. Its exit
// statuses are those of exit_status_list.h.
#include <clocale>
#include <iostream>

#include "command.h"
#include "platform.h"

int main(int argc, char **argv)
{
    // The library folds case and classifies letters by the C runtime's
    // locale: the user's, as for any program.
    std::setlocale(LC_ALL, "");
    velmora::cli::use_binary_standard_streams();
    return velmora::cli::run_command(velmora::cli::utf8_arguments(argc, argv), std::cin, std::cout,
                                     std::cerr);
}
