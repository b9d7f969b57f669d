#include "RecentFiles.h"

#include "SettingsStore.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace tindra {

TRecentFiles::~TRecentFiles() {
    RemoveActions();
}

void TRecentFiles::AttachMenu(QMenu* menu, QAction* separator) {
    RemoveActions();
    Menu = menu;
    Separator = separator;
    Rebuild();
}

void TRecentFiles::SetOpenHandler(std::function<void(const QString&)> handler) {
    OpenHandler = std::move(handler);
}

void TRecentFiles::Load(const TSettingsStore& store) {
    Files = store.ReadRecentFiles(MaxEntries);
    Rebuild();
}

void TRecentFiles::Save(TSettingsStore& store) const {
    store.WriteRecentFiles(Files, MaxEntries);
}

bool TRecentFiles::Add(const QString& path) {
    if (path.trimmed().isEmpty()) return false;
    QString entry = path;
    for (int i = 0; i < Files.size(); ++i) {
        if (SamePath(Files[i], path)) {
            entry = Files.takeAt(i); // keeps the spelling of the first addition
            break;
        }
    }
    Files.prepend(entry);
    while (Files.size() > MaxEntries)
        Files.removeLast();
    Rebuild();
    return true;
}

void TRecentFiles::Clear() {
    Files.clear();
    Rebuild();
}

void TRecentFiles::SetShowFullPath(bool on) {
    FullPath = on;
    Rebuild();
}

void TRecentFiles::SetHint(const QString& hint) {
    EntryHint = hint;
    for (QAction* action : Actions) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
}

QString TRecentFiles::EntryCaption(int index, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

bool TRecentFiles::SamePath(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

void TRecentFiles::RemoveActions() {
    // The entries belong to the menu; once it is gone they are gone with it. An entry
    // may be removed while its own triggered signal runs, so it is deleted later.
    if (Menu) {
        for (QAction* action : Actions) {
            Menu->removeAction(action);
            action->deleteLater();
        }
    }
    Actions.clear();
}

void TRecentFiles::Rebuild() {
    RemoveActions();
    if (!Menu) return;
    for (int i = 0; i < Files.size(); ++i) {
        const QString& path = Files[i];
        const QString text = FullPath ? path : QFileInfo(path).fileName();
        auto* action = new QAction(EntryCaption(i, text), Menu);
        action->setObjectName(QStringLiteral("MRUEntry%1").arg(i));
        action->setStatusTip(EntryHint);
        action->setToolTip(EntryHint);
        QObject::connect(action, &QAction::triggered, [this, path] {
            if (OpenHandler) OpenHandler(path);
        });
        Menu->insertAction(Separator, action);
        Actions << action;
    }
}

} // namespace tindra
