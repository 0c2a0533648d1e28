// SPDX-License-Identifier: MIT
// Locales for the tests that follow the C runtime's classification and case
// mapping. The names differ by runtime, so each kind is a short list tried in
// order; a test says which one it ran under.
#pragma once

#include <clocale>
#include <cwctype>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

namespace velmora_test {

// Sets LC_ALL to the first of `names` the runtime takes in which `fits` holds,
// and restores the locale in force before at the end of the scope. name() is
// null when none of them could be had.
class scoped_locale {
  public:
    template <class Fits>
    scoped_locale(std::initializer_list<const char *> names, Fits fits)
        : before_(std::setlocale(LC_ALL, nullptr))
    {
        for (const char *candidate : names) {
            if (!std::setlocale(LC_ALL, candidate)) continue;
            if (fits()) {
                name_ = candidate;
                return;
            }
        }
        restore();
    }
    ~scoped_locale() { restore(); }
    scoped_locale(const scoped_locale &) = delete;
    scoped_locale &operator=(const scoped_locale &) = delete;

    const char *name() const { return name_; }
    void restore() const { std::setlocale(LC_ALL, before_.c_str()); }
    void again() const { std::setlocale(LC_ALL, name_); }

  private:
    std::string before_;
    const char *name_ = nullptr;
};

// A locale beyond C in which e acute is a letter with an upper case: glibc's
// C.UTF-8, or a Windows code page 1252 locale under msvcrt.
inline bool folds_e_acute() { return std::towupper(0xE9) == 0xC9 && std::iswalpha(0xE9); }

inline scoped_locale latin_locale()
{
    return scoped_locale({"C.UTF-8", "C.utf8", "en_US.UTF-8", "English_United States.1252",
                          "French_France.1252", "German_Germany.1252"},
                         folds_e_acute);
}

// A locale where the upper case of i is not I (dotted capital I, U+0130).
inline scoped_locale turkish_locale()
{
    return scoped_locale({"tr_TR.UTF-8", "tr_TR.utf8", "Turkish_Turkey.1254", "Turkish"},
                         [] { return std::towupper('i') != 'I'; });
}

// Runs `check` with the name of each locale it puts in force: C, then the
// Latin and the Turkish locales where the runtime has them.
template <class Check> void in_each_locale(Check check)
{
    check("C");
    {
        const scoped_locale latin = latin_locale();
        if (latin.name()) check(latin.name());
    }
    const scoped_locale turkish = turkish_locale();
    if (turkish.name()) check(turkish.name());
}

} // namespace velmora_test
