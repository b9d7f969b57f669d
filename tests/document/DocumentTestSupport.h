#pragma once
// Scripted answers and a recording observer for driving TIconDocument in tests.

#include "IconDocument.h"

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

struct TScriptedAsker : IDocumentAsker {
    bool SaveChanges = false;       // Yes (true) or No to "Save changes?"
    bool CancelSaveChanges = false; // Cancel to "Save changes?", whatever SaveChanges says
    std::string OpenName;
    std::string SaveName; // empty: the save dialog is cancelled
    bool Overwrite = true;
    int SaveChangesAsked = 0, OverwriteAsked = 0;
    std::vector<std::string> OfferedNames;

    TSaveChangesAnswer AskSaveChanges() override {
        ++SaveChangesAsked;
        if (CancelSaveChanges) return TSaveChangesAnswer::Cancel;
        return SaveChanges ? TSaveChangesAnswer::Yes : TSaveChangesAnswer::No;
    }
    std::string AskOpenFileName() override { return OpenName; }
    std::string AskSaveFileName(TFileKind, const std::string& defaultName) override {
        OfferedNames.push_back(defaultName);
        return SaveName;
    }
    bool ConfirmOverwrite(const std::string&) override {
        ++OverwriteAsked;
        return Overwrite;
    }
};

// A frame of a test document: the empty frame with one rectangle filled (FillRect's corners), shown for
// Time ms.
struct TBlockFrame {
    int Left, Top, Right, Bottom;
    uint32_t Color;
    int Time;
};

// Makes doc a new document of those frames, the last one current.
inline void MakeBlockFrames(TIconDocument& doc, const std::vector<TBlockFrame>& frames) {
    TScriptedAsker asker;
    if (!doc.NewDocument(asker)) return;
    for (size_t i = 0; i < frames.size(); ++i) {
        const TBlockFrame& f = frames[i];
        TSurface32 p = doc.EmptyTemplate(1);
        p.FillRect(f.Left, f.Top, f.Right, f.Bottom, f.Color);
        if (i == 0) {
            doc.WorkBitmap().CopyFrom(p);
            doc.CommitFrame();
        } else {
            doc.InsertFrame(TInsertPosition::After, p, f.Time);
        }
        doc.SetDisplayTime(f.Time);
    }
}

struct TRecordingObserver : IDocumentObserver {
    std::string Caption, FrameInfo;
    int Rows = -1, SelectedRow = -1, DisplayTime = -1, Busy = 0, MaxBusy = 0, SaveFailures = 0,
        ColorChanges = 0;
    bool UndoEnabled = false;
    std::vector<std::string> Recent, Folders;
    // The frame list as a window would keep it: one entry per row, telling which frame (by the order
    // it came in) the row shows; and the notifications that make a window draw pictures.
    std::vector<int> RowFrames;
    int FramesSeen = 0, RowResets = 0, PictureChanges = 0, ListRepaints = 0;
    std::vector<int> ChangedPictures;

    void CaptionChanged(const std::string& c) override { Caption = c; }
    void FrameInfoChanged(const std::string& t) override { FrameInfo = t; }
    void FrameListChanged(int count) override {
        Rows = count;
        RowFrames.assign(static_cast<std::size_t>(count), -1);
        ++RowResets;
    }
    void FrameInserted(int index) override {
        RowFrames.insert(RowFrames.begin() + index, FramesSeen++);
        Rows = static_cast<int>(RowFrames.size());
    }
    void FrameRemoved(int index) override {
        RowFrames.erase(RowFrames.begin() + index);
        Rows = static_cast<int>(RowFrames.size());
    }
    void FrameMoved(int from, int to) override {
        const int frame = RowFrames[static_cast<std::size_t>(from)];
        RowFrames.erase(RowFrames.begin() + from);
        RowFrames.insert(RowFrames.begin() + to, frame);
    }
    void FramePictureChanged(int index) override {
        ++PictureChanges;
        ChangedPictures.push_back(index);
    }
    void FrameListRepaint() override { ++ListRepaints; }
    void FrameRowSelected(int index) override { SelectedRow = index; }
    void UndoEnabledChanged(bool on) override { UndoEnabled = on; }
    void DisplayTimeChanged(int ms) override { DisplayTime = ms; }
    void BeginBusy() override { MaxBusy = std::max(MaxBusy, ++Busy); }
    void EndBusy() override { --Busy; }
    void AddRecentFile(const std::string& p) override { Recent.push_back(p); }
    void FolderUsed(const std::string& f) override { Folders.push_back(f); }
    void SaveChangesFailed() override { ++SaveFailures; }
    void ColorsChanged() override { ++ColorChanges; }
};

// A fresh folder for one test's files.
inline std::string TestFolder(const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("tindra-doc-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

// A fresh folder removed again (with whatever a test made read-only in it) when the test ends.
struct TScratchFolder {
    std::string Dir;
    explicit TScratchFolder(const std::string& name) : Dir(TestFolder(name)) {}
    ~TScratchFolder() {
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(Dir, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(Dir, ec);
    }
};

// One edit of the current frame that changes a pixel (an edit that leaves the picture as it was is no
// step): it inverts the pixel at (0, 0).
inline void EditOnePixel(TIconDocument& doc) {
    TIconDocument::TEdit edit = doc.BeginEdit();
    TSurface32& picture = edit.Picture();
    picture.SetPixel(0, 0, picture.GetPixel(0, 0) ^ 0x00FFFFFFu);
    edit.Commit();
}

// A 40 × 40 opaque picture of one colour.
inline TSurface32 Solid(uint32_t color, int side = 40) {
    TSurface32 s(side, side);
    s.FillAll(color);
    return s;
}
