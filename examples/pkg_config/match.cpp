// SPDX-License-Identifier: MIT
// Filters names by a wildcard mask: built with pkg-config.
//   c++ -std=c++17 match.cpp $(pkg-config --cflags --libs velmora)
#include <iostream>
#include <string>

#include <velmora.h>

int main()
{
    const std::basic_string<velmora_char> mask = VELMORA_TEXT("*.LOG");
    const velmora_char *names[] = {VELMORA_TEXT("C:\\logs\\app.log"),
                                   VELMORA_TEXT("C:\\logs\\app.txt"),
                                   VELMORA_TEXT("C:\\logs\\db.log")};
    int matched = 0;
    for (const velmora_char *name : names)
        matched += path_mask_cmp(name, mask.c_str());
    std::cout << matched << " of 3 names match *.LOG\n";
    return matched == 2 ? 0 : 1;
}
