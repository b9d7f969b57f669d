// The main window with the settings store, the recent files and the language tables: first
// run, stored values, the language switch through the dialog, the hint line, shut-down.

#include "LanguageTables.h"
#include "Messages.h"
#include "RecentFiles.h"
#include "SettingsStore.h"
#include "TindraAboutForm.h"
#include "TindraLangForm.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tindra;

namespace {

// Every text that ApplyLanguage sets, by row: caption and hint as the window shows them.
QStringList WindowTexts(TTindraMainForm& form) {
    QStringList texts;
    for (const TControlText& row : MainWindowTexts()) {
        if (QString(row.Name) == "MRU") continue; // the entries' hint, below
        QObject* object = form.findChild<QObject*>(row.Name);
        if (auto* menu = qobject_cast<QMenu*>(object)) object = menu->menuAction();
        if (auto* action = qobject_cast<QAction*>(object))
            texts << action->text() << action->statusTip();
        else if (auto* widget = qobject_cast<QWidget*>(object))
            texts << widget->statusTip() << widget->toolTip();
        else
            texts << QString("<%1 missing>").arg(row.Name);
    }
    texts << form.MRU.Hint();
    return texts;
}

// Answers the next language dialog with the given button.
void AnswerLanguageDialog(TTindraMainForm& form, const char* button) {
    QTimer::singleShot(0, &form, [&form, button] {
        form.findChild<TTindraLangForm*>()->findChild<QToolButton*>(button)->click();
    });
}

// Collects error boxes instead of showing them.
class TQuietForm : public TTindraMainForm {
  public:
    QStringList Errors;

  protected:
    void ShowErrorMessage(const QString& text) override { Errors << text; }
};

} // namespace

class MainFormLangTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Store;

    std::unique_ptr<TTindraMainForm> MakeForm() {
        auto form = std::make_unique<TTindraMainForm>();
        form->SetControlImagePath(TINDRA_IMAGES_IML);
        form->SetMessageSink([](const QString&) {});
        form->CreateDialogs();
        return form;
    }
    void WriteRaw(const QString& key, const QString& value) {
        QSettings raw("Marrowby", "Tindra");
        raw.setValue(key, value);
    }

  private slots:
    void init();
    void firstRunWithEmptyStore();
    void storedValuesAtStartUp_data();
    void storedValuesAtStartUp();
    void languageSwitchRoundTrip();
    void aboutFollowsLanguageSwitch();
    void everyHintReachesHintLine();
    void recentFilesMenu();
    void shutDownWritesSettings();
    void fileDialogsStartInStoredFolder();
    void commandLineFileJoinsRecentFiles();
};

void MainFormLangTest::init() {
    Store = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Store->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Store->path());
}

void MainFormLangTest::firstRunWithEmptyStore() {
    auto form = MakeForm();
    form->FormActivate();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // The design size, or what the texts in the installed font need beyond it.
    const QSize least = QSize(511, 531).expandedTo(form->minimumSize());
    QCOMPARE(form->size(), least);
    QCOMPARE(form->LanguageIndex, 0);
    QCOMPARE(Find<QMenu>(form, "MnFile")->title(), QString("  &Soubor  "));
    QCOMPARE(Find<QAction>(form, "MnViewGrid")->statusTip(),
             QString::fromUtf8("x = Zobrazit pixelovou mřížku"));
    QVERIFY(!Find<QMenu>(form, "MnFileOpenMru")->menuAction()->isEnabled());
    // Centred with the size the window had before the stored size applies (its design size).
    QCOMPARE(form->pos(), QPoint(screen.width() / 2 - least.width() / 2, screen.height() / 2 - least.height() / 2));
}

void MainFormLangTest::storedValuesAtStartUp_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedLanguage");
    QTest::newRow("abc width") << "abc"
                               << "0" << 511 << 0;
    QTest::newRow("stored width, english") << "640"
                                           << "1" << 640 << 1;
    QTest::newRow("below minimum") << "300"
                                   << "7" << 511 << 1;
}

void MainFormLangTest::storedValuesAtStartUp() {
    QFETCH(QString, width);
    QFETCH(QString, language);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedLanguage);
    WriteRaw("WindowWidth", width);
    WriteRaw("Language", language);
    WriteRaw("MRU/H0", "/icons/star.gif");
    auto form = MakeForm();
    form->FormActivate();
    QCOMPARE(form->width(), std::max(expectedWidth, form->minimumWidth()));
    QCOMPARE(form->LanguageIndex, expectedLanguage);
    QCOMPARE(Find<QMenu>(form, "MnFile")->title(),
             expectedLanguage ? QString("  &File  ") : QString("  &Soubor  "));
    QVERIFY(Find<QMenu>(form, "MnFileOpenMru")->menuAction()->isEnabled());
    QCOMPARE(form->MRU.Entries(), QStringList{"/icons/star.gif"});
}

void MainFormLangTest::languageSwitchRoundTrip() {
    auto form = MakeForm();
    form->FormActivate();
    const QStringList czech = WindowTexts(*form);
    for (const QString& text : czech)
        QVERIFY2(!text.endsWith("missing>"), qPrintable(text));

    AnswerLanguageDialog(*form, "ButtonEnglish");
    form->MnFileSetupClick();
    QCOMPARE(form->LanguageIndex, 1);
    const QStringList english = WindowTexts(*form);
    QVERIFY(english != czech);
    QCOMPARE(Find<QAction>(form, "MnViewGrid")->statusTip(), QString("x = Show pixel grid"));
    QCOMPARE(Find<QToolButton>(form, "TBViewGrid")->statusTip(), QString("Show/hide pixel grid"));

    AnswerLanguageDialog(*form, "ButtonCzech");
    form->MnFileSetupClick();
    QCOMPARE(form->LanguageIndex, 0);
    QCOMPARE(WindowTexts(*form), czech);

    AnswerLanguageDialog(*form, "ButtonEnglish");
    form->MnFileSetupClick();
    QCOMPARE(WindowTexts(*form), english);

    // Closing the dialog with its close box gives Czech.
    QTimer::singleShot(0, form.get(), [&] { form->findChild<TTindraLangForm*>()->close(); });
    form->MnFileSetupClick();
    QCOMPARE(form->LanguageIndex, 0);
    QCOMPARE(WindowTexts(*form), czech);
}

void MainFormLangTest::aboutFollowsLanguageSwitch() {
    auto form = MakeForm();
    form->FormActivate();
    auto* about = form->findChild<TTindraAboutForm*>();
    auto openAbout = [&] {
        QTimer::singleShot(0, form.get(), [&] { about->ButtonOK->click(); });
        form->MnHelpAboutClick();
    };
    openAbout();
    QCOMPARE(about->windowTitle(), QString("Tindra - o programu"));
    QVERIFY(about->LabelVersion->text().startsWith("Verze "));

    AnswerLanguageDialog(*form, "ButtonEnglish");
    form->MnFileSetupClick();
    openAbout();
    QCOMPARE(about->windowTitle(), QString("Tindra - about"));
    QVERIFY(about->LabelVersion->text().startsWith("Version "));
    QCOMPARE(about->LabelGalleryLink->toolTip(), QString::fromStdString(MakerLink(LanguageEnglish)));
}

// The hint of every row, shown the way the toolkit shows it (hovering a menu item or a
// control), arrives in the hint line, in both languages.
void MainFormLangTest::everyHintReachesHintLine() {
    auto form = MakeForm();
    form->show();
    form->FormActivate();
    form->MRU.Add("/icons/star.gif");
    QLabel* hintLine = Find<QLabel>(form, "SBHintInfo");
    for (int language : {LanguageEnglish, LanguageCzech}) {
        form->LanguageIndex = language;
        form->ApplyLanguage();
        for (const TControlText& row : MainWindowTexts()) {
            const QString hint = QString::fromUtf8(row.Hint[language]);
            hintLine->clear();
            QObject* object = form->findChild<QObject*>(row.Name);
            if (QString(row.Name) == "MRU") object = form->MRU.EntryActions().first();
            if (auto* menu = qobject_cast<QMenu*>(object)) object = menu->menuAction();
            if (auto* action = qobject_cast<QAction*>(object)) {
                action->showStatusText(form->menuBar());
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                QEvent enter(QEvent::Enter);
                QCoreApplication::sendEvent(widget, &enter);
            } else {
                QFAIL(row.Name);
            }
            QVERIFY2(hintLine->text() == hint, row.Name);
        }
    }
}

void MainFormLangTest::recentFilesMenu() {
    auto form = MakeForm();
    form->FormActivate();
    // The document reports each file opened with the add flag.
    IDocumentObserver& observer = *form;
    for (int i = 1; i <= 6; ++i)
        observer.AddRecentFile(QString("/icons/f%1.gif").arg(i).toStdString());
    QCOMPARE(form->MRU.Count(), 5);
    QMenu* recent = Find<QMenu>(form, "MnFileOpenMru");
    QAction* separator = Find<QAction>(form, "MnMRUSep");
    QVERIFY(recent->menuAction()->isEnabled());
    const QList<QAction*> items = recent->actions();
    QCOMPARE(items[0]->text(), QString("&1 f6.gif"));
    QCOMPARE(items[4]->text(), QString("&5 f2.gif"));
    QCOMPARE(items[5], separator);

    QAction* showPath = Find<QAction>(form, "MnMRUShowPath");
    showPath->trigger();
    QVERIFY(showPath->isChecked());
    QCOMPARE(recent->actions()[0]->text(), QString("&1 /icons/f6.gif"));

    Find<QAction>(form, "MnMRUClear")->trigger();
    QCOMPARE(form->MRU.Count(), 0);
    QVERIFY(!recent->menuAction()->isEnabled());
    QCOMPARE(recent->actions().first(), separator);
}

void MainFormLangTest::shutDownWritesSettings() {
    {
        auto form = MakeForm();
        form->show();
        form->FormActivate();
        form->AddRecentFile(QString("/icons/a.gif"));
        form->AddRecentFile(QString("/icons/b.gif"));
        AnswerLanguageDialog(*form, "ButtonEnglish");
        form->MnFileSetupClick();
        form->resize(600, 560);
        form->close();
    }
    QSettings raw("Marrowby", "Tindra");
    QCOMPARE(raw.value("Language").toString(), QString("1"));
    QCOMPARE(raw.value("WindowWidth").toString(), QString("600"));
    QCOMPARE(raw.value("WindowHeight").toString(), QString("560"));
    QCOMPARE(raw.value("MRU/H0").toString(), QString("/icons/b.gif"));
    QCOMPARE(raw.value("MRU/H1").toString(), QString("/icons/a.gif"));
    QVERIFY(!raw.contains("MRU/H2"));
}

// "Path": the program's folder until a file dialog's folder is used, then that folder, at once.
void MainFormLangTest::fileDialogsStartInStoredFolder() {
    auto form = MakeForm();
    QCOMPARE(form->DialogFolder(), QCoreApplication::applicationDirPath());
    form->FolderUsed("/home/user/icons");
    QCOMPARE(QSettings("Marrowby", "Tindra").value("Path").toString(), QString("/home/user/icons"));
    QCOMPARE(form->DialogFolder(), QString("/home/user/icons"));
}

// The file named on the command line opens at start, goes to the top of the recent files and
// its folder becomes "Path"; choosing an entry opens it again without reordering, and an entry
// whose file is gone stays where it is after the error.
void MainFormLangTest::commandLineFileJoinsRecentFiles() {
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString icon = QDir(Store->path()).filePath("cyan.bmp");
    QVERIFY(picture.save(icon, "BMP"));
    const QString gone = QDir(Store->path()).filePath("gone.gif");
    WriteRaw("MRU/H0", gone);

    TQuietForm form;
    form.SetControlImagePath(TINDRA_IMAGES_IML);
    form.CreateDialogs();
    form.SetCommandLineFile(icon);
    form.FormActivate();
    QVERIFY2(form.Errors.isEmpty(), qPrintable(form.Errors.join('\n')));
    QCOMPARE(form.MRU.Entries(), QStringList({icon, gone}));
    QVERIFY(Find<QMenu>(&form, "MnFileOpenMru")->menuAction()->isEnabled());
    QCOMPARE(QDir(form.DialogFolder()), QDir(Store->path()));

    form.MRU.EntryActions()[1]->trigger();
    QCOMPARE(form.Errors.size(), 1);
    QCOMPARE(form.Errors[0], QString::fromUtf8("Chyba při otevírání souboru."));
    form.MRU.EntryActions()[0]->trigger();
    QCOMPARE(form.Errors.size(), 1);
    QCOMPARE(form.MRU.Entries(), QStringList({icon, gone}));
}

QTEST_MAIN(MainFormLangTest)
#include "MainFormLangTest.moc"
