// Cross-checks with giflib: files giflib writes decode with ours to the same indices, and files
// we write decode with giflib to the indices we wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"

namespace {

struct TShape {
    const char* Name;
    int W, H;
    int Bits; // colours 2^Bits
    bool Interlaced;
    bool Local; // local table instead of the global one
};

const TShape Shapes[] = {
    {"Dot", 1, 1, 1, false, false},          {"Depth1", 33, 17, 1, false, false},
    {"Depth2", 40, 40, 2, false, false},     {"Depth3", 41, 39, 3, true, false},
    {"Depth4", 64, 48, 4, false, true},      {"Depth5", 50, 50, 5, true, false},
    {"Depth6", 120, 7, 6, false, true},      {"Depth7", 77, 91, 7, true, false},
    {"Depth8", 200, 150, 8, false, false},   {"Depth8Interlaced", 199, 151, 8, true, false},
    {"Depth8Local", 90, 90, 8, false, true}, {"VeryWide", 5000, 2, 8, false, false},
    {"VeryTall", 2, 5000, 3, true, false},   {"InterlacedTiny", 3, 3, 2, true, false},
};

class GiflibShapes : public ::testing::TestWithParam<TShape> {};

// Failure messages name the shape instead of dumping its bytes.
void PrintTo(const TShape& s, std::ostream* os) { *os << s.Name; }

} // namespace

TEST_P(GiflibShapes, GiflibWritesOursReads) {
    const TShape& s = GetParam();
    TGiflibImage im;
    im.Width = s.W;
    im.Height = s.H;
    im.Interlaced = s.Interlaced;
    im.LocalBits = s.Local ? s.Bits : 0;
    im.Pixels = MakePixels(s.W, s.H, 1 << s.Bits, static_cast<unsigned>(s.W * 31 + s.H));
    const TBytes file = GiflibEncode(s.W, s.H, s.Local ? 0 : s.Bits, {im});

    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    LoadBytes(gif, file);
    EXPECT_TRUE(log.Texts.empty());
    ASSERT_EQ(gif.Images().ItemCount(), 1);
    TGIFSubImage* frame = gif.Images()[0];
    EXPECT_EQ(frame->Width(), s.W);
    EXPECT_EQ(frame->Height(), s.H);
    EXPECT_EQ(frame->IsInterlaced(), s.Interlaced);
    EXPECT_EQ(frame->ColorMap().Count(), s.Local ? 1 << s.Bits : 0);
    EXPECT_EQ(TBytes(frame->Pixels(), frame->Pixels() + frame->PixelBytes()), im.Pixels);
}

TEST_P(GiflibShapes, OursWritesGiflibReads) {
    const TShape& s = GetParam();
    for (TCompressionMethod method : {CompressLZW, CompressRLE}) {
        TGIFPicture gif;
        gif.CompressionMethod = method;
        auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(0, 0, s.W, s.H);
        frame->SetInterlaced(s.Interlaced);
        gif.AddFrame(std::move(frameOwned));
        TGIFColorMap& table = s.Local ? static_cast<TGIFColorMap&>(frame->ColorMap()) : gif.GlobalColorMap();
        for (int i = 0; i < (1 << s.Bits); ++i)
            table.AppendColor(static_cast<TGIFColor>(i * 0x030201));
        const TBytes pixels = MakePixels(s.W, s.H, 1 << s.Bits, static_cast<unsigned>(s.W + s.H * 7));
        std::copy(pixels.begin(), pixels.end(), frame->Pixels());

        TGiflibFile decoded;
        std::string error;
        ASSERT_TRUE(GiflibDecode(SaveBytes(gif), decoded, &error)) << error;
        ASSERT_EQ(decoded.Frames.size(), 1u);
        const TGiflibFrame& f = decoded.Frames[0];
        EXPECT_EQ(f.Width, s.W);
        EXPECT_EQ(f.Height, s.H);
        // A frame with a local table is written without interlacing.
        EXPECT_EQ(f.Interlaced, s.Interlaced && !s.Local);
        EXPECT_EQ(f.Pixels, pixels) << (method == CompressRLE ? "run-length" : "LZW");
        EXPECT_EQ(f.Palette, TBytes(table.Data(), table.Data() + table.Count() * 3));
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, GiflibShapes, ::testing::ValuesIn(Shapes),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(GiflibCross, AnimationWithExtensionsBothWays) {
    // giflib writes: looping extension, three frames at offsets with delays, the last with a local
    // table (giflib leaks a local table when a frame without one follows it).
    std::vector<TGiflibImage> images(3);
    for (int i = 0; i < 3; ++i) {
        images[static_cast<std::size_t>(i)].Left = i * 3;
        images[static_cast<std::size_t>(i)].Top = i;
        images[static_cast<std::size_t>(i)].Width = 10 + i;
        images[static_cast<std::size_t>(i)].Height = 8;
        images[static_cast<std::size_t>(i)].Delay = 10 * (i + 1);
        images[static_cast<std::size_t>(i)].LocalBits = i == 2 ? 4 : 0;
        images[static_cast<std::size_t>(i)].Interlaced = i == 1;
        images[static_cast<std::size_t>(i)].Pixels =
            MakePixels(10 + i, 8, i == 2 ? 16 : 4, static_cast<unsigned>(i));
    }
    const TBytes file = GiflibEncode(20, 12, 2, images, 3);
    TGIFPicture gif;
    LoadBytes(gif, file);
    ASSERT_EQ(gif.Images().ItemCount(), 3);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(gif.Images()[0]->Extensions()[0]);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 3);
    for (int i = 0; i < 3; ++i) {
        TGIFSubImage* f = gif.Images()[i];
        EXPECT_EQ(f->Left(), i * 3);
        EXPECT_EQ(f->Top(), i);
        EXPECT_EQ(f->GraphicControlExtension()->Delay(), 10 * (i + 1));
        EXPECT_EQ(TBytes(f->Pixels(), f->Pixels() + f->PixelBytes()),
                  images[static_cast<std::size_t>(i)].Pixels);
    }

    // And back: what we write from it, giflib reads with the same content.
    TGiflibFile decoded;
    std::string error;
    ASSERT_TRUE(GiflibDecode(SaveBytes(gif), decoded, &error)) << error;
    EXPECT_EQ(decoded.Width, 20);
    EXPECT_EQ(decoded.LoopCount, 3);
    ASSERT_EQ(decoded.Frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TGiflibFrame& f = decoded.Frames[static_cast<std::size_t>(i)];
        EXPECT_EQ(f.Left, i * 3);
        EXPECT_EQ(f.Delay, 10 * (i + 1));
        EXPECT_EQ(f.Pixels, images[static_cast<std::size_t>(i)].Pixels);
    }
}

TEST(GiflibCross, RunLengthStreamsOfManyRunShapesDecodeWithGiflib) {
    // Runs of every length from 1 to a few thousand, at every depth: the run codes rely on the
    // table a decoder builds, so an independent decoder must agree.
    for (int bits = 1; bits <= 8; ++bits) {
        const int colors = 1 << bits;
        TBytes pixels;
        unsigned state = 12345u + static_cast<unsigned>(bits);
        for (int run = 1; pixels.size() < 60000; run = run * 3 / 2 + 1) {
            state = state * 1103515245u + 12345u;
            const int value = static_cast<int>((state >> 16) % static_cast<unsigned>(colors));
            const int length = run > 3000 ? 1 + static_cast<int>(state % 7) : run;
            pixels.insert(pixels.end(), static_cast<std::size_t>(length), static_cast<std::uint8_t>(value));
            if (run > 3000) run = 1;
        }
        const int w = 300, h = static_cast<int>(pixels.size()) / w;
        pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        TGIFPicture gif;
        gif.CompressionMethod = CompressRLE;
        auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(0, 0, w, h);
        gif.AddFrame(std::move(frameOwned));
        for (int i = 0; i < colors; ++i)
            gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i));
        std::copy(pixels.begin(), pixels.end(), frame->Pixels());
        TGiflibFile decoded;
        std::string error;
        ASSERT_TRUE(GiflibDecode(SaveBytes(gif), decoded, &error)) << bits << ": " << error;
        ASSERT_EQ(decoded.Frames.size(), 1u);
        EXPECT_EQ(decoded.Frames[0].Pixels, pixels) << "bits " << bits;
    }
}

TEST(GiflibCross, FixedSizeExtensionBlocksAreWrittenAsOtherReadersExpect) {
    // Fixtures: 1 × 1 files whose graphic control extension says Block Size 5 or 0, or ends in 7 instead
    // of the 0 terminator, and one whose plain text extension says Block Size 5. The reader takes these
    // fixed-size records as they stand; what we write must carry the sizes GIF89a defines (4 and a 0
    // terminator, 12), or giflib, giftext and gifsicle refuse the file ("bad graphic extension").
    struct TCase {
        const char* Name;
        TBytes Read, Written;
        int Delay; // as giflib reads it; -1 without a graphic control block
    } cases[] = {
        {"control, Block Size 5", {0x21, 0xF9, 5, 0x09, 7, 0, 1, 0}, {0x21, 0xF9, 4, 0x09, 7, 0, 1, 0}, 7},
        {"control, Block Size 0", {0x21, 0xF9, 0, 0x09, 7, 0, 1, 0}, {0x21, 0xF9, 4, 0x09, 7, 0, 1, 0}, 7},
        {"control, terminator 7", {0x21, 0xF9, 4, 0x09, 7, 0, 1, 7}, {0x21, 0xF9, 4, 0x09, 7, 0, 1, 0}, 7},
        {"plain text, Block Size 5",
         {0x21, 0x01, 5, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 2, 'h', 'i', 0},
         {0x21, 0x01, 12, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 2, 'h', 'i', 0},
         -1},
    };
    const bool haveGifsicle = std::system("gifsicle --version > /dev/null 2>&1") == 0;
    const bool haveGiftext = std::system("command -v giftext > /dev/null 2>&1") == 0;
    const std::string path = ::testing::TempDir() + "tindra-fixed-blocks.gif";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBytes file =
            TGifBytes().Header(1, 1, 1).Add(c.Read).Image(0, 0, 1, 1).DotData().Trailer().Data;
        TGIFPicture gif;
        LoadBytes(gif, file);
        const TBytes out = SaveBytes(gif);
        EXPECT_NE(std::search(out.begin(), out.end(), c.Written.begin(), c.Written.end()), out.end());

        TGiflibFile decoded;
        std::string error;
        ASSERT_TRUE(GiflibDecode(out, decoded, &error)) << error;
        ASSERT_EQ(decoded.Frames.size(), 1u);
        EXPECT_EQ(decoded.Frames[0].Delay, c.Delay); // giflib took the block as a graphic control block

        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
        if (haveGifsicle) {
            EXPECT_EQ(std::system(("gifsicle --info " + path + " > /dev/null 2>&1").c_str()), 0);
        }
        if (haveGiftext) {
            EXPECT_EQ(std::system(("giftext " + path + " > /dev/null 2>&1").c_str()), 0);
        }
    }
    std::remove(path.c_str());
}
