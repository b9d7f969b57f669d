// Writer and encoders: byte-exact records, packed bytes, versions, sub-block packing, the LZW
// clear before code 4095, hash probing at small code sizes (strings that find no free slot) and the
// run-length encoder.

#include <gtest/gtest.h>

#include <memory>

#include "GIFEncoder.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "LZWDecoder.h"
#include "Stream.h"

namespace {

TGIFSubImage* AddFrame(TGIFPicture& gif, int w, int h) {
    auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
    auto* frame = frameOwned.get();
    frame->SetFrameBounds(0, 0, w, h);
    gif.AddFrame(std::move(frameOwned));
    return frame;
}

void Grey(TGIFColorMap& map, int n) {
    for (int i = 0; i < n; ++i)
        map.AppendColor(static_cast<TGIFColor>(i * 0x010101));
}

TBytes Encode(const TBytes& pixels, int w, int h, int bits, int limit, bool interlaced = false,
              bool rle = false) {
    TMemoryStream out;
    if (rle) {
        TRLEEncoder encoder(nullptr);
        encoder.Compress(out, bits, limit, pixels.data(), interlaced, h, w);
    } else {
        TLZWEncoder encoder(nullptr);
        encoder.Compress(out, bits, limit, pixels.data(), interlaced, h, w);
    }
    return out.Data();
}

TBytes DecodeOurs(const TBytes& data, int w, int h, bool interlaced = false) {
    TMemoryStream in(data);
    TBytes pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    TLZWDecoder decoder(in, nullptr);
    decoder.Decode(pixels.data(), w, h, interlaced);
    EXPECT_EQ(in.Position(), static_cast<std::int64_t>(data.size()));
    return pixels;
}

// Reads back the codes of encoded data (widths as the decoder grows them).
std::vector<int> Codes(const TBytes& data) {
    std::vector<int> codes;
    const int m = data[0];
    TBytes bits;
    for (std::size_t at = 1; at < data.size() && data[at] != 0; at += data[at] + 1u)
        bits.insert(bits.end(), data.begin() + static_cast<std::ptrdiff_t>(at + 1),
                    data.begin() + static_cast<std::ptrdiff_t>(at + 1 + data[at]));
    const int clear = 1 << m;
    int width = m + 1, next = clear + 2;
    bool first = true;
    std::size_t cursor = 0;
    while (cursor + static_cast<std::size_t>(width) <= bits.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++cursor)
            code |= ((bits[cursor / 8] >> (cursor % 8)) & 1) << b;
        codes.push_back(code);
        if (code == clear + 1) break;
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (!first && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        first = false;
    }
    return codes;
}

} // namespace

TEST(Encoder, SinglePixelBytes) {
    EXPECT_EQ(Encode({0}, 1, 1, 1, 2), (TBytes{0x02, 0x02, 0x44, 0x01, 0x00}));
}

TEST(Encoder, EmptyFrameWritesOnlyTheEndCode) {
    EXPECT_EQ(Encode({}, 0, 0, 2, 4), (TBytes{0x02, 0x01, 0x05, 0x00}));
}

TEST(Encoder, TwoColoursUseMinimumCodeSizeTwo) {
    const TBytes data = Encode({0, 1, 1, 0}, 4, 1, 1, 2);
    EXPECT_EQ(data[0], 2);
    EXPECT_EQ(Codes(data).front(), 4);
    EXPECT_EQ(Codes(data).back(), 5);
}

TEST(Encoder, PixelAtTheColourLimitRaisesAndLeavesPartialOutput) {
    TMemoryStream out;
    TLZWEncoder encoder(nullptr);
    const TBytes pixels = {0, 1, 2, 3};
    try {
        encoder.Compress(out, 2, 3, pixels.data(), false, 1, 4);
        ADD_FAILURE() << "no error";
    } catch (const EGIFException& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
    EXPECT_GE(out.Data().size(), 1u);
    EXPECT_EQ(out.Data()[0], 2);
}

TEST(Encoder, ClearBeforeCode4095AndWidthSteps) {
    // 256 colours of noise: nearly every step assigns a new code, so the table fills.
    const TBytes pixels = MakePixels(9000, 1, 256, 99);
    const TBytes data = Encode(pixels, 9000, 1, 8, 256);
    const std::vector<int> codes = Codes(data);
    int clears = 0, highest = 0;
    for (std::size_t i = 1; i < codes.size(); ++i) {
        if (codes[i] == 256) ++clears;
        highest = std::max(highest, codes[i]);
    }
    EXPECT_GE(clears, 1);
    EXPECT_LE(highest, 4094);
    EXPECT_EQ(DecodeOurs(data, 9000, 1), pixels);
}

TEST(Encoder, WidthGrowsRightAfterCode511IsAssigned) {
    // With 8 bits the codes after next free code reached 512 are 10 bits wide; decoding with
    // our width model checks the bit positions.
    TBytes pixels;
    for (int i = 0; i < 600; ++i)
        pixels.push_back(static_cast<std::uint8_t>(i % 251));
    const TBytes data = Encode(pixels, 600, 1, 8, 256);
    const std::vector<int> codes = Codes(data);
    EXPECT_EQ(codes.back(), 257);
    EXPECT_EQ(DecodeOurs(data, 600, 1), pixels);
}

TEST(Encoder, RoundTripsAtEveryDepthWithBothEncoders) {
    for (int bits = 1; bits <= 8; ++bits)
        for (bool rle : {false, true})
            for (bool interlaced : {false, true}) {
                const int colors = 1 << bits;
                const int w = 37, h = 23;
                TBytes pixels = MakePixels(w, h, colors, static_cast<unsigned>(bits * 10 + rle));
                // Long uniform stretches exercise the run codes.
                std::fill(pixels.begin() + 100, pixels.begin() + 400, static_cast<std::uint8_t>(colors - 1));
                const TBytes data = Encode(pixels, w, h, bits, colors, interlaced, rle);
                EXPECT_EQ(DecodeOurs(data, w, h, interlaced), pixels)
                    << "bits " << bits << (rle ? " rle" : " lzw") << (interlaced ? " interlaced" : "");
            }
}

TEST(Encoder, LongRunsWithTheRunLengthEncoder) {
    for (int bits : {2, 3, 4, 8}) {
        TBytes pixels(20000, 1);
        std::fill(pixels.begin() + 5000, pixels.begin() + 5003, 0);
        std::fill(pixels.begin() + 12000, pixels.end(), 2);
        const TBytes data = Encode(pixels, 200, 100, bits, 1 << bits, false, true);
        EXPECT_EQ(DecodeOurs(data, 200, 100), pixels) << bits;
    }
}

TEST(Encoder, SmallCodeSizesTerminateWithFullHashTable) {
    // At 2 bits up to 4089 strings share the 8009 slots; probing must end.
    TBytes pixels = MakePixels(300, 300, 4, 7);
    const TBytes data = Encode(pixels, 300, 300, 2, 4);
    EXPECT_EQ(DecodeOurs(data, 300, 300), pixels);
}

namespace {
// The string table as the writer of these files had it: 8009 slots, home ((key >> 4) ^ key) mod
// 8009, next slot 2s mod 8009 (slot 0 goes to 8008), at most 8009 probes. A string that finds no
// free slot is not kept.
struct TSlotTable {
    std::vector<std::uint32_t> Slots = std::vector<std::uint32_t>(8009, 0xFFFFFFFFu);
    int Dropped = 0;
    static int Home(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % 8009); }
    static int Next(int s) { return s == 0 ? 8008 : (2 * s) % 8009; }
    int Lookup(std::uint32_t key) const {
        for (int s = Home(key), i = 0; i < 8009 && Slots[s] >> 12 != 0xFFFFF; ++i, s = Next(s))
            if (Slots[s] >> 12 == key) return static_cast<int>(Slots[s] & 0xFFF);
        return -1;
    }
    void Insert(std::uint32_t key, int code) {
        for (int s = Home(key), i = 0; i < 8009; ++i, s = Next(s))
            if (Slots[s] >> 12 == 0xFFFFF) {
                Slots[s] = key << 12 | static_cast<std::uint32_t>(code);
                return;
            }
        ++Dropped;
    }
};

// LZW at 2 bits per pixel with that table, as codes and widths.
std::vector<std::pair<int, int>> SlotTableCodes(const TBytes& pixels, int* dropped) {
    std::vector<std::pair<int, int>> codes;
    TSlotTable table;
    int width = 3, maxCode = 7, next = 6;
    bool clearPending = false;
    auto emit = [&](int code) {
        codes.push_back({code, width});
        if (clearPending) {
            width = 3;
            maxCode = 7;
            clearPending = false;
        } else if (next > maxCode) {
            ++width;
            maxCode = width == 12 ? 4096 : (1 << width) - 1;
        }
    };
    auto clear = [&] {
        clearPending = true;
        emit(4);
        table.Slots.assign(8009, 0xFFFFFFFFu);
        next = 6;
    };
    clear();
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | pixels[i];
        const int code = table.Lookup(key);
        if (code >= 0) {
            prefix = code;
            continue;
        }
        emit(prefix);
        prefix = pixels[i];
        if (next >= 4095) {
            clear();
        } else {
            table.Insert(key, next);
            ++next;
        }
    }
    emit(prefix);
    emit(5);
    *dropped = table.Dropped;
    return codes;
}
} // namespace

TEST(Encoder, StringsThatFindNoFreeSlotAreNotKept) {
    // Pixels chosen so that nearly every new string's home slot lies on the probe cycle of slot 1
    // (the slots 2^k mod 8009, half the table): the cycle fills up before the table is cleared, and
    // later strings whose home lies on it find no free slot (the same strings, again and again).
    // The encoder must drop exactly those, whatever table it keeps inside, so that the files it
    // writes stay byte for byte what they were.
    std::vector<bool> onCycle(8009, false);
    for (int s = 1; !onCycle[static_cast<std::size_t>(s)]; s = 2 * s % 8009)
        onCycle[static_cast<std::size_t>(s)] = true;
    TSlotTable table;
    auto key = [](int prefix, int p) {
        return static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(p);
    };
    // A missing string whose home lies on the cycle, after prefix; -1 when there is none.
    auto onCycleMissing = [&](int prefix, std::size_t rotate) {
        for (int k = 0; k < 4; ++k) {
            const int p = static_cast<int>((rotate + static_cast<std::size_t>(k)) % 4);
            if (table.Lookup(key(prefix, p)) < 0 &&
                onCycle[static_cast<std::size_t>(TSlotTable::Home(key(prefix, p)))])
                return p;
        }
        return -1;
    };
    TBytes pixels{0};
    int prefix = 0, next = 6;
    while (pixels.size() < 150000) {
        int choice = onCycleMissing(prefix, pixels.size());
        // Otherwise extend the string, preferably towards one that can grow on the cycle.
        for (int k = 0; k < 4 && choice < 0; ++k) {
            const int p = static_cast<int>((pixels.size() + static_cast<std::size_t>(k)) % 4);
            const int child = table.Lookup(key(prefix, p));
            if (child >= 0 && onCycleMissing(child, 0) >= 0) choice = p;
        }
        for (int k = 0; k < 4 && choice < 0; ++k) {
            const int p = static_cast<int>((pixels.size() + static_cast<std::size_t>(k)) % 4);
            if (table.Lookup(key(prefix, p)) >= 0) choice = p;
        }
        if (choice < 0) choice = static_cast<int>(pixels.size() % 4);
        pixels.push_back(static_cast<std::uint8_t>(choice));
        const int code = table.Lookup(key(prefix, choice));
        if (code >= 0) {
            prefix = code;
            continue;
        }
        const std::uint32_t k = key(prefix, choice);
        prefix = choice;
        if (next >= 4095) {
            table.Slots.assign(8009, 0xFFFFFFFFu);
            next = 6;
        } else {
            table.Insert(k, next++);
        }
    }
    const int w = 250, h = static_cast<int>(pixels.size()) / w;
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    int dropped = 0;
    const TBytes expected = PackCodes(2, SlotTableCodes(pixels, &dropped));
    ASSERT_GT(dropped, 10) << "the pixels must make strings find no free slot";
    const TBytes data = Encode(pixels, w, h, 2, 4);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(DecodeOurs(data, w, h), pixels);
}

TEST(Encoder, InterlacedRowsAreWrittenInPassOrder) {
    const TBytes pixels = {0, 1, 2}; // one pixel a row, value = row
    const std::vector<int> codes = Codes(Encode(pixels, 1, 3, 2, 4, true));
    EXPECT_EQ(codes, (std::vector<int>{4, 0, 2, 1, 5}));
    EXPECT_EQ(Codes(Encode({3}, 1, 1, 2, 4, true)), (std::vector<int>{4, 3, 5}));
}

TEST(Encoder, ExactlyOneFullSubBlock) {
    // Find a pixel count whose data is exactly 255 bytes, then check the layout.
    for (int n = 1; n < 3000; ++n) {
        TBytes pixels;
        for (int i = 0; i < n; ++i)
            pixels.push_back(static_cast<std::uint8_t>((i * 131) & 0xFF));
        const TBytes data = Encode(pixels, n, 1, 8, 256);
        if (data.size() != 1 + 1 + 255 + 1) continue;
        EXPECT_EQ(data[1], 255);
        EXPECT_EQ(data.back(), 0);
        return;
    }
    FAIL() << "no pixel count gave exactly 255 bytes";
}

TEST(Writer, VersionAndPackedBytes) {
    TGIFPicture gif;
    EXPECT_THROW(SaveBytes(gif), EGIFException);
    TGIFSubImage* frame = AddFrame(gif, 2, 2);
    Grey(gif.GlobalColorMap(), 5);
    TBytes out = SaveBytes(gif);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 6), "GIF87a");
    EXPECT_EQ(out[10], 0x80 | 0x20 | 0x02); // table, resolution 2, 8 entries
    for (int i = 5; i < 8; ++i)
        EXPECT_EQ(out[13 + i * 3], 0);
    frame->Extensions().AppendItem(std::make_unique<TGIFGraphicControlExtension>(frame));
    out = SaveBytes(gif);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 6), "GIF89a");

    struct {
        int globalCount;
        int localCount;
        bool sorted;
        int screenPacked;
        int framePacked;
    } cases[] = {
        {2, 0, false, 0x80 | 0x00 | 0x00, 0x00},
        {1, 0, true, 0x80 | 0x08, 0x00},
        {0, 16, false, 0x30 | 0x03, 0x80 | 0x03},
        {4, 200, true, 0x80 | 0x70 | 0x08 | 0x01, 0x80 | 0x20 | 0x07},
    };
    for (auto c : cases) {
        TGIFPicture g;
        TGIFSubImage* f = AddFrame(g, 1, 1);
        Grey(g.GlobalColorMap(), c.globalCount);
        Grey(f->ColorMap(), c.localCount);
        g.GlobalColorMap().SetSorted(c.sorted && c.globalCount);
        f->ColorMap().SetSorted(c.sorted && c.localCount);
        const TBytes bytes = SaveBytes(g);
        EXPECT_EQ(bytes[10], c.screenPacked) << c.globalCount << "/" << c.localCount;
        const std::size_t desc = 13 + (c.globalCount ? (2u << (bytes[10] & 7)) * 3 : 0);
        ASSERT_EQ(bytes[desc], 0x2C);
        EXPECT_EQ(bytes[desc + 9], c.framePacked);
    }
}

TEST(Writer, InterlaceKeptOnlyWithoutLocalTable) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 2, 3);
    Grey(gif.GlobalColorMap(), 2);
    frame->SetInterlaced(true);
    TBytes out = SaveBytes(gif);
    EXPECT_EQ(out[13 + 6 + 9], 0x40);
    Grey(frame->ColorMap(), 2);
    out = SaveBytes(gif);
    EXPECT_EQ(out[13 + 6 + 9], 0x80);
}

TEST(Writer, ExtensionRecords) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 1, 1);
    Grey(gif.GlobalColorMap(), 2);
    frame->Extensions().InsertAt(0, std::make_unique<TGIFAppExtNSLoop>(frame));
    auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
    auto* gce = gceOwned.get();
    frame->Extensions().AppendItem(std::move(gceOwned));
    gce->SetDelay(0x0102);
    auto commentOwned = std::make_unique<TGIFCommentExtension>(frame);
    auto* comment = commentOwned.get();
    comment->Text = {std::string(300, 'c'), ""};
    frame->Extensions().AppendItem(std::move(commentOwned));
    auto appOwned = std::make_unique<TGIFUnknownAppExtension>(frame);
    auto* app = appOwned.get();
    std::copy_n("ABCDEFGH123", 11, app->Identification.begin());
    app->Blocks.push_back(std::make_unique<TGIFBlock>(2));
    app->Blocks[0]->Data = {9, 8};
    frame->Extensions().AppendItem(std::move(appOwned));

    const TBytes out = SaveBytes(gif);
    std::size_t at = 13 + 6;
    TBytes loop = {0x21, 0xFF, 0x0B};
    for (char c : std::string("NETSCAPE2.0"))
        loop.push_back(static_cast<std::uint8_t>(c));
    loop.insert(loop.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(TBytes(out.begin() + static_cast<std::ptrdiff_t>(at),
                     out.begin() + static_cast<std::ptrdiff_t>(at + loop.size())),
              loop);
    at += loop.size();
    const TBytes gceBytes = {0x21, 0xF9, 4, 0, 2, 1, 0, 0};
    EXPECT_EQ(TBytes(out.begin() + static_cast<std::ptrdiff_t>(at),
                     out.begin() + static_cast<std::ptrdiff_t>(at + 8)),
              gceBytes);
    at += 8;
    EXPECT_EQ(out[at + 2], 255);
    EXPECT_EQ(out[at + 3 + 255], 45);
    at += 2 + 1 + 255 + 1 + 45;
    EXPECT_EQ(out[at], 0); // the empty line is dropped
    ++at;
    const TBytes appBytes = {0x21, 0xFF, 11,  'A', 'B', 'C', 'D', 'E', 'F',
                             'G',  'H',  '1', '2', '3', 2,   9,   8,   0};
    EXPECT_EQ(TBytes(out.begin() + static_cast<std::ptrdiff_t>(at),
                     out.begin() + static_cast<std::ptrdiff_t>(at + appBytes.size())),
              appBytes);
    at += appBytes.size();
    EXPECT_EQ(out[at], 0x2C);
}

TEST(Writer, RecordsReadBackVerbatim) {
    // A graphic control extension read with Block Size 5 (written back with 4), a buffering size, an
    // application extension read with Block Size 10 and an extension-only last frame survive a round
    // trip.
    const TBytes file = TGifBytes()
                            .Header(2, 1, 1)
                            .Add({0x21, 0xFF, 11})
                            .Text("NETSCAPE2.0")
                            .Add({3, 1, 5, 0, 5, 2, 1, 2, 3, 4, 0})
                            // "NETSCAPE2." whose first sub-block size is '0': written with an
                            // 11-byte block it would read back as a broken looping extension.
                            .Add({0x21, 0xFF, 10})
                            .Text("NETSCAPE2.")
                            .Add({'0'})
                            .Add(TBytes(48, 7))
                            .Add({2, 1, 0, 0})
                            .Add({0x21, 0xF9, 5, 0x09, 7, 0, 1, 0})
                            .Image(0, 0, 2, 1)
                            .Add(PackCodes(1, {{2, 2}, {1, 2}, {0, 2}, {3, 3}}))
                            .Add({0x21, 0xFE, 3, 'e', 'n', 'd', 0})
                            .Trailer()
                            .Data;
    TGIFPicture gif;
    LoadBytes(gif, file);
    const TBytes out = SaveBytes(gif);
    TGIFPicture again;
    LoadBytes(again, out);
    ASSERT_EQ(again.Images().ItemCount(), 2);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(again.Images()[0]->Extensions()[0]);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 5);
    EXPECT_EQ(loop->BufferSize, 0x04030201u);
    auto* shortId = dynamic_cast<TGIFUnknownAppExtension*>(again.Images()[0]->Extensions()[1]);
    ASSERT_NE(shortId, nullptr);
    ASSERT_EQ(shortId->Blocks.size(), 2u);
    EXPECT_EQ(shortId->Blocks[0]->Data, TBytes(48, 7));
    EXPECT_EQ(shortId->Blocks[1]->Data, (TBytes{1, 0}));
    auto* gce = again.Images()[0]->GraphicControlExtension();
    EXPECT_EQ(gce->Record().BlockSize, 4);
    EXPECT_EQ(gce->Delay(), 7);
    EXPECT_EQ(gce->Disposal(), 2);
    EXPECT_TRUE(again.Images()[0]->Transparent());
    EXPECT_EQ(again.Images()[0]->PixelAt(0, 0), 1);
    EXPECT_TRUE(again.Images()[1]->Empty());
    EXPECT_EQ(out, SaveBytes(again));
}

TEST(Writer, FrameWithoutTablesAllowsOnlyIndexZero) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 2, 1);
    EXPECT_NO_THROW(SaveBytes(gif));
    frame->RowAt(0)[1] = 1;
    EXPECT_THROW(SaveBytes(gif), EGIFException);
}

TEST(Writer, RunLengthSelectedByCompressionMethod) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 64, 64);
    Grey(gif.GlobalColorMap(), 16);
    std::fill(frame->Pixels(), frame->Pixels() + frame->PixelBytes(), 3);
    const TBytes lzw = SaveBytes(gif);
    gif.CompressionMethod = CompressRLE;
    const TBytes rle = SaveBytes(gif);
    EXPECT_NE(lzw, rle);
    TGIFPicture back;
    LoadBytes(back, rle);
    EXPECT_EQ(TBytes(back.Images()[0]->Pixels(), back.Images()[0]->Pixels() + 4096), TBytes(4096, 3));
}

TEST(Packer, RefusesReadingAndSeeking) {
    TMemoryStream out;
    TGIFWriter writer(out);
    std::uint8_t b;
    EXPECT_THROW(writer.Read(&b, 1), EGIFException);
    EXPECT_THROW(writer.SetPosition(0), EGIFException);
}
