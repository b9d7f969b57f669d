// Program entry: the command line, then the application, the main window and its dialogs, the event loop.

#include "BatchConverter.h"
#include "CommandLine.h"
#include "DataFiles.h"
#include "QtSystemColors.h"
#include "QtTextRasterizer.h"
#include "Surface32.h"
#include "TindraMainForm.h"

#include <QApplication>
#include <QFile>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Help, version, usage errors and "--convert IN OUT ..." need no window and no display, so they are
    // settled before the GUI application exists.
    const TCommandLine line = TCommandLine::Parse(argc, argv);
    switch (line.Action) {
    case TCommandLine::TAction::ShowHelp:
        std::cout << TCommandLine::HelpText();
        return 0;
    case TCommandLine::TAction::ShowVersion:
        std::cout << TCommandLine::VersionText();
        return 0;
    case TCommandLine::TAction::UsageError:
        std::cerr << "tindra: " << line.Error << "\n" << TCommandLine::UsageHint();
        return 2;
    case TCommandLine::TAction::Convert: {
        // Converts on the empty-frame templates of images.iml, as the window uses them.
        QCoreApplication core(argc, argv);
        TSurface32 templates[2];
        const bool found = TTindraMainForm::ReadEmptyTemplates(
            TDataFiles::Find(QCoreApplication::applicationDirPath(), "images.iml"), templates);
        return TBatchConverter::Run(argc, argv, std::cerr, found ? templates : nullptr);
    }
    case TCommandLine::TAction::RunEditor:
        break;
    }

    // The toolkit sees only its own options, so a file name can never be taken for one of them.
    std::vector<char*> toolkitArgv;
    std::vector<std::string> toolkitArgs = line.ToolkitArgs;
    for (std::string& arg : toolkitArgs)
        toolkitArgv.push_back(arg.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(toolkitArgs.size());

    QApplication app(toolkitArgc, toolkitArgv.data());
    // The application's title. No separate display name: the toolkit would append it to every
    // window caption ("Tindra - star.gif — Tindra").
    QApplication::setApplicationName("Tindra");
    // Ties the windows to the installed menu entry (its icon and name on the task bar).
    QApplication::setDesktopFileName(TINDRA_DESKTOP_ID);
    QApplication::setFont(TTindraMainForm::WindowFont());
    // System colours and text drawing for the core, which has no toolkit of its own.
    TQtSystemColors::Install();
    TQtTextRasterizer::Install();

    TTindraMainForm form;
    form.CreateDialogs();
    if (!line.File.empty()) form.SetCommandLineFile(QFile::decodeName(line.File.c_str()));
    form.show();
    return app.exec();
}
