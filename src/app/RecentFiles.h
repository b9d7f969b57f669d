#pragma once
// The list of recently opened files: full paths, newest first, at most five. Its entries
// appear at the top of a submenu ("&1 star.gif", ...), before a given separator; choosing
// one hands its full path to the open callback.

#include <QAction>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace tindra {

class TSettingsStore;

class TRecentFiles {
  public:
    static constexpr int MaxEntries = 5;

    TRecentFiles() = default;
    ~TRecentFiles();
    TRecentFiles(const TRecentFiles&) = delete;
    TRecentFiles& operator=(const TRecentFiles&) = delete;

    // The submenu that shows the entries, inserted before `separator` (appended when null).
    void AttachMenu(QMenu* menu, QAction* separator);
    // Called with the entry's full path when the user chooses an entry.
    void SetOpenHandler(std::function<void(const QString&)> handler);

    // Reads "H0".."H4" from the "MRU" subkey, stopping at the first missing or empty value.
    void Load(const TSettingsStore& store);
    // Empties the "MRU" subkey and writes the entries as "H0".."H<count - 1>".
    void Save(TSettingsStore& store) const;

    // Puts `path` at the top (moving it there when already listed) and drops the oldest
    // beyond five. A path that is empty or only spaces is ignored and false returned.
    bool Add(const QString& path);
    void Clear();

    // Entries show their full paths when on, the file names only when off (the start state).
    void SetShowFullPath(bool on);
    bool ShowFullPath() const { return FullPath; }

    // The hint of every entry (follows the interface language).
    void SetHint(const QString& hint);
    QString Hint() const { return EntryHint; }

    int Count() const { return static_cast<int>(Files.size()); }
    const QStringList& Entries() const { return Files; }
    const QList<QAction*>& EntryActions() const { return Actions; }

    // "&<index + 1> <text>"; an "&" inside the text is doubled so that it shows as itself.
    static QString EntryCaption(int index, const QString& text);
    // Paths compare without regard to letter case on Windows and exactly elsewhere.
    static bool SamePath(const QString& a, const QString& b);

  private:
    QStringList Files;
    bool FullPath = false;
    QString EntryHint;
    QPointer<QMenu> Menu;
    QPointer<QAction> Separator;
    QList<QAction*> Actions;
    std::function<void(const QString&)> OpenHandler;

    void Rebuild();
    void RemoveActions();
};

} // namespace tindra
