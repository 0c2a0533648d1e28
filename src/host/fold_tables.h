// SPDX-License-Identifier: MIT
// The ASCII part of each upper-case mapping met so far, kept process-wide so
// that a call reaches it without thread-local storage. Each table is made
// once, for the key that names its mapping, and never changes after it is
// published; keys are the host's handle on the mapping in force.
#pragma once

#include <atomic>
#include <cstdint>

#include "host/host.h"

namespace velmora::host {

class fold_tables {
  public:
    // The table for `key` (non-zero), filled from to_upper() the first time
    // the key is met, so it must be the key of the mapping in force; null
    // once every slot holds another mapping, and the caller then maps unit by
    // unit.
    const ascii_fold *find(std::uintptr_t key)
    {
        for (slot &s : slots_) {
            int state = s.state.load(std::memory_order_acquire);
            if (state == ready) {
                if (s.key == key) return &s.fold;
                continue;
            }
            if (state == empty &&
                s.state.compare_exchange_strong(state, filling, std::memory_order_acquire)) {
                fill(s.fold.upper);
                s.fold.plain = is_plain(s.fold.upper);
                s.key = key;
                s.state.store(ready, std::memory_order_release);
                return &s.fold;
            }
        }
        return nullptr;
    }

  private:
    static void fill(std::uint32_t *upper)
    {
        for (unit c = 0; c < 128; ++c)
            upper[c] = to_upper(c);
    }

    static bool is_plain(const std::uint32_t *upper)
    {
        for (std::uint32_t c = 0; c < 128; ++c)
            if (upper[c] != (c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c)) return false;
        return true;
    }

    enum : int { empty, filling, ready };
    struct slot {
        std::atomic<int> state{empty};
        std::uintptr_t key = 0;
        ascii_fold fold = {};
    };
    // More mappings than a process uses; a locale made afresh (newlocale)
    // takes a slot of its own.
    slot slots_[16];
};

} // namespace velmora::host
