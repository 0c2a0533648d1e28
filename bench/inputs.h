// SPDX-License-Identifier: MIT
// The inputs of the peer tables, the same on every platform: realistic file
// names that differ at every position, and whole paths whose components are
// as long as real ones, at fixed lengths.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace velmora_bench {

// Texts back to back in one buffer, each with its terminator, as a directory
// listing holds names: where each lies then follows from the lengths alone,
// the same for every side of a comparison, and not from what else was
// allocated while they were made (which can spread one side's texts over
// several times the memory and time the cache misses, not the calls).
template <class Char> class packed_texts {
  public:
    template <class Texts> explicit packed_texts(const Texts &texts)
    {
        std::vector<std::size_t> starts;
        for (const auto &text : texts) {
            starts.push_back(units_.size());
            units_.insert(units_.end(), text.begin(), text.end());
            units_.push_back(Char{});
        }
        for (const std::size_t start : starts)
            texts_.push_back(units_.data() + start);
    }
    // Neither copied nor moved: the pointers point into this buffer.
    packed_texts(const packed_texts &) = delete;
    packed_texts &operator=(const packed_texts &) = delete;

    std::size_t size() const { return texts_.size(); }
    const Char *operator[](std::size_t i) const { return texts_[i]; }
    auto begin() const { return texts_.begin(); }
    auto end() const { return texts_.end(); }

  private:
    std::vector<Char> units_;
    std::vector<const Char *> texts_;
};

// Texts a call may write into, each in a place of its own in one buffer:
// text i starts 16 * (i % 4) bytes into a cache line, with a line or more
// between one text's terminator and the next text. A C library's allocator
// starts a string at one of those four places, which one depending on all
// that was allocated before, and a scan's speed, ours as a peer's, depends on
// the place: so every side of a row meets each place alike, in every run.
template <class Char> class placed_texts {
  public:
    template <class Texts> explicit placed_texts(const Texts &texts)
    {
        constexpr std::size_t line = 64;
        std::vector<std::size_t> starts;
        std::size_t end = 0;
        for (const auto &text : texts) {
            const std::size_t start = (end + 2 * line - 1) / line * line + 16 * (starts.size() % 4);
            starts.push_back(start);
            end = start + (text.size() + 1) * sizeof(Char);
        }
        bytes_.assign(end + 2 * line, 0);
        unsigned char *const base =
            bytes_.data() + (line - reinterpret_cast<std::uintptr_t>(bytes_.data()) % line);
        std::size_t i = 0;
        for (const auto &text : texts) {
            Char *const placed = reinterpret_cast<Char *>(base + starts[i++]);
            std::copy(text.begin(), text.end(), placed);
            placed[text.size()] = Char{};
            texts_.push_back(placed);
        }
    }
    // Neither copied nor moved: the pointers point into this buffer.
    placed_texts(const placed_texts &) = delete;
    placed_texts &operator=(const placed_texts &) = delete;

    std::size_t size() const { return texts_.size(); }
    Char *operator[](std::size_t i) const { return texts_[i]; }
    auto begin() const { return texts_.begin(); }
    auto end() const { return texts_.end(); }

  private:
    std::vector<unsigned char> bytes_;
    std::vector<Char *> texts_;
};

inline constexpr std::size_t name_count = 20000;
inline constexpr std::size_t path_lengths[] = {20, 80, 260, 1000, 30000};
// Distinct paths per length, so that no single text is learnt.
inline constexpr std::size_t paths_per_length = 16;

// The masks of the name rows: the common shapes of a file dialog's filter.
inline const char *const name_masks[] = {
    "*.txt", "*.LOG", "file?.log", "*report*2024*.csv", "readme.md", "IMG_????.JPG", "*"};

// Names such as report07.txt, server-2024-11-30.log or IMG_0042.JPG, in
// varied case, with enough of each shape that every mask above matches some.
inline std::vector<std::string> realistic_names(std::size_t count = name_count)
{
    static const char *const words[] = {"report", "server", "notes", "backup",  "file",
                                        "readme", "data",   "photo", "invoice", "summary",
                                        "app",    "draft",  "setup", "main",    "config"};
    static const char *const extensions[] = {"txt", "TXT", "log", "LOG",    "md",   "csv",  "CSV",
                                             "JPG", "jpg", "png", "tar.gz", "docx", "json", "cpp"};
    std::mt19937 random(2024);
    const auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    const auto word = [&] {
        std::string w = words[pick(std::size(words))];
        if (pick(4) == 0)
            for (char &c : w)
                c = char(c - 'a' + 'A');
        else if (pick(3) == 0)
            w[0] = char(w[0] - 'a' + 'A');
        return w;
    };
    const auto ext = [&] { return std::string(extensions[pick(std::size(extensions))]); };
    std::vector<std::string> names;
    char buffer[96];
    while (names.size() < count) {
        switch (pick(8)) {
        case 0:
            std::snprintf(buffer, sizeof buffer, "%s%02u.%s", word().c_str(), unsigned(pick(100)),
                          ext().c_str());
            break;
        case 1:
            std::snprintf(buffer, sizeof buffer, "%s-%04u-%02u-%02u.%s", word().c_str(),
                          unsigned(2019 + pick(7)), unsigned(1 + pick(12)), unsigned(1 + pick(28)),
                          pick(2) ? "log" : ext().c_str());
            break;
        case 2:
            std::snprintf(buffer, sizeof buffer, "%s_%04u.%s", pick(2) ? "IMG" : "img",
                          unsigned(pick(10000)), pick(2) ? "JPG" : ext().c_str());
            break;
        case 3:
            std::snprintf(buffer, sizeof buffer, "file%u.%s", unsigned(pick(pick(2) ? 10 : 1000)),
                          pick(2) ? "log" : ext().c_str());
            break;
        case 4:
            std::snprintf(buffer, sizeof buffer, "%s_report_%s_%04u.%s", word().c_str(),
                          word().c_str(), unsigned(2020 + pick(6)),
                          pick(2) ? "csv" : ext().c_str());
            break;
        case 5:
            std::snprintf(buffer, sizeof buffer, "%s.%s", pick(2) ? "readme" : word().c_str(),
                          pick(2) ? "md" : ext().c_str());
            break;
        case 6:
            std::snprintf(buffer, sizeof buffer, "%s_%s.%s.%u", word().c_str(), word().c_str(),
                          ext().c_str(), unsigned(pick(10)));
            break;
        default:
            std::snprintf(buffer, sizeof buffer, "%s %s (%u).%s", word().c_str(), word().c_str(),
                          unsigned(pick(20)), ext().c_str());
            break;
        }
        names.push_back(buffer);
    }
    return names;
}

// Name sets of other shapes than realistic_names(), each with masks that fit
// it: the mask rows must hold on any names, not only on one mix.
struct name_shape {
    const char *label;
    std::vector<std::string> names; // UTF-8
    std::vector<const char *> masks;
};

inline std::vector<name_shape> other_name_shapes(std::size_t count = name_count)
{
    std::mt19937 random(7);
    const auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    char buffer[256];
    std::vector<name_shape> shapes;

    // A folder of numbered files: short, regular, differing only in digits.
    name_shape numbered{"short numbered names", {}, {"*.txt", "?.log", "file?.log", "*", "1*"}};
    static const char *const numbered_ext[] = {"txt", "log", "dat"};
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, pick(2) ? "%u.%s" : "file%u.%s",
                      unsigned(pick(pick(3) ? 10 : 10000)), numbered_ext[pick(3)]);
        numbered.names.push_back(buffer);
    }
    shapes.push_back(std::move(numbered));

    // Long names, as downloads and exports are named.
    name_shape long_names{"long names", {}, {"*.txt", "*.LOG", "*report*2024*.csv", "*"}};
    static const char *const long_words[] = {"quarterly", "report",  "final", "revised",
                                             "customer",  "summary", "2024",  "export"};
    static const char *const long_ext[] = {"txt", "log", "csv", "pdf"};
    for (std::size_t i = 0; i < count; ++i) {
        std::string name;
        for (std::size_t w = 0, words = 6 + pick(10); w < words; ++w)
            name += std::string(w ? "_" : "") + long_words[pick(std::size(long_words))];
        long_names.names.push_back(name + "." + long_ext[pick(std::size(long_ext))]);
    }
    shapes.push_back(std::move(long_names));

    // Names that share a long prefix with the mask: a camera's folder.
    name_shape prefixed{"names sharing the mask's prefix",
                        {},
                        {"IMG_2024????_??????.JPG", "IMG_20241130_*.JPG", "IMG_2024*"}};
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, "IMG_%04u%02u%02u_%02u%02u%02u.%s",
                      unsigned(2023 + pick(2)), unsigned(1 + pick(12)), unsigned(1 + pick(30)),
                      unsigned(pick(24)), unsigned(pick(60)), unsigned(pick(60)),
                      pick(4) ? "JPG" : "jpg");
        prefixed.names.push_back(buffer);
    }
    shapes.push_back(std::move(prefixed));

    // Names beyond ASCII; no '?' in the masks, which a UTF-8 peer would
    // match against one byte of a longer character.
    name_shape wider{"names beyond ASCII", {}, {"*.txt", "résumé*", "*.JPG", "*"}};
    static const char *const wide_words[] = {"résumé", "Ölbild",   "naïve",  "café",
                                             "日本語", "ファイル", "данные", "Straße"};
    static const char *const wide_ext[] = {"txt", "TXT", "JPG", "log"};
    for (std::size_t i = 0; i < count; ++i)
        wider.names.push_back(std::string(wide_words[pick(std::size(wide_words))]) + "_" +
                              std::to_string(pick(1000)) + "." +
                              wide_ext[pick(std::size(wide_ext))]);
    shapes.push_back(std::move(wider));
    return shapes;
}

// A path of exactly `length` units below `root`, components of 3 to 20 units
// and a last one with an extension, separated by `separator`.
inline std::string realistic_path(std::size_t length, std::mt19937 &random, const std::string &root,
                                  char separator)
{
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyz0123456789_-ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto component = [&](std::size_t n) {
        std::string c;
        for (std::size_t i = 0; i < n; ++i)
            c += letters[random() % (sizeof letters - 1)];
        return c;
    };
    std::string path = root;
    // Room for a separator and a last component of at least eight units.
    constexpr std::size_t last_room = 1 + 8;
    while (length - path.size() >= 1 + 3 + last_room) {
        const std::size_t wanted = 3 + random() % 18;
        path += separator + component(std::min(wanted, length - path.size() - 1 - last_room));
    }
    const std::size_t rest = length - path.size() - 1;
    return path + separator + component(rest - 4) + ".txt";
}

inline std::vector<std::string> realistic_paths(std::size_t length, const std::string &root,
                                                char separator)
{
    std::mt19937 random{static_cast<unsigned>(length)};
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < paths_per_length; ++i)
        paths.push_back(realistic_path(length, random, root, separator));
    return paths;
}

} // namespace velmora_bench
