// Object model: frame bounds and the logical screen, versions, graphic control extensions, list
// operations, copying and EnableAnimation.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFRender.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "Stream.h"

namespace {

TGIFSubImage* AddFrame(TGIFPicture& gif, int left, int top, int w, int h) {
    auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
    auto* frame = frameOwned.get();
    frame->SetFrameBounds(left, top, w, h);
    gif.AddFrame(std::move(frameOwned));
    return frame;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EGIFException& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(FrameBounds, NewScreenGrowsSilentlyAndLaterGrowthWarns) {
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 40, 40);
    EXPECT_EQ(gif.Width(), 40);
    EXPECT_EQ(gif.Height(), 40);
    EXPECT_TRUE(log.Texts.empty());
    EXPECT_EQ(frame->PixelBytes(), 1600u);

    frame->SetLeft(10);
    EXPECT_EQ(gif.Width(), 50);
    EXPECT_EQ(log.Texts, (std::vector<std::string>{"Image width too small for contained frames",
                                                   "Image exceeds Logical Screen size"}));
    log.Texts.clear();
    frame->SetFrameBounds(0, 5, 40, 40);
    EXPECT_EQ(log.Texts, (std::vector<std::string>{"Image height too small for contained frames",
                                                   "Image exceeds Logical Screen size"}));
}

TEST(FrameBounds, SizeChangeReallocatesZeroFilled) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 3, 3);
    frame->RowAt(1)[1] = 7;
    frame->SetLeft(1); // same size: pixels stay
    EXPECT_EQ(frame->PixelAt(1, 1), 7);
    frame->SetWidth(4);
    EXPECT_EQ(frame->PixelBytes(), 12u);
    EXPECT_EQ(frame->PixelAt(1, 1), 0);
    frame->SetHeight(0);
    EXPECT_TRUE(frame->Empty());
    EXPECT_EQ(ErrorOf([&] { frame->RequirePixels(); }), "Image is empty");
}

TEST(FrameBounds, PixelAccessChecksCoordinates) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 4, 3);
    const std::pair<int, int> bad[] = {{-1, 0}, {4, 0}, {0, -1}, {0, 3}};
    for (auto [x, y] : bad)
        EXPECT_EQ(ErrorOf([&] { frame->PixelAt(x, y); }), "Invalid pixel coordinates") << x << "," << y;
    EXPECT_EQ(ErrorOf([&] { frame->RowAt(3); }), "Invalid pixel coordinates");
}

TEST(ScreenSize, ShrinkingBelowAFrameRaises) {
    TGIFPicture gif;
    AddFrame(gif, 0, 0, 40, 30);
    EXPECT_EQ(ErrorOf([&] { gif.SetWidth(32); }), "Image width too small for contained frames");
    EXPECT_EQ(gif.Width(), 40);
    EXPECT_EQ(ErrorOf([&] { gif.SetHeight(29); }), "Image height too small for contained frames");
    int changes = 0;
    gif.OnChange = [&](TGIFPicture&) { ++changes; };
    gif.SetWidth(60);
    gif.SetWidth(60);
    EXPECT_EQ(gif.Width(), 60);
    EXPECT_EQ(changes, 1);
}

TEST(Version, FollowsExtensionsAndSortedLocalTables) {
    TGIFPicture gif;
    EXPECT_EQ(gif.RequiredVersion(), 0);
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 2, 2);
    frame->ColorMap().AppendColor(0);
    frame->ColorMap().AppendColor(0xFFFFFF);
    EXPECT_EQ(gif.RequiredVersion(), 1);
    frame->ColorMap().SetSorted(true);
    EXPECT_EQ(gif.RequiredVersion(), 2);
    frame->ColorMap().SetSorted(false);
    frame->Extensions().AppendItem(std::make_unique<TGIFGraphicControlExtension>(frame));
    EXPECT_EQ(gif.RequiredVersion(), 2);
    gif.Header().ColorMap().SetSorted(true); // the header never raises the version
    frame->Extensions().ClearAll();
    EXPECT_EQ(gif.RequiredVersion(), 1);
}

TEST(GraphicControl, FieldsFlagsAndReference) {
    TGIFPicture gif;
    TWarningLog log;
    log.Attach(gif);
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 2, 2);
    for (int i = 0; i < 4; ++i)
        gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x101010));
    auto firstOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
    auto* first = firstOwned.get();
    auto secondOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
    auto* second = secondOwned.get();
    frame->Extensions().AppendItem(std::move(firstOwned));
    frame->Extensions().AppendItem(std::move(secondOwned));
    EXPECT_EQ(frame->GraphicControlExtension(), first);
    EXPECT_EQ(first->Record().BlockSize, 4);

    const std::pair<int, int> disposals[] = {{0, 0}, {2, 2}, {3, 3}, {9, 1}};
    for (auto [set, get] : disposals) {
        first->SetDisposal(set);
        EXPECT_EQ(first->Disposal(), get);
    }
    first->SetTransparent(true);
    EXPECT_TRUE(frame->Transparent());
    EXPECT_EQ(first->Record().PackedFields & 1, 1);
    first->SetTransparentColorIndex(3);
    EXPECT_EQ(first->TransparentColorIndex(), 3);
    EXPECT_EQ(first->TransparentColor(), 0x303030u);
    first->SetTransparentColorIndex(4);
    EXPECT_EQ(first->TransparentColorIndex(), 0);
    EXPECT_EQ(log.Texts, std::vector<std::string>{"Invalid color index"});

    // Destroying the reference clears the frame's transparency and reference.
    frame->Extensions().DeleteAt(0);
    EXPECT_FALSE(frame->Transparent());
    EXPECT_EQ(frame->GraphicControlExtension(), nullptr);
    delete second; // a direct delete detaches
    EXPECT_EQ(frame->Extensions().ItemCount(), 0);
}

TEST(Lists, InsertMoveDeleteDetach) {
    TGIFPicture gif;
    TGIFSubImage* a = AddFrame(gif, 0, 0, 1, 1);
    TGIFSubImage* b = AddFrame(gif, 0, 0, 2, 1);
    TGIFSubImage* c = AddFrame(gif, 0, 0, 3, 1);
    TGIFImageList& frames = gif.Images();
    frames.MoveItem(2, 0);
    EXPECT_EQ(frames[0], c);
    EXPECT_EQ(frames[1], a);
    EXPECT_EQ(frames.Detach(a), 1);
    EXPECT_EQ(frames.ItemCount(), 2);
    frames.InsertAt(0, std::unique_ptr<TGIFSubImage>(a)); // the detached frame goes back
    EXPECT_EQ(frames[0], a);
    delete b; // detaches itself
    EXPECT_EQ(frames.ItemCount(), 2);
    EXPECT_THROW(frames.ItemAt(2), std::out_of_range);
    frames.DeleteAt(0);
    EXPECT_EQ(frames[0], c);
    EXPECT_EQ(ErrorOf([&] { gif.AddFrame(std::unique_ptr<TGIFSubImage>()); }),
              "Object type not supported for operation");
}

// Loading, copying, saving and freeing n items step over O(n) list slots. Freeing once deleted from
// the front of the list and searched the list for every item, and writing a frame counted the bits
// of every frame's table again: n² steps, minutes for these files.
TEST(Lists, ManyItemsLoadCopySaveAndFreeInLinearSteps) {
    constexpr std::uint64_t comments = 500000;
    TGifBytes many;
    many.Header(1, 1, 1);
    for (std::uint64_t i = 0; i < comments; ++i)
        many.Add({0x21, 0xFE, 0x01, 'x', 0x00});
    many.Trailer();
    GIFListSteps = 0;
    {
        TGIFPicture gif;
        LoadBytes(gif, many.Data);
        ASSERT_EQ(gif.Images().ItemCount(), 1);
        EXPECT_EQ(gif.Images()[0]->Extensions().ItemCount(), static_cast<int>(comments));
    }
    EXPECT_LE(GIFListSteps, 3 * comments);

    constexpr std::uint64_t frames = 40000;
    TGifBytes dots;
    dots.Header(1, 1, 2);
    for (std::uint64_t i = 0; i < frames; ++i)
        dots.Add({0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00}).Image(0, 0, 1, 1).DotData();
    dots.Trailer();
    GIFListSteps = 0;
    {
        TGIFPicture gif, copy;
        LoadBytes(gif, dots.Data);
        ASSERT_EQ(gif.Images().ItemCount(), static_cast<int>(frames));
        copy.CopyFrom(gif);
        EXPECT_EQ(SaveBytes(copy).size(), dots.Data.size());
        copy.Images().DeleteAt(static_cast<int>(frames / 2));
        delete copy.Images()[0];
        EXPECT_EQ(copy.Images().ItemCount(), static_cast<int>(frames) - 2);
    }
    EXPECT_LE(GIFListSteps, 20 * frames);
}

TEST(Copy, FrameCopyDuplicatesEverything) {
    TGIFPicture gif;
    TGIFSubImage* source = AddFrame(gif, 3, 4, 2, 2);
    source->ColorMap().AppendColor(1);
    source->ColorMap().AppendColor(2);
    source->RowAt(1)[0] = 1;
    auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(source);
    auto* gce = gceOwned.get();
    source->Extensions().AppendItem(std::move(gceOwned));
    gce->SetTransparent(true);
    gce->SetDelay(25);
    auto commentOwned = std::make_unique<TGIFCommentExtension>(source);
    auto* comment = commentOwned.get();
    comment->Text = {"hello"};
    source->Extensions().AppendItem(std::move(commentOwned));

    TGIFPicture other;
    auto copyOwned = std::make_unique<TGIFSubImage>(&other);
    auto* copy = copyOwned.get();
    copy->CopyFrom(*source);
    other.AddFrame(std::move(copyOwned));
    EXPECT_EQ(copy->Left(), 3);
    EXPECT_EQ(copy->Top(), 4);
    EXPECT_EQ(copy->PixelAt(0, 1), 1);
    EXPECT_EQ(copy->ColorMap().Count(), 2);
    EXPECT_TRUE(copy->Transparent());
    ASSERT_EQ(copy->Extensions().ItemCount(), 2);
    EXPECT_NE(copy->Extensions()[0], gce);
    EXPECT_EQ(copy->GraphicControlExtension(), copy->Extensions()[0]);
    EXPECT_EQ(copy->GraphicControlExtension()->Delay(), 25);
    EXPECT_EQ(dynamic_cast<TGIFCommentExtension*>(copy->Extensions()[1])->Text,
              std::vector<std::string>{"hello"});

    TGIFSubImage empty(nullptr);
    copy->CopyFrom(empty);
    EXPECT_TRUE(copy->Empty());
    EXPECT_EQ(copy->Extensions().ItemCount(), 0);
}

TEST(Copy, PictureCopyTakesSomeOptionsOnly) {
    TGIFPicture source;
    AddFrame(source, 0, 0, 5, 5);
    AddFrame(source, 1, 1, 2, 2);
    source.GlobalColorMap().AppendColor(0x123456);
    source.ReductionMethod = static_cast<TReductionMethod>(8);
    source.DitherMethod = static_cast<TDitherMethod>(1);
    source.CompressionMethod = CompressRLE;
    source.ReductionBitDepth = 3;
    source.PlaybackSpeed = 50;
    source.PinnedFrame = 1;

    TGIFPicture target;
    target.CopyFrom(source);
    EXPECT_EQ(target.Images().ItemCount(), 2);
    EXPECT_EQ(target.Width(), 5);
    EXPECT_EQ(target.GlobalColorMap().ColorAt(0), 0x123456u);
    EXPECT_EQ(target.ReductionMethod, 8);
    EXPECT_EQ(target.DitherMethod, 1);
    EXPECT_EQ(target.PinnedFrame, 1);
    EXPECT_EQ(target.CompressionMethod, CompressLZW);
    EXPECT_EQ(target.ReductionBitDepth, 8);
    EXPECT_EQ(target.PlaybackSpeed, 100);
    EXPECT_EQ(target.Images()[1]->Image(), &target);
    target.CopyFrom(nullptr);
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.Width(), 0);
}

TEST(Picture, DefaultsAndClearKeepsOptions) {
    TGIFPicture gif;
    EXPECT_EQ(gif.PaintFlags, 0x060F);
    EXPECT_EQ(gif.ReductionMethod, 6);
    EXPECT_EQ(gif.DitherMethod, 0);
    EXPECT_EQ(gif.PaintBackground, 0x1FFFFFFFu);
    EXPECT_EQ(gif.PinnedFrame, -1);
    gif.ReductionBitDepth = 4;
    AddFrame(gif, 0, 0, 3, 3);
    gif.GlobalColorMap().AppendColor(1);
    gif.ClearAll();
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(gif.GlobalColorMap().Count(), 0);
    EXPECT_EQ(gif.Width(), 0);
    EXPECT_EQ(gif.ReductionBitDepth, 4);
}

TEST(Picture, EnableAnimationMovesSingleLocalTableToGlobal) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 2, 2);
    frame->ColorMap().AppendColor(0x0000FF);
    int changes = 0;
    gif.OnChange = [&](TGIFPicture&) { ++changes; };
    gif.EnableAnimation(true); // default flags already animate
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(frame->ColorMap().Count(), 1);
    gif.EnableAnimation(false);
    EXPECT_EQ(gif.PaintFlags & pfAnimate, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(frame->ColorMap().Count(), 0);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(0), 0x0000FFu);
}

TEST(Picture, ChangingColoursDropsFrameCaches) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 2, 2);
    frame->ColorMap().AppendColor(1);
    FrameCaches(*frame).Palette = std::shared_ptr<TPalette>(
        reinterpret_cast<TPalette*>(new int(0)), [](TPalette* p) { delete reinterpret_cast<int*>(p); });
    FrameCaches(*frame).MaskNeeded = false;
    frame->ColorMap().SetColorAt(0, 2);
    EXPECT_EQ(FrameCaches(*frame).Palette, nullptr);
    EXPECT_TRUE(FrameCaches(*frame).MaskNeeded);
}

TEST(Picture, FileFormsAndPainterHooks) {
    TGIFPicture gif;
    TGIFSubImage* frame = AddFrame(gif, 0, 0, 3, 2);
    gif.GlobalColorMap().AppendColor(0);
    gif.GlobalColorMap().AppendColor(0xFFFFFF);
    frame->RowAt(1)[2] = 1;
    // A folder of this run's own, removed when the test ends, so that runs at the same time do not
    // share the file and none is left behind.
    struct TFolder {
        std::string Path = ::testing::TempDir() + "tindra-file-form-XXXXXX";
        ~TFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(Path, ignored);
        }
    } folder;
    ASSERT_NE(mkdtemp(folder.Path.data()), nullptr);
    const std::string path = folder.Path + "/form.gif";
    gif.SaveToPath(path);
    TGIFPicture back;
    back.LoadFromPath(path);
    ASSERT_EQ(back.Images().ItemCount(), 1);
    EXPECT_EQ(back.Images()[0]->PixelAt(2, 1), 1);
    EXPECT_THROW(back.LoadFromPath(path + ".missing"), std::runtime_error);
    // A picture that cannot be encoded (index 2 beyond the table of 2) leaves the file as it was.
    const std::vector<std::uint8_t> before = ReadWholeFile(path);
    frame->RowAt(0)[0] = 2;
    EXPECT_THROW(gif.SaveToPath(path), EGIFException);
    EXPECT_EQ(ReadWholeFile(path), before);

    // Clearing and destroying a picture stop the work attached to it (its painters) first; a change of
    // the animation flag and the destruction are reported to it.
    struct TCounts {
        int Stops = 0, AnimationChanges = 0, Destroyed = 0;
    } counts;
    struct TCountingAttachment : TGIFPictureAttachment {
        TCounts& Counts;
        explicit TCountingAttachment(TCounts& counts) : Counts(counts) {}
        void StopWork(TGIFPicture&) override { ++Counts.Stops; }
        void AnimationChanged(TGIFPicture&) override { ++Counts.AnimationChanges; }
        void Destroying(TGIFPicture&) override { ++Counts.Destroyed; }
    };
    {
        TGIFPicture other;
        other.SetAttachment(std::make_unique<TCountingAttachment>(counts));
        other.ClearAll();
        EXPECT_EQ(counts.Stops, 1);
        other.EnableAnimation((other.PaintFlags & pfAnimate) == 0);
        EXPECT_EQ(counts.AnimationChanges, 1);
    }
    EXPECT_EQ(counts.Stops, 2); // ClearAll, destruction
    EXPECT_EQ(counts.Destroyed, 1);
}
