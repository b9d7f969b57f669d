// The GIF attributes tree against the bytes it describes and against giflib's reading of the same file.

#include "GifAttributes.h"
#include "DocumentTestSupport.h"
#include "GifOracle.h"
#include "SafeFile.h"

#include <gtest/gtest.h>

namespace {

constexpr int English = 1;

std::vector<const TGifNode*> Children(const TGifNode& node, TGifNodeKind kind) {
    std::vector<const TGifNode*> out;
    for (const TGifNode& child : node.Children)
        if (child.Kind == kind) out.push_back(&child);
    return out;
}

const TGifNode* Child(const TGifNode& node, TGifNodeKind kind) {
    const auto found = Children(node, kind);
    return found.empty() ? nullptr : found.front();
}

// Three frames of 100, 250 and 1000 ms with a coloured square each (or one frame).
void MakeFrames(TIconDocument& doc, int frames) {
    const std::vector<TBlockFrame> three = {{10, 10, 20, 20, 0xFFFF0000, 100},
                                            {11, 10, 20, 20, 0xFF0000FF, 250},
                                            {12, 10, 20, 20, 0xFF000000, 1000}};
    MakeBlockFrames(doc, std::vector<TBlockFrame>(three.begin(), three.begin() + frames));
    ASSERT_EQ(doc.FrameCount(), frames);
}

} // namespace

// Every byte of the file belongs to exactly one top-level block, in order, and the tree says what giflib
// reads: screen, global table size, loop extension, each frame's delay, disposal, transparency and size.
TEST(GifAttributes, TreeAgreesWithTheBytesAndWithGiflib) {
    struct Case {
        const char* Name;
        int Frames;
        int OutputSize;
    } cases[] = {{"one frame", 1, 40}, {"three frames", 3, 40}, {"three frames without border", 3, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TIconDocument doc;
        MakeFrames(doc, c.Frames);
        doc.SetOutputSize(c.OutputSize);
        const std::vector<uint8_t> bytes = doc.EncodeDocumentGif();
        const TGifNode root = DescribeGif(bytes, English);

        EXPECT_EQ(root.Bytes, bytes.size());
        EXPECT_EQ(root.Field("File size"), std::to_string(bytes.size()));
        EXPECT_EQ(root.Field("Frames"), std::to_string(c.Frames));
        size_t at = 0;
        for (const TGifNode& block : root.Children) {
            EXPECT_EQ(block.Offset, at) << block.Title;
            at += block.Bytes;
        }
        EXPECT_EQ(at, bytes.size());
        ASSERT_FALSE(Child(root, TGifNodeKind::Unreadable));
        ASSERT_TRUE(Child(root, TGifNodeKind::Trailer));

        TScratchFolder scratch(std::string("attributes") + std::to_string(c.Frames) +
                               std::to_string(c.OutputSize));
        const std::string path = scratch.Dir + "a.gif";
        TSafeFile::WriteAll(path, bytes);
        const GifOracle::Decoded g = GifOracle::Read(path);
        ASSERT_TRUE(g.Ok);

        const TGifNode* screen = Child(root, TGifNodeKind::LogicalScreen);
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->Field("Width"), std::to_string(g.Width));
        EXPECT_EQ(screen->Field("Height"), std::to_string(c.OutputSize));
        if (!g.GlobalPalette.empty()) {
            const TGifNode* global = Child(root, TGifNodeKind::GlobalColorTable);
            ASSERT_TRUE(global);
            // giflib reports the table as stored: 2^(size + 1) entries.
            EXPECT_EQ(global->Field("Colors"), std::to_string(g.GlobalPalette.size()));
        }
        const TGifNode* app = Child(root, TGifNodeKind::ApplicationExtension);
        EXPECT_EQ(app != nullptr, c.Frames > 1);
        if (app) {
            EXPECT_EQ(app->Field("Identifier"), "NETSCAPE2.0");
            EXPECT_EQ(app->Field("Loop count"), "0 (forever)");
        }

        const auto frames = Children(root, TGifNodeKind::Frame);
        ASSERT_EQ(frames.size(), g.Frames.size());
        for (size_t k = 0; k < frames.size(); ++k) {
            const TGifNode& frame = *frames[k];
            const GifOracle::DecodedFrame& expected = g.Frames[k];
            EXPECT_EQ(frame.Title, "Frame " + std::to_string(k + 1));
            const TGifNode* image = Child(frame, TGifNodeKind::ImageBlock);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->Field("Width"), std::to_string(expected.Base.Width));
            EXPECT_EQ(image->Field("Height"), std::to_string(expected.Base.Height));
            EXPECT_EQ(image->Field("Interlace"), "no");
            // The first data byte after the descriptor (and a local table) is the LZW minimum code size.
            const size_t table = Child(frame, TGifNodeKind::LocalColorTable)
                                     ? Child(frame, TGifNodeKind::LocalColorTable)->Bytes
                                     : 0;
            EXPECT_EQ(image->Field("LZW minimum code size"),
                      std::to_string(bytes[image->Offset + 10 + table]));
            EXPECT_FALSE(image->Field("Data bytes").empty());
            const TGifNode* control = Child(frame, TGifNodeKind::GraphicControlExtension);
            ASSERT_EQ(control != nullptr, expected.HasControl);
            if (!control) continue;
            EXPECT_EQ(control->Field("Delay (ms)"), std::to_string(expected.Base.Delay * 10));
            EXPECT_EQ(frame.Field("Delay (ms)"), std::to_string(doc.DisplayTime(static_cast<int>(k))));
            EXPECT_EQ(control->Field("Disposal").substr(0, 1), std::to_string(expected.Base.Disposal));
            if (expected.Base.TransparentIndex < 0) {
                EXPECT_EQ(control->Field("Transparent index"), "none");
            } else {
                EXPECT_EQ(control->Field("Transparent index"),
                          std::to_string(expected.Base.TransparentIndex));
                char hex[8];
                std::snprintf(hex, sizeof hex, "#%06X",
                              expected.Palette[static_cast<size_t>(expected.Base.TransparentIndex)]);
                EXPECT_EQ(control->Field("Transparent color"), hex);
            }
        }
    }
}

// Bytes that are not a whole GIF: every cut of a saved file, and foreign bytes. The walk never reads past
// the end, and every byte still belongs to one top-level block (the rest to an Unreadable one).
TEST(GifAttributes, CutOrForeignBytesAreMarkedUnreadable) {
    TIconDocument doc;
    MakeFrames(doc, 3);
    const std::vector<uint8_t> whole = doc.EncodeDocumentGif();
    std::vector<std::vector<uint8_t>> inputs = {{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    for (size_t n = 0; n < whole.size(); ++n)
        inputs.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    for (const std::vector<uint8_t>& bytes : inputs) {
        const TGifNode root = DescribeGif(bytes, English);
        EXPECT_EQ(root.Bytes, bytes.size());
        size_t covered = 0;
        for (const TGifNode& block : root.Children)
            covered += block.Bytes;
        EXPECT_EQ(covered, bytes.size());
        EXPECT_FALSE(Child(root, TGifNodeKind::Trailer)) << bytes.size();
    }
    // Cut inside the global table, and inside the last frame's data: the rest is unreadable.
    for (size_t n : {size_t(20), whole.size() - 40}) {
        const TGifNode root = DescribeGif(
            std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)), English);
        ASSERT_FALSE(root.Children.empty());
        EXPECT_EQ(root.Children.back().Kind, TGifNodeKind::Unreadable) << n;
    }
    // Czech texts for the Czech interface.
    EXPECT_EQ(DescribeGif(whole, 0).Title, "Soubor GIF");
    EXPECT_EQ(DescribeGif(whole, 0).Field("Velikost souboru"), std::to_string(whole.size()));
}
