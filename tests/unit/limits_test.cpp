// SPDX-License-Identifier: MIT
// Inputs at the edges of the contract: very long texts, many stars, extreme
// sizes, lone surrogates, null pointers, and threads with small stacks. Each
// call answers correctly or fails as documented; the sanitizer builds run
// these too, so an access out of bounds fails them.
#include <functional>

#include "support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <limits.h>
#include <pthread.h>
#endif

namespace velmora_test {
namespace {

// "C:\d\d\...\d" of exactly `length` units.
text deep_path(std::size_t length)
{
    text path = T("C:") + repeat(T("\\d"), (length - 2) / 2);
    if (path.size() < length) path += T('x');
    return path;
}

// What a file query may answer for a path the platform cannot take: a
// failure with code 3, or "not there" with code 4.
bool documented_query_outcome(std::int32_t result, std::int32_t exists)
{
    const std::int32_t code = get_err_code();
    return (result == 0 && code == err_undefined) ||
           (result == 1 && exists == 0 && code == err_file_not_found);
}

// Calls every export on texts of `length` units and reports each wrong answer.
void exercise_every_export(std::size_t length, std::vector<std::string> &wrong)
{
    const auto check = [&](bool right, const char *what) {
        if (!right) wrong.push_back(std::string(what) + " at " + std::to_string(length));
    };
    const text path = deep_path(length);
    const text prefixed = T("\\\\?\\") + path;
    const text unc = T("\\\\") + path;
    text out(length + 16, guard);

    check(has_NTFS_path_prefix(prefixed.c_str()) == 1, "has_NTFS_path_prefix");
    check(is_UNC_path(unc.c_str()) == 1, "is_UNC_path");
    check(rem_NTFS_path_prefix(prefixed.c_str(), out.data(), std::uint32_t(prefixed.size())) == 1 &&
              view(out.data()) == path,
          "rem_NTFS_path_prefix");
    check(rem_NTFS_path_prefix(path.c_str(), out.data(), std::uint32_t(length - 1)) == 0 &&
              get_err_code() == err_buffer_small,
          "rem_NTFS_path_prefix size");
    check(rem_UNC_path_prefix(unc.c_str(), out.data(), std::uint32_t(unc.size())) == 1 &&
              view(out.data()) == path,
          "rem_UNC_path_prefix");
    check(add_NTFS_path_prefix(path.c_str(), out.data(), std::uint32_t(length + 4)) == 1 &&
              view(out.data()) == prefixed,
          "add_NTFS_path_prefix");
    check(get_drive_part(path.c_str()) == path.c_str(), "get_drive_part");
    check(is_absolute(prefixed.c_str()) == 1, "is_absolute");
    check(get_file_part(path.c_str()) == path.c_str() + path.rfind(T('\\')) + 1, "get_file_part");
    const velmora_char *part = get_path_part(prefixed.c_str());
    check(prefixed.size() > 32767 ? part == nullptr && get_err_code() == err_buffer_small
                                  : part == prefixed.c_str() + 7,
          "get_path_part");
    check(path_pop(path.c_str(), out.data(), std::uint32_t(length)) == 1 &&
              view(out.data()) == view(path).substr(0, path.rfind(T('\\'))),
          "path_pop");
    check(path_push(path.c_str(), T("x"), out.data(), std::uint32_t(length + 3)) == 1 &&
              view(out.data()).size() == length + 2,
          "path_push");
    check(path_push(path.c_str(), T("x"), out.data(), std::uint32_t(length + 2)) == 0,
          "path_push size");
    check(is_mask(path.c_str()) == 0, "is_mask");
    check(path_mask_cmp(path.c_str(), T("d")) == 1, "path_mask_cmp name");
    check(path_mask_cmp(path.c_str(), path.c_str()) == 1, "path_mask_cmp itself");
    const text stars = T("C:\\") + repeat(T("*\\"), (length - 3) / 2);
    check(path_mask_cmp(path.c_str(), stars.c_str()) == 1, "path_mask_cmp stars");

    std::int32_t flag = 0;
    velmora_file_attributes record;
    const std::int32_t exist_result = file_exist(path.c_str(), &flag);
    check(documented_query_outcome(exist_result, flag), "file_exist");
    const std::int32_t attr = get_file_attr(path.c_str(), &record);
    check(attr == 0 && (get_err_code() == err_undefined || get_err_code() == err_file_not_found),
          "get_file_attr");
    check(is_directory(path.c_str(), &flag) == 0, "is_directory");
}

TEST(Limits, LongTextsThroughEveryExport)
{
    for (const std::size_t length : {40000u, 100000u, 1000000u}) {
        std::vector<std::string> wrong;
        exercise_every_export(length, wrong);
        for (const std::string &what : wrong)
            ADD_FAILURE() << what;
    }
}

TEST(Limits, TwentyThousandStars)
{
    const text stars(20000, T('*'));
    EXPECT_EQ(path_mask_cmp(T("C:\\dir\\a*b"), stars.c_str()), 1);
    EXPECT_EQ(path_mask_cmp(T("C:\\dir\\ab"), stars.c_str()), 0);
    EXPECT_EQ(is_mask(stars.c_str()), 1);
    const text star_parts = T("C:\\") + repeat(T("*\\"), 10000);
    EXPECT_EQ(path_mask_cmp(T("C:\\a\\b"), star_parts.c_str()), 0) << "the path runs out first";
    const text deep = T("C:\\") + repeat(T("a\\"), 10000);
    EXPECT_EQ(path_mask_cmp(deep.c_str(), star_parts.c_str()), 1);
    const text star_a = repeat(T("*a"), 20000) + T("b");
    EXPECT_EQ(path_mask_cmp(text(60, T('a')).c_str(), star_a.c_str()), 0);
}

TEST(Limits, ExtremeSizes)
{
    const auto succeeds = [](std::int32_t result) { return result == 1; };
    velmora_char out[16];
    EXPECT_TRUE(succeeds(rem_NTFS_path_prefix(T(""), out, 0)));
    EXPECT_EQ(out[0], 0);
    EXPECT_FALSE(succeeds(rem_NTFS_path_prefix(T("a"), out, 0)));
    EXPECT_TRUE(succeeds(rem_UNC_path_prefix(T("a"), out, 1)));
    EXPECT_FALSE(succeeds(add_NTFS_path_prefix(T(""), out, 1)));
    EXPECT_FALSE(succeeds(path_push(T(""), T(""), out, 1)));
    EXPECT_TRUE(succeeds(path_pop(T("\\"), out, 0)));
    // The largest size: only writers that write no more than their result.
    EXPECT_TRUE(succeeds(add_NTFS_path_prefix(T("C:\\a"), out, UINT32_MAX)));
    EXPECT_TRUE(succeeds(path_pop(T("C:\\a"), out, UINT32_MAX)));
    EXPECT_TRUE(succeeds(path_push(T("C:"), T("a"), out, UINT32_MAX)));
    EXPECT_TRUE(succeeds(path_push(T("C:"), T("a"), out, UINT32_MAX - 1)));
}

TEST(Limits, LoneSurrogates)
{
    const velmora_char high = 0xD800;
    const velmora_char low = 0xDC00;
    const text path = T("C:\\") + text(1, high) + T("\\") + text(1, low);
    EXPECT_EQ(get_file_part(path.c_str()), path.c_str() + 5);
    EXPECT_EQ(get_drive_part((text(1, high) + T(":")).c_str()), nullptr);
    EXPECT_EQ(path_mask_cmp(path.c_str(), (T("D:\\?\\") + text(1, low)).c_str()), 1);
    EXPECT_EQ(path_mask_cmp(path.c_str(), T("*")), 1);
    velmora_char out[16];
    EXPECT_EQ(path_pop(path.c_str(), out, 15), 1);
    EXPECT_EQ(view(out), view(path).substr(0, 4));
    std::int32_t exists = 7;
    const std::int32_t result = file_exist(path.c_str(), &exists);
    EXPECT_TRUE(documented_query_outcome(result, exists));
}

TEST(Limits, NullPointersNeverCrash)
{
    velmora_char out[8];
    std::int32_t flag = 5;
    velmora_file_attributes record;
    EXPECT_EQ(has_NTFS_path_prefix(nullptr), 0);
    EXPECT_EQ(is_UNC_path(nullptr), 0);
    EXPECT_EQ(is_absolute(nullptr), 0);
    EXPECT_EQ(is_mask(nullptr), 0);
    EXPECT_EQ(get_drive_part(nullptr), nullptr);
    EXPECT_EQ(get_file_part(nullptr), nullptr);
    EXPECT_EQ(get_path_part(nullptr), nullptr);
    EXPECT_EQ(path_mask_cmp(nullptr, nullptr), 0);
    prime_error_slot();
    EXPECT_EQ(add_NTFS_path_prefix(nullptr, out, 8), 0);
    EXPECT_EQ(rem_NTFS_path_prefix(nullptr, nullptr, 8), 0);
    EXPECT_EQ(rem_UNC_path_prefix(T("x"), nullptr, 8), 0);
    EXPECT_EQ(path_pop(nullptr, nullptr, 8), 0);
    EXPECT_EQ(path_push(nullptr, nullptr, nullptr, 8), 0);
    EXPECT_EQ(file_exist(nullptr, nullptr), 0);
    EXPECT_EQ(get_file_attr(nullptr, &record), 0);
    EXPECT_EQ(is_directory(T("x"), nullptr), 0);
    EXPECT_EQ(get_err_code(), err_not_path);
    EXPECT_EQ(flag, 5);
}

#if defined(_WIN32)
// A thread's entry point takes the platform's calling convention, which a
// lambda cannot be given.
DWORD WINAPI run_on_windows_thread(void *argument)
{
    (*static_cast<const std::function<void()> *>(argument))();
    return 0;
}
#endif

// Runs `work` on a thread of its own with a stack of `bytes`.
void run_on_small_stack(std::size_t bytes, const std::function<void()> &work)
{
#if defined(_WIN32)
    HANDLE thread = CreateThread(nullptr, bytes, run_on_windows_thread,
                                 const_cast<std::function<void()> *>(&work),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    const auto start = [](void *argument) -> void * {
        (*static_cast<const std::function<void()> *>(argument))();
        return nullptr;
    };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
    pthread_t thread;
    ASSERT_EQ(
        pthread_create(&thread, &attributes, start, const_cast<std::function<void()> *>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#endif
}

// 64 KiB, or the system's least thread stack where that is more (128 KiB on
// 64-bit ARM, whose pages may be 64 KiB).
std::size_t small_stack()
{
#if defined(PTHREAD_STACK_MIN)
    const auto least = static_cast<std::size_t>(PTHREAD_STACK_MIN);
    return least > 64 * 1024 ? least : 64 * 1024;
#else
    return 64 * 1024;
#endif
}

TEST(Limits, EveryExportOnASmallStack)
{
    // Answers are gathered on the small stack and judged on this one.
    const velmora_char *relative_mask = T("..\\data\\*");
    const std::int32_t relative_here = path_mask_cmp(T("C:\\data\\x"), relative_mask);
    std::vector<std::string> wrong;
    run_on_small_stack(small_stack(), [&] {
        for (const std::size_t length : {40000u, 100000u})
            exercise_every_export(length, wrong);
        const text stars(20000, T('*'));
        if (path_mask_cmp(T("C:\\a*b"), stars.c_str()) != 1) wrong.push_back("stars");
        if (path_mask_cmp(T("C:\\data\\x"), relative_mask) != relative_here)
            wrong.push_back("relative mask");
    });
    for (const std::string &what : wrong)
        ADD_FAILURE() << what;
}

} // namespace
} // namespace velmora_test
