// The document's history: Redo, frame operations undone and redone in the order they happened among
// the frames' picture steps, Undelete, Duplicate, and what they do to the modified mark.
//
// Sequences are written as scripts: each row is a command and the document it must leave, frames from
// first to last as the colour at (20, 20) (R G B K W), a small letter for the colour of the stroke at
// (5, 5) when there is one, "@ms" for a display time other than 100 ms, the current frame in brackets.

#include "DocumentTestSupport.h"

#include "DocumentGif.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000,
                   White = 0xFFFFFFFF;

uint32_t ColourOf(char letter) {
    switch (letter) {
    case 'R':
    case 'r':
        return Red;
    case 'G':
    case 'g':
        return Green;
    case 'B':
    case 'b':
        return Blue;
    case 'K':
    case 'k':
        return Black;
    default:
        return White;
    }
}

char LetterOf(uint32_t colour) {
    switch (colour) {
    case Red:
        return 'R';
    case Green:
        return 'G';
    case Blue:
        return 'B';
    case Black:
        return 'K';
    case White:
        return 'W';
    default:
        return '?';
    }
}

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.SetObserver(&seen);
        ASSERT_TRUE(doc.NewDocument(asker));
    }

    static TSurface32 Named(char letter) {
        TSurface32 picture(40, 40);
        picture.FillAll(0xFFCCCCCC);
        picture.SetPixel(20, 20, ColourOf(letter));
        return picture;
    }

    // A saved document with one frame per letter, the first one current.
    void Start(const std::string& letters) {
        ASSERT_TRUE(doc.NewDocument(asker));
        doc.WorkBitmap().CopyFrom(Named(letters[0]));
        doc.CommitFrame();
        for (size_t k = 1; k < letters.size(); ++k)
            doc.InsertFrame(TInsertPosition::After, Named(letters[k]), 100);
        ASSERT_EQ(doc.SaveDocumentTo(scratch.Dir + "start.gif"), TSaveResult::Saved);
        doc.SelectFrame(0);
    }

    // The document as a script line writes it, checked to agree in every store and in the frame list.
    std::string State() {
        std::string out;
        for (int i = 0; i < doc.FrameCount(); ++i) {
            const TSurface32& f = doc.FrameBitmap(i);
            std::string frame(1, LetterOf(f.GetPixel(20, 20)));
            const uint32_t stroke = f.GetPixel(5, 5);
            if (stroke != 0xFFCCCCCC) frame += static_cast<char>(LetterOf(stroke) - 'A' + 'a');
            if (doc.DisplayTime(i) != 100) frame += "@" + std::to_string(doc.DisplayTime(i));
            if (i == doc.CurrentFrame()) frame = "[" + frame + "]";
            out += (i ? " " : "") + frame;
            EXPECT_EQ(doc.FrameThumbnail(i).GetPixel(16, 16), f.GetPixel(20, 20)) << "thumbnail " << i;
            EXPECT_EQ(GifFrames::RenderFrame(doc.Frames40(), i).GetPixel(5, 5), stroke) << "Frames40 " << i;
            EXPECT_EQ(GifFrames::RenderFrame(doc.Frames32(), i).GetPixel(16, 16), f.GetPixel(20, 20))
                << "Frames32 " << i;
            EXPECT_EQ(GifFrames::FrameDelay(doc.Frames32(), i) * 10, doc.DisplayTime(i)) << "Frames32 " << i;
        }
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames40()), doc.FrameCount());
        EXPECT_EQ(GifFrames::FrameCount(doc.Frames32()), doc.FrameCount());
        EXPECT_EQ(seen.Rows, doc.FrameCount());
        EXPECT_EQ(seen.SelectedRow, doc.CurrentFrame());
        EXPECT_EQ(doc.WorkBitmap().GetPixel(5, 5), doc.FrameBitmap(doc.CurrentFrame()).GetPixel(5, 5));
        return out;
    }

    // Runs one command: draw x, undo, redo, insert X (after the current frame), dup, remove, undelete,
    // move N, time MS, merge (repeated frames), reverse, alltimes MS, select N.
    void Run(const std::string& command) {
        std::istringstream in(command);
        std::string verb, arg;
        in >> verb >> arg;
        if (verb == "draw") {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(5, 5, ColourOf(arg[0]));
            edit.Commit();
        } else if (verb == "undo") {
            doc.Undo();
        } else if (verb == "redo") {
            doc.Redo();
        } else if (verb == "insert") {
            doc.InsertFrame(TInsertPosition::After, Named(arg[0]), 100);
        } else if (verb == "dup") {
            doc.DuplicateFrame();
        } else if (verb == "remove") {
            doc.RemoveFrame();
        } else if (verb == "undelete") {
            doc.Undelete();
        } else if (verb == "move") {
            doc.MoveFrame(std::stoi(arg));
        } else if (verb == "time") {
            doc.SetDisplayTime(std::stoi(arg));
        } else if (verb == "reverse") {
            doc.ReverseFrames();
        } else if (verb == "alltimes") {
            doc.SetAllDisplayTimes(std::stoi(arg));
        } else if (verb == "merge") {
            doc.MergeRepeatedFrames();
        } else if (verb == "select") {
            doc.SelectFrame(std::stoi(arg));
        } else {
            FAIL() << "unknown command " << command;
        }
    }

    struct TStep {
        const char* Command;
        const char* Expected;
    };
    struct TScript {
        const char* Name;
        const char* Frames;
        std::vector<TStep> Steps;
    };

    void Play(const TScript& script) {
        SCOPED_TRACE(script.Name);
        Start(script.Frames);
        for (const TStep& step : script.Steps) {
            Run(step.Command);
            EXPECT_EQ(State(), step.Expected) << "after " << step.Command;
        }
    }

    TIconDocument doc{"/opt/tindra/"};
    TScriptedAsker asker;
    TRecordingObserver seen;
    TScratchFolder scratch{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

} // namespace

TEST_F(HistoryTest, RedoIsPerFrameAndANewEditEndsIt) {
    const TScript scripts[] = {
        {"undo and redo on one frame",
         "R",
         {{"draw k", "[Rk]"},
          {"draw b", "[Rb]"},
          {"undo", "[Rk]"},
          {"undo", "[R]"},
          {"undo", "[R]"},
          {"redo", "[Rk]"},
          {"redo", "[Rb]"},
          {"redo", "[Rb]"},
          {"undo", "[Rk]"},
          {"draw g", "[Rg]"},
          {"redo", "[Rg]"},
          {"undo", "[Rk]"},
          {"undo", "[R]"}}},
        {"each frame its own redo",
         "RG",
         {{"draw k", "[Rk] G"},
          {"select 1", "Rk [G]"},
          {"draw b", "Rk [Gb]"},
          {"undo", "Rk [G]"},
          {"select 0", "[Rk] G"},
          {"redo", "[Rk] G"},
          {"undo", "[R] G"},
          {"select 1", "R [G]"},
          {"redo", "R [Gb]"},
          {"select 0", "[R] Gb"},
          {"redo", "[Rk] Gb"}}},
    };
    for (const TScript& s : scripts)
        Play(s);
}

// Frame operations and picture steps interleave by time; a picture step of another frame is never
// taken back from here, and a frame keeps its picture steps wherever it goes.
TEST_F(HistoryTest, FrameOperationsUndoAndRedoInTheOrderTheyHappened) {
    const TScript scripts[] = {
        {"insert after a stroke",
         "RGB",
         {{"draw k", "[Rk] G B"},
          {"insert W", "Rk [W] G B"},
          {"select 0", "[Rk] W G B"},
          {"undo", "[Rk] G B"},
          {"undo", "[R] G B"},
          {"redo", "[Rk] G B"},
          {"redo", "Rk [W] G B"},
          {"redo", "Rk [W] G B"}}},
        {"remove",
         "RGB",
         {{"select 1", "R [G] B"},
          {"remove", "R [B]"},
          {"undo", "R [G] B"},
          {"redo", "R [B]"},
          {"undo", "R [G] B"},
          {"undo", "R [G] B"}}},
        {"move, then a stroke on the moved frame",
         "RGB",
         {{"move 2", "G B [R]"},
          {"draw k", "G B [Rk]"},
          {"undo", "G B [R]"},
          {"undo", "[R] G B"},
          {"redo", "G B [R]"},
          {"redo", "G B [Rk]"}}},
        {"display time",
         "RGB",
         {{"time 300", "[R@300] G B"},
          {"select 2", "R@300 G [B]"},
          {"time 50", "R@300 G [B@50]"},
          {"undo", "R@300 G [B]"},
          {"undo", "[R] G B"},
          {"redo", "[R@300] G B"},
          {"redo", "R@300 G [B@50]"}}},
        {"a stroke on another frame stays",
         "RGB",
         {{"select 1", "R [G] B"},
          {"draw k", "R [Gk] B"},
          {"select 0", "[R] Gk B"},
          {"move 2", "Gk B [R]"},
          {"undo", "[R] Gk B"},
          {"undo", "[R] Gk B"},
          {"select 1", "R [Gk] B"},
          {"undo", "R [G] B"}}},
        {"a removed frame keeps its picture steps",
         "RGB",
         {{"select 1", "R [G] B"},
          {"draw k", "R [Gk] B"},
          {"select 0", "[R] Gk B"},
          {"draw r", "[Rr] Gk B"},
          {"select 1", "Rr [Gk] B"},
          {"remove", "Rr [B]"},
          {"undo", "Rr [Gk] B"},
          {"undo", "Rr [G] B"},
          {"undo", "Rr [G] B"},
          {"redo", "Rr [Gk] B"},
          {"select 0", "[Rr] Gk B"},
          {"undo", "[R] Gk B"}}},
        {"an undone insert is gone once a new operation is made",
         "RG",
         {{"insert W", "R [W] G"},
          {"undo", "[R] G"},
          {"insert K", "R [K] G"},
          {"redo", "R [K] G"},
          {"undo", "[R] G"},
          {"redo", "R [K] G"}}},
        {"a redone stroke is undone before an older operation",
         "RG",
         {{"draw k", "[Rk] G"},
          {"undo", "[R] G"},
          {"move 1", "G [R]"},
          {"redo", "G [Rk]"},
          {"undo", "G [R]"},
          {"undo", "[R] G"}}},
        {"duplicate",
         "RGB",
         {{"select 1", "R [G] B"},
          {"time 250", "R [G@250] B"},
          {"draw k", "R [Gk@250] B"},
          {"dup", "R Gk@250 [Gk@250] B"},
          {"undo", "R [Gk@250] B"},
          {"undo", "R [G@250] B"},
          {"redo", "R [Gk@250] B"},
          {"redo", "R Gk@250 [Gk@250] B"},
          {"draw b", "R Gk@250 [Gb@250] B"},
          {"select 1", "R [Gk@250] Gb@250 B"},
          {"draw r", "R [Gr@250] Gb@250 B"},
          {"undo", "R [Gk@250] Gb@250 B"},
          {"undo", "R [Gk@250] B"},
          {"undo", "R [G@250] B"}}},
    };
    for (const TScript& s : scripts)
        Play(s);
}

// Removed frames come back newest first, each at its place with its display time and its history;
// Undelete is itself a step, and undoing a removal takes its frame off the stack.
TEST_F(HistoryTest, UndeletePutsTheNewestRemovedFrameBackAtItsPlace) {
    const TScript scripts[] = {
        {"order and position",
         "RGBK",
         {{"select 1", "R [G] B K"},
          {"time 400", "R [G@400] B K"},
          {"remove", "R [B] K"},
          {"select 0", "[R] B K"},
          {"remove", "[B] K"},
          {"undelete", "[R] B K"},
          {"undelete", "R [G@400] B K"},
          {"undelete", "R [G@400] B K"}}},
        {"undelete is a step",
         "RGB",
         {{"select 2", "R G [B]"},
          {"remove", "R [G]"},
          {"undelete", "R G [B]"},
          {"undo", "R [G]"},
          {"undelete", "R G [B]"},
          {"undo", "R [G]"},
          {"undo", "R G [B]"},
          {"undelete", "R G [B]"}}},
        {"the frame's own history comes back",
         "RG",
         {{"select 1", "R [G]"},
          {"draw k", "R [Gk]"},
          {"draw b", "R [Gb]"},
          {"undo", "R [Gk]"},
          {"remove", "[R]"},
          {"undelete", "R [Gk]"},
          {"redo", "R [Gb]"},
          {"undo", "R [Gk]"},
          {"undo", "[R]"},
          {"undo", "R [Gk]"},
          {"undo", "R [G]"}}},
    };
    for (const TScript& s : scripts)
        Play(s);
    // After the last script: nothing waits; an undone removal left nothing on the stack.
    EXPECT_EQ(doc.UndeleteDepth(), 0);
    EXPECT_FALSE(doc.UndeleteEnabled());
}

TEST_F(HistoryTest, UndeleteStackLivesUntilANewDocument) {
    Start("RGB");
    Run("remove");
    EXPECT_TRUE(doc.UndeleteEnabled());
    EXPECT_EQ(doc.UndeleteDepth(), 1);
    // Saving keeps it (and clears the steps): Undelete then makes the document modified again.
    ASSERT_EQ(doc.SaveDocumentTo(scratch.Dir + "saved.gif"), TSaveResult::Saved);
    EXPECT_FALSE(doc.UndoEnabled());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.Undelete());
    EXPECT_EQ(State(), "[R] G B");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Caption(), "Tindra - saved.gif *");
    EXPECT_FALSE(doc.Undelete());

    Run("remove");
    ASSERT_TRUE(doc.NewDocument(asker));
    EXPECT_FALSE(doc.UndeleteEnabled());
    Start("RG");
    Run("remove");
    ASSERT_EQ(doc.OpenFileDirect(scratch.Dir + "saved.gif", false), TOpenResult::Opened);
    EXPECT_FALSE(doc.UndeleteEnabled());
}

// Modified means there is something to undo since the save (or a change without history): undoing
// every step, of either kind, makes the document unmodified again and Redo makes it modified.
TEST_F(HistoryTest, TheModifiedMarkFollowsTheSteps) {
    const std::vector<std::vector<const char*>> sequences = {
        {"draw k"},
        {"remove"},
        {"insert W"},
        {"move 2"},
        {"time 300"},
        {"dup"},
        {"draw k", "move 1", "draw b"},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.front());
        Start("RGB");
        for (const char* command : sequence) {
            Run(command);
            EXPECT_TRUE(doc.IsModified());
            EXPECT_EQ(doc.Caption(), "Tindra - start.gif *");
            EXPECT_TRUE(doc.UndoEnabled());
        }
        const std::string done = State();
        for (size_t k = 0; k < sequence.size(); ++k)
            EXPECT_TRUE(doc.Undo());
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(doc.Caption(), "Tindra - start.gif");
        EXPECT_EQ(State(), "[R] G B");
        EXPECT_FALSE(doc.UndoEnabled());
        EXPECT_FALSE(doc.Undo());
        EXPECT_TRUE(doc.RedoEnabled());
        for (size_t k = 0; k < sequence.size(); ++k)
            EXPECT_TRUE(doc.Redo());
        EXPECT_FALSE(doc.Redo());
        EXPECT_EQ(State(), done);
        EXPECT_EQ(doc.Caption(), "Tindra - start.gif *");
        // A save ends both histories.
        ASSERT_EQ(doc.SaveDocumentTo(scratch.Dir + "start.gif"), TSaveResult::Saved);
        EXPECT_FALSE(doc.UndoEnabled());
        EXPECT_FALSE(doc.RedoEnabled());
    }
}

// An edit dropped without being kept gives the frame its redo steps back.
TEST_F(HistoryTest, ADroppedEditKeepsWhatCouldBeRedone) {
    Start("R");
    Run("draw k");
    Run("undo");
    { TIconDocument::TEdit dropped = doc.BeginEdit(); }
    EXPECT_TRUE(doc.RedoEnabled());
    EXPECT_TRUE(doc.Redo());
    EXPECT_EQ(State(), "[Rk]");
}

// Many frames: a step keeps one frame, never a copy of every frame (the history of 4096 frames stays
// as small as the steps made).
TEST_F(HistoryTest, FrameStepsDoNotCopyTheOtherFrames) {
    Start("RGB");
    for (int k = 0; k < 20; ++k)
        Run("dup");
    for (int k = 0; k < 20; ++k)
        Run("remove");
    EXPECT_EQ(doc.UndeleteDepth(), 20);
    for (int i = 0; i < doc.FrameCount(); ++i)
        EXPECT_EQ(doc.UndoDepth(i), 0);
    for (int k = 0; k < 40; ++k)
        EXPECT_TRUE(doc.Undo());
    EXPECT_EQ(State(), "[R] G B");
    EXPECT_EQ(doc.UndeleteDepth(), 0);
}

// Merge repeated frames: a run of equal frames becomes its first frame showing for the run's time, the
// current frame follows its picture, and one Undo or Redo takes back or does again the whole merge
// (Undo makes the frame current again that was current before it).
TEST_F(HistoryTest, MergeRepeatedFramesIsOneCommand) {
    const TScript scripts[] = {
        {"runs of equal frames",
         "RRGGGR",
         {{"merge", "[R@200] G@300 R"},
          {"undo", "[R] R G G G R"},
          {"redo", "R@200 G@300 [R]"},
          {"undo", "[R] R G G G R"},
          {"undo", "[R] R G G G R"}}},
        {"the current frame follows its picture, times add up",
         "RGGB",
         {{"select 2", "R G [G] B"},
          {"time 50", "R G [G@50] B"},
          {"merge", "R [G@150] B"},
          {"undo", "R G [G@50] B"},
          {"undo", "R G [G] B"}}},
        {"a stroke makes frames differ; nothing to merge records nothing",
         "RRG",
         {{"select 1", "R [R] G"},
          {"draw k", "R [Rk] G"},
          {"merge", "R [Rk] G"},
          {"undo", "R [R] G"},
          {"merge", "[R@200] G"}}},
        {"a sum above the longest display time is not merged",
         "RR",
         {{"time 300000", "[R@300000] R"},
          {"merge", "[R@300000] R"},
          {"undo", "[R] R"}}},
    };
    for (const TScript& s : scripts)
        Play(s);
}

// Reverse frames and the display time of every frame are one command each for Undo and Redo.
TEST_F(HistoryTest, ReverseAndAllDisplayTimesAreOneCommandEach) {
    const TScript scripts[] = {
        {"reverse",
         "RGBK",
         {{"select 1", "R [G] B K"},
          {"reverse", "K B [G] R"},
          {"undo", "R [G] B K"},
          {"redo", "K B [G] R"},
          {"reverse", "R [G] B K"}}},
        {"all display times",
         "RGB",
         {{"select 2", "R G [B]"},
          {"time 50", "R G [B@50]"},
          {"alltimes 250", "R@250 G@250 [B@250]"},
          {"undo", "R G [B@50]"},
          {"redo", "R@250 G@250 [B@250]"},
          {"select 0", "[R@250] G@250 B@250"},
          {"alltimes 5", "[R@250] G@250 B@250"},
          {"undo", "R G [B@50]"}}},
    };
    for (const TScript& s : scripts)
        Play(s);
}
