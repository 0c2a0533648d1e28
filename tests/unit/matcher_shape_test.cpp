// SPDX-License-Identifier: MIT
// The checks that decide a name from the mask's shape before (or instead of)
// matching, against the literal recursion; and case folding that follows the
// locale in force at each call, global or the thread's own.
#include <clocale>
#include <cwctype>
#include <random>
#include <thread>

#if !defined(_WIN32)
#include <locale.h>

#include "fenced_page.h"
#endif

#include "mask/pattern_shape.h"
#include "mask/wild_match.h"
#include "reference.h"
#include "scan/kernel_sets.h"
#include "support.h"

namespace velmora_test {
namespace {

TEST(MatcherShape, DecidesAsTheRecursionDoes)
{
    const struct {
        const velmora_char *pattern, *name;
        bool matches;
    } rows[] = {
        {T("readme.md"), T("README.MD"), true},   // no star: same length, folded
        {T("readme.md"), T("readme.mdx"), false}, // no star: a longer name
        {T("file?.log"), T("file1.log"), true},
        {T("file?.log"), T("file.log"), false},
        {T("*.txt"), T("A.TXT"), true}, // one star: the tail ends the name
        {T("*.txt"), T(".txt"), true},
        {T("*.txt"), T("a.txt.bak"), false},
        {T("ab*ba"), T("aba"), false}, // head and tail may not overlap
        {T("ab*ba"), T("abba"), true},
        {T("*?"), T("ab"), false}, // the unit after a star is literal
        {T("*?"), T("a?"), true},
        {T("a*?"), T("ab?"), true},
        {T("a*?x"), T("abcx"), false},
        {T("**"), T("x"), false},
        {T("**"), T("*x"), true},
        {T("*"), T(""), true},
        {T("x*"), T(""), false},
        {T("*a*b"), T("ab"), true}, // several stars: the tail first, then the walk
        {T("*a*b"), T("ba"), false},
        {T("*report*2024*.csv"), T("Q3_REPORT_2024_v2.CSV"), true},
    };
    for (const auto &row : rows)
        EXPECT_EQ(velmora::wild_match(row.pattern, row.name), row.matches)
            << show(row.pattern) << " ~ " << show(row.name);
}

TEST(MatcherShape, AgreesWithTheRecursionOnRandomTexts)
{
    std::mt19937 random(7);
    const velmora_char units[] = {T('a'), T('A'), T('b'), T('*'), T('?'), T('.')};
    const auto make = [&](std::size_t most) {
        text t(random() % (most + 1), T('a'));
        for (velmora_char &c : t)
            c = units[random() % std::size(units)];
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const text pattern = make(7);
        text name = make(9);
        name.erase(std::remove(name.begin(), name.end(), T('*')), name.end());
        ASSERT_EQ(velmora::wild_match(pattern, name),
                  velmora_reference::wild_match(pattern.c_str(), name.c_str()) == 1)
            << show(pattern) << " ~ " << show(name);
    }
}

// A terminated pattern's shape, read many units at a time, against the shape
// of its view, unit by unit: every length around the first step's 32 units,
// at every place in a 64-byte block, the specials at random places, and units
// beyond ASCII whose low byte is a special's (a narrowing that kept low bytes
// would take them for it).
// The AVX-512 forms' first step, where the processor can run it.
VELMORA_AVX512_FORM bool shape_in_first_step_avx512(const velmora_char *pattern,
                                                    velmora::pattern_shape &shape)
{
    return velmora::avx512::shape_in_first_step(pattern, shape);
}

bool avx512_forms_run_here()
{
    return velmora::scanners::avx512_usable(velmora::scanners::this_processor());
}

void expect_same_shape(const velmora::pattern_shape &read, const velmora_char *pattern)
{
    const velmora::pattern_shape reference = velmora::shape_of(view(pattern));
    ASSERT_EQ(read.length, reference.length) << show(pattern);
    ASSERT_EQ(read.first_star, reference.first_star) << show(pattern);
    ASSERT_EQ(read.last_star, reference.last_star) << show(pattern);
    ASSERT_EQ(read.has_separator, reference.has_separator) << show(pattern);
}

void expect_shapes_agree(const velmora_char *pattern)
{
    expect_same_shape(velmora::shape_of(pattern), pattern);
    velmora::pattern_shape first{};
    if (avx512_forms_run_here() && shape_in_first_step_avx512(pattern, first))
        expect_same_shape(first, pattern);
}

text random_pattern(std::mt19937 &random, std::size_t length)
{
    const velmora_char units[] = {T('a'), T('a'), T('.'), T('*'), T('?'), T('\\'),
                                  T('/'), 0x012A, 0x805C, 0xFF2F, 0x7F,   0x00E9};
    text pattern(length, T('a'));
    for (velmora_char &c : pattern)
        if (random() % 4 == 0) c = units[random() % std::size(units)];
    return pattern;
}

TEST(MatcherShape, ShapeOfATerminatedPatternAgreesWithItsView)
{
    std::mt19937 random(11);
    std::vector<velmora_char> room(160);
    const auto address = reinterpret_cast<std::uintptr_t>(room.data());
    velmora_char *const block = room.data() + (64 - address % 64) % 64 / sizeof(velmora_char);
    for (std::size_t length = 0; length < 70; ++length)
        for (std::size_t at = 0; at < 32; ++at)
            for (int round = 0; round < 4; ++round) {
                std::fill(room.begin(), room.end(), T('*'));
                const text pattern = random_pattern(random, length);
                std::copy(pattern.begin(), pattern.end(), block + at);
                block[at + length] = 0;
                expect_shapes_agree(block + at);
            }
}

#if !defined(_WIN32)
// Ending on a page's last unit, before a page that faults.
TEST(MatcherShape, ShapeOfStaysOnItsPage)
{
    std::mt19937 random(13);
    fenced_page page;
    velmora_char *const end = page.begin() + page.units() - 1;
    for (std::size_t length = 0; length < 70; ++length) {
        const text pattern = random_pattern(random, length);
        std::copy(pattern.begin(), pattern.end(), end - length);
        *end = 0;
        expect_shapes_agree(end - length);
    }
}

// In a Turkish locale 'i' folds to U+0130, not to 'I'.
bool turkish_folds_apart() { return std::towupper(L'i') != std::towupper(L'I'); }

TEST(MatcherFolding, FollowsTheGlobalLocaleFromCallToCall)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_EQ(path_mask_cmp(T("file.txt"), T("FILE.TXT")), 1);
    if (!std::setlocale(LC_ALL, "tr_TR.UTF-8")) GTEST_SKIP() << "no Turkish locale";
    const bool apart = turkish_folds_apart();
    EXPECT_EQ(path_mask_cmp(T("file.txt"), T("FILE.TXT")), apart ? 0 : 1);
    EXPECT_EQ(path_mask_cmp(T("dir\\FILE.TXT"), T("*.TXT")), 1);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(path_mask_cmp(T("file.txt"), T("FILE.TXT")), 1);
    std::setlocale(LC_ALL, before.c_str());
}

TEST(MatcherFolding, FollowsTheThreadsOwnLocale)
{
    const locale_t turkish = newlocale(LC_ALL_MASK, "tr_TR.UTF-8", nullptr);
    if (!turkish) GTEST_SKIP() << "no Turkish locale";
    int in_thread = -1;
    bool apart = false;
    std::thread([&] {
        uselocale(turkish);
        apart = turkish_folds_apart();
        in_thread = path_mask_cmp(T("file.txt"), T("FILE.TXT"));
        uselocale(LC_GLOBAL_LOCALE);
    }).join();
    EXPECT_EQ(in_thread, apart ? 0 : 1);
    // The main thread keeps the global mapping meanwhile.
    EXPECT_EQ(path_mask_cmp(T("file.txt"), T("FILE.TXT")), 1);
    freelocale(turkish);
}
#endif

} // namespace
} // namespace velmora_test
