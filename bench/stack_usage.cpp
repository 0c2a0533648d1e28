// SPDX-License-Identifier: MIT
// Measures the stack one call takes: the stack below the caller is painted
// with a pattern first, the call runs on the same stack, and the deepest byte
// it changed tells the use. The same on every host, 32-bit and 64-bit alike.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "velmora.h"

namespace {

constexpr std::size_t depth = 256 * 1024;
constexpr unsigned char paint = 0xCD;

using call = void (*)();

// The painted area, kept beyond the painting call so that it is measured
// after the call under test has run over it.
unsigned char *painted = nullptr;

// The area is this function's own frame, so the call made next from the
// same caller runs over it. Its size makes the compiler probe the pages in
// order, as Windows' stack guard page demands.
__attribute__((noinline)) void paint_stack()
{
    unsigned char area[depth];
    std::memset(area, paint, depth);
    // Keep the stores: the area is read after this frame is gone.
    asm volatile("" : : "r"(area) : "memory");
    painted = area;
}

__attribute__((noinline)) std::size_t deepest_change()
{
    std::size_t untouched = 0;
    while (untouched < depth && painted[untouched] == paint)
        ++untouched;
    return depth - untouched;
}

std::size_t stack_used(call function)
{
    // A first call resolves the C runtime's symbols, which takes stack of its
    // own; it is not the call's.
    function();
    paint_stack();
    function();
    return deepest_change();
}

using text = std::basic_string<velmora_char>;
const text path = VELMORA_TEXT("C:\\Users\\alice\\Documents\\reports\\annual_report_2024.txt");

void nothing() {}
void name_mask() { path_mask_cmp(path.c_str(), VELMORA_TEXT("*.TXT")); }
void drive_mask()
{
    path_mask_cmp(path.c_str(), VELMORA_TEXT("C:\\Users\\*\\Documents\\*\\*.txt"));
}
void relative_mask() { path_mask_cmp(path.c_str(), VELMORA_TEXT("..\\reports\\*2024*")); }
void file_query()
{
    int32_t exists = 0;
    file_exist(VELMORA_TEXT("no/such/dir/file.txt"), &exists);
}
void path_part() { get_path_part(VELMORA_TEXT("\\\\?\\C:\\dir\\file")); }
void push()
{
    velmora_char out[64];
    path_push(VELMORA_TEXT("C:\\dir"), VELMORA_TEXT("file"), out, 64);
}

} // namespace

int main()
{
    const std::size_t baseline = stack_used(nothing);
    const struct {
        const char *label;
        call function;
    } rows[] = {
        {"path_mask_cmp, name mask", name_mask},
        {"path_mask_cmp, drive mask", drive_mask},
        {"path_mask_cmp, relative mask (reads the working directory)", relative_mask},
        {"file_exist, a missing directory on the way", file_query},
        {"get_path_part", path_part},
        {"path_push", push},
    };
    std::printf("stack used by one call (%zu-bit), beyond an empty call's %zu bytes:\n",
                sizeof(void *) * 8, baseline);
    for (const auto &row : rows)
        std::printf("  %-60s %6zu bytes\n", row.label, stack_used(row.function) - baseline);
    return 0;
}
