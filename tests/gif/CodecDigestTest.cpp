// Exact results of the LZW decoder and the encoders over thousands of generated streams and
// pictures, pinned as digests. The decoder cases include broken data of every kind (flipped bits,
// cut streams, random codes, lying sub-block sizes), so the pixels, warnings, errors and the stream
// position afterwards stay what they were, not only for valid files. The encoder cases pin the
// bytes written, so a faster encoder must write the very same files.
//
// The digests were taken from the straightforward one-value-per-call decoder and the one-pixel-at-
// a-time encoders that first implemented these rules. A change of a digest means a change of
// behaviour: find the case with TINDRA_DIGEST_VERBOSE=1 (one line per case) against the old code.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "GIFEncoder.h"
#include "GIFException.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "LZWDecoder.h"
#include "Stream.h"

namespace {

// xorshift64: the same numbers on every platform and library.
struct TRng {
    std::uint64_t S;
    explicit TRng(std::uint64_t seed) : S(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        S ^= S << 13;
        S ^= S >> 7;
        S ^= S << 17;
        return static_cast<std::uint32_t>(S >> 32);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
};

struct TDigest {
    std::uint64_t H = 0xcbf29ce484222325ull;
    void Add(const void* data, std::size_t n) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < n; ++i)
            H = (H ^ p[i]) * 0x100000001b3ull;
    }
    void Add(const std::string& s) { Add(s.data(), s.size() + 1); }
    void Add(std::int64_t v) { Add(&v, sizeof v); }
};

bool Verbose() {
    const char* v = std::getenv("TINDRA_DIGEST_VERBOSE");
    return v && *v == '1';
}

// A picture whose LZW strings grow: runs, repeated patterns and noise, in proportions set by kind.
TBytes MakePicture(TRng& rng, int w, int h, int colors, int kind) {
    TBytes p(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    int current = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        switch (kind) {
        case 0: // noise
            current = rng.Below(colors);
            break;
        case 1: // runs
            if (rng.Below(12) == 0) current = rng.Below(colors);
            break;
        case 2: // a repeating gradient with specks
            current = static_cast<int>((i / 3 + i % static_cast<std::size_t>(w) / 5) %
                                       static_cast<std::size_t>(colors));
            if (rng.Below(40) == 0) current = rng.Below(colors);
            break;
        default: // runs and noise mixed
            if (rng.Below(4) == 0) current = rng.Below(colors);
            break;
        }
        p[i] = static_cast<std::uint8_t>(current);
    }
    return p;
}

// A plain LZW encoder written for these tests, independent of the codec's: clears when the table
// is full, or (deferClear) goes on with a full table and clears only after 300 more codes.
TBytes ReferenceLzw(const TBytes& pixels, int minCodeSize, bool deferClear, int blockSize) {
    const int clear = 1 << minCodeSize;
    std::vector<std::pair<int, int>> codes;
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2, width = minCodeSize + 1, fullFor = 0;
    auto emit = [&](int code) { codes.push_back({code, width}); };
    auto reset = [&] {
        emit(clear);
        table.clear();
        next = clear + 2;
        width = minCodeSize + 1;
        fullFor = 0;
    };
    reset();
    if (pixels.empty()) {
        emit(clear + 1);
        return PackCodes(minCodeSize, codes, blockSize);
    }
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const int p = pixels[i];
        auto it = table.find({prefix, p});
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (next < 4096) {
            table[{prefix, p}] = next++;
            if (next > (1 << width) && width < 12) ++width;
        } else if (!deferClear || ++fullFor > 300) {
            reset();
        }
        prefix = p;
    }
    emit(prefix);
    emit(clear + 1);
    return PackCodes(minCodeSize, codes, blockSize);
}

struct TDecodeCase {
    TBytes Data;
    int W = 1, H = 1;
    bool Interlaced = false;
    int Fill = 0;
    TBytes Picture; // valid streams: what they must decode to
};

void DigestDecode(const TDecodeCase& c, TDigest& digest, std::size_t index) {
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFSubImage frame(&gif);
    TBytes bytes = c.Data;
    bytes.push_back(0xEE); // what follows the image data
    TMemoryStream stream(bytes);
    TBytes pixels(static_cast<std::size_t>(c.W) * static_cast<std::size_t>(c.H),
                  static_cast<std::uint8_t>(c.Fill));
    std::string error;
    try {
        TLZWDecoder decoder(stream, &frame);
        decoder.Decode(pixels.data(), c.W, c.H, c.Interlaced);
    } catch (const EGIFException& e) {
        error = e.what();
    }
    if (!c.Picture.empty()) {
        EXPECT_EQ(pixels, c.Picture) << "valid stream " << index;
        EXPECT_EQ(error, "");
        EXPECT_TRUE(log.Texts.empty());
    }
    TDigest one;
    one.Add(static_cast<std::int64_t>(index));
    one.Add(pixels.data(), pixels.size());
    for (const std::string& w : log.Texts)
        one.Add(w);
    one.Add(error);
    one.Add(stream.Position());
    digest.Add(static_cast<std::int64_t>(one.H));
    if (Verbose()) std::printf("decode %zu %016llx\n", index, static_cast<unsigned long long>(one.H));
}

// Valid streams from the reference encoder: every code size, interlaced or not, sub-blocks of
// every length, deferred clears.
std::vector<TDecodeCase> ValidStreams() {
    std::vector<TDecodeCase> cases;
    TRng rng(1);
    for (int k = 0; k < 300; ++k) {
        TDecodeCase c;
        const int bits = 1 + k % 8;
        c.W = 1 + rng.Below(k % 10 == 0 ? 300 : 90);
        c.H = 1 + rng.Below(k % 10 == 0 ? 200 : 60);
        c.Interlaced = k % 5 == 0;
        c.Fill = rng.Below(4);
        const TBytes pixels = MakePicture(rng, c.W, c.H, 1 << bits, k % 4);
        // The reference encoder walks the pixels in file order; for an interlaced frame the file
        // order is the interlace order, which the decoder puts back in place.
        TBytes order;
        if (c.Interlaced) {
            for (int pass = 0, row = 0, step = 8; pass < 4;) {
                if (row < c.H)
                    order.insert(order.end(), pixels.begin() + row * c.W, pixels.begin() + (row + 1) * c.W);
                row += step;
                if (row >= c.H) {
                    static const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
                    if (++pass < 4) row = starts[pass], step = steps[pass];
                }
            }
        } else {
            order = pixels;
        }
        const int minCodeSize = std::max(bits, k % 7 == 0 ? 8 : 2);
        c.Data = ReferenceLzw(order, minCodeSize, k % 3 == 0, k % 11 == 0 ? 1 + rng.Below(20) : 255);
        c.Picture = pixels;
        cases.push_back(c);
    }
    return cases;
}

std::uint64_t DigestDecodes(const std::vector<TDecodeCase>& cases) {
    TDigest digest;
    for (std::size_t i = 0; i < cases.size(); ++i)
        DigestDecode(cases[i], digest, i);
    return digest.H;
}

// Broken copies of valid streams: flipped bits, cut data, lying sub-block sizes, wrong frame sizes.
std::vector<TDecodeCase> BrokenStreams() {
    const std::vector<TDecodeCase> valid = ValidStreams();
    std::vector<TDecodeCase> cases;
    TRng rng(2);
    for (int k = 0; k < 1500; ++k) {
        TDecodeCase c = valid[static_cast<std::size_t>(rng.Below(static_cast<int>(valid.size())))];
        c.Picture.clear();
        TBytes& d = c.Data;
        switch (k % 6) {
        case 0:
        case 1: // one to three flipped bits after the code size byte
            for (int n = 1 + rng.Below(3); n > 0; --n)
                d[1 + static_cast<std::size_t>(rng.Below(static_cast<int>(d.size()) - 1))] ^=
                    static_cast<std::uint8_t>(1 << rng.Below(8));
            break;
        case 2: // cut anywhere
            d.resize(static_cast<std::size_t>(rng.Below(static_cast<int>(d.size()) + 1)));
            break;
        case 3: // the first sub-block promises more or fewer bytes
            if (d.size() > 1) d[1] = static_cast<std::uint8_t>(rng.Below(256));
            break;
        case 4: // the frame is larger or smaller than the data
            c.W = 1 + rng.Below(120);
            c.H = 1 + rng.Below(80);
            break;
        default: // a byte anywhere replaced, the code size byte included
            d[static_cast<std::size_t>(rng.Below(static_cast<int>(d.size())))] =
                static_cast<std::uint8_t>(rng.Next());
            break;
        }
        cases.push_back(c);
    }
    return cases;
}

// Random codes: entries beyond the table, cycles, clears and end codes anywhere, every code size
// from 0 to 12, sub-blocks of random lengths, with or without terminator.
std::vector<TDecodeCase> RandomStreams() {
    std::vector<TDecodeCase> cases;
    TRng rng(3);
    for (int k = 0; k < 1500; ++k) {
        TDecodeCase c;
        c.W = 1 + rng.Below(70);
        c.H = 1 + rng.Below(50);
        c.Interlaced = k % 4 == 0;
        c.Fill = rng.Below(3);
        const int m = k % 50 == 0 ? 9 + rng.Below(4) : rng.Below(9);
        c.Data.push_back(static_cast<std::uint8_t>(m));
        const int blocks = 1 + rng.Below(6);
        for (int b = 0; b < blocks; ++b) {
            const int size = 1 + rng.Below(k % 3 == 0 ? 8 : 255);
            c.Data.push_back(static_cast<std::uint8_t>(size));
            // Mostly small codes (roots and recent entries), so strings get long enough to matter.
            const int bias = rng.Below(4);
            for (int i = 0; i < size; ++i)
                c.Data.push_back(
                    static_cast<std::uint8_t>(bias == 0 ? rng.Next() : rng.Next() & (0x11 * bias)));
        }
        if (k % 5 != 0) c.Data.push_back(0);
        cases.push_back(c);
    }
    return cases;
}

struct TEncodeCase {
    TBytes Pixels;
    int W = 1, H = 1, Bits = 8, Limit = 256;
    bool Interlaced = false;
    bool RunLength = false;
};

std::vector<TEncodeCase> EncodeCases() {
    std::vector<TEncodeCase> cases;
    TRng rng(4);
    for (int k = 0; k < 400; ++k) {
        TEncodeCase c;
        c.Bits = 1 + k % 8;
        c.Limit = 1 << std::max(c.Bits, 1);
        c.W = 1 + rng.Below(k % 8 == 0 ? 400 : 70);
        c.H = 1 + rng.Below(k % 8 == 0 ? 250 : 50);
        c.Interlaced = k % 6 == 0;
        c.RunLength = k % 4 == 3;
        c.Pixels = MakePicture(rng, c.W, c.H, 1 << c.Bits, k % 4);
        // Now and then a colour beyond the table: "Color not in color table" midway.
        if (k % 25 == 0) c.Limit = std::max(1, c.Limit - 1);
        // Now and then pixels beyond the bits (allowed by the limit): values that read as the clear
        // code, the end code or table entries, and codes wider than the code width.
        if (k % 10 == 5) {
            c.Bits = std::max(1, c.Bits - 1 - k % 3);
            c.Limit = 256;
        }
        cases.push_back(c);
    }
    // Frames without pixels write the end code only.
    TEncodeCase empty;
    empty.W = 0;
    empty.H = 3;
    cases.push_back(empty);
    return cases;
}

} // namespace

TEST(CodecDigest, DecoderResultsOfValidStreams) {
    EXPECT_EQ(DigestDecodes(ValidStreams()), 0x2144f1837c642a25ull);
}

TEST(CodecDigest, DecoderResultsOfBrokenStreams) {
    EXPECT_EQ(DigestDecodes(BrokenStreams()), 0xa08b0bf56522e65aull);
}

TEST(CodecDigest, DecoderResultsOfRandomCodes) {
    EXPECT_EQ(DigestDecodes(RandomStreams()), 0xee6d6b269ab0cbdaull);
}

TEST(CodecDigest, EncoderBytes) {
    TDigest lzw, rle;
    const std::vector<TEncodeCase> cases = EncodeCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const TEncodeCase& c = cases[i];
        TMemoryStream out;
        std::string error;
        try {
            if (c.RunLength) {
                TRLEEncoder encoder(nullptr);
                encoder.Compress(out, c.Bits, c.Limit, c.Pixels.data(), c.Interlaced, c.H, c.W);
            } else {
                TLZWEncoder encoder(nullptr);
                encoder.Compress(out, c.Bits, c.Limit, c.Pixels.data(), c.Interlaced, c.H, c.W);
            }
        } catch (const EGIFException& e) {
            error = e.what();
        }
        TDigest one;
        one.Add(out.Data().data(), out.Data().size());
        one.Add(error);
        (c.RunLength ? rle : lzw).Add(static_cast<std::int64_t>(one.H));
        if (Verbose()) std::printf("encode %zu %016llx\n", i, static_cast<unsigned long long>(one.H));
    }
    EXPECT_EQ(lzw.H, 0x44ed54143374152eull);
    EXPECT_EQ(rle.H, 0x0decf3f09c1dd68aull);
}
