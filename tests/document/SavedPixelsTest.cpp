// Saving keeps the pictures as they stand in the document: a frame of at most 256 colours comes back
// pixel for pixel from every save and export and from the command-line conversion, and a one-frame save
// gives the same pixels as the same frame in an animation. Saved GIFs are read back with giflib.

#include "BatchConverter.h"
#include "DocumentTestSupport.h"
#include "GifOracle.h"

#include "BmpFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Colours no reduction to a fixed palette keeps: the reported losses (#008000, #FFA500, the template
// greys #EAEAEA and #888888) and nine more that sit off the 216-colour cube.
const uint32_t OddColors[13] = {0xFF008000, 0xFFFFA500, 0xFFEAEAEA, 0xFF888888, 0xFF123456,
                                0xFFFEDCBA, 0xFF010203, 0xFF7F7F80, 0xFFC0FFEE, 0xFFBADA55,
                                0xFF0A0B0C, 0xFFFF00FE, 0xFF808081};

// A 40 × 40 picture of exactly `colors` distinct colours (13: the odd ones; up to 1600: every pixel its
// own colour when 1600), spread so that neighbours differ.
TSurface32 Picture(int colors) {
    TSurface32 p(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int i = (x * 7 + y * 41) % colors;
            p.SetPixel(x, y,
                       colors == 13 ? OddColors[i]
                                    : 0xFF000000u | ((i * 37) % 256) << 16 |
                                          ((i / 256 * 53 + i * 91) % 256) << 8 | ((i * 173 + 11) % 256));
        }
    return p;
}

// The frame's pixels as giflib decodes them (surface colours).
TSurface32 GiflibFrame(const std::string& path, int index) {
    const GifOracle::Decoded g = GifOracle::Read(path);
    TSurface32 out;
    if (!g.Ok || index >= static_cast<int>(g.Frames.size())) return out;
    const GifOracle::DecodedFrame& f = g.Frames[index];
    out.SetSize(f.Base.Width, f.Base.Height);
    for (int y = 0; y < f.Base.Height; ++y)
        for (int x = 0; x < f.Base.Width; ++x)
            out.SetPixel(x, y, 0xFF000000u | f.ColorAt(x, y));
    return out;
}

// Compares the side × side block of a at (ax, ay) with b at (bx, by); names the first difference.
::testing::AssertionResult SameBlock(const TSurface32& a, int ax, int ay, const TSurface32& b, int bx, int by,
                                     int side) {
    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if ((a.GetPixelClipped(ax + x, ay + y) | 0xFF000000u) !=
                (b.GetPixelClipped(bx + x, by + y) | 0xFF000000u)) {
                if (differing++ == 0)
                    first << std::hex << " first at " << std::dec << x << "," << y << ": " << std::hex
                          << a.GetPixelClipped(ax + x, ay + y) << " vs " << b.GetPixelClipped(bx + x, by + y);
            }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ;" << first.str();
}

bool HaveConvert() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

} // namespace

TEST(SavedPixels, ThirteenOddColoursComeBackFromEverySaveAndExport) {
    const TScratchFolder scratch("thirteen");
    const TSurface32 source = Picture(13);
    TScriptedAsker asker;
    for (int size : {40, 32}) {
        TIconDocument doc;
        ASSERT_TRUE(doc.NewDocument(asker));
        doc.WorkBitmap().CopyFrom(source);
        doc.CommitFrame();
        doc.SetOutputSize(size);
        const int at = size == 32 ? 4 : 0; // where the saved area lies in the frame
        const std::string name = scratch.Dir + std::to_string(size);
        ASSERT_EQ(doc.SaveDocumentTo(name + "doc.gif"), TSaveResult::Saved);
        ASSERT_EQ(doc.WriteFrame(TFileKind::FrameGif, name + "frame.gif"), TSaveResult::Saved);
        ASSERT_EQ(doc.WriteFrame(TFileKind::FrameBmp, name + "frame.bmp"), TSaveResult::Saved);
        for (const char* kind : {"doc.gif", "frame.gif", "frame.bmp"}) {
            SCOPED_TRACE(std::to_string(size) + kind);
            const std::string path = name + kind;
            if (std::string(kind).find(".gif") != std::string::npos) {
                EXPECT_TRUE(SameBlock(GiflibFrame(path, 0), 0, 0, source, at, at, size));
            }
            TIconDocument reopened;
            ASSERT_EQ(reopened.OpenFileDirect(path, false), TOpenResult::Opened);
            EXPECT_TRUE(SameBlock(reopened.FrameBitmap(0), at, at, source, at, at, size));
        }
    }
}

TEST(SavedPixels, ConvertingABitmapToGifAndBackIsLossless) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
    const TScratchFolder scratch("convert");
    // 13 colours, and 256: more than the octree keeps exactly, as many as one colour table holds.
    for (int colors : {13, 256}) {
        SCOPED_TRACE(colors);
        const TSurface32 source = Picture(colors);
        const std::string base = scratch.Dir + std::to_string(colors);
        {
            std::ofstream ppm(base + ".ppm", std::ios::binary);
            ppm << "P6\n40 40\n255\n";
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const uint32_t c = source.GetPixel(x, y);
                    ppm.put(static_cast<char>(c >> 16))
                        .put(static_cast<char>(c >> 8))
                        .put(static_cast<char>(c));
                }
        }
        // The bitmap comes from ImageMagick, as a 24-bit file.
        ASSERT_EQ(std::system(("convert " + base + ".ppm -type TrueColor BMP3:" + base + ".bmp").c_str()), 0);
        std::ostringstream err;
        ASSERT_EQ(TBatchConverter::Run({"--convert", base + ".bmp", base + ".gif"}, err),
                  TBatchConverter::Done)
            << err.str();
        EXPECT_TRUE(SameBlock(GiflibFrame(base + ".gif", 0), 0, 0, source, 0, 0, 40));
        ASSERT_EQ(TBatchConverter::Run({"--convert", base + ".gif", base + "-back.bmp"}, err),
                  TBatchConverter::Done)
            << err.str();
        const TPixelImage back = TBmpFile::Read(base + "-back.bmp");
        TSurface32 backSurface(back.Width, back.Height);
        std::copy(back.Pixels.begin(), back.Pixels.end(), backSurface.Bits());
        EXPECT_TRUE(SameBlock(backSurface, 0, 0, source, 0, 0, 40));
    }
}

TEST(SavedPixels, OneFrameAndAnimationSavesGiveTheSamePixels) {
    const TScratchFolder scratch("oneandtwo");
    TScriptedAsker asker;
    // Few colours, a full table, and a picture of 1600 colours that has to be reduced.
    for (int colors : {13, 256, 1600}) {
        for (int size : {40, 32}) {
            SCOPED_TRACE(std::to_string(colors) + " colours, output " + std::to_string(size));
            const TSurface32 source = Picture(colors);
            TIconDocument doc;
            ASSERT_TRUE(doc.NewDocument(asker));
            doc.SetOutputSize(size);
            doc.WorkBitmap().CopyFrom(source);
            doc.CommitFrame();
            const std::string one = scratch.Dir + "one.gif", two = scratch.Dir + "two.gif";
            ASSERT_EQ(doc.SaveDocumentTo(one), TSaveResult::Saved);
            // The second frame holds the same picture (an inserted frame starts as its reduced picture).
            doc.InsertFrame(TInsertPosition::After, source, 100);
            ASSERT_EQ(doc.FrameCount(), 2);
            doc.WorkBitmap().CopyFrom(source);
            doc.CommitFrame();
            ASSERT_EQ(doc.SaveDocumentTo(two), TSaveResult::Saved);
            const TSurface32 single = GiflibFrame(one, 0);
            ASSERT_EQ(single.Width(), size);
            EXPECT_TRUE(SameBlock(GiflibFrame(two, 0), 0, 0, single, 0, 0, size));
            EXPECT_TRUE(SameBlock(GiflibFrame(two, 1), 0, 0, single, 0, 0, size));
            const int at = size == 32 ? 4 : 0;
            if (colors <= 256) {
                EXPECT_TRUE(SameBlock(single, 0, 0, source, at, at, size));
            }
        }
    }
}

// Two frames of 200 colours each, none shared: together more than one colour table holds. Every save
// (plain, smaller, without border) reopens with every frame as it was.
TEST(SavedPixels, FramesOfMoreColoursThanOneTableComeBackWhole) {
    const TScratchFolder scratch("manycolours");
    TScriptedAsker asker;
    const TSurface32 first = Picture(200);
    TSurface32 second = Picture(200);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            second.SetPixel(x, y, second.GetPixel(x, y) ^ 0x00404040u);
    for (bool smaller : {false, true})
        for (int size : {40, 32}) {
            SCOPED_TRACE(std::string(smaller ? "smaller, " : "plain, ") + std::to_string(size));
            TIconDocument doc;
            ASSERT_TRUE(doc.NewDocument(asker));
            doc.SetOptimizeGif(smaller);
            doc.SetOutputSize(size);
            doc.WorkBitmap().CopyFrom(first);
            doc.CommitFrame();
            doc.InsertFrame(TInsertPosition::After, second, 100);
            const std::string path = scratch.Dir + "two.gif";
            ASSERT_EQ(doc.SaveDocumentTo(path), TSaveResult::Saved);
            const int at = size == 32 ? 4 : 0;
            EXPECT_TRUE(SameBlock(GiflibFrame(path, 0), 0, 0, first, at, at, size));
            EXPECT_TRUE(SameBlock(GiflibFrame(path, 1), 0, 0, second, at, at, size));
            TIconDocument reopened;
            ASSERT_EQ(reopened.OpenFileDirect(path, false), TOpenResult::Opened);
            ASSERT_EQ(reopened.FrameCount(), 2);
            EXPECT_TRUE(SameBlock(reopened.FrameBitmap(0), at, at, first, at, at, size));
            EXPECT_TRUE(SameBlock(reopened.FrameBitmap(1), at, at, second, at, at, size));
        }
}
