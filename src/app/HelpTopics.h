#pragma once
// The program's manual and where it opens. The manual is one HTML page per interface language,
// built into the program; each part of the window carries a help context number, and every
// number names a section of the manual. Help opens at the section of the part the user is at
// (1000, the window as a whole, when nothing more specific applies; 1100 the File menu).

#include <string>

namespace tindra {

enum THelpContext : int {
    HelpWindow = 1000,    // the window, its panels and status bar
    HelpFiles = 1100,     // the File menu: new, open, recent files
    HelpCanvas = 1200,    // the enlarged canvas
    HelpTools = 1300,     // the tool panel
    HelpColors = 1400,    // colours, palette and font panel
    HelpEditing = 1500,   // undo, clipboard, flips, rotation, border
    HelpFrames = 1600,    // frame list, frame commands, display time, preview
    HelpSaving = 1700,    // saving with or without the border
    HelpExports = 1800,   // exporting the current frame
    HelpConvert = 1900,   // batch conversion from the command line
    HelpShortcuts = 2000, // the table of keyboard shortcuts
};

// The contexts above in order; the manual has one section for each.
constexpr THelpContext HelpContexts[] = {HelpWindow,  HelpFiles,  HelpCanvas,  HelpTools,
                                         HelpColors,  HelpEditing, HelpFrames, HelpSaving,
                                         HelpExports, HelpConvert, HelpShortcuts};

// The section (anchor in the manual) of a context; the window's for an unknown one.
std::string HelpSection(int context);
// The manual in the interface language, as a resource path (":/help/...").
std::string HelpPage(int languageIndex);

} // namespace tindra
