// Reader: tolerance rules, warnings and errors on hand-made files.

#include <gtest/gtest.h>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "Stream.h"

namespace {

struct TLoadResult {
    std::string Error;
    std::vector<std::string> Warnings;
    int Frames = 0;
};

TLoadResult Load(TGIFPicture& gif, const TBytes& bytes) {
    TLoadResult r;
    TWarningLog log;
    log.Attach(gif);
    try {
        LoadBytes(gif, bytes);
    } catch (const EGIFException& e) {
        r.Error = e.what();
    }
    r.Warnings = log.Texts;
    r.Frames = gif.Images().ItemCount();
    return r;
}

// A 1 x 1 file with a global table of 2 entries and a graphic control extension.
TGifBytes Dot() {
    TGifBytes g;
    g.Header(1, 1, 1).Add({0x21, 0xF9, 4, 0, 5, 0, 0, 0}).Image(0, 0, 1, 1).DotData();
    return g;
}

} // namespace

TEST(Reader, PrefixAndLowerCaseSignatureAndOddVersionRead) {
    TBytes plain = Dot().Trailer().Data;
    TBytes prefixed = {1, 2, 3, 4};
    prefixed.insert(prefixed.end(), plain.begin(), plain.end());
    prefixed[4] = 'g';
    prefixed[5] = 'i';
    prefixed[6] = 'f';
    prefixed[7] = '9';
    prefixed[8] = '9';
    prefixed[9] = 'z';
    for (const TBytes& bytes : {plain, prefixed}) {
        TGIFPicture gif;
        TLoadResult r = Load(gif, bytes);
        EXPECT_EQ(r.Error, "");
        EXPECT_TRUE(r.Warnings.empty());
        ASSERT_EQ(r.Frames, 1);
        EXPECT_EQ(gif.Images()[0]->GraphicControlExtension()->Delay(), 5);
    }
}

struct TReaderCase {
    const char* Name;
    TBytes Bytes;
    std::string Error;
    std::vector<std::string> Warnings;
    int Frames;
};

class ReaderCases : public ::testing::TestWithParam<TReaderCase> {};

// Failure messages name the case instead of dumping its bytes.
static void PrintTo(const TReaderCase& c, std::ostream* os) { *os << c.Name; }

TEST_P(ReaderCases, LoadGivesFramesWarningsAndErrors) {
    const TReaderCase& c = GetParam();
    TGIFPicture gif;
    TLoadResult r = Load(gif, c.Bytes);
    EXPECT_EQ(r.Error, c.Error);
    EXPECT_EQ(r.Warnings, c.Warnings);
    EXPECT_EQ(r.Frames, c.Frames);
}

namespace {
std::vector<TReaderCase> ReaderCaseTable() {
    std::vector<TReaderCase> cases;
    cases.push_back({"NoTrailerNoTerminator",
                     TGifBytes().Header(1, 1, 1).Image(0, 0, 1, 1).Add({2, 2, 0x44, 1}).Data,
                     "",
                     {},
                     1});
    cases.push_back({"ZeroBytesBetweenFrames",
                     Dot().Add({0, 0, 0}).Image(0, 0, 1, 1).DotData().Trailer().Data,
                     "",
                     {},
                     2});
    cases.push_back({"UnknownBlockAfterImage",
                     Dot().Add({0x2A}).Data,
                     "",
                     {"Unknown GIF block type", "Invalid Image trailer"},
                     1});
    cases.push_back({"UnknownExtensionLabel",
                     TGifBytes().Header(1, 1, 1).Add({0x21, 0x02, 0}).Image(0, 0, 1, 1).DotData().Data,
                     "Unknown extension type",
                     {},
                     0});
    cases.push_back({"DataEndsAfterIntroducer",
                     TGifBytes().Header(1, 1, 1).Add({0x21}).Data,
                     "Unknown extension type",
                     {},
                     0});
    cases.push_back({"BadSignature",
                     TGifBytes().Text("GIT89a").U16(1).U16(1).Add({0, 0, 0}).Data,
                     "Invalid GIF signature",
                     {},
                     0});
    cases.push_back({"ShortHeader", TGifBytes().Text("GIF8").Data, "Premature end of data", {}, 0});
    cases.push_back(
        {"ShortScreenDescriptor", TGifBytes().Text("GIF89a").U16(1).Data, "Premature end of data", {}, 0});
    cases.push_back({"ShortGlobalTable",
                     TGifBytes().Text("GIF89a").U16(1).U16(1).Add({0x82, 0, 0, 1, 2, 3}).Data,
                     "Premature end of data",
                     {},
                     0});
    cases.push_back({"ShortImageDescriptor",
                     TGifBytes().Header(1, 1, 1).Add({0x2C, 0, 0, 0}).Data,
                     "Premature end of data",
                     {},
                     0});
    cases.push_back({"GraphicControlCutShort",
                     TGifBytes().Header(1, 1, 1).Add({0x21, 0xF9, 4, 0, 5, 0}).Data,
                     "",
                     {"Premature end of data"},
                     1});
    cases.push_back({"AppBlockSizeBelowTen",
                     TGifBytes().Header(1, 1, 1).Add({0x21, 0xFF, 9}).Text("ABCDEFGHI").Add({0}).Data,
                     "Unsupported Application Extension block size",
                     {},
                     0});
    cases.push_back(
        {"LoopSubBlockTooShort",
         TGifBytes().Header(1, 1, 1).Add({0x21, 0xFF, 11}).Text("NETSCAPE2.0").Add({2, 1, 0, 0}).Data,
         "Invalid GIF data",
         {},
         0});
    cases.push_back(
        {"BufferingSubBlockTooShort",
         TGifBytes().Header(1, 1, 1).Add({0x21, 0xFF, 11}).Text("NETSCAPE2.0").Add({4, 2, 0, 0, 0, 0}).Data,
         "Invalid GIF data",
         {},
         0});
    cases.push_back({"CommentSubBlockCutShort",
                     TGifBytes().Header(1, 1, 1).Add({0x21, 0xFE, 5, 'a', 'b'}).Data,
                     "Premature end of data",
                     {},
                     0});
    cases.push_back({"ZeroBeforeDescriptorSplitsFrame",
                     TGifBytes()
                         .Header(1, 1, 1)
                         .Add({0x21, 0xF9, 4, 0, 5, 0, 0, 0, 0})
                         .Image(0, 0, 1, 1)
                         .DotData()
                         .Trailer()
                         .Data,
                     "",
                     {"Invalid extension introducer"},
                     2});
    cases.push_back({"ZeroWidthTakesScreenSize",
                     TGifBytes().Header(1, 1, 1).Image(0, 0, 0, 1).DotData().Trailer().Data,
                     "",
                     {"Image exceeds Logical Screen size"},
                     1});
    cases.push_back({"FrameOutsideScreenIsTolerated",
                     TGifBytes().Header(1, 1, 1).Image(5, 7, 1, 1).DotData().Trailer().Data,
                     "",
                     {},
                     1});
    cases.push_back({"CodeSizeAboveEleven",
                     TGifBytes().Header(1, 1, 1).Image(0, 0, 1, 1).Add({12, 1, 0, 0}).Trailer().Data,
                     "Invalid LZW code size",
                     {},
                     0});
    // A 100-byte file may not make the reader allocate 4 GB.
    cases.push_back({"HugeFrameForTinyData",
                     TGifBytes().Header(1, 1, 1).Image(0, 0, 65535, 65535).DotData().Trailer().Data,
                     "Image dimensions exceed the available data",
                     {},
                     0});
    cases.push_back({"HugeScreenForZeroSizedFrame",
                     TGifBytes().Header(65535, 65535, 1).Image(0, 0, 0, 0).DotData().Trailer().Data,
                     "Image dimensions exceed the available data",
                     {"Image exceeds Logical Screen size"},
                     0});
    return cases;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Table, ReaderCases, ::testing::ValuesIn(ReaderCaseTable()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Reader, ExtensionsAfterLastImageFormAnEmptyFrame) {
    TGIFPicture gif;
    TBytes bytes = Dot().Add({0x21, 0xFE, 2, 'h', 'i', 0}).Trailer().Data;
    TLoadResult r = Load(gif, bytes);
    EXPECT_TRUE(r.Warnings.empty());
    ASSERT_EQ(r.Frames, 2);
    TGIFSubImage* last = gif.Images()[1];
    EXPECT_TRUE(last->Empty());
    ASSERT_EQ(last->Extensions().ItemCount(), 1);
    EXPECT_EQ(dynamic_cast<TGIFCommentExtension*>(last->Extensions()[0])->Text,
              std::vector<std::string>{"hi"});
}

TEST(Reader, TextLinesAreCutAtTheirFirstZero) {
    TGIFPicture gif;
    TBytes bytes =
        TGifBytes()
            .Header(1, 1, 1)
            .Add({0x21, 0x01, 12, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 7, 8, 3, 'a', 0, 'b', 2, 'c', 'd', 0})
            .Add({0x21, 0xFE, 3, 'x', 0, 'y', 0})
            .Image(0, 0, 1, 1)
            .DotData()
            .Trailer()
            .Data;
    ASSERT_EQ(Load(gif, bytes).Error, "");
    TGIFSubImage* frame = gif.Images()[0];
    auto* text = dynamic_cast<TGIFTextExtension*>(frame->Extensions()[0]);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Record.Left, 1);
    EXPECT_EQ(text->Record.GridHeight, 4);
    EXPECT_EQ(text->Record.BackgroundColorIndex, 8);
    EXPECT_EQ(text->Text, (std::vector<std::string>{"a", "cd"}));
    EXPECT_EQ(dynamic_cast<TGIFCommentExtension*>(frame->Extensions()[1])->Text,
              std::vector<std::string>{"x"});
}

TEST(Reader, ApplicationExtensionsByIdentification) {
    TGIFPicture gif;
    TBytes bytes = TGifBytes()
                       .Header(1, 1, 1)
                       .Add({0x21, 0xFF, 11})
                       .Text("ANIMEXTS1.0")
                       .Add({3, 1, 7, 0, 5, 2, 0x10, 0, 0, 0, 0})
                       .Add({0x21, 0xFF, 10})
                       .Text("SHORTIDENT")
                       .Add({2, 'o', 'k', 0})
                       .Add({0x21, 0xFF, 11})
                       .Text("XMP DataXMP")
                       .Add({1, 'x', 3, 1, 2, 3, 0})
                       .Image(0, 0, 1, 1)
                       .DotData()
                       .Trailer()
                       .Data;
    ASSERT_EQ(Load(gif, bytes).Error, "");
    const TGIFFrameExtensionList& ext = gif.Images()[0]->Extensions();
    ASSERT_EQ(ext.ItemCount(), 3);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext[0]);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 7);
    EXPECT_EQ(loop->BufferSize, 16u);
    EXPECT_EQ(loop->IdentificationText(), "ANIMEXTS1.0");
    // Block Size 10: the eleventh identification byte is the first sub-block's size, read again.
    auto* shortId = dynamic_cast<TGIFUnknownAppExtension*>(ext[1]);
    ASSERT_NE(shortId, nullptr);
    ASSERT_EQ(shortId->Blocks.size(), 1u);
    EXPECT_EQ(shortId->Blocks[0]->Data, (TBytes{'o', 'k'}));
    auto* xmp = dynamic_cast<TGIFUnknownAppExtension*>(ext[2]);
    ASSERT_NE(xmp, nullptr);
    ASSERT_EQ(xmp->Blocks.size(), 2u);
    EXPECT_EQ(xmp->Blocks[1]->Data, (TBytes{1, 2, 3}));
}

TEST(Reader, GlobalTableKeepsDeclaredSizeAndTransparentFill) {
    TGIFPicture gif;
    // 8 entries declared; transparent index 3; image data that ends after one pixel.
    TBytes bytes = TGifBytes()
                       .Header(3, 1, 3)
                       .Add({0x21, 0xF9, 4, 1, 0, 0, 3, 0})
                       .Image(0, 0, 3, 1)
                       .Add(PackCodes(2, {{4, 3}, {1, 3}, {5, 3}}))
                       .Trailer()
                       .Data;
    ASSERT_EQ(Load(gif, bytes).Error, "");
    EXPECT_EQ(gif.GlobalColorMap().Count(), 8);
    TGIFSubImage* frame = gif.Images()[0];
    EXPECT_TRUE(frame->Transparent());
    EXPECT_EQ(frame->PixelAt(0, 0), 1);
    EXPECT_EQ(frame->PixelAt(1, 0), 3);
    EXPECT_EQ(frame->PixelAt(2, 0), 3);
}

TEST(Reader, FailedLoadRestoresStreamPosition) {
    TGIFPicture gif;
    TBytes bytes = TGifBytes().Header(1, 1, 1).Add({0x21, 0x02}).Data;
    TMemoryStream stream(bytes);
    stream.SetPosition(0);
    EXPECT_THROW(gif.LoadFromStream(stream), EGIFException);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(Reader, ProgressReportsStartRunningAndEnd) {
    struct TStep {
        int Stage, Percent;
        bool operator==(const TStep& o) const { return Stage == o.Stage && Percent == o.Percent; }
    };
    for (bool broken : {false, true}) {
        TGIFPicture gif;
        std::vector<TStep> steps;
        gif.OnProgress = [&](const TGIFObject*, int stage, int percent, const std::string& message) {
            EXPECT_EQ(message, "Loading...");
            steps.push_back({stage, percent});
        };
        TBytes bytes = Dot().Image(0, 0, 1, 1).DotData().Trailer().Data;
        if (broken) bytes = TGifBytes().Header(1, 1, 1).Image(0, 0, 1, 1).DotData().Add({0x21, 0x02}).Data;
        try {
            LoadBytes(gif, bytes);
        } catch (const EGIFException&) {
        }
        ASSERT_GE(steps.size(), 2u);
        EXPECT_TRUE(steps.front() == (TStep{0, 0}));
        EXPECT_TRUE(steps.back() == (TStep{2, broken ? 0 : 100}));
        EXPECT_EQ(steps.size(), broken ? 3u : 4u); // one running report per frame read
    }
}

TEST(Reader, BoundsAreCheckedWhereTheReaderMeetsEachPart) {
    // Each bound refuses its file where the reader meets the part, whatever stands between the blocks:
    // the files put a stray 0x00 (which the reader skips) before the part that breaks the bound.
    TGIFReadLimits icon; // as the editor opens a document
    icon.MaxScreenSide = 40;
    icon.FramesInsideScreen = true;
    icon.MaxFrames = 4096;
    icon.MaxPixels = 4096 * 40 * 40;
    icon.MaxBlocks = 1000;
    auto dots = [](TGifBytes g, int n) {
        for (int k = 0; k < n; ++k)
            g.Image(0, 0, 1, 1).DotData();
        return g;
    };
    auto comments = [](TGifBytes g, int n) {
        for (int k = 0; k < n; ++k)
            g.Add({0x21, 0xFE, 1, 'c', 0});
        return g;
    };
    const TGifBytes first = TGifBytes().Header(40, 40, 1).Image(0, 0, 1, 1).DotData().Add({0});
    struct TCase {
        const char* Name;
        TBytes Bytes;
        const char* Error;
        int FramesRead; // frames the reader got through before it stopped (progress reports)
    } cases[] = {
        {"4,096 frames open", dots(TGifBytes().Header(40, 40, 1), 4096).Trailer().Data, "", 4096},
        {"100,000 frames after a stray byte stop at the 4,097th", dots(first, 99999).Trailer().Data,
         "Too many images", 4096},
        {"a 4000 x 16 frame after a stray byte", TGifBytes(first).Image(0, 0, 4000, 16).DotData().Data,
         "Image lies outside the Logical Screen", 1},
        {"a frame at 39, 39", TGifBytes(first).Image(39, 39, 2, 1).DotData().Data,
         "Image lies outside the Logical Screen", 1},
        {"a screen of 41 x 40", TGifBytes().Header(41, 40, 1).Image(0, 0, 1, 1).DotData().Data,
         "Logical Screen size exceeds the limit", 0},
        {"comment blocks beyond the bound", comments(first, 1001).Trailer().Data, "Too many extension blocks",
         1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGIFPicture gif;
        gif.ReadLimits = icon;
        int framesRead = 0;
        gif.OnProgress = [&](const TGIFObject*, int stage, int, const std::string&) {
            framesRead += stage == 1;
        };
        EXPECT_EQ(Load(gif, c.Bytes).Error, c.Error);
        EXPECT_EQ(framesRead, c.FramesRead);
    }

    // Frame sides and the pixels of all frames together.
    TGIFReadLimits picture;
    picture.MaxFrameSide = 100;
    picture.MaxPixels = 2 * 100 * 100;
    const TBytes wide = TGifBytes().Header(0, 0, 1).Image(0, 0, 101, 1).DotData().Data;
    const TBytes three = TGifBytes()
                             .Header(0, 0, 1)
                             .Image(0, 0, 100, 100)
                             .DotData()
                             .Add({0})
                             .Image(0, 0, 100, 100)
                             .DotData()
                             .Image(0, 0, 1, 1)
                             .DotData()
                             .Data;
    TGIFPicture gif;
    gif.ReadLimits = picture;
    EXPECT_EQ(Load(gif, wide).Error, "Image size exceeds the limit");
    EXPECT_EQ(Load(gif, three).Error, "Image data exceeds the limit");
    gif.ReadLimits = TGIFReadLimits(); // a picture starts without bounds
    EXPECT_EQ(Load(gif, three).Error, "");
}

TEST(Reader, FramesWantedStopsQuietlyAndLeavesTheRestUnread) {
    // A frame, then an extension of unknown label 0x02: a read that wants one frame never meets it.
    const TBytes bytes = Dot().Add({0x21, 0x02}).Data;
    TGIFPicture gif;
    EXPECT_EQ(Load(gif, bytes).Error, "Unknown extension type");
    gif.ReadLimits.FramesWanted = 1;
    const TLoadResult r = Load(gif, bytes);
    EXPECT_EQ(r.Error, "");
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(r.Frames, 1);
}
