#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>

QString TDataFiles::Find(const QString& programFolder, const QString& name) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QString(InstalledFolder) + "/" + name));
    if (QFileInfo(installed).isFile()) return installed;
    return beside;
}
