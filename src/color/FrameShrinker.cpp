#include "FrameShrinker.h"

#include "GIFEncoder.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

TGIFGraphicControlExtension* AddControlExtension(TGIFSubImage& frame) {
    auto ext = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension* added = ext.get();
    frame.Extensions().AppendItem(std::move(ext));
    return added;
}

int FrameCount(const TGIFPicture& picture) {
    return picture.Images().ItemCount();
}

// Bytes of LZW image data for width × height pixels at the picture's code size.
size_t LzwSize(const std::vector<uint8_t>& pixels, int width, int height, int bits, bool interlaced = false) {
    TMemoryStream out;
    TLZWEncoder(nullptr).Compress(out, bits, 1 << bits, pixels.data(), interlaced, height, width);
    return out.Data().size();
}

// A pixel order for LZW where some pixels may take either of two values (as shown, or keep): a greedy
// LZW pass that gives each such pixel the value that lets the current string grow, so the string table
// finds longer matches. keep is tried first, and starts a new string where neither value continues one.
std::vector<uint8_t> GreedyChoice(const std::vector<uint8_t>& plain, const std::vector<bool>& free, int keep,
                                  int bits) {
    const int firstCode = (1 << bits) + 2;
    std::unordered_map<uint32_t, int> table;
    int nextCode = firstCode;
    std::vector<uint8_t> chosen(plain.size());
    int current = -1;
    for (size_t i = 0; i < plain.size(); ++i) {
        uint8_t options[2] = {plain[i], plain[i]};
        if (free[i]) {
            options[0] = static_cast<uint8_t>(keep);
            options[1] = plain[i];
        }
        if (current >= 0) {
            bool grown = false;
            for (uint8_t v : options) {
                const auto at = table.find(static_cast<uint32_t>(current) << 8 | v);
                if (at != table.end()) {
                    current = at->second, chosen[i] = v, grown = true;
                    break;
                }
            }
            if (grown) continue;
            if (nextCode < 4095) {
                table.emplace(static_cast<uint32_t>(current) << 8 | options[0], nextCode++);
            } else { // the encoder clears its table here
                table.clear();
                nextCode = firstCode;
            }
        }
        chosen[i] = options[0];
        current = options[0];
    }
    return chosen;
}

// As GreedyChoice, but each string takes the longest match the table offers, searching both values of
// the free pixels (a bounded search); the string that follows starts with the value its own longest
// match needs.
std::vector<uint8_t> LongestChoice(const std::vector<uint8_t>& plain, const std::vector<bool>& free, int keep,
                                   int bits) {
    const int firstCode = (1 << bits) + 2;
    std::unordered_map<uint32_t, int> table;
    int nextCode = firstCode;
    const size_t n = plain.size();
    std::vector<uint8_t> chosen(n), path, bestPath;
    auto options = [&](size_t i, uint8_t(&o)[2]) {
        if (!free[i]) return o[0] = plain[i], 1;
        o[0] = static_cast<uint8_t>(keep);
        o[1] = plain[i];
        return 2;
    };
    int budget = 0, bestCode = 0;
    // Longest path from pos with the string so far being code; path holds the values chosen.
    std::function<void(size_t, int)> walk = [&](size_t pos, int code) {
        if (path.size() > bestPath.size()) bestPath = path, bestCode = code;
        if (pos >= n || --budget < 0) return;
        uint8_t o[2];
        const int count = options(pos, o);
        for (int k = 0; k < count; ++k) {
            const auto at = table.find(static_cast<uint32_t>(code) << 8 | o[k]);
            if (at == table.end()) continue;
            path.push_back(o[k]);
            walk(pos + 1, at->second);
            path.pop_back();
        }
    };
    int previous = -1;
    for (size_t i = 0; i < n;) {
        bestPath.clear();
        uint8_t o[2];
        const int count = options(i, o);
        for (int k = 0; k < count; ++k) {
            path.assign(1, o[k]);
            budget = 64;
            const size_t before = bestPath.size();
            walk(i + 1, o[k]);
            if (bestPath.size() == before && before == 0) bestPath = path, bestCode = o[k];
        }
        std::copy(bestPath.begin(), bestPath.end(), chosen.begin() + static_cast<std::ptrdiff_t>(i));
        if (previous >= 0) {
            if (nextCode < 4095) {
                table.emplace(static_cast<uint32_t>(previous) << 8 | bestPath[0], nextCode++);
            } else { // the encoder clears its table here
                table.clear();
                nextCode = firstCode;
            }
        }
        previous = bestCode;
        i += bestPath.size();
    }
    return chosen;
}

// As GreedyChoice, but several ways of choosing are followed side by side (a beam): at each pixel that
// may take either value, each way splits in two, and the `width` ways that have written the fewest
// code bits so far go on. Each way keeps its own string table (shared until it adds an entry), so the
// choice weighs what a value adds to the table for later strings, not only the string it is in.
std::vector<uint8_t> BeamChoice(const std::vector<uint8_t>& plain, const std::vector<bool>& free, int keep,
                                int bits, int width) {
    const int firstCode = (1 << bits) + 2;
    // A small open-addressed table from (string code, value) to code; copied when a shared way adds.
    struct TTable {
        std::vector<uint32_t> Keys; // key + 1; 0 is empty
        std::vector<uint16_t> Codes;
        int Find(uint32_t key) const {
            const size_t mask = Keys.size() - 1;
            for (size_t h = (key * 2654435761u) & mask;; h = (h + 1) & mask) {
                if (Keys[h] == 0) return -1;
                if (Keys[h] == key + 1) return Codes[h];
            }
        }
        void Add(uint32_t key, int code) {
            const size_t mask = Keys.size() - 1;
            size_t h = (key * 2654435761u) & mask;
            while (Keys[h] != 0)
                h = (h + 1) & mask;
            Keys[h] = key + 1, Codes[h] = static_cast<uint16_t>(code);
        }
    };
    size_t capacity = 64;
    while (capacity < 2 * (plain.size() + 2))
        capacity *= 2;
    struct TWay {
        std::shared_ptr<TTable> Table;
        int Current = -1, NextCode = 0;
        long long Bits = 0;
        int Path = -1; // the last choice in the history
    };
    struct TStep {
        int Parent;
        uint8_t Value;
    };
    std::vector<TStep> history;
    history.reserve(plain.size() * static_cast<size_t>(width) * 2);
    auto empty = std::make_shared<TTable>();
    empty->Keys.assign(capacity, 0);
    empty->Codes.assign(capacity, 0);
    std::vector<TWay> ways{TWay{empty, -1, firstCode, 0, -1}}, next;
    auto codeWidth = [](int code) {
        int w = 1;
        while ((1 << w) <= code)
            ++w;
        return w;
    };
    for (size_t i = 0; i < plain.size(); ++i) {
        next.clear();
        const int count = free[i] && plain[i] != keep ? 2 : 1;
        for (TWay& way : ways)
            for (int k = 0; k < count; ++k) {
                const uint8_t v = k == 0 ? plain[i] : static_cast<uint8_t>(keep);
                TWay grown = way;
                history.push_back({way.Path, v});
                grown.Path = static_cast<int>(history.size()) - 1;
                if (way.Current < 0) {
                    grown.Current = v;
                } else {
                    const uint32_t key = static_cast<uint32_t>(way.Current) << 8 | v;
                    const int code = way.Table->Find(key);
                    if (code >= 0) {
                        grown.Current = code;
                    } else {
                        grown.Bits += codeWidth(way.NextCode);
                        if (way.NextCode < 4096 &&
                            2 * static_cast<size_t>(way.NextCode - firstCode + 1) < capacity) {
                            if (grown.Table.use_count() > 1)
                                grown.Table = std::make_shared<TTable>(*way.Table);
                            grown.Table->Add(key, grown.NextCode++);
                        }
                        grown.Current = v;
                    }
                }
                next.push_back(std::move(grown));
            }
        if (next.size() > static_cast<size_t>(width)) {
            std::stable_sort(next.begin(), next.end(),
                             [](const TWay& l, const TWay& r) { return l.Bits < r.Bits; });
            next.resize(static_cast<size_t>(width));
        }
        std::swap(ways, next);
    }
    std::vector<uint8_t> chosen(plain.size());
    size_t at = plain.size();
    for (int p = ways.front().Path; p >= 0; p = history[static_cast<size_t>(p)].Parent)
        chosen[--at] = history[static_cast<size_t>(p)].Value;
    return chosen;
}

// One frame of the smaller file as it is chosen: its rectangle, whether it is cleared after it is shown
// (Disposal Method 2), its transparent index (-1: none), the code size it is written with and its pixels.
struct TShrunkFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Clear = false;
    int Transparent = -1;
    int CodeBits = 2;
    bool Interlaced = false;        // rows written in interlace order, when that is shorter
    bool Local = false;             // Data holds indices of a table of the frame's own: TableFrom
    std::vector<uint8_t> TableFrom; // that table: each entry's index in the frame's table as it was
    size_t Size = 0;                // bytes of LZW data (and of the frame's own table)
    std::vector<uint8_t> Data;
};

// A frame with a table of its own (when the frames use more colours than one table holds): the index
// of each colour it shows in its table, its transparent index (-1: none) and its table's code size.
struct TLocalTable {
    std::unordered_map<int, uint8_t> IndexOf; // by colour (as in the frames' pictures)
    int Transparent = -1;
    int Bits = 2;
};

// The beam follows 16 ways on rectangles of up to 512 pixels (a small moving part): wider beams and
// larger rectangles cost far more time than the bytes they save.
constexpr size_t BeamArea = 512;
constexpr int BeamWidth = 16;
constexpr int None = -1; // a pixel where the transparent index lets the background through

int BitsFor(int highestIndex, int bits) {
    int codeBits = 2;
    while ((1 << codeBits) <= highestIndex)
        ++codeBits;
    return std::min(codeBits, bits);
}

// Chooses every frame of the smaller file from what each frame shows (its index, or None). Each frame
// after the first holds only the rectangle that differs from what is shown after the frame before; t is
// the index shown as transparent, or -1. Where the next frame (frame 0 after the last, as the animation
// starts again) shows the background at a pixel that is drawn now, the frame's rectangle also takes in
// those pixels and the frame is cleared after it is shown; the next frame then draws again what it
// shows inside that rectangle. Each frame depends only on what the frames show, not on how the others
// are written, so a frame's choice can be swapped for a smaller one of the same frame.
std::vector<TShrunkFrame> ChooseFrames(const std::vector<std::vector<int>>& shows, int width, int height,
                                       int bits, int limit, int t,
                                       const std::vector<std::optional<TLocalTable>>& locals) {
    const int count = static_cast<int>(shows.size());
    const size_t area = static_cast<size_t>(width) * height;
    std::vector<TShrunkFrame> frames(static_cast<size_t>(count));
    std::vector<int> shown(area, None);
    for (int i = 0; i < count; ++i) {
        const std::vector<int>& target = shows[static_cast<size_t>(i)];
        const std::vector<int>& next = shows[static_cast<size_t>((i + 1) % count)];
        // The rectangle of pixels that change now or must be cleared for the next frame; frame 0 is
        // whole, and a frame that changes nothing keeps one pixel.
        int left = width, top = height, right = -1, bottom = -1;
        bool clear = false;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t p = static_cast<size_t>(y) * width + x;
                const bool uncovered = target[p] != None && next[p] == None;
                clear = clear || uncovered;
                if (i == 0 || uncovered || shown[p] != target[p]) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        if (right < 0) left = right = top = bottom = 0;
        const int w = right - left + 1, h = bottom - top + 1;
        // A frame of its own table whose rectangle shows only colours of the global table (and no
        // background, or the global table has the transparent colour) is written as the others are.
        bool globalColors = true;
        for (int y = top; y <= bottom && globalColors; ++y)
            for (int x = left; x <= right; ++x) {
                const int value = target[static_cast<size_t>(y) * width + x];
                if (value == None ? t < 0 : value >= limit) {
                    globalColors = false;
                    break;
                }
            }
        if (locals[static_cast<size_t>(i)] && !globalColors) {
            // Otherwise it gets a table of just the colours its rectangle writes (and an entry for the
            // background or the pixels left as shown): the shortest way, its table counted, in row order
            // or interlaced.
            const TLocalTable& own = *locals[static_cast<size_t>(i)];
            TShrunkFrame& chosen = frames[static_cast<size_t>(i)];
            chosen.Left = left, chosen.Top = top, chosen.Width = w, chosen.Height = h, chosen.Clear = clear;
            chosen.Local = true;
            size_t best = SIZE_MAX;
            // Three ways: every pixel as it is; every unchanged pixel transparent (the table then holds
            // only the colours that change); and, with the table of every colour of the rectangle plus a
            // transparent entry, the greedy LZW choices of which unchanged pixels to leave as shown.
            for (int way = 0; way < 3; ++way) {
                const bool keepUnchanged = way == 1, choose = way == 2;
                std::unordered_map<int, uint8_t> slot;
                std::vector<uint8_t> entries, data(static_cast<size_t>(w) * h);
                std::vector<bool> seeThrough(data.size(), false), free(data.size(), false);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const size_t p = static_cast<size_t>(top + y) * width + left + x;
                        const size_t q = static_cast<size_t>(y) * w + x;
                        free[q] = target[p] != None && shown[p] == target[p];
                        if (target[p] == None || (keepUnchanged && free[q])) {
                            seeThrough[q] = true;
                            continue;
                        }
                        const auto [at, fresh] =
                            slot.emplace(target[p], static_cast<uint8_t>(entries.size()));
                        if (fresh) entries.push_back(own.IndexOf.at(target[p]));
                        data[q] = at->second;
                    }
                const bool transparent =
                    choose || std::find(seeThrough.begin(), seeThrough.end(), true) != seeThrough.end();
                const int see = transparent ? static_cast<int>(entries.size()) : -1;
                if (see > 255) continue; // no room for the background's entry
                for (size_t q = 0; q < data.size(); ++q)
                    if (seeThrough[q]) data[q] = static_cast<uint8_t>(see);
                const int highest = std::max(see, static_cast<int>(entries.size()) - 1);
                const int codeBits = BitsFor(std::max(highest, 0), 8);
                int tableBits = 1;
                while ((1 << tableBits) <= highest)
                    ++tableBits;
                std::vector<std::vector<uint8_t>> tries;
                if (choose) {
                    tries.push_back(GreedyChoice(data, free, see, codeBits));
                    tries.push_back(LongestChoice(data, free, see, codeBits));
                } else {
                    tries.push_back(std::move(data));
                }
                for (const std::vector<uint8_t>& tried : tries)
                    for (bool interlaced : {false, true}) {
                        if (interlaced && h < 3) break;
                        const size_t size =
                            LzwSize(tried, w, h, codeBits, interlaced) + 3 * (size_t(1) << tableBits);
                        if (size >= best) continue;
                        best = size;
                        chosen.Size = size, chosen.Interlaced = interlaced, chosen.CodeBits = codeBits;
                        chosen.Data = tried, chosen.Transparent = see, chosen.TableFrom = entries;
                    }
            }
            shown = target;
            if (clear)
                for (int y = top; y <= bottom; ++y)
                    std::fill_n(shown.begin() + static_cast<std::ptrdiff_t>(y) * width + left, w, None);
            continue;
        }
        // Indices that may stand for "leave as shown" (the frame's transparent index): any no changed pixel
        // uses. Those most frequent among the unchanged pixels are tried (a run of them then reads the same
        // either way), and the lowest and the highest free one (often a padding entry of the table).
        std::vector<int> unchanged(static_cast<size_t>(limit), 0);
        std::vector<bool> used(static_cast<size_t>(limit), false);
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const size_t p = static_cast<size_t>(y) * width + x;
                const int value = target[p] == None ? t : target[p];
                if (shown[p] != target[p])
                    used[static_cast<size_t>(value)] = true;
                else
                    ++unchanged[static_cast<size_t>(value)];
            }
        std::vector<int> keeps;
        for (int c = 0; c < limit; ++c)
            if (!used[static_cast<size_t>(c)]) keeps.push_back(c);
        const int highest = keeps.empty() ? -1 : keeps.back();
        std::stable_sort(keeps.begin(), keeps.end(), [&](int l, int r) {
            return unchanged[static_cast<size_t>(l)] > unchanged[static_cast<size_t>(r)];
        });
        const int lowest = keeps.empty() ? -1 : *std::min_element(keeps.begin(), keeps.end());
        if (keeps.size() > 3) keeps.resize(3);
        for (int extra : {lowest, highest})
            if (extra >= 0 && std::find(keeps.begin(), keeps.end(), extra) == keeps.end())
                keeps.push_back(extra);

        // Candidates, each with its transparent index (-1: none): the pixels as they are (the background
        // written as t); then for each keep: every unchanged pixel as keep and two greedy LZW choices;
        // then, on a small rectangle, the beam for the keep of the shortest of those. Each is
        // written with the fewest bits that hold its highest index (the LZW codes are shorter when a
        // frame uses only the first entries of the table), in row order or interlaced: the shortest wins.
        const size_t rect = static_cast<size_t>(w) * h;
        TShrunkFrame& chosen = frames[static_cast<size_t>(i)];
        chosen.Size = SIZE_MAX;
        int beamKeep = -1; // the keep of the shortest keep candidate
        size_t beamKeepSize = SIZE_MAX;
        auto consider = [&](std::vector<uint8_t>&& data, int transparent) {
            const int codeBits = BitsFor(*std::max_element(data.begin(), data.end()), bits);
            bool better = false;
            for (bool interlaced : {false, true}) {
                if (interlaced && h < 3) break; // the same row order
                const size_t size = LzwSize(data, w, h, codeBits, interlaced);
                if (transparent >= 0 && size < beamKeepSize) beamKeep = transparent, beamKeepSize = size;
                if (size < chosen.Size) {
                    chosen.Size = size, chosen.CodeBits = codeBits, chosen.Interlaced = interlaced;
                    better = true;
                }
            }
            if (better) chosen.Data = std::move(data), chosen.Transparent = transparent;
        };
        std::vector<uint8_t> plain(rect);
        std::vector<bool> same(rect), background(rect);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t p = static_cast<size_t>(top + y) * width + left + x,
                             q = static_cast<size_t>(y) * w + x;
                plain[q] = static_cast<uint8_t>(target[p] == None ? t : target[p]);
                same[q] = shown[p] == target[p];
                background[q] = target[p] == None; // always unchanged: nothing uncovers the background
            }
        consider(std::vector<uint8_t>(plain), t);
        // The background can only be left as it is: where keep is not t, it takes keep.
        auto fixedFor = [&](int keep, std::vector<bool>& free) {
            std::vector<uint8_t> fixed(plain);
            for (size_t q = 0; q < rect; ++q) {
                if (background[q]) fixed[q] = static_cast<uint8_t>(keep);
                free[q] = same[q] && !background[q];
            }
            return fixed;
        };
        for (int keep : keeps) {
            std::vector<bool> free(rect);
            const std::vector<uint8_t> fixed = fixedFor(keep, free);
            std::vector<uint8_t> masked(rect);
            for (size_t q = 0; q < rect; ++q)
                masked[q] = same[q] ? static_cast<uint8_t>(keep) : fixed[q];
            consider(std::move(masked), keep);
            consider(GreedyChoice(fixed, free, keep, bits), keep);
            consider(LongestChoice(fixed, free, keep, bits), keep);
        }
        if (rect <= BeamArea && beamKeep >= 0) {
            std::vector<bool> free(rect);
            const std::vector<uint8_t> fixed = fixedFor(beamKeep, free);
            consider(BeamChoice(fixed, free, beamKeep, bits, BeamWidth), beamKeep);
        }
        chosen.Left = left, chosen.Top = top, chosen.Width = w, chosen.Height = h, chosen.Clear = clear;
        shown = target;
        if (clear)
            for (int y = top; y <= bottom; ++y)
                std::fill_n(shown.begin() + static_cast<std::ptrdiff_t>(y) * width + left, w, None);
    }
    return frames;
}

// A frame's data in the terms of the order search: the distinct colours it writes (its transparent
// index aside, which may be any index the others leave free), and its LZW size for each code size.
struct TFrameColors {
    std::vector<int> Colors;
    bool Wildcard = false;          // it writes its transparent index
    std::array<size_t, 9> SizeAt{}; // by code size; SIZE_MAX where its values do not fit
};

TFrameColors FrameColorsOf(const TShrunkFrame& f, int bits) {
    TFrameColors out;
    std::array<int, 256> label;
    label.fill(-1);
    std::vector<uint8_t> canonical(f.Data.size());
    int labels = 0;
    for (size_t q = 0; q < f.Data.size(); ++q) {
        const uint8_t v = f.Data[q];
        if (label[v] < 0) {
            label[v] = labels++;
            if (v == f.Transparent)
                out.Wildcard = true;
            else
                out.Colors.push_back(v);
        }
        canonical[q] = static_cast<uint8_t>(label[v]);
    }
    // The LZW parse depends only on which pixels are equal, so the size at each code size is that of the
    // data relabelled in order of first appearance.
    out.SizeAt.fill(SIZE_MAX);
    for (int b = BitsFor(labels - 1, bits); b <= bits; ++b)
        out.SizeAt[static_cast<size_t>(b)] = LzwSize(canonical, f.Width, f.Height, b, f.Interlaced);
    return out;
}

// A new position for each of the table's first `colors` entries so that frames write with fewer code
// bits: a frame's code size follows the highest index it writes, so the colours frames change to
// together belong near the start. Pairs of entries are swapped while that makes the LZW data shorter
// (exact sizes, computed once per frame and code size), within a bounded amount of work.
std::vector<int> BetterOrder(const std::vector<TShrunkFrame>& frames, int colors, int bits) {
    std::vector<int> pos(static_cast<size_t>(colors));
    for (int c = 0; c < colors; ++c)
        pos[static_cast<size_t>(c)] = c;
    std::vector<TFrameColors> info;
    info.reserve(frames.size());
    std::vector<std::vector<int>> framesOf(static_cast<size_t>(colors));
    for (size_t k = 0; k < frames.size(); ++k) {
        if (frames[k].Local) { // its size does not follow the global order
            TFrameColors fixed;
            fixed.SizeAt.fill(frames[k].Size);
            info.push_back(fixed);
            continue;
        }
        info.push_back(FrameColorsOf(frames[k], bits));
        for (int c : info.back().Colors) {
            if (c >= colors) return pos; // only table colours can move
            framesOf[static_cast<size_t>(c)].push_back(static_cast<int>(k));
        }
    }
    // A frame's cost: its size first, then its highest index. The size changes only where the highest
    // index crosses a power of two; the index itself leads the search there, one swap at a time.
    constexpr long long SizeWeight = 1LL << 24;
    auto cost = [&](size_t k) -> long long {
        const TFrameColors& f = info[k];
        int highest = f.Wildcard ? static_cast<int>(f.Colors.size()) : 0;
        for (int c : f.Colors)
            highest = std::max(highest, pos[static_cast<size_t>(c)]);
        const size_t size = f.SizeAt[static_cast<size_t>(BitsFor(highest, bits))];
        return size == SIZE_MAX ? (1LL << 60) : static_cast<long long>(size) * SizeWeight + highest;
    };
    std::vector<long long> current(frames.size());
    auto total = [&] {
        long long sum = 0;
        for (size_t k = 0; k < frames.size(); ++k)
            sum += current[k] = cost(k);
        return sum;
    };
    std::vector<int> mark(frames.size(), -1), affected;
    long long work = 0;
    const long long budget = 20'000'000; // about a tenth of a second
    int stamp = 0;
    // Swaps entries a and b when that makes the frames that use either shorter.
    auto trySwap = [&](int a, int b) {
        ++stamp;
        affected.clear();
        for (int c : {a, b})
            for (int k : framesOf[static_cast<size_t>(c)])
                if (mark[static_cast<size_t>(k)] != stamp)
                    mark[static_cast<size_t>(k)] = stamp, affected.push_back(k);
        if (affected.empty()) return false;
        std::swap(pos[static_cast<size_t>(a)], pos[static_cast<size_t>(b)]);
        long long delta = 0;
        for (int k : affected) {
            work += static_cast<long long>(info[static_cast<size_t>(k)].Colors.size()) + 1;
            delta += cost(static_cast<size_t>(k)) - current[static_cast<size_t>(k)];
        }
        if (delta < 0) {
            for (int k : affected)
                current[static_cast<size_t>(k)] = cost(static_cast<size_t>(k));
            return true;
        }
        std::swap(pos[static_cast<size_t>(a)], pos[static_cast<size_t>(b)]);
        return false;
    };
    auto descend = [&] {
        for (bool improved = true; improved && work < budget;) {
            improved = false;
            for (int a = 0; a < colors && work < budget; ++a)
                for (int b = a + 1; b < colors && work < budget; ++b)
                    improved = trySwap(a, b) || improved;
        }
    };
    // Swaps alone stop at a local best; from there a few random swaps and a new descent are tried while
    // the work lasts, keeping the best order seen. The generator is seeded the same every time, so the
    // same pictures always give the same file.
    total();
    descend();
    std::vector<int> best = pos;
    long long bestTotal = total();
    uint32_t seed = 12345;
    auto random = [&](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int idle = 0; idle < 100 && work < budget && colors > 2; ++idle) {
        pos = best;
        for (int kick = 0; kick < 2; ++kick)
            std::swap(pos[static_cast<size_t>(random(colors))], pos[static_cast<size_t>(random(colors))]);
        total();
        work += static_cast<long long>(frames.size());
        descend();
        const long long now = total();
        if (now < bestTotal) best = pos, bestTotal = now, idle = -1;
    }
    pos = best;
    return pos;
}

size_t TotalSize(const std::vector<TShrunkFrame>& frames) {
    size_t total = 0;
    for (const TShrunkFrame& f : frames)
        total += f.Size;
    return total;
}

} // namespace

// Rewrites the frames of a picture (every frame whole, at 0, 0; frames with the global table, and those
// with a table of their own when the frames use more colours than one table holds) as the smaller file:
// ChooseFrames picks each frame's rectangle, disposal, table and pixels. Nothing is cleared unless a
// pixel must turn transparent again (Disposal Method 1): the file decodes to the same pictures, smaller.
// t is the global table's index shown as transparent, or -1.
void ShrinkFrames(TGIFPicture& n, int t) {
    const int count = FrameCount(n);
    if (count < 2) return;
    const TGIFSubImage& first = *n.Images().ItemAt(0);
    const int width = first.Width(), height = first.Height();
    const size_t area = static_cast<size_t>(width) * height;
    const int bits = std::max(2, n.GlobalColorMap().EntryBits()); // the encoder's least code size
    const int limit = 1 << n.GlobalColorMap().EntryBits();        // the indices a frame may use
    for (int i = 0; i < count; ++i) {
        const TGIFSubImage& f = *n.Images().ItemAt(i);
        if (f.Left() != 0 || f.Top() != 0 || f.Width() != width || f.Height() != height || !f.Pixels())
            return; // not the document's kind of frames: written as they are
    }
    TGIFGlobalColorMap& table = n.GlobalColorMap();
    const int colors = table.Count();
    // Frames with a table of their own (when the frames use more colours than one table holds) show
    // colours by key: a colour of the global table by its index there, any other by a key from 256 up.
    // Equal keys are equal colours, so what such a frame changes is found as for the others.
    std::vector<bool> isLocal(static_cast<size_t>(count), false);
    std::vector<std::vector<int>> localKeys(static_cast<size_t>(count));
    {
        std::unordered_map<TGIFColor, int> keyOf;
        for (int c = colors - 1; c >= 0; --c)
            keyOf[table.ColorAt(c)] = c;
        int extra = TGIFColorMap::MaxColors;
        for (int i = 0; i < count; ++i) {
            const TGIFSubImage& f = *n.Images().ItemAt(i);
            if (f.ColorMap().Count() == 0) continue;
            isLocal[static_cast<size_t>(i)] = true;
            const TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
            const int see = gce && gce->Transparent() ? gce->TransparentColorIndex() : -1;
            std::vector<int>& keys = localKeys[static_cast<size_t>(i)];
            keys.resize(area);
            for (size_t p = 0; p < area; ++p) {
                const int px = f.Pixels()[p];
                if (px == see) {
                    keys[p] = None;
                    continue;
                }
                const auto [at, fresh] = keyOf.emplace(f.ColorMap().ColorAt(px), extra);
                if (fresh) ++extra;
                keys[p] = at->second;
            }
        }
    }
    // Two first orders, each searched further below: the colours frames change to most come first in
    // the table, or the colours in the order frames first change to them (frame 0 changes every
    // pixel), so that frames which use only the first entries are written with shorter codes (the
    // table's order carries no meaning of its own). Kept pixels of t count as changes to t.
    std::vector<long> changes(static_cast<size_t>(colors), 0);
    std::vector<int> firstUse(static_cast<size_t>(colors), count);
    for (int i = 0; i < count; ++i) {
        if (isLocal[static_cast<size_t>(i)]) continue;
        const uint8_t* now = n.Images().ItemAt(i)->Pixels();
        const uint8_t* before =
            i > 0 && !isLocal[static_cast<size_t>(i - 1)] ? n.Images().ItemAt(i - 1)->Pixels() : nullptr;
        for (size_t p = 0; p < area; ++p)
            if ((!before || before[p] != now[p]) && now[p] < colors) {
                ++changes[now[p]];
                firstUse[now[p]] = std::min(firstUse[now[p]], i);
            }
    }
    if (t >= 0 && t < colors)
        changes[static_cast<size_t>(t)] += static_cast<long>(area), firstUse[static_cast<size_t>(t)] = -1;
    auto orderBy = [&](bool byFirstUse) {
        std::vector<int> order(static_cast<size_t>(colors)), at(static_cast<size_t>(colors));
        for (int c = 0; c < colors; ++c)
            order[static_cast<size_t>(c)] = c;
        std::stable_sort(order.begin(), order.end(), [&](int l, int r) {
            const size_t a = static_cast<size_t>(l), b = static_cast<size_t>(r);
            if (byFirstUse && firstUse[a] != firstUse[b]) return firstUse[a] < firstUse[b];
            return changes[a] > changes[b];
        });
        for (int c = 0; c < colors; ++c)
            at[static_cast<size_t>(order[static_cast<size_t>(c)])] = c; // the new index of each entry
        return at;
    };
    // What each frame shows in that order: its index (a frame of its own table: the key of its colour, the
    // global ones moved with the order), or None where its transparent index lets the background through.
    std::vector<std::optional<TLocalTable>> locals(static_cast<size_t>(count));
    auto showsIn = [&](const std::vector<int>& at) {
        std::vector<std::vector<int>> shows(static_cast<size_t>(count), std::vector<int>(area));
        for (int i = 0; i < count; ++i) {
            const TGIFSubImage& f = *n.Images().ItemAt(i);
            std::vector<int>& show = shows[static_cast<size_t>(i)];
            if (!isLocal[static_cast<size_t>(i)]) {
                const uint8_t* px = f.Pixels();
                for (size_t p = 0; p < area; ++p)
                    show[p] = px[p] == t ? None : px[p] < colors ? at[px[p]] : px[p];
                continue;
            }
            TLocalTable own;
            const TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
            own.Transparent = gce && gce->Transparent() ? gce->TransparentColorIndex() : -1;
            own.Bits = std::max(2, f.ColorMap().EntryBits());
            for (size_t p = 0; p < area; ++p) {
                const int key = localKeys[static_cast<size_t>(i)][p];
                show[p] = key == None ? None : key < colors ? at[static_cast<size_t>(key)] : key;
                if (key != None) own.IndexOf.emplace(show[p], f.Pixels()[p]);
            }
            locals[static_cast<size_t>(i)] = std::move(own);
        }
        return shows;
    };
    auto mapped = [&](const std::vector<int>& at, int index) {
        return index >= 0 && index < colors ? at[static_cast<size_t>(index)] : index;
    };
    // The frames in the first order, then in better orders: the frames are chosen afresh in each (the
    // transparent pixels and index may differ), while that makes the file smaller.
    auto search = [&](int indices, int codeBits, std::vector<int>& order) {
        std::vector<TShrunkFrame> chosen =
            ChooseFrames(showsIn(order), width, height, codeBits, indices, mapped(order, t), locals);
        for (int round = 0; round < 3; ++round) {
            const std::vector<int> better = BetterOrder(chosen, colors, codeBits);
            bool moved = false;
            for (int c = 0; c < colors; ++c)
                moved = moved || better[static_cast<size_t>(c)] != c;
            if (!moved) break;
            std::vector<int> next(static_cast<size_t>(colors));
            for (int c = 0; c < colors; ++c)
                next[static_cast<size_t>(c)] = better[static_cast<size_t>(order[static_cast<size_t>(c)])];
            std::vector<TShrunkFrame> trial =
                ChooseFrames(showsIn(next), width, height, codeBits, indices, mapped(next, t), locals);
            if (TotalSize(trial) >= TotalSize(chosen)) break;
            chosen = std::move(trial);
            order = std::move(next);
        }
        return chosen;
    };
    // Each first order is searched with the table as it is, and where every entry is a colour (no
    // index is free to stand for "leave as shown" where a frame uses every colour) also with a table
    // of twice the entries, which costs 3 bytes an entry more. The smallest file wins.
    std::vector<int> pos;
    std::vector<TShrunkFrame> frames;
    size_t smallest = SIZE_MAX;
    bool grow = false;
    const bool full = colors == limit && limit < TGIFColorMap::MaxColors;
    // Past 1,000 frames the second first order is left out: it doubles the time for a few bytes.
    for (bool byFirstUse : {false, true})
        for (bool grown : {false, true}) {
            if ((grown && !full) || (byFirstUse && count > 1000)) continue;
            std::vector<int> order = orderBy(byFirstUse);
            std::vector<TShrunkFrame> chosen =
                grown ? search(2 * limit, std::max(2, table.EntryBits() + 1), order)
                      : search(limit, bits, order);
            const size_t size = TotalSize(chosen) + (grown ? 3 * static_cast<size_t>(limit) : 0);
            if (size < smallest)
                smallest = size, frames = std::move(chosen), pos = std::move(order), grow = grown;
        }
    if (grow) table.AppendColor(table.ColorAt(0)); // the table grows to twice its entries when written

    // The table in the final order, and the frames as chosen.
    const int tableBits = std::max(2, table.EntryBits()); // the code size a frame is written with by default
    std::vector<TGIFColor> old(static_cast<size_t>(colors));
    for (int c = 0; c < colors; ++c)
        old[static_cast<size_t>(c)] = table.ColorAt(c);
    for (int c = 0; c < colors; ++c)
        table.SetColorAt(pos[static_cast<size_t>(c)], old[static_cast<size_t>(c)]);
    table.SetSorted(false);
    for (int i = 0; i < count; ++i) {
        TGIFSubImage& frame = *n.Images().ItemAt(i);
        const TShrunkFrame& f = frames[static_cast<size_t>(i)];
        TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        if (!gce) gce = AddControlExtension(frame);
        // A frame of its own table gets the table its rectangle needs; one written with the global table
        // (its rectangle shows only global colours) drops its own.
        if (f.Local) {
            std::vector<TGIFColor> own;
            for (uint8_t index : f.TableFrom)
                own.push_back(frame.ColorMap().ColorAt(index));
            frame.ColorMap().ClearColors();
            for (TGIFColor c : own)
                frame.ColorMap().AppendColor(c);
            if (f.Transparent >= 0) frame.ColorMap().AppendColor(0); // the background's entry
        } else {
            frame.ColorMap().ClearColors();
        }
        const int frameBits = f.Local ? std::max(2, frame.ColorMap().EntryBits()) : tableBits;
        frame.SetCodeBits(f.CodeBits < frameBits ? f.CodeBits : 0);
        frame.SetInterlaced(f.Interlaced);
        gce->SetTransparent(f.Transparent >= 0);
        if (f.Transparent >= 0) gce->SetTransparentColorIndex(f.Transparent);
        gce->SetDisposal(f.Clear ? 2 : 1);
        // A control block that says nothing a reader does not assume (no time, no transparency, leave
        // the frame in place) is left out: 8 bytes.
        if (gce->Delay() == 0 && !gce->UserInput() && f.Transparent < 0 && !f.Clear) {
            auto& extensions = frame.Extensions();
            for (int e = extensions.ItemCount() - 1; e >= 0; --e)
                if (extensions.ItemAt(e) == gce) extensions.DeleteAt(e);
        }
        if (f.Left != 0 || f.Top != 0 || f.Width != width || f.Height != height) {
            frame.SetFrameBounds(f.Left, f.Top, f.Width, f.Height);
            frame.AllocatePixels();
        }
        std::copy(f.Data.begin(), f.Data.end(), frame.Pixels());
    }
}
