// SPDX-License-Identifier: MIT
// A readable page between two that fault, so that code reading across a page
// edge crashes the test (POSIX only).
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>

#include "test_text.h"

namespace velmora_test {

class fenced_page {
  public:
    fenced_page()
    {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void *area = mmap(nullptr, 3 * page_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = static_cast<char *>(area);
        mprotect(base_ + page_, page_, PROT_READ | PROT_WRITE);
    }
    ~fenced_page() { munmap(base_, 3 * page_); }
    fenced_page(const fenced_page &) = delete;
    fenced_page &operator=(const fenced_page &) = delete;

    velmora_char *begin() const { return reinterpret_cast<velmora_char *>(base_ + page_); }
    std::size_t units() const { return page_ / sizeof(velmora_char); }

  private:
    std::size_t page_;
    char *base_;
};

} // namespace velmora_test
