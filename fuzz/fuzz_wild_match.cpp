// SPDX-License-Identifier: MIT
// The matcher against the step-by-step recursion where that finishes, and on
// its own for large inputs.
#include "fuzz_text.h"
#include "mask/wild_match.h"
#include "reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace velmora_fuzz;
    FuzzedDataProvider input(data, size);
    const bool large = input.ConsumeBool();
    pick_locale(input);
    // Case pairs, and units beyond ASCII that fold onto ASCII (ı and ſ) or not.
    const view alphabet = VELMORA_TEXT("aAb?*.sSI\x00e9\x00c9\x0131\x017f\x65e5");
    const text mask = take_text(input, alphabet, large ? 4096 : 16);
    const text name = take_text(input, alphabet, large ? 4096 : 32);
    const bool ours = velmora::wild_match(mask, name);
    // The recursion is exponential in the stars: keep it to what it finishes.
    if (!large && count_of(mask, '*') <= 4) {
        const bool expected = velmora_reference::wild_match(mask.c_str(), name.c_str()) == 1;
        if (ours != expected) __builtin_trap();
    }
    return 0;
}
