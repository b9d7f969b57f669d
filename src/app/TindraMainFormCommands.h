#pragma once
// The main window's command table: one row per menu, menu item or control whose availability follows
// the document, in menu order. A row names the item (its Qt object name, which is also the key of its
// texts in LanguageTables.cpp), the menu it sits in, its shortcut, glyph and handler, the tool-bar or
// panel button that runs the same handler, and the rule that says when it is enabled.
//
// The window builds its menus from the rows and binds the buttons to them (TindraMainFormLayout.cpp);
// UpdateCommands applies every row's rule. Adding a command is a row here, its handler in the file of
// its menu (TindraMainFormFile.cpp, ...Edit.cpp, ...View.cpp, ...Image.cpp, ...Help.cpp) and its
// texts in LanguageTables.cpp.

#include <vector>

class TIconDocument;
class TTindraMainForm;

// What an enabled rule reads: the document and the few flags of the window itself.
struct TCommandState {
    const TIconDocument& Document;
    bool ClipboardHasPicture; // the clipboard offers a bitmap or a picture
    bool HasRecentFiles;      // the recent-files list has an entry
};
using TEnabledRule = bool (*)(const TCommandState&);

enum class TCommandKind {
    Menu,      // a menu of the menu bar, or a submenu of Parent
    Item,      // a menu item
    Check,     // a menu item with a check mark, unchecked at start
    Checked,   // a menu item with a check mark, checked at start
    Separator, // a line between items (named when the window needs to find it)
    Control    // no menu item: a control of the window (by name) whose enabled state follows a rule
};

struct TCommand {
    TCommandKind Kind;
    const char* Name;                   // object name, e.g. "MnFileNew"
    const char* Parent;                 // the menu it belongs to; nullptr for the menu bar's menus
    const char* Shortcut;               // key sequence text ("; " between several), or nullptr
    int Glyph;                          // index into the menu images, or -1
    void (TTindraMainForm::*Handler)(); // nullptr: none
    const char* Button;                 // the button that runs the same handler, or nullptr
    TEnabledRule Enabled;               // nullptr: always enabled, never changed
};

// Every row, in the order the menus show them.
const std::vector<TCommand>& MainFormCommands();

// Whether the row's control is enabled in this state (true for rows without a rule).
inline bool IsEnabled(const TCommand& command, const TCommandState& state) {
    return !command.Enabled || command.Enabled(state);
}
