// Program entry: the application, the main window and its dialogs, the event loop.

#include "TindraMainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tindra");
    QApplication::setApplicationDisplayName("Tindra");
    QApplication::setFont(TTindraMainForm::WindowFont());

    TTindraMainForm form;
    form.CreateDialogs();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) form.SetCommandLineFile(args.at(1));
    form.show();
    return app.exec();
}
