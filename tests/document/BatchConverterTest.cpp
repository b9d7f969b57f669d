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

// Many files at once: every good input converted into the folder, the refused ones listed with their
// reasons (unreadable, an output name already taken), the exit status telling refusals and failed
// writes apart, and the same bytes whatever the number of jobs.
TEST(BatchConverter, ManyFiles) {
    const TScratchFolder scratch("batch-many");
    const std::string& dir = scratch.Dir;
    std::vector<std::string> inputs;
    for (int k = 0; k < 12; ++k) {
        GifOracle::File f{40, 40, {0x000000, 0xFF0000, 0x0000FF, 0xCCCCCC}, {}, false};
        GifOracle::Frame frame;
        frame.Width = frame.Height = 40;
        frame.Indices.assign(1600, static_cast<uint8_t>(k % 4));
        f.Frames.push_back(frame);
        inputs.push_back(dir + "icon" + std::to_string(k) + ".gif");
        ASSERT_TRUE(GifOracle::Write(inputs.back(), f));
    }
    fs::create_directories(dir + "sub");
    fs::copy_file(inputs[0], dir + "sub/icon0.gif");
    TSafeFile::WriteAll(dir + "broken.gif", {'G', 'I', 'F'});
    fs::create_directories(dir + "out1");
    fs::create_directories(dir + "out4");

    std::vector<std::string> args = {"--convert"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), {dir + "broken.gif", dir + "sub/icon0.gif", "--to", "png", "--out"});
    for (const char* jobs : {"1", "4"}) {
        std::vector<std::string> run = args;
        run.insert(run.end(), {dir + "out" + jobs, "--jobs", jobs});
        std::ostringstream progress;
        EXPECT_EQ(TBatchConverter::Run(run, progress), TBatchConverter::InputRefused);
        const std::string text = progress.str();
        EXPECT_NE(text.find("14/14 "), std::string::npos) << text;
        EXPECT_NE(text.find("refused: " + dir + "broken.gif: Error opening file."), std::string::npos)
            << text;
        EXPECT_NE(text.find("refused: " + dir + "sub/icon0.gif: the same output file as " + inputs[0]),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("12 converted, 2 refused, 0 not written"), std::string::npos) << text;
    }
    for (int k = 0; k < 12; ++k) {
        const std::string name = "icon" + std::to_string(k) + ".png";
        EXPECT_EQ(TSafeFile::ReadAll(dir + "out1/" + name, 1 << 20),
                  TSafeFile::ReadAll(dir + "out4/" + name, 1 << 20));
    }
    EXPECT_FALSE(fs::exists(dir + "out1/broken.png"));

    // A folder that does not exist is made; one that cannot be made (below a file) fails (3); usage
    // errors (2).
    std::ostringstream progress;
    EXPECT_EQ(TBatchConverter::Run({"--convert", inputs[1], "--to", "gif", "--out", dir + "missing/deeper"},
                                   progress),
              TBatchConverter::Done);
    EXPECT_TRUE(fs::exists(dir + "missing/deeper/icon1.gif"));
    EXPECT_EQ(TBatchConverter::Run({"--convert", inputs[1], "--to", "gif", "--out", dir + "broken.gif/out"},
                                   progress),
              TBatchConverter::WriteFailed);
    EXPECT_NE(progress.str().find("Cannot make the output folder: " + dir + "broken.gif/out"),
              std::string::npos);
    const std::vector<std::string> bad[] = {
        {"--convert", inputs[1], "--to", "tif", "--out", dir},
        {"--convert", inputs[1], "--to", "gif"},
        {"--convert", "--to", "gif", "--out", dir},
        {"--convert", inputs[1], "--to", "ico", "--out", dir},
        {"--convert", inputs[1], "--to", "gif", "--out", dir, "--jobs", "0"}};
    for (const auto& b : bad)
        EXPECT_EQ(TBatchConverter::Run(b, progress), TBatchConverter::Usage) << b.size();
    // On a terminal the progress is one bar redrawn in place.
    std::ostringstream bar;
    EXPECT_EQ(TBatchConverter::RunMany(
                  {"--convert", inputs[2], inputs[3], "--to", "bmp", "--out", dir + "out1", "--jobs", "1"},
                  bar, true),
              TBatchConverter::Done);
    EXPECT_NE(bar.str().find("\r[###"), std::string::npos);
    EXPECT_NE(bar.str().find("2/2  icon3.gif"), std::string::npos);
}

// An output that would land on one of the inputs (the input's own folder with its own type, the same
// file reached through a link, or another input of the run) is refused and that input keeps its bytes.
TEST(BatchConverter, NeverWritesOverAnInput) {
    const TScratchFolder scratch("batch-inputs");
    const std::string& dir = scratch.Dir;
    GifOracle::File f{40, 40, {0x000000, 0xFF0000, 0x0000FF, 0xCCCCCC}, {}, false};
    GifOracle::Frame frame;
    frame.Width = frame.Height = 40;
    frame.Indices.assign(1600, 1);
    f.Frames.push_back(frame);
    const std::string star = dir + "star.gif";
    ASSERT_TRUE(GifOracle::Write(star, f));
    fs::create_directories(dir + "link");
    fs::create_symlink(star, dir + "link/star.gif");
    fs::create_directories(dir + "png");
    std::ostringstream quiet;
    ASSERT_EQ(TBatchConverter::Run({"--convert", star, dir + "png/star.png"}, quiet), TBatchConverter::Done);
    const std::vector<uint8_t> original = TSafeFile::ReadAll(star, 1 << 20);

    struct Case {
        std::vector<std::string> inputs;
        std::string out; // the --out folder
    } cases[] = {
        {{star}, dir},                       // its own folder
        {{star}, dir + "link"},              // a link to it in the output folder
        {{dir + "png/star.png", star}, dir}, // another input's output
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out + " " + c.inputs[0]);
        std::vector<std::string> args{"--convert"};
        args.insert(args.end(), c.inputs.begin(), c.inputs.end());
        args.insert(args.end(), {"--to", "gif", "--without-border", "--out", c.out});
        std::ostringstream progress;
        EXPECT_EQ(TBatchConverter::Run(args, progress), TBatchConverter::InputRefused);
        EXPECT_NE(progress.str().find("refused: " + c.inputs[0] + ": the output would replace an input file"),
                  std::string::npos)
            << progress.str();
        EXPECT_EQ(TSafeFile::ReadAll(star, 1 << 20), original);
    }
}
