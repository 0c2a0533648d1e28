// SPDX-License-Identifier: MIT
// The timing discipline of the peer tables. A row times our call and its
// peer's on the same inputs in the same process, once both are known to answer
// alike on every input. Each round times the two back to back, the order
// turning round by round, and gives one ratio; the table shows the median
// ratio over the rounds with its quartiles, so that a burst of noise moves one
// round and not the row.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora_bench {

inline constexpr int rounds = 15;

// Sink that keeps a result alive without the optimiser dropping the call.
template <class T> inline void keep(const T &value) { asm volatile("" : : "g"(&value) : "memory"); }

template <class Pass> double seconds_of(Pass &pass, std::size_t repeats)
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    for (std::size_t i = 0; i < repeats; ++i)
        pass();
    return std::chrono::duration<double>(clock::now() - start).count();
}

// How often `pass` must run to take about two milliseconds.
template <class Pass> std::size_t repeats_for(Pass &pass)
{
    std::size_t repeats = 1;
    while (seconds_of(pass, repeats) < 0.002 && repeats < (std::size_t{1} << 30))
        repeats *= 2;
    return repeats;
}

struct quartiles {
    double low, median, high;
};

inline quartiles quartiles_of(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const double place = q * double(values.size() - 1);
        const std::size_t below = std::size_t(place);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (place - double(below));
    };
    return {at(0.25), at(0.5), at(0.75)};
}

// One row's figures: ns per call of each side (medians over the rounds) and
// the per-round ratio theirs / ours.
struct row_timing {
    double ours_ns, theirs_ns;
    quartiles ratio;
};

// Times two passes that each make `calls` calls, round by round.
template <class Ours, class Theirs>
row_timing time_pair(Ours &&ours, Theirs &&theirs, std::size_t calls)
{
    const std::size_t repeats = std::max(repeats_for(ours), repeats_for(theirs));
    std::vector<double> ours_ns, theirs_ns, ratios;
    for (int round = 0; round < rounds; ++round) {
        double a, b;
        if (round % 2 == 0) {
            a = seconds_of(ours, repeats);
            b = seconds_of(theirs, repeats);
        } else {
            b = seconds_of(theirs, repeats);
            a = seconds_of(ours, repeats);
        }
        const double per_call = 1e9 / double(repeats * calls);
        ours_ns.push_back(a * per_call);
        theirs_ns.push_back(b * per_call);
        ratios.push_back(b / a);
    }
    return {quartiles_of(ours_ns).median, quartiles_of(theirs_ns).median, quartiles_of(ratios)};
}

class peer_table {
  public:
    // `ratio_heading` names the ratio column, e.g. "glibc / ours";
    // `first_heading` the side that time_pair takes first.
    peer_table(std::string peer_heading, std::string ratio_heading,
               std::string first_heading = "velmora")
        : first_heading_(std::move(first_heading)), peer_heading_(std::move(peer_heading)),
          ratio_heading_(std::move(ratio_heading))
    {
    }

    void add(std::string pair, std::string input, const row_timing &t)
    {
        rows_.push_back({std::move(pair), std::move(input), t});
        std::fprintf(stderr, "  %s / %s: %.2f\n", rows_.back().pair.c_str(),
                     rows_.back().input.c_str(), t.ratio.median);
    }

    void skip(std::string pair, std::string input, std::string why)
    {
        skipped_.push_back(pair + " / " + input + ": " + why);
    }

    void print() const
    {
        std::printf("| pair | input | %s ns | %s ns | %s (median) | quartiles |\n"
                    "|---|---|---:|---:|---:|---:|\n",
                    first_heading_.c_str(), peer_heading_.c_str(), ratio_heading_.c_str());
        for (const row &r : rows_)
            std::printf("| %s | %s | %.2f | %.2f | %.2f | %.2f–%.2f |\n", r.pair.c_str(),
                        r.input.c_str(), r.t.ours_ns, r.t.theirs_ns, r.t.ratio.median,
                        r.t.ratio.low, r.t.ratio.high);
        for (const std::string &s : skipped_)
            std::printf("not compared: %s\n", s.c_str());
        std::fflush(stdout);
    }

  private:
    struct row {
        std::string pair, input;
        row_timing t;
    };
    std::string first_heading_, peer_heading_, ratio_heading_;
    std::vector<row> rows_;
    std::vector<std::string> skipped_;
};

} // namespace velmora_bench
