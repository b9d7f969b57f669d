#pragma once
// Placement, shape and size of the program's dialogs.
//
// The dialogs are laid out by Qt layouts and sized to their contents in the current font and
// language; the sizes they were designed with are their minimums. The user cannot resize them.

#include <QSize>

class QDialog;
class QHBoxLayout;
class QObject;
class QPushButton;
class QString;
class QWidget;

namespace tindra {

// Places a window in the middle of the primary screen: left = screen width div 2 - own
// width div 2, top likewise with the heights.
void CentreOnScreen(QWidget* window);

// The width a window needs for the window manager to show its whole title: the title in the
// bold window font and room for the window icon and the title-bar buttons.
int TitleRoom(const QWidget* window);

// A dialog with a title bar and a close box only, titled "Tindra" and centred on the screen;
// `name` becomes its object name. It is fitted (FitDialog) whenever it is shown, its title
// changes or its contents ask for another size, never smaller than width × height.
void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height);

// Sizes a dialog set up by SetUpFixedDialog to its layout's size in the current texts, at least
// its designed size and as wide as its title needs, and fixes it there. A dialog whose size
// changes keeps its centre, so a dialog centred on the screen stays centred.
void FitDialog(QDialog* dialog);

// Widens every message box the application shows (also Qt's own, such as those of the file
// dialog) so that its whole title fits in the title bar. Installed once; later calls do nothing.
void KeepMessageBoxTitlesWhole();

// The dialog's "O.K." (default, accepts) and Cancel (rejects) buttons, named OKButton and
// CancelButton, right-aligned in the returned row.
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel,
                         const QString& cancelCaption);

} // namespace tindra
