// LZW decoder: code widths, the table, clear codes, short or broken data, interlacing, and where
// the stream is left.

#include <gtest/gtest.h>

#include "GIFException.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "LZWDecoder.h"
#include "Stream.h"

namespace {

struct TDecodeResult {
    TBytes Pixels;
    std::vector<std::string> Warnings;
    std::string Error;
    std::int64_t End = 0; // stream position afterwards
};

// Decodes data (followed by a marker byte 0xEE) into a w x h frame.
TDecodeResult Decode(const TBytes& data, int w, int h, bool interlaced = false, int fill = 0) {
    TDecodeResult r;
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFSubImage frame(&gif);
    TBytes bytes = data;
    bytes.push_back(0xEE);
    TMemoryStream stream(bytes);
    TBytes pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), static_cast<std::uint8_t>(fill));
    try {
        TLZWDecoder decoder(stream, &frame);
        decoder.Decode(pixels.data(), w, h, interlaced);
    } catch (const EGIFException& e) {
        r.Error = e.what();
    }
    r.Pixels = pixels;
    r.Warnings = log.Texts;
    r.End = stream.Position();
    return r;
}

using TCodes = std::vector<std::pair<int, int>>;

} // namespace

TEST(Decoder, SinglePixelAndStreamAfterTerminator) {
    const TBytes data = {0x02, 0x02, 0x44, 0x01, 0x00};
    TDecodeResult r = Decode(data, 1, 1);
    EXPECT_EQ(r.Pixels, TBytes{0});
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(r.End, 5);
}

struct TDecodeCase {
    const char* Name;
    TBytes Data;
    int W, H;
    TBytes Expected;
    std::vector<std::string> Warnings;
    int Fill = 0;
};

class DecoderCases : public ::testing::TestWithParam<TDecodeCase> {};

// Failure messages name the case instead of dumping its bytes.
static void PrintTo(const TDecodeCase& c, std::ostream* os) { *os << c.Name; }

TEST_P(DecoderCases, Decodes) {
    const TDecodeCase& c = GetParam();
    TDecodeResult r = Decode(c.Data, c.W, c.H, false, c.Fill);
    EXPECT_EQ(r.Error, "");
    EXPECT_EQ(r.Pixels, c.Expected);
    EXPECT_EQ(r.Warnings, c.Warnings);
    EXPECT_EQ(r.End, static_cast<std::int64_t>(c.Data.size())) << "stream must stand after the terminator";
}

namespace {
std::vector<TDecodeCase> DecodeCaseTable() {
    std::vector<TDecodeCase> cases;
    // clear clear clear 1 2 end
    cases.push_back(
        {"RepeatedClears", PackCodes(2, {{4, 3}, {4, 3}, {4, 3}, {1, 3}, {2, 3}, {5, 3}}), 2, 1, {1, 2}, {}});
    // 1, then code 6 (= next code): the previous string plus its own first value -> 1 1 1
    cases.push_back(
        {"CodeEqualsNextCode", PackCodes(2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}), 3, 1, {1, 1, 1}, {}});
    // 0 1 6(=0 1) 8(=next: 0 1 0)
    cases.push_back({"StringTable",
                     PackCodes(2, {{4, 3}, {0, 3}, {1, 3}, {6, 3}, {8, 4}, {5, 4}}),
                     7,
                     1,
                     {0, 1, 0, 1, 0, 1, 0},
                     {}});
    // End code before the last pixel: the rest keeps the fill value.
    cases.push_back({"EarlyEnd", PackCodes(2, {{4, 3}, {3, 3}, {5, 3}}), 4, 1, {3, 9, 9, 9}, {}, 9});
    // More codes than pixels: the extra data is skipped through the terminator.
    cases.push_back(
        {"ExtraCodes", PackCodes(2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 4}, {5, 4}}), 2, 1, {1, 2}, {}});
    // One-byte sub-blocks: codes straddle several blocks.
    cases.push_back({"TinySubBlocks",
                     PackCodes(2, {{4, 3}, {0, 3}, {1, 3}, {6, 3}, {8, 4}, {5, 4}}, 1),
                     7,
                     1,
                     {0, 1, 0, 1, 0, 1, 0},
                     {}});
    // Data ends on a code boundary without end code: the code that ends exactly at the end of the
    // sub-block is still decoded when the terminator follows; the next request under-runs.
    cases.push_back({"UnderRun",
                     PackCodes(2, {{4, 3}, {2, 3}, {2, 3}, {2, 3}, {2, 4}}),
                     7,
                     1,
                     {2, 2, 2, 2, 7, 7, 7},
                     {"Decoder bit buffer under-run"},
                     7});
    // The first code after clear is answered as it is (low 8 bits), even when not a root.
    cases.push_back({"NonRootAfterClear", PackCodes(2, {{4, 3}, {7, 3}, {5, 3}}), 1, 1, {7}, {}});
    // A clear code directly followed by the end code is a valid empty image: every pixel keeps the
    // fill value, and no code is read beyond the end code.
    cases.push_back({"ClearThenEnd", PackCodes(2, {{4, 3}, {5, 3}}), 2, 2, {0, 0, 0, 0}, {}});
    cases.push_back({"ClearThenEndKeepsFill", PackCodes(2, {{4, 3}, {5, 3}}), 2, 1, {9, 9}, {}, 9});
    // The same with the leading clear left out (the decoder starts as after a clear).
    cases.push_back({"EndOnly", PackCodes(2, {{5, 3}}), 2, 1, {0, 0}, {}});
    cases.push_back({"MinCodeSizeOne", PackCodes(1, {{2, 2}, {1, 2}, {0, 2}, {3, 3}}), 2, 1, {1, 0}, {}});
    return cases;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Table, DecoderCases, ::testing::ValuesIn(DecodeCaseTable()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Decoder, CodeWidthGrowsTo12AndFullTableKeepsDecoding) {
    // Minimum code size 8: 2 roots per step build entries until the table is full, then
    // more 12-bit codes follow without a clear.
    TCodes codes{{256, 9}};
    TBytes expected;
    int next = 258, width = 9;
    int emitted = 0;
    for (int i = 0; emitted < 4200; ++i, ++emitted) {
        const int v = (i * 7) & 0xFF;
        codes.push_back({v, width});
        expected.push_back(static_cast<std::uint8_t>(v));
        if (emitted > 0 && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
    }
    EXPECT_EQ(width, 12);
    EXPECT_EQ(next, 4096);
    codes.push_back({257, 12});
    TDecodeResult r = Decode(PackCodes(8, codes), static_cast<int>(expected.size()), 1);
    EXPECT_EQ(r.Error, "");
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(r.Pixels, expected);
}

TEST(Decoder, InterlacedRowOrder) {
    struct {
        int h;
        TBytes rowOrder;
    } cases[] = {{1, {0}}, {3, {0, 2, 1}}, {9, {0, 8, 4, 2, 6, 1, 3, 5, 7}}};
    for (auto& c : cases) {
        TCodes codes{{4, 3}};
        // Each row (width 1) gets its sequence number, so pixel value = when it was written.
        int next = 6, width = 3;
        for (int i = 0; i < c.h; ++i) {
            codes.push_back({i & 3, width});
            if (i > 0) {
                ++next;
                if (next == (1 << width)) ++width;
            }
        }
        codes.push_back({5, width});
        TDecodeResult r = Decode(PackCodes(2, codes), 1, c.h, true);
        TBytes expected(static_cast<std::size_t>(c.h));
        for (int i = 0; i < c.h; ++i)
            expected[c.rowOrder[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(i & 3);
        EXPECT_EQ(r.Pixels, expected) << "height " << c.h;
    }
}

TEST(Decoder, PromisedBytesMissingGivesWarningAndWhatArrived) {
    TBytes data = PackCodes(2, {{4, 3}, {1, 3}, {2, 3}, {5, 3}});
    data.pop_back(); // terminator
    data[1] = 200;   // the sub-block promises 200 bytes
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFSubImage frame(&gif);
    TMemoryStream stream(data);
    TBytes pixels(2, 0);
    TLZWDecoder decoder(stream, &frame);
    decoder.Decode(pixels.data(), 2, 1, false);
    EXPECT_EQ(pixels, (TBytes{1, 2}));
    EXPECT_EQ(log.Texts, std::vector<std::string>{"Premature end of data"});
}

TEST(Decoder, DataEndingBeforeCodeSizeKeepsFill) {
    TDecodeResult r = Decode({}, 2, 2, false, 4);
    EXPECT_EQ(r.Pixels, TBytes(4, 4));
    EXPECT_TRUE(r.Warnings.empty());
}

TEST(Decoder, SelfReferencingEntryIsCircular) {
    // After clear, code 6 arrives as "next code" and becomes entry 6 = (prefix 6, ...): its
    // own prefix. Reading code 6 again walks into it.
    TCodes codes{{4, 3}, {6, 3}, {6, 3}, {6, 4}, {5, 4}};
    TDecodeResult r = Decode(PackCodes(2, codes), 8, 1);
    EXPECT_EQ(r.Error, "Circular decoder table entry");
}

TEST(Decoder, LongCyclesStopBeforeTheStackOverflows) {
    // Entries that point at each other: 6 -> 7 -> 6 ... never reaching a root.
    TCodes codes{{4, 3}, {7, 3}, {6, 3}, {7, 3}, {6, 4}, {7, 4}, {5, 4}};
    TDecodeResult r = Decode(PackCodes(2, codes), 64, 1);
    EXPECT_EQ(r.Error, "Circular decoder table entry");
}
