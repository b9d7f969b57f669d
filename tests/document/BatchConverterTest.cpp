// Conversion from the command line: exit codes and what gets written.

#include "BatchConverter.h"
#include "DocumentTestSupport.h"
#include "GifOracle.h"

#include "BmpFile.h"
#include "IcoFile.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

TEST(BatchConverter, ExitCodes) {
    const TScratchFolder scratch("batch");
    const std::string& dir = scratch.Dir;
    GifOracle::File f{40, 40, {0x000000, 0xFF0000, 0x0000FF, 0xCCCCCC}, {}, false};
    for (int k = 0; k < 2; ++k) {
        GifOracle::Frame frame;
        frame.Width = frame.Height = 40;
        frame.Indices.assign(1600, 3);
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 20; ++x)
                frame.Indices[y * 40 + x] = static_cast<uint8_t>(1 + k);
        frame.Delay = 20;
        f.Frames.push_back(frame);
    }
    const std::string in = dir + "in.gif";
    ASSERT_TRUE(GifOracle::Write(in, f));
    TSafeFile::WriteAll(dir + "locked.bmp", {'k', 'e', 'e', 'p'});
    fs::permissions(dir + "locked.bmp", fs::perms::owner_read);

    struct Case {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{"--convert", in, dir + "out.gif"}, 0},
        {{"--convert", in, dir + "out.bmp", "--frame", "2"}, 0},
        {{"--convert", in, dir + "out.ico", "--without-border", "--frame", "2"}, 0},
        {{"--convert", in, dir + "inner.gif", "--without-border"}, 0},
        {{"--convert", in, dir + "modern.ico", "--without-border", "--ico-modern"}, 0},
        {{"--convert", dir + "missing.gif", dir + "x.gif"}, 1},
        {{"--convert", dir + "locked.bmp", dir + "x.gif"}, 1},
        {{"--convert", in}, 2},
        {{"--convert", in, dir + "x.ico"}, 2},
        {{"--convert", in, dir + "out.png", "--frame", "2"}, 0},
        {{"--convert", dir + "out.png", dir + "back.gif"}, 0},
        {{"--convert", in, dir + "x.tif"}, 2},
        {{"--convert", in, dir + "x.bmp", "--frame", "0"}, 2},
        {{"--convert", in, dir + "x.bmp", "--frame", "3"}, 2},
        {{"--convert", in, dir + "x.bmp", "--frame"}, 2},
        {{"--convert", in, dir + "x.gif", "--colour"}, 2},
        {{"--convert", in, dir + "locked.bmp"}, 3},
        {{"--convert", in, dir + "no/such/folder/x.gif"}, 3},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        std::ostringstream err;
        EXPECT_EQ(TBatchConverter::Run(c.args, err), c.code);
        if (c.code == 1) {
            EXPECT_EQ(err.str(), "Error opening file.\n");
        }
        if (c.code == 0) {
            EXPECT_EQ(err.str(), "");
        }
    }
    fs::permissions(dir + "locked.bmp", fs::perms::owner_all);
    EXPECT_EQ(TSafeFile::ReadAll(dir + "locked.bmp", 10), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));

    const GifOracle::Decoded g = GifOracle::Read(dir + "out.gif");
    ASSERT_TRUE(g.Ok);
    ASSERT_EQ(g.Frames.size(), 2u);
    EXPECT_EQ(g.Frames[1].ColorAt(15, 15), 0x0000FFu);
    EXPECT_EQ(g.Frames[1].Base.Delay, 20);
    EXPECT_EQ(GifOracle::Read(dir + "inner.gif").Width, 32);
    EXPECT_EQ(TBmpFile::Read(dir + "out.bmp").At(15, 15), 0xFF0000FFu);
    const TPixelImage ico = TIcoFile::Read(dir + "out.ico");
    EXPECT_EQ(ico.At(11, 11), 0xFF0000FFu);
    EXPECT_TRUE(ico.IsTransparent(0, 0)); // the grey background is the transparent colour
    EXPECT_EQ(fs::file_size(dir + "out.ico"), 2238u);
    EXPECT_GT(fs::file_size(dir + "modern.ico"), 2238u);
    EXPECT_EQ(TIcoFile::Read(dir + "modern.ico").At(0, 0), TIcoFile::Read(dir + "out.ico").At(0, 0));
    // PNG out and back in: frame 2 as a one-frame icon.
    const GifOracle::Decoded back = GifOracle::Read(dir + "back.gif");
    ASSERT_EQ(back.Frames.size(), 1u);
    EXPECT_EQ(back.Frames[0].ColorAt(15, 15), 0x0000FFu);

    const char* argv[] = {"tindra", "--convert", "a", "b"};
    EXPECT_TRUE(TBatchConverter::Wanted(4, argv));
    const char* plain[] = {"tindra", "file.gif"};
    EXPECT_FALSE(TBatchConverter::Wanted(2, plain));
}
