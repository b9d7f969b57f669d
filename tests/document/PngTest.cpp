// PNG files: our reader against ImageMagick for every colour type and depth, opening PNG pictures and
// sprite sheets as documents, the frame and sprite-sheet exports, and damaged or oversized files refused
// without touching the document.

#include "DocumentTestSupport.h"
#include "GifOracle.h"

#include "DocumentGif.h"
#include "PngFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr uint32_t Grey = 0xFFCCCCCC, Red = 0xFFFF0000, Blue = 0xFF0000FF;

bool HaveConvert() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

// What ImageMagick reads in a picture file, as 8-bit RGBA in our 0xAARRGGBB order; empty on failure.
TPixelImage MagickPixels(const std::string& path) {
    FILE* pipe = popen(("identify -format '%w %h' " + path + " 2>/dev/null").c_str(), "r");
    int w = 0, h = 0;
    if (!pipe) return {};
    const int got = std::fscanf(pipe, "%d %d", &w, &h);
    pclose(pipe);
    if (got != 2) return {};
    TPixelImage image(w, h);
    pipe = popen(("convert " + path + " -depth 8 rgba:- 2>/dev/null").c_str(), "r");
    if (!pipe) return {};
    for (uint32_t& p : image.Pixels) {
        unsigned char q[4];
        if (std::fread(q, 1, 4, pipe) != 4) {
            pclose(pipe);
            return {};
        }
        p = (uint32_t(q[3]) << 24) | (uint32_t(q[0]) << 16) | (uint32_t(q[1]) << 8) | q[2];
    }
    pclose(pipe);
    return image;
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 32; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

class PngDocumentTest : public ::testing::Test {
  protected:
    TOpenResult Open(const std::string& path) { return doc.OpenFile(path, false, asker); }
    bool Magick(const std::string& args) {
        return std::system(("convert " + args + " 2>/dev/null").c_str()) == 0;
    }
    TScratchFolder scratch{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.Dir;
    TIconDocument doc;
    TScriptedAsker asker;
};

} // namespace

// Every colour type and depth ImageMagick writes decodes to the pixels ImageMagick itself reads back
// (16-bit samples within one step of 8-bit rounding).
TEST(PngFile, DecodesEveryColourTypeAsImageMagickReadsIt) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
    const TScratchFolder scratch("png-types");
    // A picture with a gradient, a solid square, a half-transparent square and a fully transparent corner.
    const std::string source =
        "-size 40x40 gradient:'#102030'-'#F0E0D0' -fill '#FF0000' -draw 'rectangle 4,4 12,12' "
        "-alpha set -region 20x10+20+20 -channel A -evaluate set 50% +channel +region "
        "-region 5x5+0+35 -channel A -evaluate set 0 +channel +region ";
    struct Case {
        const char* name;
        const char* options;
        int tolerance;
    } cases[] = {
        {"rgba8", "PNG32:", 0},
        {"rgb8", "-alpha off PNG24:", 0},
        {"rgba16", "-depth 16 PNG64:", 1},
        {"rgb16", "-alpha off -depth 16 PNG48:", 1},
        {"palette", "-alpha off -colors 200 PNG8:", 0},
        {"palette-trns", "-colors 100 PNG8:", 0},
        {"grey8", "-alpha off -colorspace gray -depth 8 -define png:color-type=0 PNG:", 0},
        {"grey16", "-alpha off -colorspace gray -depth 16 -define png:color-type=0 PNG:", 1},
        {"grey2",
         "-alpha off -colorspace gray -depth 2 -define png:color-type=0 -define png:bit-depth=2 PNG:", 0},
        // ImageMagick's reading of grey with alpha is one step off at some pixels.
        {"greyalpha", "-colorspace gray -define png:color-type=4 PNG:", 1},
        {"interlaced", "-interlace PNG PNG32:", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch.Dir + c.name + ".png";
        const std::string options = c.options;
        const size_t colon = options.rfind(' ');
        const std::string prefix = colon == std::string::npos ? options : options.substr(colon + 1);
        const std::string flags = colon == std::string::npos ? "" : options.substr(0, colon);
        ASSERT_EQ(std::system(("convert " + source + flags + " " + prefix + path + " 2>/dev/null").c_str()),
                  0);
        const TPixelImage expected = MagickPixels(path);
        ASSERT_EQ(expected.Width, 40);
        const TPixelImage ours = TPngFile::Decode(TSafeFile::ReadAll(path, 1 << 20));
        ASSERT_EQ(ours.Width, 40);
        ASSERT_EQ(ours.Height, 40);
        int worst = 0;
        for (size_t i = 0; i < ours.Pixels.size(); ++i)
            worst = std::max(worst, ChannelDistance(ours.Pixels[i], expected.Pixels[i]));
        EXPECT_LE(worst, c.tolerance);
    }
}

// Damaged, truncated and oversized files are refused with an exception, the oversized ones before any
// row is allocated (the limits are checked on the header).
TEST(PngFile, RefusesDamagedAndOversizedFiles) {
    const std::vector<uint8_t> good = TPngFile::Encode(TPixelImage(40, 40, Red), true);
    ASSERT_EQ(TPngFile::Decode(good).At(3, 3), Red);
    std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
    std::vector<uint8_t> badCrc = good;
    badCrc[good.size() - 20] ^= 0x55; // inside the image data
    // A header declaring 1,000,000 × 1,000,000 pixels, then nothing.
    std::vector<uint8_t> huge(good.begin(), good.begin() + 33);
    huge[16] = 0x00, huge[17] = 0x0F, huge[18] = 0x42, huge[19] = 0x40;
    huge[20] = 0x00, huge[21] = 0x0F, huge[22] = 0x42, huge[23] = 0x40;
    const std::vector<uint8_t> cases[] = {{},        {0x89, 'P', 'N', 'G'},
                                          truncated, badCrc,
                                          huge,      std::vector<uint8_t>(good.begin(), good.begin() + 8)};
    for (const auto& bytes : cases)
        EXPECT_THROW(TPngFile::Decode(bytes), TPngError) << bytes.size();
    TPngFile::TLimits small;
    small.MaxWidth = small.MaxHeight = 39;
    EXPECT_THROW(TPngFile::Decode(good, small), TPngError);
}

// PNG → Tindra → PNG keeps every pixel of a picture of at most 256 colours, checked by ImageMagick on both
// ends; partial alpha is composed over the template, full transparency becomes the transparent colour
// and goes out again as alpha 0 without the border.
TEST_F(PngDocumentTest, RoundTripAndAlpha) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
    const std::string in = dir + "in.png";
    ASSERT_TRUE(Magick("-size 40x40 plasma:fractal -seed 7 -colors 250 -alpha off PNG24:" + in));
    ASSERT_EQ(Open(in), TOpenResult::Opened);
    EXPECT_EQ(doc.SourceFormat(), TSourceFormat::Png);
    EXPECT_EQ(doc.FrameCount(), 1);
    EXPECT_EQ(doc.DefaultDocumentFileName(), "in_PNG.gif");
    EXPECT_EQ(doc.DefaultFrameFileName(TFileKind::FramePng), "in_1.png");
    asker.SaveName = dir + "out.png";
    ASSERT_EQ(doc.SaveFrameAs(TFileKind::FramePng, asker), TSaveResult::Saved);
    const TPixelImage a = MagickPixels(in), b = MagickPixels(asker.SaveName);
    ASSERT_EQ(b.Width, 40);
    EXPECT_EQ(a.Pixels, b.Pixels);

    // 32 × 32 with alpha: opaque blue, a half-transparent red square, a fully transparent corner.
    const std::string alpha = dir + "alpha.png";
    TPixelImage picture(32, 32, Blue);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            picture.At(x, y) = 0x80FF0000;
    picture.At(0, 0) = 0x00123456;
    TSafeFile::WriteAll(alpha, TPngFile::Encode(picture, true));
    ASSERT_EQ(Open(alpha), TOpenResult::Opened);
    EXPECT_EQ(doc.ImageSize(), 32);
    const TSurface32& frame = doc.FrameBitmap(0);
    EXPECT_EQ(frame.GetPixel(4 + 5, 4 + 5), Blue);
    EXPECT_EQ(frame.GetPixel(4, 4), doc.TransparentColor().Value);
    // 0x80 of red over the template's grey 0xCC, rounded: (255·128 + 204·127) / 255 = 230, 204·127 / 255 =
    // 102.
    const uint32_t t = doc.EmptyTemplate(1).GetPixel(4 + 12, 4 + 12);
    ASSERT_EQ(t, Grey);
    EXPECT_EQ(frame.GetPixel(4 + 12, 4 + 12), 0xFFE66666u);
    EXPECT_EQ(frame.GetPixel(2, 2), doc.EmptyTemplate(1).GetPixel(2, 2)); // the border is the template's
    doc.SetOutputSize(32);
    asker.SaveName = dir + "inner.png";
    ASSERT_EQ(doc.SaveFrameAs(TFileKind::FramePng, asker), TSaveResult::Saved);
    const TPixelImage inner = MagickPixels(asker.SaveName);
    ASSERT_EQ(inner.Width, 32);
    EXPECT_EQ(inner.At(0, 0) >> 24, 0u);      // the transparent colour
    EXPECT_EQ(inner.At(5, 5), Blue);          // opaque
    EXPECT_EQ(inner.At(12, 12), 0xFFE66666u); // composed, now opaque
    // With the border the same frame is wholly opaque, 40 × 40.
    doc.SetOutputSize(40);
    asker.SaveName = dir + "outer.png";
    ASSERT_EQ(doc.SaveFrameAs(TFileKind::FramePng, asker), TSaveResult::Saved);
    const TPixelImage outer = MagickPixels(asker.SaveName);
    ASSERT_EQ(outer.Width, 40);
    EXPECT_EQ(outer.At(4, 4), Grey);
}

// Files that are no picture of ours are refused with the document kept: wrong sizes, a strip whose width
// is no multiple of its height, damaged data.
TEST_F(PngDocumentTest, RefusedFilesKeepTheDocument) {
    const std::vector<uint8_t> good = TPngFile::Encode(TPixelImage(40, 40, Red), false);
    std::vector<uint8_t> damaged = good;
    damaged[damaged.size() - 20] ^= 0xFF;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {{"41.png", TPngFile::Encode(TPixelImage(41, 41, Red), false)},
                 {"tall.png", TPngFile::Encode(TPixelImage(40, 80, Red), false)},
                 {"odd-strip.png", TPngFile::Encode(TPixelImage(100, 40, Red), false)},
                 {"16.png", TPngFile::Encode(TPixelImage(16, 16, Red), false)},
                 {"damaged.png", damaged},
                 {"gif-bytes.png", {'G', 'I', 'F', '8', '9', 'a'}}};
    ASSERT_TRUE(doc.NewDocument(asker));
    {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(9, 9, Blue);
        edit.Commit();
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSafeFile::WriteAll(dir + c.name, c.bytes);
        EXPECT_EQ(Open(dir + c.name), TOpenResult::Failed);
        EXPECT_EQ(doc.Name().Name, "new.gif");
        EXPECT_EQ(doc.FrameBitmap(0).GetPixel(9, 9), Blue);
        EXPECT_TRUE(doc.IsModified());
    }
}

// A sprite-sheet export reopens as the same frames with the same display times, with and without the
// border; without its text file a strip opens with 100 ms a frame.
TEST_F(PngDocumentTest, SpriteSheetRoundTrip) {
    const int times[] = {100, 250, 1000};
    MakeBlockFrames(doc, {{8, 10, 20, 22, Red, times[0]},
                          {12, 10, 24, 22, Blue, times[1]},
                          {16, 10, 28, 22, 0xFF00FF00, times[2]}});
    ASSERT_EQ(doc.FrameCount(), 3);
    EXPECT_EQ(doc.DefaultFrameFileName(TFileKind::SpriteSheet), "new_sheet.png");
    for (int output : {40, 32}) {
        SCOPED_TRACE(output);
        doc.SetOutputSize(output);
        const std::string path = dir + "sheet" + std::to_string(output) + ".png";
        ASSERT_EQ(doc.WriteFrame(TFileKind::SpriteSheet, path), TSaveResult::Saved);
        if (HaveConvert()) {
            const TPixelImage strip = MagickPixels(path);
            EXPECT_EQ(strip.Width, 3 * output);
            EXPECT_EQ(strip.Height, output);
        }
        TIconDocument reopened;
        ASSERT_EQ(reopened.OpenFile(path, false, asker), TOpenResult::Opened);
        ASSERT_EQ(reopened.FrameCount(), 3);
        EXPECT_EQ(reopened.ImageSize(), output);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(reopened.DisplayTime(i), times[i]);
            for (int y = 4; y < 36; ++y)
                for (int x = 4; x < 36; ++x)
                    ASSERT_EQ(reopened.FrameBitmap(i).GetPixel(x, y), doc.FrameBitmap(i).GetPixel(x, y))
                        << i << " " << x << "," << y;
        }
        std::remove(TIconDocument::SpriteSheetTimesPath(path).c_str());
        ASSERT_EQ(reopened.OpenFile(path, false, asker), TOpenResult::Opened);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(reopened.DisplayTime(i), 100);
    }
}

// The display-time file goes beside the strip under the strip's name: a text file of the user's own
// already there is only replaced after the overwrite question (No keeps it and writes nothing); the
// times file of an earlier export of the strip is simply renewed.
TEST_F(PngDocumentTest, SpriteSheetAsksBeforeReplacingAnotherTextFile) {
    ASSERT_TRUE(doc.NewDocument(asker));
    doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(1), 250);
    const std::string sheet = dir + "notes.png", text = dir + "notes.txt";
    const std::vector<uint8_t> notes = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's', '\n'};
    TSafeFile::WriteAll(text, notes);
    asker.SaveName = sheet;

    asker.Overwrite = false;
    EXPECT_EQ(doc.SaveFrameAs(TFileKind::SpriteSheet, asker), TSaveResult::Cancelled);
    EXPECT_EQ(asker.OverwriteAsked, 1);
    EXPECT_EQ(TSafeFile::ReadAll(text, 1 << 10), notes);
    EXPECT_FALSE(std::ifstream(sheet).good());

    asker.Overwrite = true;
    EXPECT_EQ(doc.SaveFrameAs(TFileKind::SpriteSheet, asker), TSaveResult::Saved);
    EXPECT_EQ(asker.OverwriteAsked, 2);
    const std::vector<uint8_t> times = TSafeFile::ReadAll(text, 1 << 10);
    EXPECT_EQ(TIconDocument::ParseSpriteSheetTimes(std::string(times.begin(), times.end())),
              (std::vector<int>{100, 250}));

    // Exported again over its own files: the one question is about the strip.
    EXPECT_EQ(doc.SaveFrameAs(TFileKind::SpriteSheet, asker), TSaveResult::Saved);
    EXPECT_EQ(asker.OverwriteAsked, 3);
}

TEST(SpriteSheetTimes, TextAndPath) {
    using V = std::vector<int>;
    EXPECT_EQ(TIconDocument::ParseSpriteSheetTimes("# times\n100\r\n 250 \n\n1000\n"), V({100, 250, 1000}));
    EXPECT_EQ(TIconDocument::ParseSpriteSheetTimes("100\nfast\n"), V());
    EXPECT_EQ(TIconDocument::ParseSpriteSheetTimes("-5\n"), V());
    EXPECT_EQ(TIconDocument::SpriteSheetTimesPath("/a/b.c/sheet.png"), "/a/b.c/sheet.txt");
    EXPECT_EQ(TIconDocument::SpriteSheetTimesPath("/a/sheet.txt"), "/a/sheet.txt.txt");
    EXPECT_EQ(TIconDocument::SpriteSheetTimesPath("/a/sheet"), "/a/sheet.txt");
}
