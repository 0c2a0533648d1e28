// A small timing harness shared by the peer benchmarks: each row times our
// call and its peer's on the same inputs in the same process, once both are
// known to answer alike, and prints ns per call and the ratio.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora_bench {

// Nanoseconds per call of `call`, the best of five rounds of at least 20 ms.
template <class Call> double ns_per_call(Call &&call)
{
    using clock = std::chrono::steady_clock;
    std::size_t batch = 1;
    for (;;) {
        const auto start = clock::now();
        for (std::size_t i = 0; i < batch; ++i)
            call();
        if (clock::now() - start > std::chrono::milliseconds(20) || batch >= (std::size_t{1} << 30))
            break;
        batch *= 2;
    }
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = clock::now();
        for (std::size_t i = 0; i < batch; ++i)
            call();
        const std::chrono::duration<double, std::nano> spent = clock::now() - start;
        best = std::min(best, spent.count() / double(batch));
    }
    return best;
}

class peer_table {
  public:
    explicit peer_table(std::string peer_heading) : peer_heading_(std::move(peer_heading)) {}

    void add(std::string pair, std::string input, double ours, double theirs)
    {
        rows_.push_back({std::move(pair), std::move(input), ours, theirs});
    }

    void skip(std::string pair, std::string input, std::string why)
    {
        skipped_.push_back(pair + " / " + input + ": " + why);
    }

    void print() const
    {
        std::printf("| pair | input | velmora ns | %s ns | ratio |\n|---|---|---:|---:|---:|\n",
                    peer_heading_.c_str());
        for (const row &r : rows_)
            std::printf("| %s | %s | %.1f | %.1f | %.2f |\n", r.pair.c_str(), r.input.c_str(),
                        r.ours, r.theirs, r.theirs / r.ours);
        for (const std::string &s : skipped_)
            std::printf("not compared: %s\n", s.c_str());
        std::fflush(stdout);
    }

  private:
    struct row {
        std::string pair, input;
        double ours, theirs;
    };
    std::string peer_heading_;
    std::vector<row> rows_;
    std::vector<std::string> skipped_;
};

// Sink that keeps a result alive without the optimiser dropping the call.
template <class T> inline void keep(const T &value) { asm volatile("" : : "g"(&value) : "memory"); }

} // namespace velmora_bench
