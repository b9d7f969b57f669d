// The smaller animated GIF: giflib decodes it, the frames are composed as a browser composes them, and
// every composed frame must equal the plain file's; the file must be smaller, and a frame that changes
// nothing must still be a valid one-pixel frame. Also through `tindra --convert ... --optimize`.

#include "BatchConverter.h"
#include "DocumentGif.h"
#include "DocumentTestSupport.h"
#include "GIFPicture.h"
#include "GifOracle.h"

#include "SafeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr uint32_t Clear = 0x01000000; // "nothing drawn here", never a 0x00RRGGBB colour

// Composes the decoded frames over a clear screen: transparent pixels keep what is there, Disposal
// Method 2 clears the frame's rectangle afterwards, 3 restores the screen from before the frame.
std::vector<std::vector<uint32_t>> Coalesce(const GifOracle::Decoded& g) {
    std::vector<std::vector<uint32_t>> out;
    std::vector<uint32_t> screen(static_cast<size_t>(g.Width) * g.Height, Clear);
    for (const GifOracle::DecodedFrame& f : g.Frames) {
        const std::vector<uint32_t> before = screen;
        const GifOracle::Frame& b = f.Base;
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x)
                if (b.Indices[static_cast<size_t>(y) * b.Width + x] != b.TransparentIndex)
                    screen[static_cast<size_t>(b.Top + y) * g.Width + b.Left + x] = f.ColorAt(x, y);
        out.push_back(screen);
        if (b.Disposal == 2)
            for (int y = 0; y < b.Height; ++y)
                for (int x = 0; x < b.Width; ++x)
                    screen[static_cast<size_t>(b.Top + y) * g.Width + b.Left + x] = Clear;
        if (b.Disposal == 3) screen = before;
    }
    return out;
}

constexpr uint32_t Back = 0xFFCCCCCC; // the document's transparent colour
constexpr uint32_t Red = 0xFFE02020, Ink = 0xFF202020, Blue = 0xFF2040C0, Pale = 0xFF9090A0;

using Scene = std::function<uint32_t(int frame, int x, int y)>;

struct SceneCase {
    const char* Name;
    int Frames;
    Scene Pixel;
};

// Each scene is drawn at the side asked for; Back is transparent in the saves without border.
const SceneCase Scenes[] = {
    // A square moving across (it uncovers transparent pixels behind it).
    {"moving sprite", 8,
     [](int f, int x, int y) { return x >= 3 * f && x < 3 * f + 7 && y >= 10 && y < 17 ? Red : Back; }},
    // A text line with a cursor that blinks over transparent background.
    {"blinking cursor", 4,
     [](int f, int x, int y) {
         if (y >= 12 && y < 20 && x >= 2 && x < 20 && (x % 4) != 0) return Ink;
         return f % 2 == 0 && y >= 10 && y < 22 && x == 22 ? Ink : Back;
     }},
    // Eight dots on an opaque disc, one lit in turn; the corners stay transparent.
    {"spinner", 12,
     [](int f, int x, int y) {
         const double cx = x - 15.5, cy = y - 15.5;
         if (cx * cx + cy * cy > 15.0 * 15.0) return Back;
         for (int d = 0; d < 8; ++d) {
             const double a = d * 3.14159265 / 4;
             const double dx = cx - 10 * std::cos(a), dy = cy - 10 * std::sin(a);
             if (dx * dx + dy * dy <= 5) return d == f % 8 ? Blue : Ink;
         }
         return Pale;
     }},
    // Forty shades cycling along a bar, a few changing per frame: the table is reordered so that frames
    // write with fewer code bits, and the transparent index moves with it.
    {"colour cycle", 10,
     [](int f, int x, int y) {
         if (y < 8 || y >= 24 || x >= 30) return Back;
         const int shade = (x / 3 * 4 + y / 8 * 7 + (x % 3 == 0 ? f : 0)) % 40;
         return 0xFF000000u | static_cast<uint32_t>(40 + shade * 5) << 8 |
                static_cast<uint32_t>(200 - shade * 4);
     }},
    // Four colours, each of them drawn anew in every frame over a patch that changes in part: no
    // index of a four-entry table is free to stand for "leave as shown".
    {"every colour changes", 20,
     [](int f, int x, int y) {
         static const uint32_t four[] = {Red, Ink, Blue, Pale};
         if (x < 2 || y < 2 || x >= 30 || y >= 30) return four[(x / 8 + y / 8) % 4];
         const unsigned h =
             static_cast<unsigned>(x * 73856093 ^ y * 19349663 ^ (f / 2 + (x + y) % 3) * 83492791);
         return four[(h >> 7) % 4];
     }},
    // More colours than one table holds: each frame shows a patch of 256 colours of its own over a
    // background all frames share, so frames keep tables of their own and still store only what changed.
    {"more than 256 colours", 4,
     [](int f, int x, int y) {
         if (x < 8 || y < 8 || x >= 24 || y >= 24) return (x + y) % 7 == 0 ? Ink : Back;
         const uint32_t i = static_cast<uint32_t>((y - 8) * 16 + (x - 8) + (f / 2) * 256);
         return 0xFF000000u | (i * 37 % 256) << 16 | (i / 2 % 256) << 8 | (i * 11 % 256);
     }},
    // Frames 1 and 2 equal frame 0: nothing changes.
    {"still", 3, [](int, int x, int y) { return (x + y) % 5 == 0 ? Ink : Back; }},
};

TSurface32 Draw(const SceneCase& scene, int frame, int side) {
    TSurface32 s(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            s.SetPixel(x, y, scene.Pixel(frame, x, y));
    return s;
}

GifOracle::Decoded Decode(const TScratchFolder& scratch, const std::string& name,
                          const std::vector<uint8_t>& bytes) {
    const std::string path = scratch.Dir + name;
    TSafeFile::WriteAll(path, bytes);
    return GifOracle::Read(path);
}

} // namespace

TEST(SmallerGif, ShowsTheSamePicturesAsThePlainFile) {
    const TScratchFolder scratch("smaller");
    for (const SceneCase& scene : Scenes)
        for (bool withoutBorder : {false, true}) {
            SCOPED_TRACE(std::string(scene.Name) + (withoutBorder ? " without border" : " with border"));
            const int side = withoutBorder ? 32 : 40;
            auto frames = GifFrames::MakeDocumentPicture();
            for (int f = 0; f < scene.Frames; ++f)
                GifFrames::AppendFrame(*frames, Draw(scene, f, side), 10);
            const uint32_t transparent = 0x00CCCCCC;
            const auto plainBytes = GifFrames::EncodeAnimation(*frames, withoutBorder, transparent, 0, false);
            const auto smallBytes = GifFrames::EncodeAnimation(*frames, withoutBorder, transparent, 0, true);
            const GifOracle::Decoded plain = Decode(scratch, "plain.gif", plainBytes);
            const GifOracle::Decoded small = Decode(scratch, "small.gif", smallBytes);
            ASSERT_TRUE(plain.Ok);
            ASSERT_TRUE(small.Ok);
            EXPECT_EQ(Coalesce(small), Coalesce(plain));
            EXPECT_LT(smallBytes.size(), plainBytes.size());
            ASSERT_EQ(small.Frames.size(), plain.Frames.size());
            for (size_t f = 0; f < small.Frames.size(); ++f) {
                // A frame has a table of its own only where the plain file's frame has one.
                if (small.Frames[f].Palette != small.GlobalPalette) {
                    EXPECT_NE(plain.Frames[f].Palette, plain.GlobalPalette) << "frame " << f;
                }
                const GifOracle::Frame& b = small.Frames[f].Base;
                // Every index, the transparent one too, names an entry of the frame's table.
                const size_t entries = small.Frames[f].Palette.size();
                const auto highest = std::max_element(b.Indices.begin(), b.Indices.end());
                EXPECT_LT(*highest, entries) << "frame " << f;
                EXPECT_LT(b.TransparentIndex, static_cast<int>(entries)) << "frame " << f;
                // Disposal 2 only where a pixel turns transparent again after being drawn.
                if (!withoutBorder) {
                    EXPECT_EQ(b.Disposal, 1) << "frame " << f;
                }
                if (std::string(scene.Name) == "still" && f > 0) {
                    EXPECT_EQ(b.Width * b.Height, 1) << "frame " << f;
                }
            }
        }
}

// --optimize in both command-line forms writes the smaller file of the same pictures.
TEST(SmallerGif, CommandLineOption) {
    const TScratchFolder scratch("smallercli");
    const std::string& dir = scratch.Dir;
    auto frames = GifFrames::MakeDocumentPicture();
    for (int f = 0; f < Scenes[0].Frames; ++f)
        GifFrames::AppendFrame(*frames, Draw(Scenes[0], f, 40), 10);
    const std::string in = dir + "sprite.gif";
    TSafeFile::WriteAll(in, GifFrames::EncodeAnimation(*frames, false, 0, 0, false));
    std::ostringstream err;
    for (const std::string border : {"", "--without-border"}) {
        SCOPED_TRACE(border);
        std::vector<std::string> plainArgs = {"--convert", in, dir + "plain.gif"};
        std::vector<std::string> smallArgs = {"--convert", in, dir + "small.gif", "--optimize"};
        std::vector<std::string> manyArgs = {"--convert", in,           "--to",      "gif",
                                             "--out",     dir + "many", "--optimize"};
        if (!border.empty())
            for (auto* args : {&plainArgs, &smallArgs, &manyArgs})
                args->push_back(border);
        std::filesystem::create_directories(dir + "many");
        ASSERT_EQ(TBatchConverter::Run(plainArgs, err), TBatchConverter::Done) << err.str();
        ASSERT_EQ(TBatchConverter::Run(smallArgs, err), TBatchConverter::Done) << err.str();
        ASSERT_EQ(TBatchConverter::RunMany(manyArgs, err, false), TBatchConverter::Done) << err.str();
        const auto plain = GifOracle::Read(dir + "plain.gif");
        ASSERT_TRUE(plain.Ok);
        EXPECT_EQ(Coalesce(GifOracle::Read(dir + "small.gif")), Coalesce(plain));
        EXPECT_EQ(TSafeFile::ReadAll(dir + "many/sprite.gif", 1 << 20),
                  TSafeFile::ReadAll(dir + "small.gif", 1 << 20));
        EXPECT_LT(std::filesystem::file_size(dir + "small.gif"),
                  std::filesystem::file_size(dir + "plain.gif"));
    }
}
