// SPDX-License-Identifier: MIT
// The five writers, separate and in place, with sizes from the input. The
// buffer has guard units on both sides; the whole buffer afterwards must be
// exactly what a plain model of each writer predicts: on failure untouched
// with code 2 (code 1 for a pop without separator), on success the result,
// its terminator, the null filling where the writer fills, nothing more.
#include <vector>

#include "core/error.h"
#include "fuzz_text.h"

namespace {

using namespace velmora_fuzz;

constexpr std::size_t guard_units = 16;

struct outcome {
    bool ok = false;
    std::int32_t code = untouched_code;
};

enum class writer { add_ntfs, rem_ntfs, rem_unc, pop, push, count };

// Applies the model to `region` (the caller's dst, already holding the input
// in the in-place form) and says what the call must answer.
outcome model(writer op, const text &path, const text &name, std::uint32_t size, bool in_place,
              velmora_char *region)
{
    const std::uint64_t length = path.size();
    const auto bounded_copy = [&](const text &result) {
        std::copy(result.begin(), result.end(), region);
        const std::uint64_t end = std::max<std::uint64_t>(size, result.size() + 1);
        std::fill(region + result.size(), region + end, velmora_char{0});
    };
    switch (op) {
    case writer::rem_ntfs:
        if (length > size) return {false, err_buffer_small};
        bounded_copy(begins(path, "\\\\?\\") ? path.substr(4) : path);
        return {true};
    case writer::rem_unc: {
        if (length > size) return {false, err_buffer_small};
        std::size_t skip = 0;
        if (begins(path, "\\\\?\\UNC\\"))
            skip = 8;
        else if (begins(path, "UNC\\"))
            skip = 4;
        else if (begins(path, "\\\\") && !begins(path, "\\\\?\\"))
            skip = 2;
        bounded_copy(path.substr(skip));
        return {true};
    }
    case writer::add_ntfs:
        if (length + 4 > size) return {false, err_buffer_small};
        if (begins(path, "\\\\?\\")) {
            bounded_copy(path);
        } else {
            const text result = text(VELMORA_TEXT("\\\\?\\")) + path;
            std::copy(result.begin(), result.end(), region);
            region[result.size()] = 0;
        }
        return {true};
    case writer::pop: {
        std::size_t last = text::npos;
        for (std::size_t i = 0; i < path.size(); ++i)
            if (is_separator(path[i])) last = i;
        if (last == text::npos) return {false, err_not_path};
        if (!in_place && last > size) return {false, err_buffer_small};
        std::copy(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(last), region);
        region[last] = 0;
        return {true};
    }
    case writer::push: {
        if (length + name.size() + 2 > size) return {false, err_buffer_small};
        text result = path;
        if (!path.empty() && !is_separator(path.back())) result += velmora_char{'\\'};
        result += name;
        std::copy(result.begin(), result.end(), region);
        region[result.size()] = 0;
        return {true};
    }
    case writer::count:
        break;
    }
    return {};
}

std::int32_t call(writer op, const velmora_char *path, const velmora_char *name, velmora_char *dst,
                  std::uint32_t size)
{
    switch (op) {
    case writer::add_ntfs:
        return add_NTFS_path_prefix(path, dst, size);
    case writer::rem_ntfs:
        return rem_NTFS_path_prefix(path, dst, size);
    case writer::rem_unc:
        return rem_UNC_path_prefix(path, dst, size);
    case writer::pop:
        return path_pop(path, dst, size);
    case writer::push:
        return path_push(path, name, dst, size);
    case writer::count:
        break;
    }
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size_of_data)
{
    FuzzedDataProvider input(data, size_of_data);
    const auto op =
        static_cast<writer>(input.ConsumeIntegralInRange<int>(0, int(writer::count) - 1));
    const bool in_place = input.ConsumeBool();
    const bool fills = op == writer::rem_ntfs || op == writer::rem_unc || op == writer::add_ntfs;
    // Huge sizes only where nothing is filled up to the size.
    std::uint32_t size = input.ConsumeIntegralInRange<std::uint32_t>(0, 96);
    if (!fills && input.ConsumeBool()) size = input.ConsumeIntegral<std::uint32_t>();
    const view alphabet = VELMORA_TEXT("\\/?UNCx:.");
    const text path = take_text(input, alphabet, 64);
    const text name = take_text(input, alphabet, 16);

    // Room for what the writer may touch: the size it was promised (capped
    // where it never fills), the input in place, and the longest result.
    const std::size_t room =
        std::max<std::size_t>({fills ? std::size_t{size} + 1 : 0, path.size() + name.size() + 8});
    std::vector<velmora_char> actual(room + 2 * guard_units, guard);
    velmora_char *dst = actual.data() + guard_units;
    if (in_place) std::copy(path.c_str(), path.c_str() + path.size() + 1, dst);
    std::vector<velmora_char> expected = actual;

    const velmora_char *source = in_place ? dst : path.c_str();
    prime_error_slot();
    const std::int32_t result = call(op, source, name.c_str(), dst, size);
    // On failure the model writes nothing, so `expected` is the untouched buffer.
    const outcome want = model(op, path, name, size, in_place, expected.data() + guard_units);
    if (result != (want.ok ? 1 : 0)) __builtin_trap();
    if (get_err_code() != want.code) __builtin_trap();
    if (actual != expected) __builtin_trap();
    return 0;
}
