// Our own BMP and ICO readers and writer, the PNG reader's refusals, and the file replacement that never
// loses the old file.

#include "BmpFile.h"
#include "DocumentTestSupport.h"
#include "IcoFile.h"
#include "LittleEndian.h"
#include "PngFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    AppendU16LE(v, x);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    AppendU32LE(v, x);
}

// A BITMAPINFOHEADER DIB with the given rows (already padded, in stored order) and palette (0x00RRGGBB).
std::vector<uint8_t> Dib(int w, int h, int bits, uint32_t compression, const std::vector<uint32_t>& palette,
                         const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> v;
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(w));
    Put32(v, static_cast<uint32_t>(h));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(bits));
    Put32(v, compression);
    Put32(v, static_cast<uint32_t>(rows.size()));
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, static_cast<uint32_t>(palette.size()));
    Put32(v, 0);
    for (uint32_t c : palette)
        Put32(v, c);
    v.insert(v.end(), rows.begin(), rows.end());
    return v;
}

// A DIB with the 12-byte core header (16-bit sizes, 3-byte colours blue, green, red) and the given rows.
std::vector<uint8_t> CoreDib(int w, int h, int bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> v;
    Put32(v, 12);
    Put16(v, static_cast<uint32_t>(w));
    Put16(v, static_cast<uint32_t>(h));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(bits));
    for (uint32_t c : palette)
        v.insert(v.end(),
                 {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
    v.insert(v.end(), rows.begin(), rows.end());
    return v;
}

// An icon file whose one directory entry (side × side) points at the image right after the directory.
std::vector<uint8_t> IcoFile(int side, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> v = {0, 0, 1, 0, 1, 0, static_cast<uint8_t>(side), static_cast<uint8_t>(side), 0, 0};
    Put16(v, 1);
    Put16(v, 0);
    Put32(v, static_cast<uint32_t>(image.size()));
    Put32(v, 22);
    v.insert(v.end(), image.begin(), image.end());
    return v;
}

std::vector<uint8_t> BmpFile(const std::vector<uint8_t>& dib, uint32_t pixelOffset = 0) {
    std::vector<uint8_t> v = {'B', 'M'};
    Put32(v, static_cast<uint32_t>(14 + dib.size()));
    Put32(v, 0);
    Put32(v, pixelOffset);
    v.insert(v.end(), dib.begin(), dib.end());
    return v;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool HaveConvert() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

} // namespace

TEST(BmpFile, DecodesEveryDepthBottomUpAndTopDown) {
    // 2 × 2 pictures: top row red, blue; bottom row green, white.
    const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, white = 0xFFFFFFFF;
    const std::vector<uint32_t> pal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    struct Case {
        const char* name;
        std::vector<uint8_t> dib;
        uint32_t top[2], bottom[2];
    } cases[] = {
        // Rows are stored bottom row first; the 1-bit case has two colours only.
        {"1 bit",
         Dib(2, 2, 1, 0, {0x00FF00, 0xFFFFFF}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}),
         {white, green},
         {green, white}},
        {"4 bits", Dib(2, 2, 4, 0, pal, {0x13, 0, 0, 0, 0x02, 0, 0, 0}), {red, blue}, {green, white}},
        {"8 bits", Dib(2, 2, 8, 0, pal, {1, 3, 0, 0, 0, 2, 0, 0}), {red, blue}, {green, white}},
        {"24 bits",
         Dib(2, 2, 24, 0, {}, {0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}),
         {red, blue},
         {green, white}},
        {"32 bits",
         Dib(2, 2, 32, 0, {}, {0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}),
         {red, blue},
         {green, white}},
        {"16 bits 555",
         Dib(2, 2, 16, 0, {}, {0xE0, 0x03, 0xFF, 0x7F, 0x00, 0x7C, 0x1F, 0x00}),
         {red, blue},
         {green, white}},
        {"RLE8", Dib(2, 2, 8, 1, pal, {1, 1, 1, 3, 0, 0, 1, 0, 1, 2, 0, 1}), {red, blue}, {green, white}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPixelImage img = TBmpFile::Decode(BmpFile(c.dib));
        ASSERT_EQ(img.Width, 2);
        ASSERT_EQ(img.Height, 2);
        EXPECT_EQ(img.At(0, 0), c.top[0]);
        EXPECT_EQ(img.At(1, 0), c.top[1]);
        EXPECT_EQ(img.At(0, 1), c.bottom[0]);
        EXPECT_EQ(img.At(1, 1), c.bottom[1]);
    }
    // Top-down: a negative height stores the top row first.
    std::vector<uint8_t> topDown = Dib(2, 2, 8, 0, pal, {0, 2, 0, 0, 1, 3, 0, 0});
    topDown[8] = 0xFE, topDown[9] = topDown[10] = topDown[11] = 0xFF; // height -2
    const TPixelImage img = TBmpFile::Decode(BmpFile(topDown));
    EXPECT_EQ(img.At(0, 0), red);
    EXPECT_EQ(img.At(1, 1), white);
}

TEST(BmpFile, RefusesDamagedFilesBeforeAllocating) {
    const std::vector<uint32_t> pal = {0, 0xFFFFFF};
    std::vector<uint8_t> good = BmpFile(Dib(2, 2, 8, 0, pal, {0, 1, 0, 0, 1, 0, 0, 0}));
    EXPECT_NO_THROW(TBmpFile::Decode(good));

    std::vector<uint8_t> truncated(good.begin(), good.end() - 3);
    std::vector<uint8_t> huge = BmpFile(Dib(100000, 100000, 24, 0, {}, {}));
    std::vector<uint8_t> badDepth = BmpFile(Dib(2, 2, 7, 0, {}, std::vector<uint8_t>(16)));
    std::vector<uint8_t> notBmp = good;
    notBmp[0] = 'X';
    std::vector<uint8_t> zeroWidth = BmpFile(Dib(0, 2, 24, 0, {}, {}));
    for (const auto* data : {&truncated, &huge, &badDepth, &notBmp, &zeroWidth})
        EXPECT_THROW(TBmpFile::Decode(*data), TBmpError);
}

TEST(BmpFile, Encode32RoundTrips) {
    TPixelImage img(3, 2);
    for (int i = 0; i < 6; ++i)
        img.Pixels[i] = 0xFF000000u | (0x102030u * (i + 1));
    const std::vector<uint8_t> bytes = TBmpFile::Encode32(img);
    EXPECT_EQ(bytes.size(), 54u + 3 * 2 * 4);
    const TPixelImage back = TBmpFile::Decode(bytes);
    EXPECT_EQ(back.Pixels, img.Pixels);
}

TEST(IcoFile, TakesTheLargest32x32ImageAndItsMask) {
    // Directory: a 16 × 16 entry first, then the 32 × 32 one.
    auto image = [](int side, uint8_t index) {
        std::vector<uint8_t> rows;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < 4 * ((side + 3) / 4); ++x)
                rows.push_back(index);
        std::vector<uint8_t> dib = Dib(side, 2 * side, 8, 0, {0x000000, 0xFF8000}, rows);
        // AND mask, bottom-up: the bottom row (stored first) fully transparent.
        const int stride = ((side + 31) / 32) * 4;
        for (int y = 0; y < side; ++y)
            for (int b = 0; b < stride; ++b)
                dib.push_back(y == 0 ? 0xFF : 0x00);
        return dib;
    };
    const std::vector<uint8_t> small = image(16, 0), big = image(32, 1);
    std::vector<uint8_t> ico = {0, 0, 1, 0, 2, 0};
    auto entry = [&](int side, const std::vector<uint8_t>& dib, uint32_t offset) {
        ico.push_back(static_cast<uint8_t>(side));
        ico.push_back(static_cast<uint8_t>(side));
        ico.push_back(2);
        ico.push_back(0);
        Put16(ico, 1);
        Put16(ico, 8);
        Put32(ico, static_cast<uint32_t>(dib.size()));
        Put32(ico, offset);
    };
    entry(16, small, 6 + 32);
    entry(32, big, static_cast<uint32_t>(6 + 32 + small.size()));
    ico.insert(ico.end(), small.begin(), small.end());
    ico.insert(ico.end(), big.begin(), big.end());

    const TPixelImage img = TIcoFile::Decode(ico);
    ASSERT_EQ(img.Width, 32);
    ASSERT_EQ(img.Height, 32);
    EXPECT_EQ(img.At(0, 0), 0xFFFF8000u);
    EXPECT_FALSE(img.IsTransparent(0, 0));
    EXPECT_TRUE(img.IsTransparent(5, 31));

    std::vector<uint8_t> cut(ico.begin(), ico.begin() + 200);
    EXPECT_THROW(TIcoFile::Decode(cut), TBmpError);
}

// Fixture: a 32 × 32 32-bit icon whose top row holds red at alpha 128, blue at 255, green at 16 and
// black at 0 (the rest alpha 0), as anti-aliased icon edges are stored. Opened, the half-covered pixels
// are mixed with the empty frame under them, as a viewer shows them; alpha 0 leaves the frame as it is.
// Fixture: a 32 × 32 bitmap with a BITMAPV4 header and an alpha mask (as ImageMagick, GIMP and Paint.NET
// write pictures with transparency): the top row holds black at alpha 0, red at 128 and blue at 255,
// the rest is opaque green. Opened, alpha 0 shows the empty frame and alpha 128 is mixed with it; the
// same pixels with the alpha mask 0 (a plain 32-bit bitmap) are drawn opaquely.
TEST(BmpFile, AnAlphaMaskMakesPixelsTransparent) {
    const uint32_t top[] = {0x00000000u, 0x80FF0000u, 0xFF0000FFu};
    for (const uint32_t alphaMask : {0xFF000000u, 0u}) {
        SCOPED_TRACE(alphaMask);
        std::vector<uint8_t> v;
        Put32(v, 108);
        Put32(v, 32);
        Put32(v, 32);
        Put16(v, 1);
        Put16(v, 32);
        Put32(v, 3); // BI_BITFIELDS
        Put32(v, 32 * 32 * 4);
        for (int k = 0; k < 4; ++k)
            Put32(v, 0);
        for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, alphaMask})
            Put32(v, mask);
        v.resize(108, 0); // colour space and end points
        for (int row = 0; row < 32; ++row)
            for (int x = 0; x < 32; ++x)
                Put32(v, row == 31 && x < 3 ? top[x] : 0xFF00FF00u); // bottom-up: the top row last
        TIconDocument doc;
        ASSERT_TRUE(doc.LoadBmp(TBmpFile::Decode(BmpFile(v, 14 + 108))));
        const TSurface32& frame = doc.FrameBitmap(0);
        const uint32_t under = doc.EmptyTemplate(1).GetPixel(4, 4);
        if (alphaMask) {
            EXPECT_EQ(frame.GetPixel(4, 4), under);
            EXPECT_EQ(frame.GetPixel(5, 4), DrawnOver(top[1], doc.EmptyTemplate(1).GetPixel(5, 4)));
        } else {
            EXPECT_EQ(frame.GetPixel(4, 4), 0xFF000000u);
            EXPECT_EQ(frame.GetPixel(5, 4), 0xFFFF0000u);
        }
        EXPECT_EQ(frame.GetPixel(6, 4), 0xFF0000FFu);
        EXPECT_EQ(frame.GetPixel(20, 20), 0xFF00FF00u);
    }
}

TEST(IcoFile, PartlyTransparentPixelsAreMixedWithTheFrame) {
    std::vector<uint8_t> rows(32 * 32 * 4, 0);
    const uint32_t top[] = {0x80FF0000u, 0xFF0000FFu, 0x1000FF00u, 0x00000000u};
    for (int x = 0; x < 4; ++x) {
        uint8_t* p = rows.data() + (31 * 32 + x) * 4; // rows are stored bottom-up
        p[0] = static_cast<uint8_t>(top[x]), p[1] = static_cast<uint8_t>(top[x] >> 8);
        p[2] = static_cast<uint8_t>(top[x] >> 16), p[3] = static_cast<uint8_t>(top[x] >> 24);
    }
    rows.resize(rows.size() + 32 * 4, 0); // the AND mask, all opaque
    TIconDocument doc;
    ASSERT_TRUE(doc.LoadIco(TIcoFile::Decode(IcoFile(32, Dib(32, 64, 32, 0, {}, rows)))));
    const TSurface32& frame = doc.FrameBitmap(0);
    const TSurface32& empty = doc.EmptyTemplate(1);
    for (int x = 0; x < 4; ++x) {
        SCOPED_TRACE(x);
        const uint32_t a = top[x] >> 24, under = empty.GetPixel(4 + x, 4);
        uint32_t expected = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
            const uint32_t s = (top[x] >> shift) & 0xFF, t = (under >> shift) & 0xFF;
            expected |= ((s * a + t * (255 - a) + 127) / 255) << shift;
        }
        EXPECT_EQ(frame.GetPixel(4 + x, 4), expected);
    }
}

// Fixture: an icon whose 32 × 32 image is stored as PNG, its top row red at half alpha, blue, green at
// alpha 16 and fully transparent: read as the same image as a 32-bit bitmap would give.
TEST(IcoFile, PngImagesAreReadWithTheirAlpha) {
    TPixelImage picture(32, 32, 0xFF102030u);
    const uint32_t top[] = {0x80FF0000u, 0xFF0000FFu, 0x1000FF00u, 0x00000000u};
    for (int x = 0; x < 4; ++x)
        picture.At(x, 0) = top[x];
    const TPixelImage read = TIcoFile::Decode(IcoFile(32, TPngFile::Encode(picture, true)));
    ASSERT_EQ(read.Width, 32);
    ASSERT_EQ(read.Height, 32);
    EXPECT_EQ(read.At(0, 0), top[0]);
    EXPECT_EQ(read.At(1, 0), top[1]);
    EXPECT_EQ(read.At(2, 0), top[2]);
    EXPECT_TRUE(read.IsTransparent(3, 0));
    EXPECT_FALSE(read.IsTransparent(0, 0));
    EXPECT_EQ(read.At(10, 10), 0xFF102030u);
    TIconDocument doc;
    EXPECT_TRUE(doc.LoadIco(read));
    // A damaged PNG image is the icon reader's own error.
    std::vector<uint8_t> damaged = TPngFile::Encode(picture, true);
    damaged.resize(40);
    EXPECT_THROW(TIcoFile::Decode(IcoFile(32, damaged)), TBmpError);
}

TEST(IcoFile, CoreHeaderImagesAreReadByTheirOwnFields) {
    // Fixture: a 32 × 32 one-bit icon image with the 12-byte core header. Offset 14, where the 40-byte
    // header keeps its bit depth, falls in the colour table here and reads 32: taking it for the depth
    // once sent the alpha scan about 4 KB before the data.
    std::vector<uint8_t> rows(32 * 4, 0x00), mask(32 * 4, 0x00);
    rows[0] = 0x80;      // bottom row, first pixel: colour 1
    mask[31 * 4] = 0x80; // top row, first pixel: transparent
    std::vector<uint8_t> image = CoreDib(32, 64, 1, {0x200000, 0x00FF00}, rows); // bytes 14, 15: 0x20, 0
    ASSERT_EQ(image[14] | image[15] << 8, 32);
    image.insert(image.end(), mask.begin(), mask.end());
    const TPixelImage icon = TIcoFile::Decode(IcoFile(32, image));
    ASSERT_EQ(icon.Width, 32);
    ASSERT_EQ(icon.Height, 32);
    EXPECT_EQ(icon.At(0, 31), 0xFF00FF00u);
    EXPECT_EQ(icon.At(1, 31), 0xFF200000u);
    EXPECT_TRUE(icon.IsTransparent(0, 0));
    EXPECT_FALSE(icon.IsTransparent(1, 0));

    // Every cut of it is refused or read, never read outside the data (this runs under ASan).
    for (size_t n = 0; n < image.size(); ++n) {
        std::vector<uint8_t> cut = IcoFile(32, image);
        cut.resize(22 + n);
        try {
            TIcoFile::Decode(cut);
        } catch (const TBmpError&) {
        }
    }
}

TEST(BmpFile, CoreHeaderSizesAreUnsignedAndItsDepthsAreTheFourItDefines) {
    // 2 × 2, 24 bits: top row red, blue; bottom row green, white (bottom row stored first).
    const std::vector<uint8_t> rows24 = {0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0};
    const TPixelImage img = TBmpFile::Decode(BmpFile(CoreDib(2, 2, 24, {}, rows24)));
    EXPECT_EQ(img.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(img.At(1, 1), 0xFFFFFFFFu);
    // A core image with a colour table takes 3-byte colours.
    const TPixelImage pal =
        TBmpFile::Decode(BmpFile(CoreDib(1, 1, 1, {0x123456, 0xABCDEF}, {0x80, 0, 0, 0})));
    EXPECT_EQ(pal.At(0, 0), 0xFFABCDEFu);
    // Height 0xFFE0 is 65504 rows, not 32 rows top-down; 16 and 32 bits do not exist with this header.
    EXPECT_THROW(TBmpFile::Decode(BmpFile(CoreDib(2, 0xFFE0, 24, {}, rows24))), TBmpError);
    EXPECT_THROW(TBmpFile::Decode(BmpFile(CoreDib(2, 2, 32, {}, std::vector<uint8_t>(16)))), TBmpError);
}

TEST(IcoFile, ReadsIconsMadeByImageMagick) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
    const TScratchFolder scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string dir = scratch.Dir;
    struct Case {
        const char* args;
        uint32_t expectTopLeft;
        bool transparentTopLeft;
    } cases[] = {
        {"-size 32x32 xc:'#3366CC'", 0xFF3366CC, false},
        {"-size 32x32 xc:none -fill '#FF0000' -draw 'point 5,5'", 0, true},
        {"-size 32x32 xc:'#00FF00' -colors 16 -type palette", 0xFF00FF00, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string path = dir + "magick" + std::to_string(n++) + ".ico";
        ASSERT_EQ(std::system(("convert " + std::string(c.args) + " " + path).c_str()), 0);
        const TPixelImage img = TIcoFile::Read(path);
        ASSERT_EQ(img.Width, 32);
        EXPECT_EQ(img.IsTransparent(0, 0), c.transparentTopLeft);
        if (!c.transparentTopLeft) {
            EXPECT_EQ(img.At(0, 0), c.expectTopLeft);
        }
    }
    // A 32-bit icon with a drawn point: the point is opaque red.
    const TPixelImage img = TIcoFile::Read(dir + "magick1.ico");
    EXPECT_FALSE(img.IsTransparent(5, 5));
    EXPECT_EQ(img.At(5, 5), 0xFFFF0000u);
}

TEST(BmpFile, ReadsBitmapsMadeByImageMagick) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
    const TScratchFolder scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string dir = scratch.Dir;
    const char* variants[] = {"BMP3:", "BMP:", "BMP2:"};
    const char* types[] = {"-type truecolor", "-type palette", "-type truecoloralpha"};
    for (const char* v : variants)
        for (const char* t : types) {
            const std::string path = dir + "m.bmp";
            const std::string cmd =
                std::string("convert -size 40x40 xc:'#123456' -fill '#FEDCBA' -draw 'point 3,1' ") + t + " " +
                v + path + " 2>/dev/null";
            if (std::system(cmd.c_str()) != 0) continue;
            SCOPED_TRACE(std::string(v) + " " + t);
            const TPixelImage img = TBmpFile::Read(path);
            ASSERT_EQ(img.Width, 40);
            ASSERT_EQ(img.Height, 40);
            EXPECT_EQ(img.At(0, 0), 0xFF123456u);
            EXPECT_EQ(img.At(3, 1), 0xFFFEDCBAu);
        }
}

TEST(SafeFile, ReplacesOnlyWhenTheNewFileIsComplete) {
    const TScratchFolder scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string dir = scratch.Dir;
    const std::string target = dir + "keep.gif";
    WriteBytes(target, {1, 2, 3});
    TSafeFile::WriteAll(target, {9, 8, 7, 6});
    EXPECT_EQ(TSafeFile::ReadAll(target, 100), (std::vector<uint8_t>{9, 8, 7, 6}));

    // A write-protected file is refused and stays as it was.
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_THROW(TSafeFile::WriteAll(target, {5}), TFileError);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(TSafeFile::ReadAll(target, 100).size(), 4u);

    // A folder that cannot take a new file: nothing is written, the old file is untouched.
    const std::string locked = dir + "locked/";
    fs::create_directories(locked);
    WriteBytes(locked + "old.gif", {4, 4});
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    const bool rootLike = [&] {
        std::ofstream probe(locked + "probe");
        return static_cast<bool>(probe);
    }();
    if (!rootLike) {
        EXPECT_THROW(TSafeFile::WriteAll(locked + "old.gif", {1, 1, 1}), TFileError);
        EXPECT_EQ(TSafeFile::ReadAll(locked + "old.gif", 100), (std::vector<uint8_t>{4, 4}));
    }
    fs::permissions(locked, fs::perms::owner_all);
    // No temporary files are left behind.
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

    EXPECT_THROW(TSafeFile::WriteAll(dir + "no/such/folder/x.gif", {1}), TFileError);
    EXPECT_THROW(TSafeFile::ReadAll(dir + "missing.gif", 100), TFileError);
    EXPECT_THROW(TSafeFile::ReadAll(target, 2), TFileError); // larger than allowed
}

TEST(SafeFile, WritesTheFileALinkNamesAndKeepsItsPermissionsAndOwner) {
    const TScratchFolder scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string dir = scratch.Dir;
    const std::string real = dir + "real.gif";
    WriteBytes(real, {1});
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.gif", dir + "link.gif"); // relative, from the link's folder
    fs::create_symlink(dir + "link.gif", dir + "chain.gif");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 1, 1), 0);
    }

    // Through a chain of links: the links stay, the file they name gets the bytes, its permissions
    // and (where allowed) its owner.
    TSafeFile::WriteAll(dir + "chain.gif", {2, 3});
    EXPECT_TRUE(fs::is_symlink(dir + "chain.gif"));
    EXPECT_TRUE(fs::is_symlink(dir + "link.gif"));
    EXPECT_EQ(TSafeFile::ReadAll(real, 100), (std::vector<uint8_t>{2, 3}));
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat st;
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    if (root) {
        EXPECT_EQ(st.st_uid, 1u);
        EXPECT_EQ(st.st_gid, 1u);
    }

    // A link whose file does not exist yet: the file is made where the link points, with the usual
    // permissions of a new file.
    fs::create_directories(dir + "sub");
    fs::create_symlink("sub/new.gif", dir + "dangling.gif");
    TSafeFile::WriteAll(dir + "dangling.gif", {4});
    EXPECT_TRUE(fs::is_symlink(dir + "dangling.gif"));
    EXPECT_EQ(TSafeFile::ReadAll(dir + "sub/new.gif", 100), (std::vector<uint8_t>{4}));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_EQ(::stat((dir + "sub/new.gif").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // A link into a missing folder, and links in a circle, are refused and stay as they were.
    fs::create_symlink("nowhere/x.gif", dir + "broken.gif");
    fs::create_symlink("b.gif", dir + "a.gif");
    fs::create_symlink("a.gif", dir + "b.gif");
    for (const char* name : {"broken.gif", "a.gif"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(TSafeFile::WriteAll(dir + name, {5}), TFileError);
        EXPECT_TRUE(fs::is_symlink(dir + name));
    }
    for (const auto& e : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST(SafeFile, TargetsThatAreNotFilesAreWrittenInPlaceWithEveryStepChecked) {
    const TScratchFolder scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string dir = scratch.Dir;
    // A device that takes no bytes: the failed write is an error, and the device stays a device.
    if (fs::is_character_file("/dev/full")) {
        EXPECT_THROW(TSafeFile::WriteAll("/dev/full", std::vector<uint8_t>(100, 7)), TFileError);
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
    // A pipe gets the bytes in place.
    const std::string pipe = dir + "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::vector<uint8_t> got;
    std::thread reader([&] {
        std::ifstream in(pipe, std::ios::binary);
        got.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    TSafeFile::WriteAll(pipe, {1, 2, 3});
    reader.join();
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(fs::is_fifo(pipe));
    // A folder is refused.
    fs::create_directories(dir + "sub");
    EXPECT_THROW(TSafeFile::WriteAll(dir + "sub", {1}), TFileError);
}

TEST(FileFormats, DamagedBytesNeverCrashTheReaders) {
    // Valid files of each kind, then many copies with random bytes changed, cut or lengthened: each
    // decodes or is refused with an exception, never anything worse (run under the sanitizers).
    const std::vector<uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0xFFFFFF};
    std::vector<uint8_t> rows8;
    for (int i = 0; i < 32 * 32; ++i)
        rows8.push_back(static_cast<uint8_t>(i % 4));
    std::vector<uint8_t> rle = {4, 1, 0, 0, 2, 2, 0, 2, 1, 1, 0, 3, 1, 2, 3, 0, 0, 1};
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 32, 32, 4, 0, 1, 0, 8, 0};
    std::vector<uint8_t> icoDib = Dib(32, 64, 8, 0, pal, rows8);
    icoDib.resize(icoDib.size() + 128, 0);
    Put32(ico, static_cast<uint32_t>(icoDib.size()));
    Put32(ico, 22);
    ico.insert(ico.end(), icoDib.begin(), icoDib.end());
    const std::vector<uint8_t> bmps[] = {BmpFile(Dib(32, 32, 8, 0, pal, rows8)),
                                         BmpFile(Dib(8, 4, 8, 1, pal, rle)),
                                         TBmpFile::Encode32(TPixelImage(5, 3, 0xFF123456))};
    TPixelImage pattern(24, 7);
    for (size_t i = 0; i < pattern.Pixels.size(); ++i)
        pattern.Pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    const std::vector<uint8_t> pngs[] = {TPngFile::Encode(pattern, true), TPngFile::Encode(pattern, false)};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    auto mutate = [&](std::vector<uint8_t> data) {
        const int edits = 1 + next() % 8;
        for (int e = 0; e < edits; ++e) {
            switch (next() % 4) {
            case 0:
                data[next() % data.size()] = static_cast<uint8_t>(next());
                break;
            case 1:
                data[next() % std::min<size_t>(data.size(), 64)] = static_cast<uint8_t>(next());
                break;
            case 2:
                data.resize(1 + next() % data.size());
                break;
            default:
                data.resize(data.size() + next() % 16, static_cast<uint8_t>(next()));
                break;
            }
        }
        return data;
    };
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        try {
            TBmpFile::Decode(mutate(bmps[round % 3]));
        } catch (const std::exception&) {
            ++refused;
        }
        try {
            TIcoFile::Decode(mutate(ico));
        } catch (const std::exception&) {
            ++refused;
        }
        try {
            TPngFile::Decode(mutate(pngs[round % 2]));
        } catch (const std::exception&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_NO_THROW(TIcoFile::Decode(ico));
}
