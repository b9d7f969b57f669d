#pragma once
// Captions and hints of the windows in both interface languages, compiled in.
//
// Each row names a control by its object name and gives its caption (nullptr where the
// language does not change the caption) and its hint, index 0 Czech and 1 English. The
// routines that apply a language walk these rows; the data itself carries no toolkit type.

#include <string>
#include <vector>

class QObject;
class QWidget;

namespace tindra {

struct TControlText {
    const char* Name = nullptr;
    const char* Caption[2] = {nullptr, nullptr};
    const char* Hint[2] = {nullptr, nullptr};
};

struct TDialogTexts {
    const char* Caption[2] = {nullptr, nullptr}; // window title
    std::vector<TControlText> Controls;
};

// The main window: 83 menu items (caption and hint) followed by 66 other controls
// (hint only). The row named "MRU" is the hint given to every recent-file entry.
const std::vector<TControlText>& MainWindowTexts();
constexpr int MainWindowMenuRows = 83;
constexpr int MainWindowRows = 149;

// Row of the main window's table by control name, or nullptr.
const TControlText* FindMainWindowText(const std::string& name);

// The about, rotation and move-frame dialogs. The about dialog's link labels carry their
// web address as their hint.
const TDialogTexts& AboutTexts();
const TDialogTexts& RotationTexts();
const TDialogTexts& MoveFrameTexts();
// The help window: its title only (the manual itself is a page per language).
const TDialogTexts& HelpTexts();

// Writes the rows for the language onto the descendants of `root` found by object name:
// menus and actions get their text and status tip, buttons, labels and group boxes their
// text or title, every control its status tip and tool-tip. Returns the names of the rows
// that no descendant carries.
std::vector<std::string> ApplyControlTexts(QObject* root, const std::vector<TControlText>& rows,
                                           int languageIndex);

// The same for a dialog, and its window title.
std::vector<std::string> ApplyDialogTexts(QWidget* dialog, const TDialogTexts& texts, int languageIndex);

// The routines for the three dialogs whose texts follow the language. The about dialog's
// version label gets `version` after its word ("Version 2.2.0.0").
void ApplyAboutLanguage(QWidget* aboutForm, int languageIndex, const std::string& version);
void ApplyRotationLanguage(QWidget* angleForm, int languageIndex);
void ApplyMoveFrameLanguage(QWidget* moveFrameForm, int languageIndex);

// The reduce-colours dialog: title, labels, the ditherers' names.
const TDialogTexts& ReduceTexts();
void ApplyReduceLanguage(QWidget* reduceForm, int languageIndex);

// The GIF attributes window: its title and the captions of its field list's columns.
const TDialogTexts& InfoTexts();
void ApplyInfoLanguage(QWidget* infoForm, int languageIndex);

} // namespace tindra
