#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "IconWriter.h"
#include "PlatformError.h"

namespace {

// The icon the program hands over: colour black where the frame pixel is the transparent colour,
// mask set there.
TIcon MakeIcon(int size, const std::function<TColorRef(int, int)>& pixel, TColorRef transparent) {
    TBitmap color(size, size, pfDevice), mask(size, size, pf1bit);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const TColorRef c = pixel(x, y);
            if (c == transparent)
                mask.SetIndex(x, y, 1);
            else
                color.SetPixel(x, y, c);
        }
    return TIcon(color, mask);
}

std::string Write(const TIcon& icon, bool prefix = false) {
    std::ostringstream out;
    TIconWriter().WriteIconStream(out, icon, prefix);
    return out.str();
}

int U32(const std::string& s, std::size_t at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
           static_cast<unsigned char>(s[at + 2]) << 16 | static_cast<unsigned char>(s[at + 3]) << 24;
}

const TColorRef Grey = MakeColorRef(0xCC, 0xCC, 0xCC);

} // namespace

TEST(IconWriter, A32By32IconHasTheFixedLayout) {
    const TIcon icon = MakeIcon(
        32, [](int x, int y) { return y == 31 && x < 8 ? Grey : MakeColorRef(x / 4 * 30, y / 4 * 30, 77); },
        Grey);
    const std::string file = Write(icon);
    ASSERT_EQ(file.size(), 2238u);
    const unsigned char head[22] = {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x20, 0x20, 0x08, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0xA8, 0x08, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00};
    EXPECT_EQ(file.substr(0, 22), std::string(reinterpret_cast<const char*>(head), 22));
    EXPECT_EQ(U32(file, 22), 40);     // header size
    EXPECT_EQ(U32(file, 22 + 4), 32); // width
    EXPECT_EQ(U32(file, 22 + 8), 64); // colour image and mask
    EXPECT_EQ(file[22 + 14], 8);      // bits per pixel
    EXPECT_EQ(U32(file, 22 + 20), 1024);
    // Bottom-up: the first mask row is the icon's bottom row, whose 8 leftmost pixels are masked.
    const std::size_t mask = 22 + 40 + 1024 + 1024;
    EXPECT_EQ(static_cast<unsigned char>(file[mask]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(file[mask + 1]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(file[mask + 4]), 0x00); // the row above
    // The colour rows reproduce the (64) colours exactly through the table.
    auto colorAt = [&](int x, int y) {
        const int index = static_cast<unsigned char>(file[22 + 40 + 1024 + (31 - y) * 32 + x]);
        const std::size_t q = 22 + 40 + 4 * static_cast<std::size_t>(index);
        return MakeColorRef(static_cast<unsigned char>(file[q + 2]), static_cast<unsigned char>(file[q + 1]),
                            static_cast<unsigned char>(file[q]));
    };
    EXPECT_EQ(colorAt(5, 0), MakeColorRef(30, 0, 77));
    EXPECT_EQ(colorAt(31, 30), MakeColorRef(210, 210, 77));
    EXPECT_EQ(colorAt(0, 31), 0u); // masked pixels are black
    EXPECT_EQ(Write(icon, true).size(), 2242u);
    EXPECT_EQ(U32(Write(icon, true), 0), 2238);
}

TEST(IconWriter, AllTransparentAndNoTransparentMasks) {
    const std::string all = Write(MakeIcon(
        32, [](int, int) { return Grey; }, Grey));
    const std::string none = Write(MakeIcon(
        32, [](int, int) { return MakeColorRef(1, 2, 3); }, Grey));
    for (std::size_t i = 22 + 40 + 1024; i < 22 + 40 + 2048; ++i) {
        const std::size_t q = 22 + 40 + 4 * static_cast<std::size_t>(static_cast<unsigned char>(all[i]));
        ASSERT_EQ(all[q] | all[q + 1] | all[q + 2], 0) << i; // black colour rows
    }
    for (std::size_t i = 22 + 40 + 2048; i < 2238; ++i) {
        ASSERT_EQ(static_cast<unsigned char>(all[i]), 0xFF) << i;
        ASSERT_EQ(none[i], 0) << i;
    }
    // Odd sizes pad each row to 4 bytes: 5 x 5 -> 8 colour bytes and 4 mask bytes a row.
    EXPECT_EQ(Write(MakeIcon(
                        5, [](int, int) { return Grey; }, Grey))
                  .size(),
              22u + 40 + 1024 + 5 * 8 + 5 * 4);
    EXPECT_THROW(TIconWriter::PrepareDIBHeader(TBitmap(), 256), EInvalidGraphic);
}

TEST(IconWriter, IcotoolListsAndExtractsTheFile) {
    if (std::system("command -v icotool > /dev/null 2>&1") != 0) GTEST_SKIP() << "icotool is not installed";
    char dir[] = "/tmp/tindra-ico-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/frame.ico";
    TIconWriter().SaveToIconFile(
        MakeIcon(
            32, [](int x, int y) { return x == y ? Grey : MakeColorRef(200, x, y); }, Grey),
        path);
    const std::string list = std::string("icotool -l ") + path + " > " + dir + "/list.txt";
    ASSERT_EQ(std::system(list.c_str()), 0);
    std::ifstream listed(std::string(dir) + "/list.txt");
    std::string line;
    std::getline(listed, line);
    EXPECT_NE(line.find("--width=32"), std::string::npos) << line;
    EXPECT_NE(line.find("--height=32"), std::string::npos) << line;
    EXPECT_NE(line.find("--bit-depth=8"), std::string::npos) << line;
    const std::string extract = std::string("icotool -x -o ") + dir + "/out.png " + path;
    EXPECT_EQ(std::system(extract.c_str()), 0);
    std::ifstream png(std::string(dir) + "/out.png", std::ios::binary);
    EXPECT_TRUE(png.good());
    std::system((std::string("rm -rf ") + dir).c_str());
}

TEST(IconWriter, UnwritablePathIsRefused) {
    EXPECT_THROW(TIconWriter().SaveToIconFile(MakeIcon(
                                                  2, [](int, int) { return Grey; }, Grey),
                                              "/nonexistent-dir/x.ico"),
                 EFileError);
}
