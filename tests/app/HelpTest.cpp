// Help: F1 opens the built-in manual in the interface language at the section of the part of the
// window under the mouse pointer; the manuals cover every section and every shortcut.

#include "HelpTopics.h"
#include "LanguageTables.h"
#include "Messages.h"
#include "TestForm.h"
#include "TindraHelpForm.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tindra;

namespace {


std::unique_ptr<TStoredSettingsForm> StartedWithIcon(int language) {
    auto form = std::make_unique<TStoredSettingsForm>(language, 700, 600);
    form->show();
    form->FormActivate();
    form->MnFileNewClick();
    QCoreApplication::processEvents();
    return form;
}

QString Manual(int language) {
    QFile file(QString::fromStdString(HelpPage(language)));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

// The text of the first line the help window shows at its top.
QString TopLine(TTindraHelpForm* help) {
    return help->Browser->cursorForPosition(QPoint(4, 4)).block().text();
}

void PointAt(QWidget* w) {
    QCursor::setPos(w->mapToGlobal(w->rect().center()));
}

} // namespace

class THelpTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void f1OverCanvasOpensCanvasSection_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("heading");
        QTest::newRow("Czech") << int(LanguageCzech) << QString::fromUtf8("Kreslicí plocha");
        QTest::newRow("English") << int(LanguageEnglish) << QString("The canvas");
    }

    void f1OverCanvasOpensCanvasSection() {
        QFETCH(int, language);
        QFETCH(QString, heading);
        auto form = StartedWithIcon(language);
        PointAt(Find<QWidget>(form, "PBMain"));
        form->activateWindow();
        QTest::keyClick(form.get(), Qt::Key_F1);
        QTRY_VERIFY(form->findChild<TTindraHelpForm*>() && form->findChild<TTindraHelpForm*>()->isVisible());
        auto* help = form->findChild<TTindraHelpForm*>();
        QCOMPARE(help->windowTitle(), QString::fromUtf8(HelpTexts().Caption[language]));
        QCOMPARE(help->Page().path(), QString::fromStdString(HelpPage(language)).mid(1));
        QCOMPARE(help->Anchor(), QString("canvas"));
        // The canvas section is what the window shows: scrolled down to its heading.
        QTRY_VERIFY(help->Browser->verticalScrollBar()->value() > 0);
        QTRY_COMPARE(TopLine(help), heading);
    }

    void sectionFollowsThePartUnderThePointer() {
        auto form = StartedWithIcon(LanguageEnglish);
        const struct {
            QWidget* Where;
            const char* Section;
        } cases[] = {
            {Find<QWidget>(form, "SBToolPen"), "tools"},    {Find<QWidget>(form, "PBMain"), "canvas"},
            {Find<QWidget>(form, "MainPanel"), "canvas"},   {Find<QWidget>(form, "LBImageBox"), "frames"},
            {Find<QWidget>(form, "SBPlay"), "frames"},      {Find<QWidget>(form, "GColorPalette"), "colors"},
            {Find<QWidget>(form, "TestPanel"), "colors"},   {Find<QWidget>(form, "TBHelp"), "window"},
            {Find<QWidget>(form, "SBPixelInfo"), "window"},
        };
        for (const auto& c : cases) {
            PointAt(c.Where);
            form->MnHelpThemesClick();
            auto* help = form->findChild<TTindraHelpForm*>();
            QCOMPARE(help->Anchor(), QString(c.Section));
            help->hide(); // it may lie over the main window
        }
        // An open File menu: its own section (context 1100).
        QMenu* file = Find<QMenu>(form, "MnFile");
        file->popup(form->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        PointAt(file);
        form->MnHelpThemesClick();
        QCOMPARE(form->findChild<TTindraHelpForm*>()->Anchor(), QString("files"));
        file->hide();
        // With the pointer outside the window the keyboard focus decides; nothing gives the window.
        QCursor::setPos(form->mapToGlobal(QPoint(-300, -300)));
        Find<QWidget>(form, "PBMain")->setFocus();
        QCOMPARE(form->HelpContextHere(), int(HelpCanvas));
    }

    void switchingLanguageTurnsTheOpenManual() {
        auto form = StartedWithIcon(LanguageCzech);
        PointAt(Find<QToolButton>(form, "SBToolPen"));
        form->MnHelpThemesClick();
        auto* help = form->findChild<TTindraHelpForm*>();
        QCOMPARE(help->Page().path(), QString("/help/tindra-cs.html"));
        form->LanguageIndex = LanguageEnglish;
        form->ApplyLanguage();
        QCOMPARE(help->Page().path(), QString("/help/tindra-en.html"));
        QCOMPARE(help->Anchor(), QString("tools"));
        QCOMPARE(help->windowTitle(), QString("Tindra - help"));
    }

    // Every context has its section in both manuals, and the shortcuts table lists every shortcut
    // of the window's commands.
    void manualsCoverSectionsAndShortcuts() {
        TStoredSettingsForm form(LanguageCzech);
        for (int language : {int(LanguageCzech), int(LanguageEnglish)}) {
            const QString manual = Manual(language);
            QVERIFY2(!manual.isEmpty(), HelpPage(language).c_str());
            for (THelpContext context : HelpContexts) {
                const QString anchor = QString("<a name=\"%1\"></a>").arg(QString::fromStdString(HelpSection(context)));
                QVERIFY2(manual.contains(anchor), qPrintable(anchor));
                QVERIFY2(manual.contains(QString("href=\"#%1\"").arg(QString::fromStdString(HelpSection(context)))),
                         qPrintable("contents entry for " + anchor));
            }
            const int table = manual.indexOf("<a name=\"shortcuts\"></a>");
            for (QAction* action : form.findChildren<QAction*>()) {
                if (action->shortcut().isEmpty()) continue;
                const QString keys = "<kbd>" + action->shortcut().toString(QKeySequence::PortableText) + "</kbd>";
                QVERIFY2(manual.indexOf(keys, table) > 0, qPrintable(action->objectName() + " " + keys));
            }
        }
    }
};

QTEST_MAIN(THelpTest)
#include "HelpTest.moc"
