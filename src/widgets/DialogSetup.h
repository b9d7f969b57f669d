#pragma once
// Placement and shape of the program's dialogs.

class QDialog;
class QHBoxLayout;
class QPushButton;
class QString;
class QWidget;

namespace tindra {

// Places a window in the middle of the primary screen: left = screen width div 2 - own
// width div 2, top likewise with the heights.
void CentreOnScreen(QWidget* window);

// A dialog of fixed size with a title bar and a close box only, titled "Tindra" and
// centred on the screen; `name` becomes its object name.
void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height);

// The dialog's "O.K." (default, accepts) and Cancel (rejects) buttons, named OKButton and
// CancelButton, right-aligned in the returned row.
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel,
                         const QString& cancelCaption);

} // namespace tindra
