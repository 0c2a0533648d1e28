// SPDX-License-Identifier: MIT
// path_mask_cmp, with a working directory of the input's choosing, against the
// comparison written with fixed working texts.
#include "fuzz_text.h"
#include "literal_mask.h"
#include "working_directory_seam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace velmora_fuzz;
    FuzzedDataProvider input(data, size);
    pick_locale(input);
    const view alphabet = VELMORA_TEXT("C:\\/.*?aAUNsS\x0131\x017f\x00e9");
    const text directory = take_text(input, alphabet, 48);
    const text path = take_text(input, alphabet, 64);
    const text mask = take_text(input, alphabet, 64);
    velmora::host::override_working_directory(directory.c_str());
    const int ours = path_mask_cmp(path.c_str(), mask.c_str());
    velmora::host::override_working_directory(nullptr);
    // The literal matcher is exponential in the stars of the full mask, which
    // takes the working directory's too.
    if (count_of(mask, '*') + count_of(directory, '*') <= 4) {
        const int expected =
            velmora_literal::path_mask_cmp(path.c_str(), mask.c_str(), directory.c_str());
        if (ours != expected) __builtin_trap();
    }
    return 0;
}
