// SPDX-License-Identifier: MIT
// Every scanner set the machine can run, the inline entry points in front of
// them, the exports' AVX-512 forms of those and the exports that scan under
// each set, against plain loops: at every alignment and at lengths around each
// block and step size, so each head, block, step and tail case is met, with
// wanted units also lying past the terminator and before the text.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <random>
#include <vector>

#if !defined(_WIN32)
#include "fenced_page.h"
#endif

#include "scan/kernel_sets.h"
#include "scan/scan.h"
#include "scan/scan_avx512.h"
#include "scanner_sets.h"
#include "support.h"

namespace velmora_test {
namespace {

using velmora::npos;
using velmora::scanners::scanner_set;

struct expected {
    std::size_t length, first_separator, last_separator, last_colon;
};

expected plain_answers(const velmora_char *text)
{
    expected e{0, npos, npos, npos};
    for (; text[e.length]; ++e.length) {
        const velmora_char c = text[e.length];
        if (velmora::is_separator(c)) {
            if (e.first_separator == npos) e.first_separator = e.length;
            e.last_separator = e.length;
        }
        if (c == T(':')) e.last_colon = e.length;
    }
    return e;
}

// Random texts at offsets 0 to 63 units from a 128-byte boundary, with
// separators before the text and after its terminator that no scan may report.
template <class Check> void for_each_text(Check &&check)
{
    std::mt19937 random(11);
    // Beside the units scanned for, units that share a byte with one of them
    // or with the terminator, and units that narrowing could confuse.
    // Among the latter, units whose narrowed byte shares its low four bits
    // with a separator's (l, <, 0x1F, 0xFFDC).
    const velmora_char units[] = {T('a'), T('a'), T('a'), T('a'), T('a'), T('a'), T('\\'),
                                  T('/'), T(':'), T('l'), T('<'), 0x001F, 0x5C5C, 0x0100,
                                  0x8000, 0xFF2F, 0xFFDC, 0x007F, 0x015C, 0xFFFF};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(units) - 1);
    std::vector<velmora_char> storage(64 + 400 + 256 + 64, T('\\'));
    const auto base = reinterpret_cast<std::uintptr_t>(storage.data());
    const std::size_t to_boundary = ((128 - base % 128) % 128) / sizeof(velmora_char);
    for (std::size_t start = 0; start < 64; ++start) {
        for (std::size_t length = 0; length < 400; length += length < 140 ? 1 : 37) {
            velmora_char *text = storage.data() + to_boundary + start;
            for (int round = 0; round < 3; ++round) {
                std::fill(storage.begin(), storage.end(), T('\\'));
                // Sparse or no separators, so that long scans do run.
                const bool sparse = round == 1, none = round == 2;
                for (std::size_t i = 0; i < length; ++i) {
                    velmora_char c = units[pick(random)];
                    if ((none && (c == T('\\') || c == T('/') || c == T(':'))) ||
                        (sparse && velmora::is_separator(c) && pick(random) != 0))
                        c = T('a');
                    text[i] = c;
                }
                text[length] = 0;
                check(text, plain_answers(text));
            }
        }
    }
}

TEST(TextScan, EverySetAgreesWithAPlainLoop)
{
    for (const scanner_set *set : runnable_sets()) {
        std::printf("scanner set: %s\n", set->name);
        SCOPED_TRACE(set->name);
        for_each_text([&](const velmora_char *text, const expected &e) {
            // The forward scanners start at a 16-byte boundary.
            const auto address = reinterpret_cast<std::uintptr_t>(text);
            const std::size_t skip = ((16 - address % 16) % 16) / sizeof(velmora_char);
            if (skip <= e.length) {
                ASSERT_EQ(set->length(text + skip), e.length - skip) << show(text);
                const std::size_t first = set->first(text + skip, T('\\'), T('/'));
                const std::size_t wanted_first =
                    e.first_separator != npos && e.first_separator >= skip
                        ? e.first_separator - skip
                        : plain_answers(text + skip).first_separator;
                ASSERT_EQ(first, wanted_first == npos ? e.length - skip : wanted_first)
                    << show(text);
            }
            ASSERT_EQ(set->last(text, e.length, T('\\'), T('/')), e.last_separator) << show(text);
            ASSERT_EQ(set->last(text, e.length, T(':'), T(':')), e.last_colon) << show(text);
        });
    }
}

TEST(TextScan, EntryPointsAgreeWithAPlainLoop)
{
    SCOPED_TRACE(velmora::scanners::best().name);
    for_each_text([](const velmora_char *text, const expected &e) {
        ASSERT_EQ(velmora::length_of(text), e.length) << show(text);
        ASSERT_EQ(velmora::view_of(text).size(), e.length);
        ASSERT_EQ(velmora::first_of(text, T('\\'), T('/')), e.first_separator) << show(text);
        const velmora::text_view whole(text, e.length);
        ASSERT_EQ(velmora::last_of(whole, T('\\'), T('/')), e.last_separator) << show(text);
        ASSERT_EQ(velmora::last_of(whole, T(':')), e.last_colon) << show(text);
        const velmora::length_and_last measured = velmora::measure_with_last(text, T('\\'), T('/'));
        ASSERT_EQ(measured.length, e.length) << show(text);
        ASSERT_EQ(measured.last, e.last_separator) << show(text);
        velmora::length_and_last first{};
        if (velmora::measure_with_last_in_first_step(text, T('\\'), T('/'), first)) {
            ASSERT_EQ(first.length, e.length) << show(text);
            ASSERT_EQ(first.last, e.last_separator) << show(text);
        }
    });
}

// The exports' AVX-512 forms of the entry points, out of line, called only
// where the processor can run them; elsewhere the inline entry points again.
VELMORA_AVX512_FORM velmora::length_and_last measure_avx512(const velmora_char *text)
{
    return velmora::avx512::measure_with_last(text, T('\\'), T('/'));
}
VELMORA_AVX512_FORM std::size_t length_avx512(const velmora_char *text)
{
    return velmora::avx512::length_of(text);
}
VELMORA_AVX512_FORM std::size_t first_avx512(const velmora_char *text, velmora_char a,
                                             velmora_char b)
{
    return velmora::avx512::first_of(text, a, b);
}

VELMORA_AVX512_FORM bool measure_first_step_avx512(const velmora_char *text,
                                                   velmora::length_and_last &measured)
{
    return velmora::avx512::measure_with_last_in_first_step(text, T('\\'), T('/'), measured);
}

std::size_t first_unit(const velmora_char *text, velmora_char c)
{
    for (std::size_t i = 0; text[i]; ++i)
        if (text[i] == c) return i;
    return npos;
}

bool avx512_forms_run_here()
{
    return velmora::scanners::avx512_usable(velmora::scanners::this_processor());
}

TEST(TextScan, Avx512FormsAgreeWithAPlainLoop)
{
    if (!avx512_forms_run_here()) GTEST_SKIP() << "this processor has no AVX-512 forms to run";
    for_each_text([](const velmora_char *text, const expected &e) {
        const velmora::length_and_last measured = measure_avx512(text);
        ASSERT_EQ(measured.length, e.length) << show(text);
        ASSERT_EQ(measured.last, e.last_separator) << show(text);
        ASSERT_EQ(length_avx512(text), e.length) << show(text);
        velmora::length_and_last first{};
        if (measure_first_step_avx512(text, first)) {
            ASSERT_EQ(first.length, e.length) << show(text);
            ASSERT_EQ(first.last, e.last_separator) << show(text);
        }
        ASSERT_EQ(first_avx512(text, T('\\'), T('/')), e.first_separator) << show(text);
        ASSERT_EQ(first_avx512(text, T('/'), T('\\')), e.first_separator) << show(text);
        // Pairs the byte lookup cannot hold, whose low four bits are zero or
        // the same; no L or 0 occurs in the texts.
        const std::size_t first_backslash = first_unit(text, T('\\'));
        ASSERT_EQ(first_avx512(text, T('\\'), T('L')), first_backslash) << show(text);
        ASSERT_EQ(first_avx512(text, T('0'), T('\\')), first_backslash) << show(text);
    });
}

// The exports whose bodies come in a form for each scanner set, under each
// set this processor can run.
TEST(TextScan, ScanningExportsAgreeWithAPlainLoopUnderEverySet)
{
    std::vector<velmora_char> copy, out, unc;
    for (const scanner_set *set : runnable_sets()) {
        velmora::scanners::use(*set);
        SCOPED_TRACE(set->name);
        for_each_text([&](const velmora_char *text, const expected &e) {
            const std::size_t last = e.last_separator;
            ASSERT_EQ(get_file_part(text), last == npos ? nullptr : text + last + 1) << show(text);
            copy.assign(text, text + e.length + 1);
            out.assign(e.length + 1, T('x'));
            const auto size = static_cast<std::uint32_t>(e.length);
            ASSERT_EQ(path_pop(text, out.data(), size), last == npos ? 0 : 1) << show(text);
            ASSERT_EQ(path_pop(copy.data(), copy.data(), 0), last == npos ? 0 : 1) << show(text);
            if (last != npos) {
                ASSERT_EQ(show(out.data()), show(velmora::text_view(text, last)));
                ASSERT_EQ(show(copy.data()), show(velmora::text_view(text, last)));
                // Nothing of the buffer beyond the terminator is written.
                ASSERT_EQ(std::count(out.data() + last + 1, out.data() + out.size(), T('x')),
                          static_cast<std::ptrdiff_t>(e.length - last))
                    << show(text);
            }
            ASSERT_EQ(is_mask(text), 0) << show(text);
            unc.assign({T('\\'), T('\\')});
            unc.insert(unc.end(), text, text + e.length + 1);
            ASSERT_EQ(get_path_part(unc.data()),
                      e.first_separator == npos ? nullptr : unc.data() + 2 + e.first_separator + 1)
                << show(text);
        });
    }
    velmora::scanners::use(velmora::scanners::best());
}

#if !defined(_WIN32)
TEST(TextScan, ScansStayOnTheirPage)
{
    fenced_page page;
    velmora_char *const begin = page.begin();
    const std::size_t units = page.units();
    for (const scanner_set *set : runnable_sets()) {
        std::printf("scanner set: %s\n", set->name);
        SCOPED_TRACE(set->name);
        for (std::size_t length = 0; length < 300; ++length) {
            // The terminator as the page's last unit: forward scans must stop.
            velmora_char *text = begin + units - 1 - length;
            std::fill(begin, begin + units, T('a'));
            begin[units - 1] = 0;
            ASSERT_EQ(velmora::length_of(text), length);
            ASSERT_EQ(velmora::first_of(text, T('\\'), T('/')), npos);
            ASSERT_EQ(velmora::measure_with_last(text, T('\\'), T('/')).length, length);
            velmora::length_and_last first{};
            if (velmora::measure_with_last_in_first_step(text, T('\\'), T('/'), first)) {
                ASSERT_EQ(first.length, length);
            }
            if (avx512_forms_run_here()) {
                ASSERT_EQ(measure_avx512(text).length, length);
                ASSERT_EQ(length_avx512(text), length);
                ASSERT_EQ(first_avx512(text, T('\\'), T('/')), npos);
                if (measure_first_step_avx512(text, first)) {
                    ASSERT_EQ(first.length, length);
                }
            }
            const auto address = reinterpret_cast<std::uintptr_t>(text);
            const std::size_t skip = ((16 - address % 16) % 16) / sizeof(velmora_char);
            if (skip <= length) {
                ASSERT_EQ(set->length(text + skip), length - skip);
                ASSERT_EQ(set->first(text + skip, T('\\'), T('/')), length - skip);
            }
            // The text at the page's start: backward scans must stop.
            ASSERT_EQ(set->last(begin, length, T('\\'), T('/')), npos);
            ASSERT_EQ(velmora::last_of(velmora::text_view(begin, length), T('\\'), T('/')), npos);
        }
    }
}

// path_pop into another buffer writes the units kept and the terminator
// alone: a buffer that ends at its page's end, with the terminator as its
// last unit, takes every cut of a text under every set.
TEST(TextScan, PoppingIntoABufferWritesNothingPastTheTerminator)
{
    fenced_page page;
    velmora_char *const end = page.begin() + page.units();
    std::vector<velmora_char> text(200, T('a'));
    for (const scanner_set *set : runnable_sets()) {
        velmora::scanners::use(*set);
        SCOPED_TRACE(set->name);
        for (std::size_t length = 1; length < text.size(); ++length) {
            text[length] = 0;
            for (std::size_t cut = 0; cut < length; ++cut) {
                text[cut] = T('\\');
                velmora_char *const out = end - cut - 1;
                ASSERT_EQ(path_pop(text.data(), out, static_cast<std::uint32_t>(cut)), 1);
                ASSERT_EQ(show(out), show(velmora::text_view(text.data(), cut)));
                text[cut] = T('a');
            }
            text[length] = T('a');
        }
    }
    velmora::scanners::use(velmora::scanners::best());
}

// Near a page's end the wide sets cannot read a whole first step and start
// block by block: each wanted unit, as either argument, at every place.
TEST(TextScan, FindsEitherUnitAtEveryPlaceNearThePageEnd)
{
    fenced_page page;
    velmora_char *const begin = page.begin();
    const std::size_t units = page.units();
    for (const scanner_set *set : runnable_sets()) {
        SCOPED_TRACE(set->name);
        for (std::size_t length = 1; length < 200; ++length) {
            velmora_char *text = begin + units - 1 - length;
            const auto address = reinterpret_cast<std::uintptr_t>(text);
            const std::size_t skip = ((16 - address % 16) % 16) / sizeof(velmora_char);
            std::fill(begin, begin + units, T('a'));
            begin[units - 1] = 0;
            for (std::size_t at = 0; at < length; ++at) {
                for (const velmora_char wanted : {T('\\'), T('/')}) {
                    text[at] = wanted;
                    ASSERT_EQ(velmora::first_of(text, T('\\'), T('/')), at) << show(text);
                    if (avx512_forms_run_here()) {
                        ASSERT_EQ(first_avx512(text, T('\\'), T('/')), at) << show(text);
                        ASSERT_EQ(measure_avx512(text).last, at) << show(text);
                    }
                    if (at >= skip) {
                        ASSERT_EQ(set->first(text + skip, T('\\'), T('/')), at - skip)
                            << show(text);
                        ASSERT_EQ(set->first(text + skip, T('/'), T('\\')), at - skip)
                            << show(text);
                    }
                    text[at] = T('a');
                }
            }
        }
    }
}
#endif

using velmora::scanners::cpu_features;

// The bits as the processor manuals number them: CPUID leaf 1 ECX, leaf 7
// EBX, and the state components of XCR0.
constexpr std::uint32_t ecx_osxsave = 1u << 27, ecx_avx = 1u << 28;
constexpr std::uint32_t ebx_bmi1 = 1u << 3, ebx_avx2 = 1u << 5, ebx_bmi2 = 1u << 8,
                        ebx_avx512f = 1u << 16, ebx_avx512bw = 1u << 30;
constexpr std::uint64_t xcr0_sse = 1u << 1, xcr0_avx = 1u << 2, xcr0_opmask = 1u << 5,
                        xcr0_zmm_hi256 = 1u << 6, xcr0_hi16_zmm = 1u << 7;

enum class width { base, avx2, avx512 };

// The set this build has for a processor that can run up to `wanted`.
const scanner_set &built_set(width wanted)
{
#if defined(VELMORA_HAS_AVX512_SCANNERS)
    if (wanted == width::avx512) return velmora::scanners::avx512;
#endif
#if defined(VELMORA_HAS_AVX2_SCANNERS)
    if (wanted != width::base) return velmora::scanners::avx2;
#endif
    (void)wanted;
#if defined(VELMORA_HAS_NEON_SCANNERS)
    return velmora::scanners::neon;
#elif defined(VELMORA_HAS_SSE2_SCANNERS)
    return velmora::scanners::sse2;
#else
    return velmora::scanners::plain;
#endif
}

// Each bit a set needs, taken away on its own from the words of a processor
// with AVX-512 and of one with AVX2 alone, and the set chosen then.
TEST(ScannerChoice, EverySetNeedsEachOfItsBits)
{
    const cpu_features with_avx512{
        ecx_osxsave | ecx_avx, ebx_bmi1 | ebx_avx2 | ebx_bmi2 | ebx_avx512f | ebx_avx512bw,
        xcr0_sse | xcr0_avx | xcr0_opmask | xcr0_zmm_hi256 | xcr0_hi16_zmm};
    const cpu_features with_avx2{ecx_osxsave | ecx_avx, ebx_avx2, xcr0_sse | xcr0_avx};
    const struct {
        const char *bit;
        cpu_features cleared;
        width from_avx512, from_avx2;
    } rows[] = {
        {"none", {0, 0, 0}, width::avx512, width::avx2},
        {"OSXSAVE", {ecx_osxsave, 0, 0}, width::base, width::base},
        {"AVX", {ecx_avx, 0, 0}, width::base, width::base},
        {"AVX2", {0, ebx_avx2, 0}, width::base, width::base},
        {"BMI1", {0, ebx_bmi1, 0}, width::avx2, width::avx2},
        {"BMI2", {0, ebx_bmi2, 0}, width::avx2, width::avx2},
        {"AVX512F", {0, ebx_avx512f, 0}, width::avx2, width::avx2},
        {"AVX512BW", {0, ebx_avx512bw, 0}, width::avx2, width::avx2},
        {"XCR0 SSE", {0, 0, xcr0_sse}, width::base, width::base},
        {"XCR0 AVX", {0, 0, xcr0_avx}, width::base, width::base},
        {"XCR0 opmask", {0, 0, xcr0_opmask}, width::avx2, width::avx2},
        {"XCR0 ZMM_Hi256", {0, 0, xcr0_zmm_hi256}, width::avx2, width::avx2},
        {"XCR0 Hi16_ZMM", {0, 0, xcr0_hi16_zmm}, width::avx2, width::avx2},
        {"all of them", {~0u, ~0u, ~std::uint64_t{0}}, width::base, width::base},
    };
    const auto without = [](const cpu_features &f, const cpu_features &cleared) {
        return cpu_features{f.leaf1_ecx & ~cleared.leaf1_ecx, f.leaf7_ebx & ~cleared.leaf7_ebx,
                            f.xcr0 & ~cleared.xcr0};
    };
    for (const auto &row : rows) {
        EXPECT_STREQ(velmora::scanners::choose_for(without(with_avx512, row.cleared)).name,
                     built_set(row.from_avx512).name)
            << "AVX-512 processor without " << row.bit;
        EXPECT_STREQ(velmora::scanners::choose_for(without(with_avx2, row.cleared)).name,
                     built_set(row.from_avx2).name)
            << "AVX2 processor without " << row.bit;
    }
    // Bits beyond those needed change nothing.
    const cpu_features everything{~0u, ~0u, ~std::uint64_t{0}};
    EXPECT_STREQ(velmora::scanners::choose_for(everything).name, built_set(width::avx512).name);
}

} // namespace
} // namespace velmora_test
