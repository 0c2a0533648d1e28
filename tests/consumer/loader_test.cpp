// SPDX-License-Identifier: MIT
// Loads the shared library by name at run time, the way its callers do, and
// calls it only through the resolved addresses.
#include <gtest/gtest.h>

#include <string>

#include "velmora.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

struct export_row {
    const char *name;
    int ordinal;
};

// Every export with its Windows ordinal, from the export list.
constexpr export_row exports[] = {
#define VELMORA_EXPORT(name, ordinal, ...) {#name, ordinal},
#include "export_list.h"
#undef VELMORA_EXPORT
};

class Library {
  public:
    Library()
    {
#if defined(_WIN32)
        handle_ = LoadLibraryW(L"velmora.dll");
#else
        handle_ = dlopen(VELMORA_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~Library()
    {
#if defined(_WIN32)
        if (handle_) FreeLibrary(handle_);
#else
        if (handle_) dlclose(handle_);
#endif
    }
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    bool loaded() const { return handle_ != nullptr; }

    void *by_name(const char *name) const
    {
#if defined(_WIN32)
        return reinterpret_cast<void *>(GetProcAddress(handle_, name));
#else
        return dlsym(handle_, name);
#endif
    }

#if defined(_WIN32)
    void *by_ordinal(int ordinal) const
    {
        return reinterpret_cast<void *>(GetProcAddress(handle_, MAKEINTRESOURCEA(ordinal)));
    }
#endif

    template <class Function> Function *get(const char *name) const
    {
        return reinterpret_cast<Function *>(by_name(name));
    }

  private:
#if defined(_WIN32)
    HMODULE handle_;
#else
    void *handle_;
#endif
};

TEST(Loader, ResolvesEveryExportAndCallsThroughIt)
{
    const Library library;
    ASSERT_TRUE(library.loaded());

    for (const export_row &row : exports) {
        void *address = library.by_name(row.name);
        EXPECT_NE(address, nullptr) << row.name;
#if defined(_WIN32)
        EXPECT_EQ(library.by_ordinal(row.ordinal), address) << row.name << " @" << row.ordinal;
#endif
    }

    // A fresh load holds no error.
    const auto err_code = library.get<decltype(get_err_code)>("get_err_code");
    EXPECT_EQ(err_code(), err_none);

    const auto file_part = library.get<decltype(get_file_part)>("get_file_part");
    const velmora_char *path = VELMORA_TEXT("C:\\dir\\file.txt");
    EXPECT_EQ(file_part(path), path + 7);

    velmora_char out[16];
    const auto push = library.get<decltype(path_push)>("path_push");
    EXPECT_EQ(push(VELMORA_TEXT("C:\\dir"), VELMORA_TEXT("file"), out, 11), 0);
    EXPECT_EQ(err_code(), err_buffer_small);

    const auto error_text = library.get<decltype(get_error_text)>("get_error_text");
    EXPECT_EQ(std::basic_string<velmora_char>(error_text(err_code())),
              VELMORA_TEXT("Buffer is too small"));
}

TEST(Loader, ExportsNothingElseByTheseNames)
{
    const Library library;
    ASSERT_TRUE(library.loaded());
    for (const char *internal : {"set_err_code", "last_error", "bounded_copy"})
        EXPECT_EQ(library.by_name(internal), nullptr) << internal;
}

} // namespace
