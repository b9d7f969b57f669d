// The document's state rules: new documents, display times, edits and per-frame undo with the caption
// and frame information marks, the colours, frame operations keeping every store in step, and the
// output size.

#include "DocumentTestSupport.h"

#include "DrawingTools.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "DocumentGif.h"
#include "ImageTransforms.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000;

class IconDocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.SetObserver(&seen);
        ASSERT_TRUE(doc.NewDocument(asker));
    }
    // A stroke: snapshot, change one pixel, commit.
    void Stroke(int x, int y, uint32_t color) {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().SetPixel(x, y, color);
        edit.Commit();
    }
    // Frames named by a colour at pixel (20, 20): builds a document with one frame per colour.
    void MakeFrames(std::initializer_list<uint32_t> colors) {
        bool first = true;
        for (uint32_t c : colors) {
            if (first) {
                doc.WorkBitmap().SetPixel(20, 20, c);
                doc.CommitFrame();
                first = false;
                continue;
            }
            TSurface32 p = doc.EmptyTemplate(1);
            p.SetPixel(20, 20, c);
            doc.InsertFrame(TInsertPosition::After, p, 100);
        }
    }
    // The frame order as the colours at (20, 20), checked in every store.
    std::vector<uint32_t> Order() {
        std::vector<uint32_t> out;
        for (int i = 0; i < doc.FrameCount(); ++i) {
            const uint32_t c = doc.FrameBitmap(i).GetPixel(20, 20);
            EXPECT_EQ(doc.FrameThumbnail(i).GetPixel(16, 16), c) << "thumbnail " << i;
            EXPECT_EQ(GifFrames::RenderFrame(doc.Frames40(), i).GetPixel(20, 20), c) << "Frames40 " << i;
            EXPECT_EQ(GifFrames::RenderFrame(doc.Frames32(), i).GetPixel(16, 16), c) << "Frames32 " << i;
            out.push_back(c);
        }
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), doc.FrameCount());
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames32()), doc.FrameCount());
        EXPECT_EQ(seen.Rows, doc.FrameCount());
        return out;
    }

    // Saves the document as new.gif in a scratch folder: unmodified again, the caption unchanged.
    void SaveAsNew() { ASSERT_EQ(doc.SaveDocumentTo(scratch.Dir + "new.gif"), TSaveResult::Saved); }

    TIconDocument doc{"/opt/tindra/"};
    TScriptedAsker asker;
    TRecordingObserver seen;
    TScratchFolder scratch{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

bool SamePixels(const TSurface32& a, const TSurface32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    return std::equal(a.Bits(), a.Bits() + a.Width() * a.Height(), b.Bits());
}

} // namespace

TEST_F(IconDocumentTest, NewDocumentHasOneBorderedFrameOf100ms) {
    EXPECT_TRUE(doc.ImageLoaded());
    EXPECT_EQ(doc.FrameCount(), 1);
    EXPECT_EQ(doc.CurrentFrame(), 0);
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif");
    EXPECT_EQ(seen.Caption, "Tindra - new.gif");
    EXPECT_EQ(seen.FrameInfo, "1/1");
    EXPECT_EQ(seen.DisplayTime, 100);
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames40(), 0), 10);
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames32(), 0), 10);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(seen.UndoEnabled);
    EXPECT_EQ(doc.ImageSize(), 40);
    EXPECT_EQ(doc.SourceFormat(), TSourceFormat::Gif);
    EXPECT_EQ(doc.Name().Name, "new.gif");
    EXPECT_EQ(doc.Name().Folder, "/opt/tindra/");
    EXPECT_EQ(doc.Name().Path, "");
    EXPECT_TRUE(SamePixels(doc.WorkBitmap(), doc.EmptyTemplate(1)));
    EXPECT_TRUE(SamePixels(doc.FrameBitmap(0), doc.EmptyTemplate(1)));
    EXPECT_TRUE(SamePixels(doc.PreviewPicture(), doc.EmptyTemplate(1)));
    EXPECT_EQ(seen.Busy, 0);
    EXPECT_EQ(seen.MaxBusy, 1);
}

TEST_F(IconDocumentTest, TemplatesArePassedIn) {
    doc.SetEmptyTemplates(Solid(Red), Solid(Blue));
    ASSERT_TRUE(doc.NewDocument(asker));
    EXPECT_EQ(doc.WorkBitmap().GetPixel(0, 0), Blue);
    EXPECT_EQ(doc.EmptyTemplate(0).GetPixel(39, 39), Red);
}

TEST_F(IconDocumentTest, DisplayTimeIsRoundedAndStoredInBothPictures) {
    MakeFrames({Red, Green});
    doc.SelectFrame(0);
    EXPECT_EQ(TIconDocument::RoundDisplayTime(155), 150);
    EXPECT_EQ(TIconDocument::RoundDisplayTime(1234), 1230);
    EXPECT_TRUE(doc.SetDisplayTime(TIconDocument::RoundDisplayTime(155)));
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames40(), 0), 15);
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames32(), 0), 15);
    doc.SelectFrame(1);
    EXPECT_EQ(seen.DisplayTime, 100);
    doc.SelectFrame(0);
    EXPECT_EQ(seen.DisplayTime, 150);
    // Values outside 1..300000 are ignored.
    for (int bad : {0, -10, 300001}) {
        EXPECT_FALSE(doc.SetDisplayTime(bad)) << bad;
        EXPECT_EQ(GifFrames::FrameDelay(doc.Frames40(), 0), 15);
    }
    EXPECT_TRUE(doc.SetDisplayTime(300000));
    EXPECT_EQ(doc.DisplayTime(0), 300000);
}

TEST_F(IconDocumentTest, UndoIsPerFrameAndDrivesTheMarks) {
    MakeFrames({Red, Green});
    SaveAsNew();
    doc.SelectFrame(0);
    Stroke(5, 5, Black);
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    doc.SelectFrame(1);
    EXPECT_EQ(seen.FrameInfo, "2/2");
    EXPECT_FALSE(seen.UndoEnabled);
    Stroke(6, 6, Black);
    EXPECT_EQ(seen.FrameInfo, "2/2 *");
    EXPECT_TRUE(seen.UndoEnabled);
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *"); // one mark only

    // Undo on frame 2 restores it and disables Undo; frame 1 keeps the caption's mark.
    EXPECT_TRUE(doc.Undo());
    EXPECT_NE(doc.FrameBitmap(1).GetPixel(6, 6), Black);
    EXPECT_NE(GifFrames::RenderFrame(doc.Frames40(), 1).GetPixel(6, 6), Black);
    EXPECT_FALSE(seen.UndoEnabled);
    EXPECT_EQ(seen.FrameInfo, "2/2");
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    EXPECT_TRUE(doc.IsModified());

    doc.SelectFrame(0);
    EXPECT_TRUE(seen.UndoEnabled);
    EXPECT_EQ(seen.FrameInfo, "1/2 *");
    EXPECT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif");
    EXPECT_FALSE(doc.IsModified());
}

// Frame operations and display times are work too: each makes the document modified (caption mark,
// "Save changes?") until it is saved or undone, and can be undone, without touching the frame
// information's mark (which follows the current frame's picture steps). Operations that change
// nothing leave it unmodified.
TEST_F(IconDocumentTest, FrameChangesMakeTheDocumentModified) {
    struct TCase {
        const char* Name;
        std::function<void(TIconDocument&)> Change;
        bool Modifies;
    };
    const TSurface32 picture = Solid(Black);
    const TCase cases[] = {
        {"insert", [&](TIconDocument& d) { d.InsertFrame(TInsertPosition::Before, picture, 100); }, true},
        {"remove", [](TIconDocument& d) { d.RemoveFrame(); }, true},
        {"move", [](TIconDocument& d) { d.MoveFrame(2); }, true},
        {"display time", [](TIconDocument& d) { d.SetDisplayTime(250); }, true},
        {"move onto itself", [](TIconDocument& d) { d.MoveFrame(d.CurrentFrame()); }, false},
        {"same display time", [](TIconDocument& d) { d.SetDisplayTime(100); }, false},
        {"same time, rounded", [](TIconDocument& d) { d.SetDisplayTime(109); }, false},
        {"display time refused", [](TIconDocument& d) { d.SetDisplayTime(0); }, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(doc.NewDocument(asker));
        MakeFrames({Red, Green, Blue});
        SaveAsNew();
        doc.SelectFrame(0);
        ASSERT_FALSE(doc.IsModified());
        c.Change(doc);
        EXPECT_EQ(doc.IsModified(), c.Modifies);
        EXPECT_EQ(doc.Caption(), c.Modifies ? "Tindra - new.gif *" : "Tindra - new.gif");
        EXPECT_EQ(seen.FrameInfo.find('*'), std::string::npos); // no frame has undo snapshots
        EXPECT_EQ(seen.UndoEnabled, c.Modifies);
        asker.SaveChangesAsked = 0;
        EXPECT_TRUE(doc.SaveChangesIfWanted(asker)); // No: go on
        EXPECT_EQ(asker.SaveChangesAsked, c.Modifies ? 1 : 0);
    }

    // A stroke undone again keeps the mark while a frame operation is unsaved; a save clears both.
    doc.SetDisplayTime(300);
    Stroke(3, 3, Red);
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif *");
    SaveAsNew();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Caption(), "Tindra - new.gif");
}

TEST_F(IconDocumentTest, UndoStepsBackToThePictureBeforeTheFirstStroke) {
    const TSurface32 before = doc.WorkBitmap();
    Stroke(1, 1, Red);
    Stroke(2, 2, Green);
    // A stroke that changes nothing leaves no step.
    Stroke(2, 2, Green);
    EXPECT_EQ(doc.UndoDepth(0), 2);
    EXPECT_TRUE(doc.Undo());
    EXPECT_EQ(doc.WorkBitmap().GetPixel(2, 2), before.GetPixel(2, 2));
    EXPECT_EQ(doc.WorkBitmap().GetPixel(1, 1), Red);
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(SamePixels(doc.WorkBitmap(), before));
    EXPECT_TRUE(SamePixels(doc.FrameBitmap(0), before));
    EXPECT_FALSE(doc.UndoEnabled());
    EXPECT_FALSE(doc.Undo());
}

TEST_F(IconDocumentTest, NavigationOutOfRangeOnlyRefreshes) {
    MakeFrames({Red, Green, Blue});
    doc.GoToFrame(TFrameStep::First);
    EXPECT_EQ(doc.CurrentFrame(), 0);
    doc.GoToFrame(TFrameStep::Previous);
    EXPECT_EQ(doc.CurrentFrame(), 0);
    EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), Red);
    doc.GoToFrame(TFrameStep::Last);
    EXPECT_EQ(doc.CurrentFrame(), 2);
    doc.GoToFrame(TFrameStep::Next);
    EXPECT_EQ(doc.CurrentFrame(), 2);
    doc.GoToFrame(TFrameStep::Previous);
    EXPECT_EQ(doc.CurrentFrame(), 1);
    EXPECT_EQ(seen.SelectedRow, 1);
    EXPECT_EQ(seen.FrameInfo, "2/3");
}

TEST_F(IconDocumentTest, InsertBeforeAndAfterTheCurrentFrame) {
    MakeFrames({Red, Green, Blue}); // A B C
    doc.SelectFrame(1);
    TSurface32 n = doc.EmptyTemplate(1);
    n.SetPixel(20, 20, Black);
    doc.InsertFrame(TInsertPosition::After, n, 1234);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Red, Green, Black, Blue}));
    EXPECT_EQ(doc.CurrentFrame(), 2);
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames40(), 2), 123);
    EXPECT_EQ(GifFrames::FrameDelay(doc.Frames32(), 2), 123);

    doc.RemoveFrame();
    doc.SelectFrame(1);
    doc.InsertFrame(TInsertPosition::Before, n, 100);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Red, Black, Green, Blue}));
    EXPECT_EQ(doc.CurrentFrame(), 1);

    // After the last frame: appended, nothing moves.
    doc.SelectFrame(3);
    doc.InsertFrame(TInsertPosition::After, n, 100);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Red, Black, Green, Blue, Black}));
    EXPECT_EQ(doc.CurrentFrame(), 4);
    EXPECT_EQ(seen.FrameInfo, "5/5");
}

TEST_F(IconDocumentTest, RemoveSelectsTheFrameNowAtThatPlace) {
    MakeFrames({Red, Green, Blue, Black, Red});
    doc.SelectFrame(4);
    doc.RemoveFrame();
    EXPECT_EQ(doc.CurrentFrame(), 3);
    EXPECT_EQ(doc.FrameCount(), 4);
    doc.SelectFrame(0);
    doc.RemoveFrame();
    EXPECT_EQ(doc.CurrentFrame(), 0);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Green, Blue, Black}));
    EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), Green);

    TIconDocument single;
    ASSERT_TRUE(single.NewDocument(asker));
    single.RemoveFrame();
    EXPECT_EQ(single.FrameCount(), 1);
}

TEST_F(IconDocumentTest, MoveTakesTheFrameAndItsUndoStack) {
    MakeFrames({Red, Green, Blue, Black}); // A B C D
    doc.SelectFrame(1);
    Stroke(7, 7, Red);
    doc.MoveFrame(3);
    EXPECT_EQ(doc.CurrentFrame(), 3);
    doc.WorkBitmap(); // B is current at its new place
    EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), Green);
    EXPECT_EQ(doc.UndoDepth(3), 1);
    EXPECT_EQ(doc.UndoDepth(1), 0);
    // The move is the newer step: undone first, the stack goes back with the frame; then the stroke.
    EXPECT_TRUE(doc.Undo());
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Red, Green, Blue, Black}));
    EXPECT_EQ(doc.CurrentFrame(), 1);
    EXPECT_EQ(doc.UndoDepth(1), 1);
    EXPECT_TRUE(doc.Undo());
    EXPECT_NE(doc.FrameBitmap(1).GetPixel(7, 7), Red);
    EXPECT_TRUE(doc.Redo());
    EXPECT_TRUE(doc.Redo());
    EXPECT_EQ(doc.FrameBitmap(3).GetPixel(7, 7), Red);
    EXPECT_EQ(doc.UndoDepth(3), 1);
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Red, Blue, Black, Green}));
    // Out-of-range targets change nothing.
    doc.MoveFrame(9);
    doc.MoveFrame(-1);
    EXPECT_EQ(doc.CurrentFrame(), 3);
}

// The frame list follows the frames one row at a time, and pictures are reported per frame: opening
// N frames adds N rows (one list rebuild for the emptied document), a commit changes one picture,
// a move or a removal touches one row. (The list was once rebuilt for every frame added and every
// picture redrawn for every commit.)
TEST_F(IconDocumentTest, FrameListFollowsOneRowAndOnePictureAtATime) {
    constexpr int frames = 50;
    TScratchFolder folder("rows");
    const std::string path = folder.Dir + "fifty.gif";
    {
        TGIFPicture gif; // frame k has pixel (20, 20) in colour k
        for (int i = 0; i < frames + 1; ++i)
            gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(0x010203 * i + 0x204060));
        for (int k = 0; k < frames; ++k) {
            auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
            auto* frame = frameOwned.get();
            frame->SetFrameBounds(0, 0, 40, 40);
            gif.AddFrame(std::move(frameOwned));
            frame->Extensions().AppendItem(std::make_unique<TGIFGraphicControlExtension>(frame));
            for (int y = 0; y < 40; ++y)
                std::fill(frame->RowAt(y), frame->RowAt(y) + 40, static_cast<std::uint8_t>(frames));
            frame->RowAt(20)[20] = static_cast<std::uint8_t>(k);
        }
        gif.SaveToPath(path);
    }
    seen = TRecordingObserver();
    ASSERT_EQ(doc.OpenFileDirect(path, false), TOpenResult::Opened);
    EXPECT_EQ(seen.RowResets, 1);
    EXPECT_EQ(seen.FramesSeen, frames);
    EXPECT_EQ(seen.ListRepaints, 0);
    EXPECT_EQ(seen.ChangedPictures, std::vector<int>{0}); // selecting frame 0 commits it
    // Which frame each row shows, by the colour at (20, 20) of the frame that came in as k.
    std::vector<uint32_t> colourOf;
    for (int k = 0; k < frames; ++k)
        colourOf.push_back(doc.FrameBitmap(k).GetPixel(20, 20));
    auto rowsMatch = [&] {
        for (int row = 0; row < doc.FrameCount(); ++row)
            if (colourOf[static_cast<std::size_t>(seen.RowFrames[static_cast<std::size_t>(row)])] !=
                doc.FrameBitmap(row).GetPixel(20, 20))
                return false;
        return seen.Rows == doc.FrameCount();
    };
    EXPECT_TRUE(rowsMatch());

    doc.SelectFrame(30);
    seen.ChangedPictures.clear();
    Stroke(5, 5, Black);
    EXPECT_EQ(seen.ChangedPictures, (std::vector<int>{30})); // the stroke's commit (a snapshot commits nothing)
    seen.ChangedPictures.clear();
    doc.MoveFrame(2);
    doc.RemoveFrame();
    EXPECT_EQ(seen.ChangedPictures, (std::vector<int>{2, 2})); // the selections after each
    EXPECT_EQ(seen.ListRepaints, 0);
    EXPECT_EQ(seen.RowResets, 1);
    EXPECT_TRUE(rowsMatch());
}

TEST_F(IconDocumentTest, TwoFramesSwapWithoutDialog) {
    MakeFrames({Red, Green});
    doc.SelectFrame(0);
    EXPECT_FALSE(doc.MoveNeedsDialog());
    doc.SwapTwoFrames();
    EXPECT_EQ(Order(), (std::vector<uint32_t>{Green, Red}));
    EXPECT_EQ(doc.CurrentFrame(), 1);
    EXPECT_EQ(doc.WorkBitmap().GetPixel(20, 20), Red);
}

TEST(IconDocumentRules, MoveSliderSkipsTheCurrentPosition) {
    struct Case {
        int value, current, maximum, expected;
    } cases[] = {{2, 2, 3, 3}, {3, 3, 3, 2}, {1, 2, 3, 1}, {0, 0, 1, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(TIconDocument::AdjustMoveSlider(c.value, c.current, c.maximum), c.expected)
            << c.value << " " << c.current << " " << c.maximum;
}

TEST_F(IconDocumentTest, InsertPreviewPlacement) {
    struct Case {
        int w, h, x, y;
    } cases[] = {{16, 16, 12, 12}, {32, 32, 4, 4}, {33, 20, 0, 0}, {1, 40, 0, 0}, {50, 50, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        TPixelImage p(c.w, c.h, Red);
        const TSurface32 preview = doc.InsertPreview(&p);
        EXPECT_EQ(preview.GetPixel(c.x, c.y), Red);
        if (c.x > 0) {
            EXPECT_EQ(preview.GetPixel(c.x - 1, c.y), doc.EmptyTemplate(1).GetPixel(c.x - 1, c.y));
        }
        const int right = c.x + std::min(c.w, 40 - c.x) - 1;
        EXPECT_EQ(preview.GetPixel(right, c.y), Red);
        if (right < 39) {
            EXPECT_NE(preview.GetPixel(right + 1, c.y), Red);
        }
    }
    EXPECT_TRUE(SamePixels(doc.InsertPreview(nullptr), doc.EmptyTemplate(1)));
}

TEST_F(IconDocumentTest, AutoBorderIsDrawnOnCommitWithoutSnapshot) {
    doc.WorkBitmap().FillAll(Black);
    doc.SetAutoBorder(true);
    doc.CommitFrame();
    TSurface32 expected = Solid(Black);
    DrawBorder(expected);
    EXPECT_TRUE(SamePixels(doc.FrameBitmap(0), expected));
    EXPECT_EQ(doc.UndoDepth(0), 0);
}

// An edit: the snapshot and the marks come when it begins, the stores change only when it is committed.
TEST_F(IconDocumentTest, AnEditSnapshotsWhenMadeAndWritesTheStoresOnCommit) {
    const TSurface32 before = doc.WorkBitmap();
    TIconDocument::TEdit edit = doc.BeginEdit();
    EXPECT_EQ(doc.UndoDepth(0), 1);
    EXPECT_EQ(seen.Caption, "Tindra - new.gif *");
    EXPECT_EQ(seen.FrameInfo, "1/1 *");
    EXPECT_TRUE(seen.UndoEnabled);
    EXPECT_EQ(&edit.Picture(), &doc.WorkBitmap());
    edit.Picture().SetPixel(20, 20, Red);
    EXPECT_TRUE(SamePixels(doc.FrameBitmap(0), before)); // nothing written yet
    edit.Commit();
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(20, 20), Red);
    EXPECT_EQ(doc.FrameThumbnail(0).GetPixel(16, 16), Red);
    EXPECT_EQ(GifFrames::RenderFrame(doc.Frames40(), 0).GetPixel(20, 20), Red);
    edit.Commit(); // once only
    EXPECT_EQ(doc.UndoDepth(0), 1);
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(SamePixels(doc.WorkBitmap(), before));
}

// An edit that ends without Commit (here by an exception) takes itself back: picture, snapshot and
// marks; an earlier kept edit keeps the document modified.
TEST_F(IconDocumentTest, ADroppedEditPutsEverythingBack) {
    const TSurface32 before = doc.WorkBitmap();
    try {
        TIconDocument::TEdit edit = doc.BeginEdit();
        edit.Picture().FillAll(Red);
        throw std::runtime_error("the change failed half-way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(SamePixels(doc.WorkBitmap(), before));
    EXPECT_TRUE(SamePixels(doc.FrameBitmap(0), before));
    EXPECT_EQ(doc.UndoDepth(0), 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(seen.Caption, "Tindra - new.gif");
    EXPECT_EQ(seen.FrameInfo, "1/1");
    EXPECT_FALSE(seen.UndoEnabled);

    Stroke(5, 5, Black);
    { TIconDocument::TEdit dropped = doc.BeginEdit(); }
    EXPECT_EQ(doc.UndoDepth(0), 1);
    EXPECT_EQ(seen.Caption, "Tindra - new.gif *");
    EXPECT_EQ(seen.FrameInfo, "1/1 *");
    EXPECT_EQ(doc.WorkBitmap().GetPixel(5, 5), Black);
}

// An edit still open when the document moves on (another frame, an undo, a save, a new document, a
// later edit kept) is no longer the newest change of the picture shown: dropping it changes nothing.
TEST_F(IconDocumentTest, AnEditOvertakenByTheDocumentIsLeftAlone) {
    const std::function<void()> movesOn[] = {
        [&] { doc.SelectFrame(1); },
        [&] { doc.Undo(); },
        [&] { SaveAsNew(); },
        [&] { ASSERT_TRUE(doc.NewDocument(asker)); },
        [&] {
            TIconDocument::TEdit later = doc.BeginEdit();
            later.Picture().SetPixel(1, 1, Blue);
            later.Commit();
        },
    };
    for (size_t k = 0; k < std::size(movesOn); ++k) {
        ASSERT_TRUE(doc.NewDocument(asker));
        MakeFrames({Red, Green});
        doc.SelectFrame(0);
        std::optional<TIconDocument::TEdit> open(doc.BeginEdit());
        open->Picture().SetPixel(2, 2, Black);
        movesOn[k]();
        const TSurface32 picture = doc.WorkBitmap();
        const int depth = doc.UndoDepth(0), frame = doc.CurrentFrame();
        const std::string caption = doc.Caption();
        open.reset();
        EXPECT_TRUE(SamePixels(doc.WorkBitmap(), picture)) << k;
        EXPECT_EQ(doc.UndoDepth(0), depth) << k;
        EXPECT_EQ(doc.CurrentFrame(), frame) << k;
        EXPECT_EQ(doc.Caption(), caption) << k;
    }
}

// An edit outliving its document does nothing (and touches no freed memory); its picture is refused.
TEST_F(IconDocumentTest, AnEditOutlivingItsDocumentDoesNothing) {
    std::optional<TIconDocument::TEdit> edit;
    {
        TIconDocument gone;
        ASSERT_TRUE(gone.NewDocument(asker));
        edit.emplace(gone.BeginEdit());
    }
    EXPECT_THROW(edit->Picture(), std::logic_error);
    edit->Commit();
    edit.reset();
    // Without a frame an edit takes no snapshot; its commit is the plain commit.
    TIconDocument none;
    TIconDocument::TEdit empty = none.BeginEdit();
    empty.Picture().SetPixel(0, 0, Red);
    empty.Commit();
    EXPECT_FALSE(none.IsModified());
}

// With Auto border on, an edit works on the picture as its commit will keep it: the border is there
// from the start, so a fill of a grey area stops at it instead of running round through the ring
// (here into the right half, which touches the left one only through the ring). The snapshot is the
// picture from before the border.
TEST_F(IconDocumentTest, AnEditSeesTheAutomaticBorder) {
    doc.WorkBitmap().FillAll(BorderGrey);
    doc.WorkBitmap().VertLineClipped(20, 4, 35, BorderWhite);
    const TSurface32 before = doc.WorkBitmap();
    doc.SetAutoBorder(true);
    TIconDocument::TEdit edit = doc.BeginEdit();
    TSurface32& work = edit.Picture();
    TSurface32 bordered = before;
    DrawBorder(bordered);
    EXPECT_TRUE(SamePixels(work, bordered));
    FloodFill(work, 10, 10, Red, work.GetPixel(10, 10));
    edit.Commit();
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(10, 10), Red);
    EXPECT_EQ(doc.FrameBitmap(0).GetPixel(30, 10), BorderGrey);
    EXPECT_TRUE(doc.Undo());
    EXPECT_TRUE(SamePixels(doc.WorkBitmap(), [&] {
        TSurface32 b = before;
        DrawBorder(b); // the undo's commit draws the border as every commit does
        return b;
    }()));
}

// The document owns the three colours: each change is reported, the transparent colour is the
// background colour too, nothing changes without a document, and a new document starts from the
// defaults.
TEST_F(IconDocumentTest, TheColoursBelongToTheDocument) {
    seen.ColorChanges = 0;
    doc.SetDrawColor(TSurfaceColor(Red));
    doc.SetBackColor(TSurfaceColor(Green));
    EXPECT_EQ(seen.ColorChanges, 2);
    doc.SetTransparentColor(TSurfaceColor(Blue));
    EXPECT_EQ(seen.ColorChanges, 3);
    EXPECT_EQ(doc.DrawColor(), TSurfaceColor(Red));
    EXPECT_EQ(doc.BackColor(), TSurfaceColor(Blue));
    EXPECT_EQ(doc.TransparentColor(), TSurfaceColor(Blue));
    ASSERT_TRUE(doc.NewDocument(asker));
    EXPECT_EQ(seen.ColorChanges, 4);
    EXPECT_EQ(doc.DrawColor(), DefaultDrawColor);
    EXPECT_EQ(doc.BackColor(), DefaultBackColor);
    EXPECT_EQ(doc.TransparentColor(), DefaultTransparentColor);

    TIconDocument none;
    none.SetDrawColor(TSurfaceColor(Red));
    none.SetTransparentColor(TSurfaceColor(Red));
    EXPECT_EQ(none.DrawColor(), DefaultDrawColor);
    EXPECT_EQ(none.BackColor(), DefaultBackColor);
}

TEST_F(IconDocumentTest, OutputSizeSwitchesTheListAndTheIcoExport) {
    EXPECT_FALSE(doc.IcoExportEnabled());
    doc.SetOutputSize(32);
    EXPECT_TRUE(doc.IcoExportEnabled());
    EXPECT_EQ(doc.FrameListPicture(0).Width(), 32);
    doc.SetOutputSize(40);
    EXPECT_EQ(doc.FrameListPicture(0).Width(), 40);
    EXPECT_FALSE(doc.IsModified());

    TIconDocument empty;
    empty.SetOutputSize(32);
    EXPECT_FALSE(empty.IcoExportEnabled());
}

TEST_F(IconDocumentTest, DefaultFileNames) {
    EXPECT_EQ(doc.DefaultDocumentFileName(), "new.gif");
    MakeFrames({Red, Green, Blue});
    doc.SelectFrame(2);
    EXPECT_EQ(doc.DefaultFrameFileName(TFileKind::FrameBmp), "new_3.bmp");
    EXPECT_EQ(doc.DefaultFrameFileName(TFileKind::FrameIco), "new_3.ico");
    EXPECT_EQ(doc.DefaultFrameFileName(TFileKind::FrameGif), "new_3.gif");
    doc.SetOutputSize(32);
    EXPECT_EQ(doc.DefaultDocumentFileName(), "new_32.gif");
}

TEST(DocumentNameRules, SplitsPathsIntoTheNameParts) {
    struct Case {
        const char *path, *folder, *name, *base, *ext;
    } cases[] = {
        {"/icons/star.ico", "/icons/", "star.ico", "star", ".ico"},
        {"/icons/ICON.GIF", "/icons/", "ICON.GIF", "ICON", ".GIF"},
        {"/v1.2/readme", "/v1.2/", "readme", "readme", ""},
        {"/a/arch.tar.gz", "/a/", "arch.tar.gz", "arch.tar", ".gz"},
        {"plain.bmp", "", "plain.bmp", "plain", ".bmp"},
    };
    for (const Case& c : cases) {
        const TDocumentName n = TDocumentName::FromPath(c.path);
        EXPECT_EQ(n.Path, c.path);
        EXPECT_EQ(n.Folder, c.folder) << c.path;
        EXPECT_EQ(n.Name, c.name) << c.path;
        EXPECT_EQ(n.BaseName, c.base) << c.path;
        EXPECT_EQ(n.Extension, c.ext) << c.path;
    }
}
