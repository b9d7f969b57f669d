#include "DialogSetup.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace tindra {

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    window->move(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
}

void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height) {
    dialog->setObjectName(name);
    dialog->setWindowTitle("Tindra");
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(width, height);
    CentreOnScreen(dialog);
}

} // namespace tindra
