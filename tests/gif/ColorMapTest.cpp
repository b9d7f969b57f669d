// Colour table rules: capacity steps, bits per entry, search order, errors and sorting by use.

#include <gtest/gtest.h>

#include <memory>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "Stream.h"

namespace {

TGIFColor Rgb(int r, int g, int b) {
    return static_cast<TGIFColor>(r | (g << 8) | (b << 16));
}

void Fill(TGIFColorMap& map, int n) {
    for (int i = 0; i < n; ++i)
        map.AppendColor(Rgb(i, 255 - i, i / 2));
}

} // namespace

TEST(ColorMap, CapacityFollowsReserveSteps) {
    struct {
        int before, reserve, capacity;
    } cases[] = {{0, 5, 16}, {0, 16, 16}, {0, 17, 32}, {0, 250, 256}, {0, 400, 256}, {20, 5, 32}};
    for (auto c : cases) {
        TGIFPicture gif;
        Fill(gif.GlobalColorMap(), c.before);
        gif.GlobalColorMap().ReserveEntries(c.reserve);
        EXPECT_EQ(gif.GlobalColorMap().Capacity(), c.capacity) << c.before << " then " << c.reserve;
        EXPECT_EQ(gif.GlobalColorMap().Count(), c.before);
    }
}

TEST(ColorMap, EntryBitsForCounts) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {129, 8}, {256, 8}};
    for (auto [count, bits] : cases) {
        TGIFPicture gif;
        Fill(gif.GlobalColorMap(), count);
        EXPECT_EQ(gif.GlobalColorMap().EntryBits(), bits) << count;
    }
}

TEST(ColorMap, OverflowKeeps256Entries) {
    TGIFPicture gif;
    Fill(gif.GlobalColorMap(), 256);
    EXPECT_THROW(
        {
            try {
                gif.GlobalColorMap().AppendColor(0);
            } catch (const EGIFException& e) {
                EXPECT_STREQ(e.what(), "Color table overflow");
                throw;
            }
        },
        EGIFException);
    EXPECT_EQ(gif.GlobalColorMap().Count(), 256);
}

TEST(ColorMap, FindColorSearchOrderDependsOnSorted) {
    TGIFPicture gif;
    TGIFColorMap& map = gif.GlobalColorMap();
    Fill(map, 12);
    const TGIFColor twin = map.ColorAt(3);
    map.SetColorAt(9, twin);
    EXPECT_EQ(map.FindColor(twin), 9);
    map.SetSorted(true);
    EXPECT_EQ(map.FindColor(twin), 3);
    EXPECT_EQ(map.FindColor(Rgb(1, 2, 3)), -1);
    EXPECT_EQ(map.FindOrAppendColor(Rgb(1, 2, 3)), 12);
    EXPECT_FALSE(map.Sorted()); // appending clears the flag
}

TEST(ColorMap, ColorsCrossAsRedInLowByteAndKeepOnlyThreeBytes) {
    TGIFPicture gif;
    gif.GlobalColorMap().AppendColor(0xFF332211);
    EXPECT_EQ(gif.GlobalColorMap().Data()[0], 0x11);
    EXPECT_EQ(gif.GlobalColorMap().Data()[2], 0x33);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(0), 0x332211u);
}

TEST(ColorMap, BadIndicesWarnOrRaise) {
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFColorMap& map = gif.GlobalColorMap();
    try {
        map.ColorAt(0);
        ADD_FAILURE() << "empty table answered a colour";
    } catch (const EGIFException& e) {
        EXPECT_STREQ(e.what(), "Color table is empty");
    }
    Fill(map, 4);
    log.Texts.clear();
    EXPECT_EQ(map.ColorAt(300), map.ColorAt(0));
    ASSERT_EQ(log.Texts.size(), 1u);
    EXPECT_EQ(log.Texts[0], "Invalid color index");
    EXPECT_THROW(map.RemoveColorAt(4), EGIFException);
    map.RemoveColorAt(1);
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.ColorAt(1), Rgb(2, 253, 1));
}

TEST(ColorMap, WriteEntriesPadsToPowerOfTwo) {
    const std::pair<int, std::size_t> cases[] = {{0, 0}, {1, 6}, {2, 6}, {5, 24}, {200, 768}};
    for (auto [count, bytes] : cases) {
        TGIFPicture gif;
        Fill(gif.GlobalColorMap(), count);
        TMemoryStream out;
        gif.GlobalColorMap().WriteEntries(out);
        ASSERT_EQ(out.Data().size(), bytes) << count;
        for (std::size_t i = static_cast<std::size_t>(count) * 3; i < bytes; ++i)
            EXPECT_EQ(out.Data()[i], 0);
    }
}

TEST(ColorMap, ReadEntriesShortDataRaises) {
    TGIFPicture gif;
    TMemoryStream in(TBytes(7, 1));
    EXPECT_THROW(gif.GlobalColorMap().ReadEntries(in, 4), EGIFException);
}

TEST(ColorMap, SortByUsageReordersRemapsAndDropsUnused) {
    TGIFPicture gif;
    auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
    auto* frame = frameOwned.get();
    frame->SetFrameBounds(0, 0, 4, 2);
    gif.AddFrame(std::move(frameOwned));
    Fill(gif.GlobalColorMap(), 4);
    const TGIFColor c1 = gif.GlobalColorMap().ColorAt(1), c2 = gif.GlobalColorMap().ColorAt(2),
                    c3 = gif.GlobalColorMap().ColorAt(3);
    // Index 2 used 5 times, index 3 twice, index 1 once, index 0 never; 3 is transparent.
    const std::uint8_t pixels[8] = {2, 2, 3, 2, 1, 2, 3, 2};
    std::copy(pixels, pixels + 8, frame->Pixels());
    auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
    auto* gce = gceOwned.get();
    frame->Extensions().AppendItem(std::move(gceOwned));
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(3);

    EXPECT_TRUE(gif.GlobalColorMap().SortByUsage());
    EXPECT_TRUE(gif.GlobalColorMap().Sorted());
    ASSERT_EQ(gif.GlobalColorMap().Count(), 3);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(0), c2);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(1), c3);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(2), c1);
    const std::uint8_t expected[8] = {0, 0, 1, 0, 2, 0, 1, 0};
    EXPECT_TRUE(std::equal(expected, expected + 8, frame->Pixels()));
    EXPECT_EQ(gce->TransparentColorIndex(), 1);
}

TEST(ColorMap, SortByUsageOfTinyOrFramelessTables) {
    TGIFPicture gif;
    Fill(gif.GlobalColorMap(), 1);
    EXPECT_FALSE(gif.GlobalColorMap().SortByUsage());
    // A picture without frames has no use to sort by: its table stays whole and unsorted.
    TGIFPicture frameless;
    Fill(frameless.GlobalColorMap(), 4);
    const TGIFColor second = frameless.GlobalColorMap().ColorAt(1);
    EXPECT_FALSE(frameless.GlobalColorMap().SortByUsage());
    EXPECT_EQ(frameless.GlobalColorMap().Count(), 4);
    EXPECT_EQ(frameless.GlobalColorMap().ColorAt(1), second);
    EXPECT_FALSE(frameless.GlobalColorMap().Sorted());
}

TEST(ColorMap, ImportQuadsAndTriples) {
    TGIFPicture gif;
    const std::uint8_t quads[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    gif.GlobalColorMap().ImportRGBQuads(quads, 2);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(1), Rgb(6, 5, 4));
    std::uint8_t triples[256 * 3] = {9, 8, 7};
    gif.GlobalColorMap().ImportRGBTriples(triples, 1);
    EXPECT_EQ(gif.GlobalColorMap().Count(), 1);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(0), Rgb(9, 8, 7));
    gif.GlobalColorMap().ImportRGBTriples(triples, 0);
    EXPECT_EQ(gif.GlobalColorMap().Count(), 0);
}
