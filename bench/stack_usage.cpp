// Measures the stack one call takes: the call runs on a thread whose stack is
// painted with a pattern first, and the deepest unit changed tells the use.
#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "velmora.h"

namespace {

constexpr std::size_t stack_size = 1 << 20;
constexpr unsigned char paint = 0xCD;

using call = void (*)();

void *run(void *function)
{
    reinterpret_cast<call>(function)();
    return nullptr;
}

std::size_t stack_used(call function)
{
    // A first call resolves the C runtime's symbols, which takes stack of its
    // own; it is not the call's.
    function();
    void *stack = std::aligned_alloc(4096, stack_size);
    std::memset(stack, paint, stack_size);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack, stack_size);
    pthread_t thread;
    pthread_create(&thread, &attributes, run, reinterpret_cast<void *>(function));
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    const auto *bytes = static_cast<const unsigned char *>(stack);
    std::size_t untouched = 0;
    while (untouched < stack_size && bytes[untouched] == paint)
        ++untouched;
    std::free(stack);
    return stack_size - untouched;
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
    std::printf("stack used by one call, beyond an empty thread's %zu bytes:\n", baseline);
    for (const auto &row : rows)
        std::printf("  %-60s %6zu bytes\n", row.label, stack_used(row.function) - baseline);
    return 0;
}
