// Palette files: both formats round trip, foreign and damaged files are refused with their reason.

#include "PaletteFile.h"
#include "DocumentTestSupport.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

namespace {

std::vector<TInterfaceColor> Colors(std::initializer_list<uint32_t> bgr) {
    std::vector<TInterfaceColor> out;
    for (uint32_t c : bgr)
        out.push_back(TInterfaceColor(c));
    return out;
}

bool Same(const std::vector<TInterfaceColor>& a, const std::vector<TInterfaceColor>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Value != b[i].Value) return false;
    return true;
}

} // namespace

// Written files read back to the same colours, in order, for one colour, a few and the full 256; the
// format follows the extension.
TEST(PaletteFile, RoundTripBothFormats) {
    TScratchFolder scratch("palette-round-trip");
    std::vector<TInterfaceColor> all;
    for (uint32_t i = 0; i < 256; ++i)
        all.push_back(TInterfaceColor(i | (255 - i) << 8 | (i * 7 & 0xFF) << 16));
    const std::vector<std::vector<TInterfaceColor>> palettes = {
        Colors({0x000000}), Colors({0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x123456}), all};
    for (const char* name : {"p.gpl", "p.pal", "P.PAL"}) {
        for (const auto& colors : palettes) {
            const std::string path = scratch.Dir + name;
            WritePaletteFile(path, colors, PaletteFormatFor(path));
            EXPECT_TRUE(Same(ReadPaletteFile(path), colors)) << name << " " << colors.size();
        }
    }
    const std::vector<uint8_t> jasc = TSafeFile::ReadAll(scratch.Dir + "p.pal", 1 << 20);
    EXPECT_EQ(std::string(jasc.begin(), jasc.begin() + 18), "JASC-PAL\r\n0100\r\n25");
    const std::vector<uint8_t> gimp = TSafeFile::ReadAll(scratch.Dir + "p.gpl", 1 << 20);
    EXPECT_EQ(std::string(gimp.begin(), gimp.begin() + 21), "GIMP Palette\nName: p\n");
    // Red is the low byte of an interface colour and the first number of a line.
    EXPECT_NE(FormatPalette(Colors({0x0000FF}), TPaletteFormat::Jasc, "").find("\r\n255 0 0\r\n"),
              std::string::npos);
}

// Palettes as other programs write them: names, comments, tabs, CR LF, a byte-order mark.
TEST(PaletteFile, ReadsWhatOtherProgramsWrite) {
    const std::string gimp = "\xEF\xBB\xBFGIMP Palette\r\nName: Web\r\nColumns: 4\r\n# a comment\r\n\r\n"
                             "255   0   0\tRed\r\n  0 128 255 Sky blue\r\n";
    EXPECT_TRUE(Same(ParsePalette(gimp), Colors({0x0000FF, 0xFF8000})));
    const std::string jasc = "JASC-PAL\n0100\n2\n1 2 3\n250 251 252\n\n";
    EXPECT_TRUE(Same(ParsePalette(jasc), Colors({0x030201, 0xFCFBFA})));
}

TEST(PaletteFile, MalformedFilesAreRefused) {
    std::string tooMany = "GIMP Palette\n";
    for (int i = 0; i < 257; ++i)
        tooMany += "1 2 3\n";
    const struct {
        const char* Name;
        std::string Text;
        TPaletteFault Fault;
        int Line;
    } cases[] = {
        {"empty file", "", TPaletteFault::UnknownFormat, 1},
        {"a GIF", "GIF89a\x28\0\x28\0", TPaletteFault::UnknownFormat, 1},
        {"GIMP without colours", "GIMP Palette\nName: x\n#\n", TPaletteFault::NoColors, 0},
        {"GIMP two numbers", "GIMP Palette\n1 2 3\n4 5\n", TPaletteFault::BadColor, 3},
        {"GIMP over 255", "GIMP Palette\n256 0 0\n", TPaletteFault::BadColor, 2},
        {"GIMP negative", "GIMP Palette\n-1 0 0\n", TPaletteFault::BadColor, 2},
        {"GIMP letters", "GIMP Palette\n1 2 3x\n", TPaletteFault::BadColor, 2},
        {"GIMP 257 colours", tooMany, TPaletteFault::TooManyColors, 258}, // the 257th on line 258
        {"JASC wrong version", "JASC-PAL\n0200\n1\n0 0 0\n", TPaletteFault::BadVersion, 2},
        {"JASC count missing", "JASC-PAL\n0100\n", TPaletteFault::BadCount, 3},
        {"JASC count not a number", "JASC-PAL\n0100\nmany\n0 0 0\n", TPaletteFault::BadCount, 3},
        {"JASC zero colours", "JASC-PAL\n0100\n0\n", TPaletteFault::NoColors, 3},
        {"JASC 300 colours", "JASC-PAL\n0100\n300\n0 0 0\n", TPaletteFault::TooManyColors, 3},
        {"JASC fewer lines than count", "JASC-PAL\n0100\n3\n0 0 0\n1 1 1\n", TPaletteFault::BadCount, 3},
        {"JASC more lines than count", "JASC-PAL\n0100\n1\n0 0 0\n1 1 1\n", TPaletteFault::BadCount, 5},
        {"JASC colour with a name", "JASC-PAL\n0100\n1\n0 0 0 black\n", TPaletteFault::BadColor, 4},
    };
    for (const auto& c : cases) {
        try {
            ParsePalette(c.Text);
            ADD_FAILURE() << c.Name << ": taken";
        } catch (const TPaletteFileError& e) {
            EXPECT_EQ(e.Fault(), c.Fault) << c.Name;
            EXPECT_EQ(e.Line(), c.Line) << c.Name;
            EXPECT_FALSE(PaletteFaultText(e, 1).empty());
            EXPECT_NE(PaletteFaultText(e, 0), PaletteFaultText(e, 1));
        }
    }
    EXPECT_THROW(ReadPaletteFile("/nonexistent/palette.gpl"), TPaletteFileError);
}
