#include "HelpFile.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

THelpFile::THelpFile(const QString& programPath) {
    const QFileInfo program(programPath);
    FilePath = QDir(program.absolutePath()).filePath(program.completeBaseName() + ".chm");
}

bool THelpFile::Open(int /*context*/, QString* error) const {
    if (!QFileInfo(FilePath).isFile()) {
        if (error)
            *error = QString("The help file %1 was not found.").arg(QDir::toNativeSeparators(FilePath));
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(FilePath))) {
        if (error)
            *error = QString("No program is set up to show the help file %1.")
                         .arg(QDir::toNativeSeparators(FilePath));
        return false;
    }
    return true;
}
