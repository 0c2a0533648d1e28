#include <clocale>
#include <random>
#include <vector>

#include "mask/wild_match.h"
#include "reference.h"
#include "support.h"

namespace velmora_test {
namespace {

bool matches(const velmora_char *pattern, const velmora_char *name)
{
    return velmora::wild_match(pattern, name);
}

TEST(IsMask, AnyStarOrQuestionMark)
{
    const struct {
        const velmora_char *text;
        std::int32_t expected;
    } rows[] = {
        {T("*.txt"), 1},    {T("file?.log"), 1}, {T("C:\\dir\\*"), 1}, {T("?"), 1},
        {T("file.txt"), 0}, {T("C:\\dir"), 0},   {T(""), 0},           {nullptr, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(is_mask(row.text), row.expected) << show(row.text);
}

TEST(WildMatch, DocumentedResults)
{
    const struct {
        const velmora_char *pattern;
        const velmora_char *name;
        bool expected;
    } rows[] = {
        {T("*.txt"), T("readme.TXT"), true},
        {T("FILE.TXT"), T("file.txt"), true},
        {T("a*b"), T("ab"), true},
        {T("a*b"), T("axxb"), true},
        {T("a*b"), T("axxbc"), false},
        {T("abc*"), T("abc"), true},
        {T("*"), T(""), true},
        {T("*a"), T(""), false},
        {T(""), T(""), true},
        {T(""), T("a"), false},
        {T("a?c"), T("abc"), true},
        {T("a?c"), T("ac"), false},
        {T("?"), T(""), false},
        {T("a*?"), T("abc"), false},
        {T("a*?"), T("ab?"), true},
        {T("**"), T("x"), false},
        {T("**"), T("*x"), true},
        {T("*a*b*c"), T("aabb"), false},
        {T("*a*b*c"), T("xaxbxc"), true},
        {T("*b"), T("abab"), true},
        {T("a"), T(""), false},
        {T("*?"), T("x?"), true},
    };
    for (const auto &row : rows)
        EXPECT_EQ(matches(row.pattern, row.name), row.expected)
            << show(row.pattern) << " ~ " << show(row.name);
}

// Every text over `alphabet` of up to `max_length` units.
std::vector<text> all_texts(view alphabet, std::size_t max_length)
{
    std::vector<text> texts{text()};
    for (std::size_t begin = 0; texts[begin].size() < max_length; ++begin)
        for (velmora_char c : alphabet)
            texts.push_back(texts[begin] + c);
    return texts;
}

TEST(WildMatch, AgreesWithTheRecursionOnEverySmallInput)
{
    const view alphabet = T("aAb?*");
    const std::vector<text> masks = all_texts(alphabet, 5);
    const std::vector<text> names = all_texts(alphabet, 5);
    std::size_t mismatches = 0;
    for (const text &mask : masks) {
        for (const text &name : names) {
            const bool expected = velmora_reference::wild_match(mask.c_str(), name.c_str()) == 1;
            if (velmora::wild_match(mask, name) != expected && ++mismatches <= 10)
                ADD_FAILURE() << show(mask) << " ~ " << show(name) << " should be " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(WildMatch, AgreesWithTheRecursionOnRandomLongerInputs)
{
    std::mt19937 random(20261208);
    const view mask_alphabet = T("abAB?*.");
    const view name_alphabet = T("abAB?*.c");
    const auto random_text = [&](view alphabet, std::size_t max_length, std::size_t max_stars) {
        std::uniform_int_distribution<std::size_t> length(0, max_length);
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
        text out;
        std::size_t stars = 0;
        for (std::size_t n = length(random); out.size() < n;) {
            const velmora_char c = alphabet[pick(random)];
            if (c == T('*') && ++stars > max_stars) continue;
            out += c;
        }
        return out;
    };
    for (int i = 0; i < 200000; ++i) {
        const text mask = random_text(mask_alphabet, 14, 4);
        const text name = random_text(name_alphabet, 24, 24);
        const bool expected = velmora_reference::wild_match(mask.c_str(), name.c_str()) == 1;
        ASSERT_EQ(velmora::wild_match(mask, name), expected) << show(mask) << " ~ " << show(name);
    }
}

TEST(WildMatch, ManyStarsStayPolynomial)
{
    const text sixty_a(60, T('a'));
    for (std::size_t k = 5; k <= 30; ++k)
        EXPECT_FALSE(velmora::wild_match(repeat(T("*a"), k) + T('b'), sixty_a)) << k;
    EXPECT_TRUE(velmora::wild_match(repeat(T("*a"), 30), sixty_a));

    const text stars(20000, T('*'));
    // Each star but the last must end before a literal '*'.
    EXPECT_TRUE(velmora::wild_match(stars, T("*")));
    EXPECT_TRUE(velmora::wild_match(stars, T("ab*c")));
    EXPECT_FALSE(velmora::wild_match(stars, T("abc")));
    EXPECT_FALSE(velmora::wild_match(stars, T("")));
    EXPECT_FALSE(velmora::wild_match(repeat(T("*a"), 20000) + T('b'), sixty_a));

    const text long_name = text(1000000, T('a')) + T("bc");
    EXPECT_TRUE(velmora::wild_match(T("*a*b*c"), long_name));
    EXPECT_FALSE(velmora::wild_match(T("*a*c*b"), long_name));
}

} // namespace
} // namespace velmora_test

namespace velmora_test {
namespace {

// Case folding follows the locale the process sets, also after a change.
TEST(WildMatch, FoldsAsTheCurrentLocaleDoes)
{
    const text e_acute(1, static_cast<velmora_char>(0xE9));
    const text E_acute(1, static_cast<velmora_char>(0xC9));
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool folds_in_c = velmora::host::to_upper(0xE9) == 0xC9;
    EXPECT_EQ(velmora::wild_match(E_acute + T("*"), e_acute + T("x")), folds_in_c);
    EXPECT_TRUE(velmora::wild_match(T("A*"), T("ax")));
    if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
    EXPECT_EQ(velmora::wild_match(E_acute + T("*"), e_acute + T("x")),
              velmora::host::to_upper(0xE9) == 0xC9);
    EXPECT_TRUE(velmora::wild_match(T("A*"), T("ax")));
    std::setlocale(LC_ALL, before.c_str());
}

} // namespace
} // namespace velmora_test
