// Program entry: the application, the main window and its dialogs, the event loop.

#include "BatchConverter.h"
#include "QtSystemColors.h"
#include "QtTextRasterizer.h"
#include "Surface32.h"
#include "TindraMainForm.h"

#include <QApplication>
#include <QDir>

#include <iostream>

int main(int argc, char** argv) {
    // "--convert IN OUT ...": converts without any window, before the GUI application exists, on the
    // empty-frame templates of images.iml beside the program as the window uses them.
    if (TBatchConverter::Wanted(argc, argv)) {
        QCoreApplication core(argc, argv);
        TSurface32 templates[2];
        const bool found = TTindraMainForm::ReadEmptyTemplates(
            QDir(QCoreApplication::applicationDirPath()).filePath("images.iml"), templates);
        return TBatchConverter::Run(argc, argv, std::cerr, found ? templates : nullptr);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Tindra");
    QApplication::setFont(TTindraMainForm::WindowFont());
    // System colours and text drawing for the core, which has no toolkit of its own.
    TQtSystemColors::Install();
    TQtTextRasterizer::Install();

    TTindraMainForm form;
    form.CreateDialogs();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) form.SetCommandLineFile(args.at(1));
    form.show();
    return app.exec();
}
