#pragma once
// Placement and shape of the program's dialogs.

class QDialog;
class QWidget;

namespace tindra {

// Places a window in the middle of the primary screen: left = screen width div 2 - own
// width div 2, top likewise with the heights.
void CentreOnScreen(QWidget* window);

// A dialog of fixed size with a title bar and a close box only, titled "Tindra" and
// centred on the screen; `name` becomes its object name.
void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height);

} // namespace tindra
