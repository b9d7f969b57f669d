#pragma once
// The per-user settings store: organisation "Marrowby", application "Tindra" (under
// Windows the registry key \Software\Marrowby\Tindra of the current user). Values are
// addressed by section and name; the section "#ROOT" stands for the key itself. Every
// value is kept as text, integers as their decimal digits.

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace tindra {

// Window placement, language and the canvas zoom as read at start-up.
struct TWindowSettings {
    int Left = 0;
    int Top = 0;
    int Width = 511;
    int Height = 531;
    int Language = 0; // LanguageIndex: 0 Czech, 1 English
    int Zoom = 0;     // the canvas zoom the user chose (1..40 device pixels per cell), 0 to fit the window
};

class TSettingsStore {
  public:
    static constexpr const char* RootSection = "#ROOT";
    static constexpr int DefaultWidth = 511;
    static constexpr int DefaultHeight = 531;

    // The store of the current user.
    TSettingsStore();
    // A store kept in the given INI file (tests, portable use).
    explicit TSettingsStore(const QString& iniFile);
    ~TSettingsStore();
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;

    // False when the store could not be read or written.
    bool IsUsable() const;

    QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;
    // The value's text converted to an integer; `defaultValue` when the value is missing
    // or its text is not a decimal integer.
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    void WriteString(const QString& section, const QString& name, const QString& value);
    void WriteInteger(const QString& section, const QString& name, int value);
    // Removes a subkey with all its values.
    void EraseSection(const QString& section);
    void Flush();

    // Placement, language and zoom for start-up. The defaults centre a window of `currentSize`
    // on a screen of `screenSize` (div truncating towards zero) and use 511 × 531, Czech and
    // the zoom that fits the window; when the store cannot be read all values take their
    // defaults. A stored zoom above 40 reads as 40; one below 1, or not a number, as 0 (fit).
    TWindowSettings ReadWindowSettings(QSize screenSize, QSize currentSize) const;
    void WriteWindowSettings(const TWindowSettings& settings);
    static TWindowSettings DefaultWindowSettings(QSize screenSize, QSize currentSize);

    // Stored paths are used only when they look like real ones: absolute, at most MaxPathLength
    // characters, without control characters (a line break, a NUL); a file path must also end in a
    // file name. Whether the file still exists is not asked: a recent file that is gone stays listed.
    static constexpr int MaxPathLength = 4096;
    static bool LooksLikeFolderPath(const QString& path);
    static bool LooksLikeFilePath(const QString& path);

    // "Path": the folder last used for files; `fallback` (the program's folder) when unset or when
    // the stored text does not look like a folder path.
    QString ReadPath(const QString& fallback) const;
    void WritePath(const QString& folder);

    // The recent files in the "MRU" subkey: "H0", "H1", ... read up to the first missing
    // or empty value, at most `limit`; values that do not look like file paths, and repeats, are
    // skipped. Writing empties the subkey first.
    QStringList ReadRecentFiles(int limit) const;
    void WriteRecentFiles(const QStringList& files, int limit);

  private:
    std::unique_ptr<QSettings> Settings;

    QString Key(const QString& section, const QString& name) const;
};

} // namespace tindra
