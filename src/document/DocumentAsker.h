#pragma once
// The questions only the user can answer. The window implements them with its dialogs; tests and the
// batch converter answer them directly.

#include <string>

// Kinds of file a save dialog is asked for (each has its own filter and default name).
// FramePng is the current frame as PNG; SpriteSheet all frames side by side in one PNG, with a text file
// of their display times beside it.
enum class TFileKind { Document, FrameGif, FrameBmp, FrameIco, FramePng, SpriteSheet };

// The answers to "Save changes?": save first, go on without saving, or call off whatever asked.
enum class TSaveChangesAnswer { Yes, No, Cancel };

class IDocumentAsker {
  public:
    virtual ~IDocumentAsker() = default;

    // "Save changes?" with Yes, No and Cancel (Escape gives Cancel).
    virtual TSaveChangesAnswer AskSaveChanges() = 0;
    // The open dialog (the window picks its folder and filter); an empty text when cancelled.
    virtual std::string AskOpenFileName() = 0;
    // The save dialog with the filter of kind and the default name offered; empty when cancelled.
    virtual std::string AskSaveFileName(TFileKind kind, const std::string& defaultName) = 0;
    // Asked only when a file of that path exists: "File <name> already exists." / "Replace it?".
    virtual bool ConfirmOverwrite(const std::string& path) = 0;
};
