#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString TDataFiles::Find(const QString& programFolder, const QString& name) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QString(InstalledFolder) + "/" + name));
    if (QFileInfo(installed).isFile()) return installed;
    return beside;
}

QString TDataFiles::DocumentFolder(const QString& programFolder) {
    const QDir folder(programFolder);
    QString chosen = programFolder;
    if (!QFileInfo(folder.filePath("images.iml")).isFile() &&
        QFileInfo(QDir::cleanPath(folder.filePath(QString(InstalledFolder) + "/images.iml"))).isFile()) {
        chosen = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) chosen = QDir::homePath();
    }
    return QDir::toNativeSeparators(QDir(chosen).absolutePath() + "/");
}
