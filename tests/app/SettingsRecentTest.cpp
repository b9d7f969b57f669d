// The settings store (text values, defaults for missing or malformed ones) and the list of
// recent files with its submenu.

#include "RecentFiles.h"
#include "SettingsStore.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tindra;

class SettingsRecentTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString IniFile() const { return Dir.filePath("tindra.ini"); }

  private slots:
    void init();
    void emptyStoreGivesCentredDefaults();
    void malformedValuesGiveDefaults_data();
    void malformedValuesGiveDefaults();
    void placementRoundTrip();
    void unreadableStoreGivesDefaults();
    void pathFallsBackToProgramFolder();
    void recentListReadStopsAtGap();
    void storedPathsMustLookLikePaths();
    void recentListSaveReplacesOld();
    void sixOpensKeepFiveNewest();
    void reopenMovesToTop();
    void blankPathsIgnored();
    void menuEntriesFollowList();
    void chosenEntryOpensFullPath();
    void clearEmptiesMenu();
};

void SettingsRecentTest::init() {
    QFile::remove(IniFile());
}

void SettingsRecentTest::emptyStoreGivesCentredDefaults() {
    TSettingsStore store(IniFile());
    const TWindowSettings s = store.ReadWindowSettings(QSize(1025, 769), QSize(511, 531));
    QCOMPARE(s.Left, 512 - 255);
    QCOMPARE(s.Top, 384 - 265);
    QCOMPARE(s.Width, 511);
    QCOMPARE(s.Height, 531);
    QCOMPARE(s.Language, 0);
    // The centring uses the window's size before the stored size is applied.
    const TWindowSettings small = store.ReadWindowSettings(QSize(800, 600), QSize(300, 200));
    QCOMPARE(small.Left, 400 - 150);
    QCOMPARE(small.Top, 300 - 100);
}

void SettingsRecentTest::malformedValuesGiveDefaults_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("width abc") << "WindowWidth"
                               << "abc" << 511;
    QTest::newRow("height empty") << "WindowHeight"
                                  << "" << 531;
    QTest::newRow("height fraction") << "WindowHeight"
                                     << "600.5" << 531;
    QTest::newRow("width number") << "WindowWidth"
                                  << "640" << 640;
    QTest::newRow("left negative") << "LeftPosition"
                                   << "-20" << -20;
    QTest::newRow("language 2") << "Language"
                                << "2" << 1;
    QTest::newRow("language -1") << "Language"
                                 << "-1" << 0;
    QTest::newRow("language text") << "Language"
                                   << "English" << 0;
    // The canvas zoom: 1 to 40, anything above is 40, 0 or less or no number is the fit rule (0).
    QTest::newRow("zoom 17") << "Zoom"
                             << "17" << 17;
    QTest::newRow("zoom above the range") << "Zoom"
                                          << "99" << 40;
    QTest::newRow("zoom fit") << "Zoom"
                              << "0" << 0;
    QTest::newRow("zoom negative") << "Zoom"
                                   << "-3" << 0;
    QTest::newRow("zoom text") << "Zoom"
                               << "x8" << 0;
}

void SettingsRecentTest::malformedValuesGiveDefaults() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, expected);
    {
        QSettings raw(IniFile(), QSettings::IniFormat);
        raw.setValue(name, text);
    }
    TSettingsStore store(IniFile());
    const TWindowSettings s = store.ReadWindowSettings(QSize(1024, 768), QSize(511, 531));
    const int actual = name == "WindowWidth"    ? s.Width
                       : name == "WindowHeight" ? s.Height
                       : name == "LeftPosition" ? s.Left
                       : name == "Zoom"         ? s.Zoom
                                                : s.Language;
    QCOMPARE(actual, expected);
}

void SettingsRecentTest::placementRoundTrip() {
    {
        TSettingsStore store(IniFile());
        store.WriteWindowSettings({-7, 12, 700, 650, 1});
    }
    QSettings raw(IniFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("LeftPosition").toString(), QString("-7")); // integers kept as text
    QCOMPARE(raw.value("Language").toString(), QString("1"));
    TSettingsStore store(IniFile());
    const TWindowSettings s = store.ReadWindowSettings(QSize(1024, 768), QSize(511, 531));
    QCOMPARE(s.Left, -7);
    QCOMPARE(s.Top, 12);
    QCOMPARE(s.Width, 700);
    QCOMPARE(s.Height, 650);
    QCOMPARE(s.Language, 1);
}

void SettingsRecentTest::unreadableStoreGivesDefaults() {
    {
        QFile file(IniFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nWindowWidth=700\nLanguage=1\n[broken\n\x01\x02 = =\n");
    }
    TSettingsStore store(IniFile());
    if (store.IsUsable()) QSKIP("this Qt reads the damaged file without complaint");
    const TWindowSettings s = store.ReadWindowSettings(QSize(1024, 768), QSize(511, 531));
    QCOMPARE(s.Width, 511);
    QCOMPARE(s.Language, 0);
}

void SettingsRecentTest::pathFallsBackToProgramFolder() {
    TSettingsStore store(IniFile());
    QCOMPARE(store.ReadPath("/opt/tindra"), QString("/opt/tindra"));
    store.WritePath("/home/user/icons");
    QCOMPARE(TSettingsStore(IniFile()).ReadPath("/opt/tindra"), QString("/home/user/icons"));
}

void SettingsRecentTest::recentListReadStopsAtGap() {
    {
        QSettings raw(IniFile(), QSettings::IniFormat);
        raw.setValue("MRU/H0", "/a.gif");
        raw.setValue("MRU/H1", "/b.gif");
        raw.setValue("MRU/H2", "");
        raw.setValue("MRU/H3", "/d.gif");
    }
    TRecentFiles list;
    list.Load(TSettingsStore(IniFile()));
    QCOMPARE(list.Entries(), QStringList({"/a.gif", "/b.gif"}));
}

// Values no program of ours wrote (another version, a hand-edited file, a damaged store) are not
// offered: recent files and the dialog folder must be absolute paths of sane length without control
// characters, and a recent file must name a file; repeats are listed once.
void SettingsRecentTest::storedPathsMustLookLikePaths() {
    const QString tooLong = "/" + QString(TSettingsStore::MaxPathLength, QLatin1Char('a')) + ".gif";
    const QStringList stored = {"/icons/a.gif",
                                "relative/b.gif",
                                tooLong,
                                "/icons/line\nbreak.gif",
                                QString("/icons/nul") + QChar(0) + ".gif",
                                "/icons/folder/",
                                "/icons/a.gif",
                                "/icons/c.gif"};
    {
        QSettings raw(IniFile(), QSettings::IniFormat);
        for (int i = 0; i < stored.size(); ++i)
            raw.setValue(QString("MRU/H%1").arg(i), stored[i]);
    }
    TSettingsStore store(IniFile());
    // Only H0..H4 are read; of those only the first is sane.
    QCOMPARE(store.ReadRecentFiles(TRecentFiles::MaxEntries), QStringList({"/icons/a.gif"}));
    QCOMPARE(store.ReadRecentFiles(8), QStringList({"/icons/a.gif", "/icons/c.gif"}));
    QVERIFY(
        TSettingsStore::LooksLikeFilePath("/" + QString(TSettingsStore::MaxPathLength - 5, 'a') + ".gif"));

    for (const QString& folder : {QString("icons"), tooLong, QString("/ic\tons")}) {
        store.WritePath(folder);
        QCOMPARE(store.ReadPath("/opt/tindra"), QString("/opt/tindra"));
    }
}

void SettingsRecentTest::recentListSaveReplacesOld() {
    {
        QSettings raw(IniFile(), QSettings::IniFormat);
        for (int i = 0; i < 5; ++i)
            raw.setValue(QString("MRU/H%1").arg(i), QString("/old%1.gif").arg(i));
    }
    TSettingsStore store(IniFile());
    TRecentFiles list;
    list.Load(store);
    QCOMPARE(list.Count(), 5);
    list.Clear();
    list.Add("/new.gif");
    list.Save(store);
    QSettings raw(IniFile(), QSettings::IniFormat);
    raw.beginGroup("MRU");
    QCOMPARE(raw.childKeys(), QStringList({"H0"}));
    QCOMPARE(raw.value("H0").toString(), QString("/new.gif"));

    // After Clear list and a restart the list is empty.
    list.Clear();
    list.Save(store);
    TRecentFiles restarted;
    restarted.Load(TSettingsStore(IniFile()));
    QCOMPARE(restarted.Count(), 0);
}

void SettingsRecentTest::sixOpensKeepFiveNewest() {
    TRecentFiles list;
    for (int i = 1; i <= 6; ++i)
        QVERIFY(list.Add(QString("/icons/f%1.gif").arg(i)));
    QCOMPARE(list.Entries(), QStringList({"/icons/f6.gif", "/icons/f5.gif", "/icons/f4.gif", "/icons/f3.gif",
                                          "/icons/f2.gif"}));
}

void SettingsRecentTest::reopenMovesToTop() {
    TRecentFiles list;
    list.Add("C:\\Icons\\A.gif");
    list.Add("/b.gif");
    list.Add("c:\\icons\\a.gif");
#ifdef Q_OS_WIN
    // One entry, at the top, spelled as first added.
    QCOMPARE(list.Entries(), QStringList({"C:\\Icons\\A.gif", "/b.gif"}));
#else
    // Paths differing in letter case are different files here.
    QCOMPARE(list.Entries(), QStringList({"c:\\icons\\a.gif", "/b.gif", "C:\\Icons\\A.gif"}));
#endif
    list.Add("/b.gif");
    QCOMPARE(list.Entries().first(), QString("/b.gif"));
    QCOMPARE(list.Entries().count("/b.gif"), 1);
}

void SettingsRecentTest::blankPathsIgnored() {
    TRecentFiles list;
    QVERIFY(!list.Add(""));
    QVERIFY(!list.Add("   "));
    QCOMPARE(list.Count(), 0);
}

void SettingsRecentTest::menuEntriesFollowList() {
    QMenu menu;
    QAction* separator = menu.addSeparator();
    QAction* clear = menu.addAction("&Clear list");
    TRecentFiles list;
    list.SetHint("Open selected file");
    list.AttachMenu(&menu, separator);
    list.Add("/icons/star.gif");
    list.Add("/icons/R&D.gif");
    QCOMPARE(menu.actions().size(), 4);
    QCOMPARE(menu.actions()[0]->text(), QString("&1 R&&D.gif"));
    QCOMPARE(menu.actions()[1]->text(), QString("&2 star.gif"));
    QCOMPARE(menu.actions()[2], separator);
    QCOMPARE(menu.actions()[3], clear);
    QCOMPARE(menu.actions()[1]->statusTip(), QString("Open selected file"));

    // Full paths, rebuilt from the list in memory (entries added in this run stay).
    list.SetShowFullPath(true);
    QCOMPARE(menu.actions()[1]->text(), QString("&2 /icons/star.gif"));
    list.SetShowFullPath(false);
    QCOMPARE(menu.actions()[1]->text(), QString("&2 star.gif"));

    list.SetHint(QString::fromUtf8("Otevření uvedeného souboru"));
    for (QAction* entry : list.EntryActions())
        QCOMPARE(entry->statusTip(), QString::fromUtf8("Otevření uvedeného souboru"));
}

void SettingsRecentTest::chosenEntryOpensFullPath() {
    QMenu menu;
    QAction* separator = menu.addSeparator();
    TRecentFiles list;
    list.AttachMenu(&menu, separator);
    QStringList opened;
    list.SetOpenHandler([&](const QString& path) {
        opened << path;
        list.Add(path); // rebuilding while the entry's own signal runs must be safe
    });
    list.Add("/icons/a.gif");
    list.Add("/icons/b.gif");
    list.EntryActions()[1]->trigger();
    QCOMPARE(opened, QStringList({"/icons/a.gif"}));
    QCOMPARE(list.Entries().first(), QString("/icons/a.gif"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(menu.actions().size(), 3);
}

void SettingsRecentTest::clearEmptiesMenu() {
    QMenu menu;
    QAction* separator = menu.addSeparator();
    TRecentFiles list;
    list.AttachMenu(&menu, separator);
    list.Add("/a.gif");
    list.Add("/b.gif");
    list.Clear();
    QCOMPARE(list.Count(), 0);
    QCOMPARE(menu.actions(), QList<QAction*>({separator}));
}

QTEST_MAIN(SettingsRecentTest)
#include "SettingsRecentTest.moc"
