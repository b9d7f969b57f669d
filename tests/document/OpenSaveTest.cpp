// Opening GIF, ICO and BMP files and saving GIF files and frame exports, checked against giflib and
// ImageMagick; the mended faults: saves never destroy the file they replace, a Yes to "Save changes?"
// that saved nothing keeps the document, extensions in any letter case, absurd GIF sizes refused, frames
// composed as browsers show them (disposal 2 clears to the template, frame 0's disposal counts, frames
// past the screen are clipped), and animations saved without border cleared after every frame.

#include "DocumentTestSupport.h"
#include "GifOracle.h"

#include "BmpFile.h"
#include "DocumentGif.h"
#include "GIFPicture.h"
#include "IcoFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t Grey = 0xFFCCCCCC, Red = 0xFFFF0000, Blue = 0xFF0000FF, Black = 0xFF000000,
                   White = 0xFFFFFFFF;

// Palette of the giflib-made test GIFs: 0 black, 1 red, 2 green, 3 blue, 4 white, 5 grey.
const std::vector<uint32_t> Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xCCCCCC};
const uint32_t SurfaceOf[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFFCCCCCC};

GifOracle::Frame Rect(int left, int top, int w, int h, uint8_t index, int delay = 10, int disposal = 0) {
    GifOracle::Frame f;
    f.Left = left, f.Top = top, f.Width = w, f.Height = h;
    f.Indices.assign(static_cast<size_t>(w) * h, index);
    f.Delay = delay;
    f.Disposal = disposal;
    return f;
}

class OpenSaveTest : public ::testing::Test {
  protected:
    void SetUp() override { doc.SetObserver(&seen); }
    std::string WriteGif(const std::string& name, const GifOracle::File& file) {
        const std::string path = dir + name;
        EXPECT_TRUE(GifOracle::Write(path, file));
        return path;
    }
    TOpenResult Open(const std::string& path) { return doc.OpenFile(path, true, asker); }
    // Three frames of 100, 250 and 1000 ms, each with a coloured 10 × 10 square inside the icon area.
    void MakeThreeFrames() {
        MakeBlockFrames(
            doc, {{10, 10, 20, 20, Red, 100}, {10, 10, 20, 20, Blue, 250}, {10, 10, 20, 20, Black, 1000}});
        ASSERT_EQ(doc.FrameCount(), 3);
    }

    TScratchFolder scratch{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.Dir;
    TIconDocument doc;
    TScriptedAsker asker;
    TRecordingObserver seen;
};

} // namespace

TEST_F(OpenSaveTest, ComposesDisposal131OverThePreviousPictures) {
    GifOracle::File f{40, 40, Palette, {}, false};
    f.Frames.push_back(Rect(0, 0, 40, 40, 1, 10, 1)); // red everywhere, kept
    f.Frames.push_back(Rect(10, 10, 5, 5, 2, 20, 3)); // green square, then restored
    f.Frames.push_back(Rect(20, 20, 5, 5, 3, 30, 1)); // blue square over frame 0 only
    ASSERT_EQ(Open(WriteGif("d131.gif", f)), TOpenResult::Opened);
    ASSERT_EQ(doc.FrameCount(), 3);
    EXPECT_EQ(doc.ImageSize(), 40);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(12, 12), Red);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(12, 12), SurfaceOf[2]);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(0, 0), Red);
    EXPECT_EQ(doc.FrameBitmap(2).GetPixel(12, 12), Red); // frame 1 was taken away
    EXPECT_EQ(doc.FrameBitmap(2).GetPixel(22, 22), SurfaceOf[3]);
    EXPECT_EQ(doc.DisplayTime(0), 100);
    EXPECT_EQ(doc.DisplayTime(1), 200);
    EXPECT_EQ(doc.DisplayTime(2), 300);
    EXPECT_EQ(doc.Caption(), "Tindra - d131.gif");
    EXPECT_EQ(seen.Recent, std::vector<std::string>{dir + "d131.gif"});
    EXPECT_EQ(doc.CurrentFrame(), 0);
    EXPECT_FALSE(doc.IsModified());

    // A frame without a graphic control extension is kept and shown 100 ms.
    f.Frames[1].Delay = -1;
    ASSERT_EQ(Open(WriteGif("nocontrol.gif", f)), TOpenResult::Opened);
    EXPECT_EQ(doc.DisplayTime(1), 100);
    EXPECT_EQ(doc.FrameBitmap(2).GetPixel(12, 12), SurfaceOf[2]);
}

TEST_F(OpenSaveTest, DisposalTwoGivesTheRectangleBackToTheStartPicture) {
    // Frame 0's disposal counts like any other: kept (1), cleared (2) or restored to the start (3).
    for (int firstDisposal : {1, 2, 3}) {
        SCOPED_TRACE(firstDisposal);
        const uint32_t under = firstDisposal == 1 ? Red : Grey; // what frame 1 is drawn over
        GifOracle::File f{40, 40, Palette, {}, false};
        f.Frames.push_back(Rect(0, 0, 40, 40, 1, 10, firstDisposal));
        f.Frames.push_back(Rect(0, 0, 10, 10, 2, 10, 2)); // green square, cleared after it is shown
        f.Frames.push_back(Rect(30, 30, 10, 10, 3, 10, 0));
        ASSERT_EQ(Open(WriteGif("d2.gif", f)), TOpenResult::Opened);
        EXPECT_EQ(doc.FrameBitmap(0).GetPixel(35, 35), Red);
        EXPECT_EQ(doc.FrameBitmap(1).GetPixel(35, 35), under);
        EXPECT_EQ(doc.FrameBitmap(1).GetPixel(5, 5), SurfaceOf[2]);
        EXPECT_EQ(doc.FrameBitmap(2).GetPixel(5, 5), Grey); // no ghost of the green square
        EXPECT_EQ(doc.FrameBitmap(2).GetPixel(20, 20), under);
        EXPECT_EQ(doc.FrameBitmap(2).GetPixel(35, 35), SurfaceOf[3]);
    }
}

TEST_F(OpenSaveTest, FramesStickingOutPastTheScreenAreClipped) {
    // 40 × 40 screen: a blue frame reaching 10 pixels past the right and bottom edges.
    GifOracle::File big{40, 40, Palette, {Rect(0, 0, 40, 40, 1), Rect(30, 30, 20, 20, 3)}, false};
    ASSERT_EQ(Open(WriteGif("out40.gif", big)), TOpenResult::Opened);
    ASSERT_EQ(doc.FrameCount(), 2);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(29, 29), Red);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(30, 30), Blue);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(39, 39), Blue);
    // 32 × 32 screen: the part past the screen does not paint over the border.
    GifOracle::File small{32, 32, Palette, {Rect(28, 0, 10, 10, 3)}, false};
    ASSERT_EQ(Open(WriteGif("out32.gif", small)), TOpenResult::Opened);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4 + 31, 4), Blue);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4 + 32, 4), doc.EmptyTemplate(1).GetPixel(36, 4));
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4 + 27, 4), Grey);
}

TEST_F(OpenSaveTest, ComposesAsImageMagickCoalesces) {
    if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
    // A 10 × 10 sprite of one colour whose four corners are transparent (index 5).
    auto sprite = [](int left, int top, uint8_t index, int disposal) {
        GifOracle::Frame s = Rect(left, top, 10, 10, index, 10, disposal);
        s.TransparentIndex = 5;
        for (int at : {0, 9, 90, 99})
            s.Indices[at] = 5;
        return s;
    };
    for (int firstDisposal : {1, 2, 3}) {
        SCOPED_TRACE(firstDisposal);
        // Red background with a transparent hole, then sprites moving over it with disposals 2, 3, 1, 0.
        GifOracle::File f{40, 40, Palette, {}, false};
        GifOracle::Frame background = Rect(0, 0, 40, 40, 1, 10, firstDisposal);
        background.TransparentIndex = 5;
        for (int y = 30; y < 36; ++y)
            for (int x = 30; x < 36; ++x)
                background.Indices[static_cast<size_t>(y) * 40 + x] = 5;
        f.Frames.push_back(background);
        f.Frames.push_back(sprite(2, 2, 2, 2));
        f.Frames.push_back(sprite(8, 8, 3, 3));
        f.Frames.push_back(sprite(14, 14, 4, 1));
        f.Frames.push_back(sprite(26, 26, 0, 0));
        f.Frames.push_back(sprite(20, 2, 2, 2));
        f.Frames.push_back(sprite(6, 6, 4, 0));
        const std::string gif = WriteGif("sprites.gif", f), raw = dir + "coalesced.rgba";
        ASSERT_EQ(std::system(("convert " + gif + " -coalesce -depth 8 rgba:" + raw).c_str()), 0);
        const std::vector<uint8_t> rgba = TSafeFile::ReadAll(raw, 1u << 20);
        ASSERT_EQ(rgba.size(), f.Frames.size() * 40 * 40 * 4);

        ASSERT_EQ(Open(gif), TOpenResult::Opened);
        ASSERT_EQ(doc.FrameCount(), static_cast<int>(f.Frames.size()));
        int opaque = 0, clear = 0;
        for (int k = 0; k < doc.FrameCount(); ++k)
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const uint8_t* p = &rgba[((static_cast<size_t>(k) * 40 + y) * 40 + x) * 4];
                    const uint32_t ours = doc.FrameBitmap(k).GetPixel(x, y);
                    if (p[3] == 255) {
                        ++opaque;
                        const uint32_t theirs = 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2];
                        ASSERT_EQ(ours, theirs) << "frame " << k << " at " << x << "," << y;
                    } else {
                        // Where a browser shows the page through, the editor shows the empty template.
                        ++clear;
                        ASSERT_EQ(p[3], 0);
                        ASSERT_EQ(ours, doc.EmptyTemplate(0).GetPixel(x, y))
                            << "frame " << k << " at " << x << "," << y;
                    }
                }
        EXPECT_GT(opaque, 0);
        EXPECT_GT(clear, 0);
    }
}

TEST_F(OpenSaveTest, TransparentPixelsLeaveTheTemplateAndSmallScreensGetTheBorder) {
    GifOracle::File f{32, 32, Palette, {}, false};
    GifOracle::Frame frame = Rect(0, 0, 32, 32, 1, 50);
    frame.Indices[0] = 4; // a white pixel at (0, 0) of the icon
    frame.Indices[1] = 0; // a transparent pixel at (1, 0)
    frame.TransparentIndex = 0;
    f.Frames.push_back(frame);
    ASSERT_EQ(Open(WriteGif("small.gif", f)), TOpenResult::Opened);
    EXPECT_EQ(doc.ImageSize(), 32);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4, 4), White);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(5, 4), doc.EmptyTemplate(1).GetPixel(5, 4));
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(35, 35), Red);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(0, 0), doc.EmptyTemplate(1).GetPixel(0, 0));
    // One frame: its own Delay Time is not used.
    EXPECT_EQ(doc.DisplayTime(0), 100);
}

TEST_F(OpenSaveTest, RefusedFilesLeaveNoDocument) {
    GifOracle::File big{48, 48, Palette, {Rect(0, 0, 48, 48, 1)}, false};
    GifOracle::File oblong{40, 32, Palette, {Rect(0, 0, 32, 32, 1)}, false};
    const std::string garbage = dir + "garbage.gif";
    std::ofstream(garbage) << "not a gif at all";
    // 100 bytes declaring a 40 × 40 screen with a 65535 × 65535 frame: refused before the codec
    // allocates for it.
    std::vector<uint8_t> absurd = {'G',  'I',  'F',  '8',  '9', 'a', 40,  0,    40,   0, 0x80, 0,
                                   0,    0,    0,    0,    255, 255, 255, 0x2C, 0,    0, 0,    0,
                                   0xFF, 0xFF, 0xFF, 0xFF, 0,   2,   2,   0x4C, 0x01, 0, 0x3B};
    absurd.resize(100, 0);
    TSafeFile::WriteAll(dir + "absurd.gif", absurd);
    // About 80 kB holding 5000 tiny frames: refused before the document holds thousands of pictures.
    std::vector<uint8_t> many = {'G',  'I', 'F', '8', '9', 'a', 40,  0,   40, 0,
                                 0x80, 0,   0,   0,   0,   0,   255, 255, 255};
    for (int k = 0; k < 5000; ++k)
        many.insert(many.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    many.push_back(0x3B);
    TSafeFile::WriteAll(dir + "many.gif", many);
    // The same after one 40 × 40 frame and a stray 0x00 (which the reader skips): still refused, and so
    // is a 4000 × 16 frame in that place.
    std::vector<uint8_t> stray = {'G', 'I', 'F', '8', '9', 'a', 40,  0,    40,   0, 0x80, 0,
                                  0,   0,   0,   0,   255, 255, 255, 0x2C, 0,    0, 0,    0,
                                  40,  0,   40,  0,   0,   2,   2,   0x4C, 0x01, 0, 0};
    std::vector<uint8_t> strayWide = stray;
    for (int k = 0; k < 5000; ++k)
        stray.insert(stray.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    stray.push_back(0x3B);
    strayWide.insert(strayWide.end(), {0x2C, 0, 0, 0, 0, 0xA0, 0x0F, 16, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B});
    TSafeFile::WriteAll(dir + "stray.gif", stray);
    TSafeFile::WriteAll(dir + "stray-wide.gif", strayWide);
    TSafeFile::WriteAll(dir + "noframes.gif", {'G', 'I', 'F', '8', '9', 'a', 40, 0, 40, 0, 0, 0, 0, 0x3B});
    TPixelImage bmp16(16, 16, Red);
    TSafeFile::WriteAll(dir + "small.bmp", TBmpFile::Encode32(bmp16));
    TSafeFile::WriteAll(dir + "picture.png", {1, 2, 3});

    const std::string cases[] = {WriteGif("big.gif", big),
                                 WriteGif("oblong.gif", oblong),
                                 garbage,
                                 dir + "absurd.gif",
                                 dir + "many.gif",
                                 dir + "noframes.gif",
                                 dir + "small.bmp",
                                 dir + "picture.png",
                                 dir + "missing.gif",
                                 dir + "stray.gif",
                                 dir + "stray-wide.gif"};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        // Unsaved work of two frames, the second one edited, survives the refused file untouched.
        ASSERT_TRUE(doc.NewDocument(asker));
        doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(0), 300);
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(7, 7, Red);
            edit.Commit();
        }
        const std::string caption = doc.Caption();
        EXPECT_EQ(Open(path), TOpenResult::Failed);
        EXPECT_TRUE(doc.ImageLoaded());
        EXPECT_EQ(doc.FrameCount(), 2);
        EXPECT_EQ(doc.CurrentFrame(), 1);
        EXPECT_EQ(doc.Caption(), caption);
        EXPECT_EQ(doc.Name().Name, "new.gif");
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.UndoDepth(1), 1);
        EXPECT_EQ(doc.WorkBitmap().GetPixel(7, 7), Red);
        EXPECT_EQ(doc.FrameBitmap(1).GetPixel(7, 7), Red);
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), 2);
        EXPECT_EQ(seen.Rows, 2);
        EXPECT_EQ(seen.Busy, 0);
        // The folder was used anyway (the setting "Path" follows the last file tried).
        EXPECT_EQ(seen.Folders.back(), dir);
        // The batch converter's open leaves no document on the same file.
        EXPECT_EQ(doc.OpenFileDirect(path, false), TOpenResult::Failed);
        EXPECT_FALSE(doc.ImageLoaded());
        EXPECT_EQ(doc.FrameCount(), 0);
        EXPECT_EQ(doc.Caption(), "Tindra");
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), 0);
    }
    EXPECT_TRUE(seen.Recent.empty());
}

TEST_F(OpenSaveTest, ExtensionsInAnyLetterCase) {
    GifOracle::File f{40, 40, Palette, {Rect(0, 0, 40, 40, 3)}, false};
    EXPECT_EQ(Open(WriteGif("ICON.GIF", f)), TOpenResult::Opened);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(0, 0), Blue);
    TSafeFile::WriteAll(dir + "PIC.Bmp", TBmpFile::Encode32(TPixelImage(32, 32, Red)));
    EXPECT_EQ(Open(dir + "PIC.Bmp"), TOpenResult::Opened);
    EXPECT_EQ(doc.SourceFormat(), TSourceFormat::Bmp);
    EXPECT_EQ(doc.Name().Extension, ".Bmp");
    EXPECT_EQ(doc.DefaultDocumentFileName(), "PIC_BMP_40.gif");
}

TEST_F(OpenSaveTest, BitmapsAndIconsAreDrawnOnTheTemplates) {
    TPixelImage b40(40, 40, Blue);
    TSafeFile::WriteAll(dir + "b40.bmp", TBmpFile::Encode32(b40));
    ASSERT_EQ(Open(dir + "b40.bmp"), TOpenResult::Opened);
    EXPECT_EQ(doc.ImageSize(), 40);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(0, 0), Blue);

    TSafeFile::WriteAll(dir + "b32.bmp", TBmpFile::Encode32(TPixelImage(32, 32, Blue)));
    ASSERT_EQ(Open(dir + "b32.bmp"), TOpenResult::Opened);
    EXPECT_EQ(doc.ImageSize(), 32);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4, 4), Blue);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(3, 3), doc.EmptyTemplate(1).GetPixel(3, 3));

    if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
    // An icon with a transparent corner: the template shows through there.
    ASSERT_EQ(std::system(("convert -size 32x32 xc:'#0000FF' -alpha set -fill none -draw 'color 0,0 point' " +
                           dir + "star.ico")
                              .c_str()),
              0);
    ASSERT_EQ(Open(dir + "star.ico"), TOpenResult::Opened);
    EXPECT_EQ(doc.SourceFormat(), TSourceFormat::Ico);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4, 4), doc.EmptyTemplate(1).GetPixel(4, 4));
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(5, 4), Blue);
    EXPECT_EQ(doc.DefaultDocumentFileName(), "star_ICO_40.gif");
    ASSERT_EQ(std::system(("convert -size 16x16 xc:red " + dir + "tiny.ico").c_str()), 0);
    EXPECT_EQ(Open(dir + "tiny.ico"), TOpenResult::Failed);
}

TEST_F(OpenSaveTest, OpensAnimationsMadeByImageMagick) {
    if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
    const std::string path = dir + "magick.gif";
    const std::string cmd = "convert -delay 25 -dispose None -size 40x40 xc:'#FF0000' "
                            "-dispose Previous -size 40x40 xc:'#0000FF' "
                            "-dispose None -size 40x40 xc:'#FFFFFF' -fill '#000000' -draw 'point 3,3' " +
                            path;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    ASSERT_EQ(Open(path), TOpenResult::Opened);
    ASSERT_EQ(doc.FrameCount(), 3);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(20, 20), Red);
    EXPECT_EQ(doc.FrameBitmap(1).GetPixel(20, 20), Blue);
    EXPECT_EQ(doc.FrameBitmap(2).GetPixel(3, 3), Black);
    EXPECT_EQ(doc.DisplayTime(1), 250);
}

TEST_F(OpenSaveTest, SavedAnimationHasDelaysLoopFirstAndNoTransparency) {
    MakeThreeFrames();
    const std::string path = dir + "anim.gif";
    asker.SaveName = path;
    ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
    const GifOracle::Decoded g = GifOracle::Read(path);
    ASSERT_TRUE(g.Ok);
    EXPECT_EQ(g.Width, 40);
    ASSERT_EQ(g.Frames.size(), 3u);
    const int delays[] = {10, 25, 100};
    const uint32_t colors[] = {0xFF0000, 0x0000FF, 0x000000};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const GifOracle::DecodedFrame& f = g.Frames[i];
        EXPECT_EQ(f.Base.Delay, delays[i]);
        EXPECT_EQ(f.Base.Disposal, 0);
        EXPECT_EQ(f.Base.TransparentIndex, -1);
        EXPECT_EQ(f.ColorAt(15, 15), colors[i]);
        EXPECT_EQ(f.ColorAt(2, 2), 0xCCCCCCu);
    }
    ASSERT_FALSE(g.Frames[0].ExtensionCodes.empty());
    EXPECT_EQ(g.Frames[0].ExtensionCodes[0], 0xFF);
    EXPECT_EQ(g.Frames[0].ApplicationIds.at(0), "NETSCAPE2.0");
    EXPECT_TRUE(g.Frames[1].ApplicationIds.empty());
}

// The loop count of an opened GIF (three times, forever, no looping extension) goes back into the saved
// file, with and without the border; a changed one is written and makes the document modified.
TEST_F(OpenSaveTest, LoopCountIsKeptThroughOpenAndSave) {
    struct Case {
        bool looping;
        int loops;
        int expected; // LoopCount() and the saved file's count (-1: no looping extension)
    } cases[] = {{true, 3, 3}, {true, 0, 0}, {false, 0, -1}, {true, 65535, 65535}};
    for (const Case& c : cases) {
        for (int output : {40, 32}) {
            SCOPED_TRACE(std::to_string(c.loops) + (c.looping ? " looping, output " : " none, output ") +
                         std::to_string(output));
            GifOracle::File f{
                40, 40, Palette, {Rect(0, 0, 40, 40, 1, 20), Rect(0, 0, 40, 40, 3, 30)}, c.looping};
            f.Loops = c.loops;
            ASSERT_EQ(Open(WriteGif("loops.gif", f)), TOpenResult::Opened);
            EXPECT_EQ(doc.LoopCount(), c.expected);
            EXPECT_FALSE(doc.IsModified());
            doc.SetOutputSize(output);
            asker.SaveName = dir + "saved.gif";
            ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
            const GifOracle::Decoded g = GifOracle::Read(asker.SaveName);
            ASSERT_EQ(g.Frames.size(), 2u);
            EXPECT_EQ(g.Frames[0].Loops, c.expected);
            EXPECT_EQ(g.Frames[0].ApplicationIds.empty(), c.expected == -1);
            ASSERT_EQ(Open(asker.SaveName), TOpenResult::Opened);
            EXPECT_EQ(doc.LoopCount(), c.expected);
            doc.SetOutputSize(40);
        }
    }
    // Changing it: refused values change nothing; a new value marks the document and is saved.
    EXPECT_FALSE(doc.SetLoopCount(-2));
    EXPECT_FALSE(doc.SetLoopCount(65536));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.SetLoopCount(7));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Caption().back(), '*');
    ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
    EXPECT_EQ(GifOracle::Read(asker.SaveName).Frames[0].Loops, 7);
    EXPECT_FALSE(doc.IsModified());
    // A new document loops forever, as every saved animation did before.
    ASSERT_TRUE(doc.NewDocument(asker));
    EXPECT_EQ(doc.LoopCount(), TIconDocument::LoopForever);
    EXPECT_EQ(doc.PreviewPasses(), 0);
}

// A still GIF (one frame) has no looping extension because nothing moves, not because it should play
// once: made into an animation it loops like a new icon. A looping extension it does carry is kept.
TEST_F(OpenSaveTest, AStillGifMadeIntoAnAnimationLoops) {
    const struct {
        bool looping;
        int loops, expected;
    } cases[] = {{false, 0, TIconDocument::LoopForever}, {true, 3, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.looping);
        GifOracle::File f{40, 40, Palette, {Rect(0, 0, 40, 40, 1)}, c.looping};
        f.Loops = c.loops;
        ASSERT_EQ(Open(WriteGif("still.gif", f)), TOpenResult::Opened);
        EXPECT_EQ(doc.LoopCount(), c.expected);
        doc.DuplicateFrame();
        asker.SaveName = dir + "moving.gif";
        ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
        EXPECT_EQ(GifOracle::Read(asker.SaveName).Frames.at(0).Loops, c.expected);
    }
}

TEST(LoopCountText, TypedValues) {
    struct Case {
        const char* text;
        bool ok;
        int count;
    } cases[] = {{"", true, TIconDocument::PlayOnce},
                 {"  ", true, TIconDocument::PlayOnce},
                 {"0", true, 0},
                 {" 3 ", true, 3},
                 {"65535", true, 65535},
                 {"65536", false, 0},
                 {"-1", false, 0},
                 {"2x", false, 0},
                 {"999999", false, 0},
                 {"1 2", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int count = 12345;
        EXPECT_EQ(TIconDocument::ParseLoopCount(c.text, count), c.ok);
        if (c.ok) {
            EXPECT_EQ(count, c.count);
        }
    }
}

TEST_F(OpenSaveTest, WithoutBorderMarksTheTransparentColourAndDisposal) {
    MakeThreeFrames();
    doc.SetOutputSize(32);
    const std::string path = dir + "inner.gif";
    ASSERT_EQ(doc.SaveDocumentTo(path), TSaveResult::Saved);
    const GifOracle::Decoded g = GifOracle::Read(path);
    ASSERT_TRUE(g.Ok);
    EXPECT_EQ(g.Width, 32);
    ASSERT_EQ(g.Frames.size(), 3u);
    // Grey, the transparent colour, is the most used colour: entry 0 of the merged table.
    EXPECT_EQ(g.GlobalPalette.at(0), 0xCCCCCCu);
    for (const GifOracle::DecodedFrame& f : g.Frames) {
        ASSERT_GE(f.Base.TransparentIndex, 0);
        EXPECT_EQ(f.Palette.at(f.Base.TransparentIndex), 0xCCCCCCu);
        EXPECT_EQ(f.Base.Disposal, 2);
        EXPECT_EQ(f.ColorAt(0, 0), 0xCCCCCCu); // the inner area starts at (4, 4) of the frame
    }
    EXPECT_EQ(g.Frames[0].ApplicationIds.at(0), "NETSCAPE2.0");
    // Saving without border keeps the border of the frames in memory.
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(0, 0), doc.EmptyTemplate(1).GetPixel(0, 0));
    EXPECT_EQ(doc.ImageSize(), 32);
}

TEST_F(OpenSaveTest, WithoutBorderEveryFrameIsClearedAndReopensAsSaved) {
    // A grey (transparent) square moving over red: the transparent colour is not entry 0 of the table
    // when red fills the frames, and is when grey does.
    for (uint32_t fill : {Red, Grey}) {
        SCOPED_TRACE(fill);
        MakeThreeFrames();
        const uint32_t mark = fill == Red ? Grey : Red;
        for (int i = 0; i < 3; ++i) {
            doc.SelectFrame(i);
            doc.WorkBitmap().FillRect(4, 4, 36, 36, fill);
            doc.WorkBitmap().FillRect(6 + 8 * i, 6 + 8 * i, 14 + 8 * i, 14 + 8 * i, mark);
            doc.CommitFrame();
        }
        std::vector<TSurface32> saved;
        for (int i = 0; i < 3; ++i)
            saved.push_back(doc.FrameBitmap(i));
        doc.SetOutputSize(32);
        const std::string path = dir + "moving.gif";
        ASSERT_EQ(doc.SaveDocumentTo(path), TSaveResult::Saved);
        const GifOracle::Decoded g = GifOracle::Read(path);
        ASSERT_TRUE(g.Ok);
        EXPECT_EQ(g.GlobalPalette.at(0), fill & 0xFFFFFFu);
        for (const GifOracle::DecodedFrame& f : g.Frames) {
            ASSERT_GE(f.Base.TransparentIndex, 0);
            EXPECT_EQ(f.Palette.at(f.Base.TransparentIndex), 0xCCCCCCu);
            EXPECT_EQ(f.Base.Disposal, 2);
        }
        // Another viewer shows each frame alone: its transparent pixels show no earlier frame.
        if (std::system("convert -version >/dev/null 2>&1") == 0) {
            const std::string raw = dir + "moving.rgba";
            ASSERT_EQ(std::system(("convert " + path + " -coalesce -depth 8 rgba:" + raw).c_str()), 0);
            const std::vector<uint8_t> rgba = TSafeFile::ReadAll(raw, 1u << 20);
            ASSERT_EQ(rgba.size(), 3u * 32 * 32 * 4);
            for (int k = 0; k < 3; ++k)
                for (int y = 0; y < 32; ++y)
                    for (int x = 0; x < 32; ++x) {
                        const uint8_t* p = &rgba[((static_cast<size_t>(k) * 32 + y) * 32 + x) * 4];
                        const uint32_t shown =
                            p[3] == 255 ? 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2] : Grey;
                        ASSERT_EQ(shown, saved[k].GetPixel(x + 4, y + 4)) << k << " at " << x << "," << y;
                    }
        }
        // Opened again, every frame is exactly as it was saved, on the bordered template.
        ASSERT_EQ(Open(path), TOpenResult::Opened);
        ASSERT_EQ(doc.FrameCount(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(std::equal(saved[i].Bits(), saved[i].Bits() + 1600, doc.FrameBitmap(i).Bits())) << i;
        doc.SetOutputSize(40);
    }
}

TEST_F(OpenSaveTest, OneFrameSavesMarkTransparencyOnlyWhenPresent) {
    ASSERT_TRUE(doc.NewDocument(asker));
    doc.WorkBitmap().FillRect(4, 4, 36, 36, 0xFF3366CC);
    doc.WorkBitmap().SetPixel(10, 10, Grey);
    doc.CommitFrame();
    const std::string p40 = dir + "one40.gif", p32 = dir + "one32.gif", none = dir + "none32.gif";
    ASSERT_EQ(doc.SaveDocumentTo(p40), TSaveResult::Saved);
    GifOracle::Decoded g = GifOracle::Read(p40);
    ASSERT_TRUE(g.Ok);
    ASSERT_EQ(g.Frames.size(), 1u);
    EXPECT_TRUE(g.Frames[0].ExtensionCodes.empty());
    EXPECT_EQ(g.Frames[0].ColorAt(20, 20), 0x3366CCu);
    EXPECT_EQ(g.Frames[0].ColorAt(10, 10), 0xCCCCCCu);

    doc.SetOutputSize(32);
    ASSERT_EQ(doc.SaveDocumentTo(p32), TSaveResult::Saved);
    g = GifOracle::Read(p32);
    ASSERT_TRUE(g.Ok);
    EXPECT_EQ(g.Width, 32);
    ASSERT_GE(g.Frames[0].Base.TransparentIndex, 0);
    EXPECT_EQ(g.Frames[0].Palette[g.Frames[0].Base.TransparentIndex], 0xCCCCCCu);
    EXPECT_EQ(g.Frames[0].ColorAt(6, 6), 0xCCCCCCu);

    doc.WorkBitmap().SetPixel(10, 10, Black);
    doc.CommitFrame();
    ASSERT_EQ(doc.SaveDocumentTo(none), TSaveResult::Saved);
    g = GifOracle::Read(none);
    ASSERT_TRUE(g.Ok);
    EXPECT_FALSE(g.Frames[0].HasControl);
}

TEST_F(OpenSaveTest, SavingClearsUndoAndTheSecondSaveAsksToReplace) {
    MakeThreeFrames();
    doc.SelectFrame(1);
    {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(20, 20, White);
        edit.Commit();
    }
    EXPECT_TRUE(doc.IsModified());
    asker.SaveName = dir + "twice.gif";
    ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.UndoEnabled());
    EXPECT_EQ(doc.Caption(), "Tindra - twice.gif");
    EXPECT_EQ(seen.FrameInfo, "2/3");
    EXPECT_EQ(asker.OverwriteAsked, 0);
    // The edited pixel is in the file.
    EXPECT_EQ(GifOracle::Read(dir + "twice.gif").Frames.at(1).ColorAt(20, 20), 0xFFFFFFu);

    ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
    EXPECT_EQ(asker.OfferedNames.back(), "twice.gif");
    EXPECT_EQ(asker.OverwriteAsked, 1);
    asker.Overwrite = false;
    EXPECT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Cancelled);
}

TEST_F(OpenSaveTest, AFailedSaveKeepsTheOldFileAndTheDocument) {
    MakeThreeFrames();
    EditOnePixel(doc);
    const std::string path = dir + "old.gif";
    TSafeFile::WriteAll(path, {'o', 'l', 'd'});
    fs::permissions(path, fs::perms::owner_read);
    asker.SaveName = path;
    EXPECT_EQ(doc.SaveDocumentAs(asker), TSaveResult::WriteFailed);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(TSafeFile::ReadAll(path, 100), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    EXPECT_EQ(seen.Busy, 0);
    EXPECT_EQ(doc.WriteFrame(TFileKind::FrameBmp, dir + "no/such/dir/f.bmp"), TSaveResult::WriteFailed);
}

TEST_F(OpenSaveTest, YesToSaveChangesWithoutASaveKeepsTheDocument) {
    MakeThreeFrames();
    {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(20, 20, White);
        edit.Commit();
    }
    asker.SaveChanges = true;
    asker.SaveName.clear(); // the save dialog is cancelled
    EXPECT_FALSE(doc.NewDocument(asker));
    EXPECT_EQ(doc.FrameCount(), 3);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), White);

    GifOracle::File f{40, 40, Palette, {Rect(0, 0, 40, 40, 3)}, false};
    EXPECT_EQ(doc.OpenFile(WriteGif("other.gif", f), true, asker), TOpenResult::Abandoned);
    EXPECT_EQ(doc.FrameCount(), 3);
    EXPECT_FALSE(doc.SaveChangesIfWanted(asker)); // closing is abandoned as well
    EXPECT_EQ(seen.SaveFailures, 0);              // a cancelled dialog is no write error

    // The save fails: the same.
    TSafeFile::WriteAll(dir + "ro.gif", {1});
    fs::permissions(dir + "ro.gif", fs::perms::owner_read);
    asker.SaveName = dir + "ro.gif";
    EXPECT_FALSE(doc.NewDocument(asker));
    fs::permissions(dir + "ro.gif", fs::perms::owner_all);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(seen.SaveFailures, 1); // the window is told, so it can report the write error

    // No: the changes go and the new document comes.
    asker.SaveChanges = false;
    EXPECT_TRUE(doc.NewDocument(asker));
    EXPECT_EQ(doc.FrameCount(), 1);
    // Yes and a good save: saved, then replaced.
    EditOnePixel(doc);
    asker.SaveChanges = true;
    asker.SaveName = dir + "kept.gif";
    EXPECT_TRUE(doc.NewDocument(asker));
    EXPECT_TRUE(fs::exists(dir + "kept.gif"));
}

TEST_F(OpenSaveTest, CancelToSaveChangesCallsOffWhateverAsked) {
    MakeThreeFrames();
    doc.SelectFrame(1);
    {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(20, 20, White);
        edit.Commit();
    }
    asker.CancelSaveChanges = true;
    asker.SaveName = dir + "never.gif";
    GifOracle::File f{40, 40, Palette, {Rect(0, 0, 40, 40, 3)}, false};
    asker.OpenName = WriteGif("other.gif", f);
    const auto untouched = [&] {
        EXPECT_EQ(doc.FrameCount(), 3);
        EXPECT_EQ(doc.CurrentFrame(), 1);
        EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), White);
        EXPECT_EQ(doc.UndoDepth(1), 1);
        EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    };
    EXPECT_FALSE(doc.NewDocument(asker));
    untouched();
    EXPECT_EQ(doc.OpenFile("", true, asker), TOpenResult::Abandoned); // Open
    untouched();
    EXPECT_EQ(doc.OpenFile(asker.OpenName, false, asker), TOpenResult::Abandoned); // a recent file
    untouched();
    EXPECT_FALSE(doc.SaveChangesIfWanted(asker)); // closing
    untouched();
    EXPECT_EQ(asker.SaveChangesAsked, 4);
    EXPECT_TRUE(asker.OfferedNames.empty()); // no save dialog
    EXPECT_FALSE(fs::exists(dir + "never.gif"));
    EXPECT_TRUE(seen.Recent.empty());
}

TEST_F(OpenSaveTest, CancelledOpenDialogKeepsTheDocument) {
    MakeThreeFrames();
    doc.SelectFrame(2);
    {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(20, 20, White);
        edit.Commit();
    }
    asker.OpenName.clear();
    EXPECT_EQ(doc.OpenFile("", true, asker), TOpenResult::Cancelled); // No to "Save changes?", then Cancel
    EXPECT_TRUE(doc.ImageLoaded());
    EXPECT_EQ(doc.FrameCount(), 3);
    EXPECT_EQ(doc.CurrentFrame(), 2);
    EXPECT_EQ(doc.FrameBitmap(2).GetPixel(20, 20), White);
    EXPECT_EQ(doc.DisplayTime(2), 1000);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    EXPECT_EQ(seen.Rows, 3);
    EXPECT_EQ(seen.Busy, 0);
    GifOracle::File f{40, 40, Palette, {Rect(0, 0, 40, 40, 3)}, false};
    asker.OpenName = WriteGif("chosen.gif", f);
    EXPECT_EQ(doc.OpenFile("", false, asker), TOpenResult::Opened);
    EXPECT_TRUE(seen.Recent.empty()); // not asked to add it
}

// Delay Times the display-time field cannot take (0, and above 300000 ms) are shown as stored, stay
// when the field is left with that value, and are saved unchanged.
TEST_F(OpenSaveTest, DelaysOutsideTheFieldsRangeStayUntouched) {
    const int delays[] = {0, 5, 65535};
    GifOracle::File f{40, 40, Palette, {}, false};
    for (int i = 0; i < 3; ++i)
        f.Frames.push_back(Rect(0, 0, 40, 40, static_cast<uint8_t>(i + 1), delays[i]));
    ASSERT_EQ(Open(WriteGif("delays.gif", f)), TOpenResult::Opened);
    for (int i = 0; i < 3; ++i) {
        doc.SelectFrame(i);
        EXPECT_EQ(seen.DisplayTime, delays[i] * 10);
        EXPECT_FALSE(doc.SetDisplayTime(seen.DisplayTime)); // leaving the field unchanged
    }
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(doc.SaveDocumentTo(dir + "saved.gif"), TSaveResult::Saved);
    const GifOracle::Decoded back = GifOracle::Read(dir + "saved.gif");
    ASSERT_TRUE(back.Ok);
    ASSERT_EQ(back.Frames.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(back.Frames[i].Base.Delay, delays[i]) << i;
}

// A name typed without an extension gets the one of the kind being saved, so that the file opens again
// (the loader goes by the extension); the overwrite question is about that name.
TEST_F(OpenSaveTest, ANameWithoutExtensionGetsTheKindsOwn) {
    MakeThreeFrames();
    doc.SetOutputSize(32);
    const struct {
        TFileKind kind;
        const char* extension;
    } cases[] = {{TFileKind::FrameGif, ".gif"},    {TFileKind::FrameBmp, ".bmp"},
                 {TFileKind::FrameIco, ".ico"},    {TFileKind::FramePng, ".png"},
                 {TFileKind::SpriteSheet, ".png"}, {TFileKind::Document, ".gif"}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string plain = dir + "plain" + std::to_string(n++);
        asker.SaveName = plain;
        const TSaveResult saved =
            c.kind == TFileKind::Document ? doc.SaveDocumentAs(asker) : doc.SaveFrameAs(c.kind, asker);
        ASSERT_EQ(saved, TSaveResult::Saved);
        EXPECT_FALSE(fs::exists(plain));
        TIconDocument reopened;
        EXPECT_EQ(reopened.OpenFile(plain + c.extension, false, asker), TOpenResult::Opened);
    }
    EXPECT_EQ(doc.Name().Name, "plain5.gif");
    EXPECT_EQ(asker.OverwriteAsked, 0);
    asker.Overwrite = false;
    EXPECT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Cancelled);
    EXPECT_EQ(asker.OverwriteAsked, 1);
}

// A file saved under another kind's extension (a GIF named .png, a PNG, BMP or icon named .gif) opens by
// what its bytes are, for opening and for inserting; an unknown kind is still refused.
TEST_F(OpenSaveTest, FilesOpenByTheirContentWhateverTheirExtension) {
    MakeThreeFrames();
    ASSERT_EQ(doc.SaveDocumentTo(dir + "animation.png"), TSaveResult::Saved);
    ASSERT_EQ(doc.WriteFrame(TFileKind::FramePng, dir + "frame.gif"), TSaveResult::Saved);
    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameBmp, dir + "frame.ico"), TSaveResult::Saved);
    doc.SetOutputSize(32); // the icon export writes the inner 32 × 32
    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameIco, dir + "frame.bmp"), TSaveResult::Saved);
    const struct {
        const char* name;
        int frames;
    } cases[] = {{"animation.png", 3}, {"frame.gif", 1}, {"frame.ico", 1}, {"frame.bmp", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TIconDocument reopened;
        ASSERT_EQ(reopened.OpenFileDirect(dir + c.name, false), TOpenResult::Opened);
        EXPECT_EQ(reopened.FrameCount(), c.frames);
        EXPECT_EQ(reopened.FrameBitmap(0).GetPixel(20, 20),
                  doc.FrameBitmap(doc.CurrentFrame()).GetPixel(20, 20));
        EXPECT_NO_THROW(TIconDocument::LoadInsertPicture(dir + c.name));
    }
    TSafeFile::WriteAll(dir + "notes.gif", {'n', 'o', 't', 'e', 's'});
    TIconDocument refused;
    EXPECT_EQ(refused.OpenFileDirect(dir + "notes.gif", false), TOpenResult::Failed);
}

// Fixtures: a 32 × 32 GIF and a 32 × 32 icon, each with a transparent left half and an opaque square of
// the default transparent colour (grey 0xCCCCCC) on the right. Opened and saved without the border, the
// grey square stays opaque and only the transparent half is transparent again: the document takes
// another transparent colour, one the picture does not use.
TEST_F(OpenSaveTest, OpaqueGreyStaysOpaqueBesideTransparentPixels) {
    GifOracle::File gif{32, 32, Palette, {Rect(0, 0, 32, 32, 1)}, false};
    gif.Frames[0].TransparentIndex = 0;
    TPixelImage icon(32, 32, Red);
    icon.Transparent.assign(32 * 32, false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const size_t i = static_cast<size_t>(y) * 32 + x;
            if (x < 16) gif.Frames[0].Indices[i] = 0, icon.Transparent[i] = true;
            if (x >= 20 && x < 28 && y >= 8 && y < 16) gif.Frames[0].Indices[i] = 5, icon.At(x, y) = Grey;
        }
    TSafeFile::WriteAll(dir + "grey.ico", GifFrames::EncodeIcon(icon));
    for (const std::string& path : {WriteGif("grey.gif", gif), dir + "grey.ico"}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(Open(path), TOpenResult::Opened);
        EXPECT_NE(doc.TransparentColor().Value, Grey);
        EXPECT_EQ(doc.BackColor().Value, doc.TransparentColor().Value);
        EXPECT_EQ(doc.WorkBitmap().GetPixel(4 + 24, 4 + 10), Grey);
        doc.SetOutputSize(32);
        asker.SaveName = dir + "saved.gif";
        ASSERT_EQ(doc.SaveDocumentAs(asker), TSaveResult::Saved);
        const GifOracle::Decoded g = GifOracle::Read(asker.SaveName);
        ASSERT_EQ(g.Frames.size(), 1u);
        const GifOracle::Frame& f = g.Frames[0].Base;
        ASSERT_GE(f.TransparentIndex, 0);
        EXPECT_EQ(f.Indices[10 * 32 + 2], f.TransparentIndex);  // the transparent half
        EXPECT_NE(f.Indices[10 * 32 + 24], f.TransparentIndex); // the grey square
        EXPECT_EQ(g.Frames[0].ColorAt(24, 10), 0xCCCCCCu);
        EXPECT_NE(f.Indices[10 * 32 + 18], f.TransparentIndex); // red
        doc.SetOutputSize(40);
    }
}

TEST_F(OpenSaveTest, FrameExportsLeaveTheDocumentAlone) {
    MakeThreeFrames();
    doc.SelectFrame(1);
    EditOnePixel(doc);
    const std::string caption = doc.Caption();
    asker.SaveName = dir + "f.bmp";
    ASSERT_EQ(doc.SaveFrameAs(TFileKind::FrameBmp, asker), TSaveResult::Saved);
    EXPECT_EQ(asker.OfferedNames.back(), "new_2.bmp");
    TPixelImage bmp = TBmpFile::Read(dir + "f.bmp");
    EXPECT_EQ(bmp.Width, 40);
    EXPECT_EQ(bmp.At(15, 15), Blue);

    doc.SetOutputSize(32);
    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameBmp, dir + "f32.bmp"), TSaveResult::Saved);
    bmp = TBmpFile::Read(dir + "f32.bmp");
    EXPECT_EQ(bmp.Width, 32);
    EXPECT_EQ(bmp.At(11, 11), Blue);

    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameGif, dir + "f.gif"), TSaveResult::Saved);
    const GifOracle::Decoded g = GifOracle::Read(dir + "f.gif");
    ASSERT_TRUE(g.Ok);
    EXPECT_EQ(g.Width, 32);
    EXPECT_GE(g.Frames.at(0).Base.TransparentIndex, 0);
    EXPECT_TRUE(g.Frames[0].ApplicationIds.empty());

    EXPECT_EQ(doc.Caption(), caption);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Name().Name, "new.gif");
}

TEST_F(OpenSaveTest, IcoExportMasksTheTransparentColour) {
    ASSERT_TRUE(doc.NewDocument(asker));
    EXPECT_EQ(doc.WriteFrame(TFileKind::FrameIco, dir + "with-border.ico"), TSaveResult::Cancelled);
    doc.SetOutputSize(32);
    // Entirely the transparent colour: the whole mask is transparent.
    doc.WorkBitmap().FillRect(4, 4, 36, 36, Grey);
    doc.CommitFrame();
    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameIco, dir + "empty.ico"), TSaveResult::Saved);
    TPixelImage ico = TIcoFile::Read(dir + "empty.ico");
    ASSERT_EQ(ico.Width, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_TRUE(ico.IsTransparent(x, y)) << x << "," << y;

    doc.WorkBitmap().SetPixel(4, 4, Red);
    doc.CommitFrame();
    ASSERT_EQ(doc.WriteFrame(TFileKind::FrameIco, dir + "dot.ico"), TSaveResult::Saved);
    ico = TIcoFile::Read(dir + "dot.ico");
    EXPECT_FALSE(ico.IsTransparent(0, 0));
    EXPECT_EQ(ico.At(0, 0), Red);
    EXPECT_TRUE(ico.IsTransparent(1, 0));
    // It opens again as a 32 × 32 source.
    ASSERT_EQ(Open(dir + "dot.ico"), TOpenResult::Opened);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(4, 4), Red);
    if (std::system("icotool --version >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("icotool -l " + dir + "dot.ico >/dev/null 2>&1").c_str()), 0);
    }
}

TEST_F(OpenSaveTest, SavedFilesOpenAgainWithTheSamePictures) {
    MakeThreeFrames();
    const std::string path = dir + "round.gif";
    ASSERT_EQ(doc.SaveDocumentTo(path), TSaveResult::Saved);
    std::vector<TSurface32> before;
    for (int i = 0; i < 3; ++i)
        before.push_back(doc.FrameBitmap(i));
    ASSERT_EQ(Open(path), TOpenResult::Opened);
    ASSERT_EQ(doc.FrameCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(std::equal(before[i].Bits(), before[i].Bits() + 1600, doc.FrameBitmap(i).Bits())) << i;
    EXPECT_EQ(doc.DisplayTime(2), 1000);
}

TEST(OpenSharedGifs, EveryFileOpensOrIsRefusedCleanly) {
    const fs::path root(TINDRA_SHARED_TESTDATA);
    if (!fs::exists(root)) GTEST_SKIP() << "shared test data not found at " << root;
    TIconDocument doc;
    int opened = 0, refused = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".gif") continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        const TOpenResult result = doc.OpenFileDirect(path, false);
        ASSERT_TRUE(result == TOpenResult::Opened || result == TOpenResult::Failed);
        if (result == TOpenResult::Failed) {
            ++refused;
            EXPECT_FALSE(doc.ImageLoaded());
            EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), 0);
            continue;
        }
        ++opened;
        // Only icon-sized screens open, with every store in step.
        const GifOracle::Decoded g = GifOracle::Read(path);
        EXPECT_TRUE(g.Width == g.Height && (g.Width == 40 || g.Width == 32)) << g.Width << "x" << g.Height;
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), doc.FrameCount());
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames32()), doc.FrameCount());
        for (int i = 0; i < doc.FrameCount(); ++i)
            EXPECT_EQ(doc.FrameBitmap(i).Width(), 40);
    }
    EXPECT_GT(refused, 0);
    std::cout << "shared GIFs: " << opened << " opened, " << refused << " refused\n";
}

TEST_F(OpenSaveTest, PicturesForInsertingComeFromAnyKindOfFile) {
    ASSERT_TRUE(doc.NewDocument(asker));
    GifOracle::File small{16, 16, Palette, {Rect(0, 0, 16, 16, 3)}, false};
    TPixelImage icon(32, 32, Red);
    icon.Transparent.assign(32 * 32, false);
    icon.Transparent[0] = true;
    TSafeFile::WriteAll(dir + "icon.ico", GifFrames::EncodeIcon(icon));
    TSafeFile::WriteAll(dir + "wide.BMP", TBmpFile::Encode32(TPixelImage(33, 20, Black)));
    struct Case {
        std::string path;
        int x, y;
        uint32_t color;
    } cases[] = {{WriteGif("small.gif", small), 12, 12, Blue},
                 {dir + "icon.ico", 5, 4, Red},
                 {dir + "wide.BMP", 0, 0, Black}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const TPixelImage picture = TIconDocument::LoadInsertPicture(c.path);
        const TSurface32 preview = doc.InsertPreview(&picture);
        EXPECT_EQ(preview.GetPixel(c.x, c.y), c.color);
        EXPECT_EQ(preview.GetPixel(39, 39), doc.EmptyTemplate(1).GetPixel(39, 39));
    }
    // The icon's transparent corner shows the template.
    const TPixelImage picture = TIconDocument::LoadInsertPicture(dir + "icon.ico");
    EXPECT_EQ(doc.InsertPreview(&picture).GetPixel(4, 4), doc.EmptyTemplate(1).GetPixel(4, 4));
    // So do the transparent pixels of a GIF (fixture: 16 × 16, its left half at the transparent index 0,
    // black), as they do when the GIF is opened.
    GifOracle::File see{16, 16, Palette, {Rect(0, 0, 16, 16, 3)}, false};
    see.Frames[0].TransparentIndex = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
            see.Frames[0].Indices[y * 16 + x] = 0;
    const TPixelImage gif = TIconDocument::LoadInsertPicture(WriteGif("see.gif", see));
    const TSurface32 seen = doc.InsertPreview(&gif);
    EXPECT_EQ(seen.GetPixel(12, 12), doc.EmptyTemplate(1).GetPixel(12, 12));
    EXPECT_EQ(seen.GetPixel(20, 12), Blue);
    EXPECT_THROW(TIconDocument::LoadInsertPicture(dir + "missing.gif"), std::exception);
    EXPECT_THROW(TIconDocument::LoadInsertPicture(dir + "notes.txt"), std::exception);
}

TEST_F(OpenSaveTest, DamagedGifBytesAreOpenedOrRefusedNeverWorse) {
    MakeThreeFrames();
    const std::vector<uint8_t> good = doc.EncodeDocumentGif();
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> data = good;
        for (int e = 1 + next() % 6; e > 0; --e) {
            if (next() % 3 == 0)
                data.resize(1 + next() % data.size());
            else
                data[next() % data.size()] = static_cast<uint8_t>(next());
        }
        TIconDocument target;
        if (target.LoadGif(data)) {
            ++opened;
            ASSERT_EQ(GifFrames::FrameCount(target.Frames40()), target.FrameCount());
            ASSERT_EQ(GifFrames::FrameCount(target.Frames32()), target.FrameCount());
        }
    }
    EXPECT_GT(opened, 0);
}
