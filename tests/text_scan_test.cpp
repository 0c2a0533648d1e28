// The wide scanner against a plain loop, at every alignment and at lengths
// around its block size, so each head, block and tail case is met.
#include <random>
#include <vector>

#include "core/text_scan.h"
#include "support.h"

namespace velmora_test {
namespace {

TEST(TextScan, AgreesWithAPlainLoopAtEveryAlignment)
{
    std::mt19937 random(11);
    const velmora_char units[] = {T('a'), T('\\'), T('/'), T(':'),
                                  static_cast<velmora_char>(0x5C5C)};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(units) - 1);
    // Room after the text, so that aligned reads past it stay inside.
    std::vector<velmora_char> storage(256 + 32);
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t length = 0; length < 70; ++length) {
            for (int round = 0; round < 20; ++round) {
                velmora_char *text = storage.data() + start;
                for (std::size_t i = 0; i < length; ++i)
                    text[i] = units[pick(random)];
                text[length] = 0;
                for (std::size_t i = length + 1; i < length + 24; ++i)
                    text[i] = T('\\');

                std::size_t first = velmora::npos, last = velmora::npos, colon = velmora::npos;
                for (std::size_t i = 0; i < length; ++i) {
                    if (velmora::is_separator(text[i])) {
                        if (first == velmora::npos) first = i;
                        last = i;
                    }
                    if (text[i] == T(':') && colon == velmora::npos) colon = i;
                }
                const velmora::text_scan scan = velmora::scan_text(text, T('\\'), T('/'));
                ASSERT_EQ(scan.length, length) << start << " " << show(text);
                ASSERT_EQ(scan.first, first) << start << " " << show(text);
                ASSERT_EQ(scan.last, last) << start << " " << show(text);
                ASSERT_EQ(velmora::view_of(text).size(), length);
                ASSERT_EQ(velmora::first_of(text, T(':'), T(':')), colon) << show(text);
                std::size_t last_colon = velmora::npos;
                for (std::size_t i = 0; i < length; ++i)
                    if (text[i] == T(':')) last_colon = i;
                ASSERT_EQ(velmora::last_of(velmora::text_view(text, length), T(':')), last_colon);
            }
        }
    }
}

} // namespace
} // namespace velmora_test
