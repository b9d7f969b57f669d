#include "SettingsStore.h"

#include "CanvasView.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace tindra {
namespace {

const char* const LeftName = "LeftPosition";
const char* const TopName = "TopPosition";
const char* const WidthName = "WindowWidth";
const char* const HeightName = "WindowHeight";
const char* const LanguageName = "Language";
const char* const PathName = "Path";
const char* const ZoomName = "Zoom";
const char* const RecentSection = "MRU";

} // namespace

TSettingsStore::TSettingsStore() : Settings(std::make_unique<QSettings>("Marrowby", "Tindra")) {}

TSettingsStore::TSettingsStore(const QString& iniFile)
    : Settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

TSettingsStore::~TSettingsStore() = default;

bool TSettingsStore::IsUsable() const {
    return Settings->status() == QSettings::NoError;
}

QString TSettingsStore::Key(const QString& section, const QString& name) const {
    if (section.isEmpty() || section == QLatin1String(RootSection)) return name;
    return section + QLatin1Char('/') + name;
}

QString TSettingsStore::ReadString(const QString& section, const QString& name,
                                   const QString& defaultValue) const {
    const QVariant value = Settings->value(Key(section, name));
    if (!value.isValid()) return defaultValue;
    return value.toString();
}

int TSettingsStore::ReadInteger(const QString& section, const QString& name, int defaultValue) const {
    const QString text = ReadString(section, name, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void TSettingsStore::WriteString(const QString& section, const QString& name, const QString& value) {
    Settings->setValue(Key(section, name), value);
}

void TSettingsStore::WriteInteger(const QString& section, const QString& name, int value) {
    WriteString(section, name, QString::number(value));
}

void TSettingsStore::EraseSection(const QString& section) {
    Settings->remove(section);
}

void TSettingsStore::Flush() {
    Settings->sync();
}

TWindowSettings TSettingsStore::DefaultWindowSettings(QSize screenSize, QSize currentSize) {
    TWindowSettings s;
    s.Left = screenSize.width() / 2 - currentSize.width() / 2;
    s.Top = screenSize.height() / 2 - currentSize.height() / 2;
    s.Width = DefaultWidth;
    s.Height = DefaultHeight;
    s.Language = 0;
    return s;
}

TWindowSettings TSettingsStore::ReadWindowSettings(QSize screenSize, QSize currentSize) const {
    const TWindowSettings defaults = DefaultWindowSettings(screenSize, currentSize);
    if (!IsUsable()) return defaults;
    const QString root = QLatin1String(RootSection);
    TWindowSettings s;
    s.Left = ReadInteger(root, LeftName, defaults.Left);
    s.Top = ReadInteger(root, TopName, defaults.Top);
    s.Width = ReadInteger(root, WidthName, defaults.Width);
    s.Height = ReadInteger(root, HeightName, defaults.Height);
    s.Language = ReadInteger(root, LanguageName, 0) > 0 ? 1 : 0;
    const int zoom = ReadInteger(root, ZoomName, 0);
    s.Zoom = zoom < MinZoom ? 0 : std::min(zoom, MaxZoom);
    return s;
}

void TSettingsStore::WriteWindowSettings(const TWindowSettings& settings) {
    const QString root = QLatin1String(RootSection);
    WriteInteger(root, LeftName, settings.Left);
    WriteInteger(root, TopName, settings.Top);
    WriteInteger(root, WidthName, settings.Width);
    WriteInteger(root, HeightName, settings.Height);
    WriteInteger(root, LanguageName, settings.Language > 0 ? 1 : 0);
    WriteInteger(root, ZoomName, settings.Zoom);
    Flush();
}

bool TSettingsStore::LooksLikeFolderPath(const QString& path) {
    if (path.isEmpty() || path.size() > MaxPathLength || !QDir::isAbsolutePath(path)) return false;
    return std::none_of(path.begin(), path.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

bool TSettingsStore::LooksLikeFilePath(const QString& path) {
    return LooksLikeFolderPath(path) && !path.endsWith(QLatin1Char('/')) &&
           !path.endsWith(QLatin1Char('\\')) && !QFileInfo(path).fileName().isEmpty();
}

QString TSettingsStore::ReadPath(const QString& fallback) const {
    const QString path = ReadString(QLatin1String(RootSection), PathName, fallback);
    return LooksLikeFolderPath(path) ? path : fallback;
}

void TSettingsStore::WritePath(const QString& folder) {
    WriteString(QLatin1String(RootSection), PathName, folder);
    Flush();
}

QStringList TSettingsStore::ReadRecentFiles(int limit) const {
    QStringList files;
    for (int i = 0; i < limit; ++i) {
        const QString path = ReadString(RecentSection, QStringLiteral("H%1").arg(i), QString());
        if (path.isEmpty()) break;
        if (LooksLikeFilePath(path) && !files.contains(path)) files << path;
    }
    return files;
}

void TSettingsStore::WriteRecentFiles(const QStringList& files, int limit) {
    EraseSection(RecentSection);
    for (int i = 0; i < files.size() && i < limit; ++i)
        WriteString(RecentSection, QStringLiteral("H%1").arg(i), files[i]);
    Flush();
}

} // namespace tindra
