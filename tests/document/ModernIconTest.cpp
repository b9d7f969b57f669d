// The ICO export: classic by default (one 256-colour entry, 2238 bytes), and with the modern entries
// listed by icotool and ImageMagick, each entry extracted by icotool matching our own rendering of it.

#include "DocumentTestSupport.h"

#include "IcoFile.h"
#include "ModernIcon.h"
#include "PngFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// A frame with a gradient, a transparent hole, a ragged transparent edge (so that the 16 × 16 pictures
// get partial alpha) and an opaque black line.
void Draw(TIconDocument& doc) {
    TIconDocument::TEdit edit = doc.BeginEdit();
    TSurface32& p = edit.Picture();
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 36; ++x)
            p.SetPixel(x, y,
                       0xFF000000u | uint32_t(x * 7) << 16 | uint32_t(y * 7) << 8 | uint32_t((x + y) * 3));
    p.FillRect(10, 10, 18, 18, doc.TransparentColor().Value);
    for (int y = 4; y < 36; y += 2)
        p.SetPixel(35, y, doc.TransparentColor().Value);
    p.FillRect(4, 30, 36, 31, 0xFF000000u);
    edit.Commit();
}

} // namespace

TEST(ModernIco, ClassicByDefaultModernEntriesMatchOurRendering) {
    const TScratchFolder scratch("modern-ico");
    TScriptedAsker asker;
    TIconDocument doc;
    ASSERT_TRUE(doc.NewDocument(asker));
    doc.SetOutputSize(32);
    Draw(doc);
    const std::vector<uint8_t> classic = doc.EncodeFrameIco();
    ASSERT_EQ(classic.size(), 2238u);
    doc.SetModernIco(true);
    const std::vector<uint8_t> modern = doc.EncodeFrameIco();
    // The classic entry's image is carried over byte for byte.
    ASSERT_GT(modern.size(), 70u + 2216u);
    EXPECT_TRUE(std::equal(classic.begin() + 22, classic.end(), modern.begin() + 70));
    doc.SetModernIco(false);
    EXPECT_EQ(doc.EncodeFrameIco(), classic);

    // Our own rendering of each entry.
    TPixelImage picture(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t c = doc.WorkBitmap().GetPixel(x + 4, y + 4);
            picture.At(x, y) = c == doc.TransparentColor().Value ? 0 : c;
        }
    TPixelImage classicShown = TIcoFile::Decode(classic);
    for (size_t i = 0; i < classicShown.Pixels.size(); ++i)
        classicShown.Pixels[i] = classicShown.Transparent[i] ? 0 : classicShown.Pixels[i] | 0xFF000000u;
    const TPixelImage half = ModernIcon::HalfSize(picture);
    const TPixelImage expected[] = {classicShown, picture, ModernIcon::Quantize(half).Shown(16), half};
    const char* listed[] = {"--width=32 --height=32 --bit-depth=8", "--width=32 --height=32 --bit-depth=32",
                            "--width=16 --height=16 --bit-depth=8", "--width=16 --height=16 --bit-depth=32"};
    // The 16 × 16 pictures have partly transparent pixels at the ragged edge.
    int partial = 0;
    for (uint32_t c : half.Pixels)
        partial += (c >> 24) != 0 && (c >> 24) != 0xFF;
    EXPECT_GT(partial, 0);

    const std::string path = scratch.Dir + "modern.ico";
    TSafeFile::WriteAll(path, modern);
    if (std::system("icotool --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "icotool is not installed";
    const std::string list = Output("icotool -l " + path);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(list.find("--index=" + std::to_string(i + 1) + " " + listed[i]), std::string::npos) << list;
        const std::string png = scratch.Dir + "entry" + std::to_string(i + 1) + ".png";
        ASSERT_EQ(std::system(("icotool -x -i " + std::to_string(i + 1) + " -o " + png + " " + path).c_str()),
                  0);
        const TPixelImage got = TPngFile::Decode(TSafeFile::ReadAll(png, 1 << 20));
        ASSERT_EQ(got.Width, expected[i].Width);
        for (size_t k = 0; k < got.Pixels.size(); ++k) {
            const uint32_t want = expected[i].Pixels[k];
            if ((want >> 24) == 0)
                ASSERT_EQ(got.Pixels[k] >> 24, 0u) << k;
            else
                ASSERT_EQ(got.Pixels[k], want) << k;
        }
    }
    if (std::system("identify -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
    EXPECT_EQ(Output("identify -format '%wx%h ' " + path + " 2>/dev/null"), "32x32 32x32 16x16 16x16 ");
}
