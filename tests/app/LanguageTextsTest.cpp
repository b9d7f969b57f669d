// The language tables and messages: contents that the rest of the program relies on, and
// applying a language to a tree of widgets and back.

#include "LanguageTables.h"
#include "Messages.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolButton>
#include <QtTest>

using namespace tindra;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

const QStringList CheckItems = {"MnMRUShowPath",   "MnFileSaveWithoutBorder", "MnViewGrid",
                                "MnViewThumbnail", "MnViewControlBar",        "MnViewToolBar",
                                "MnViewColorBar",  "MnImageAutoBorder",
                                "MnViewOnionSkin", "MnViewOnionSkinNext",     "MnViewTransparency",
                                "MnEffectsAllFrames", "MnFileModernIco", "MnFileOptimizeGif"};

const QStringList TopMenus = {"MnFile", "MnEdit", "MnView", "MnImage", "MnColors", "MnHelp"};

} // namespace

class LanguageTextsTest : public QObject {
    Q_OBJECT

  private slots:
    void messagesInBothLanguages_data();
    void messagesInBothLanguages();
    void unknownMessageKeyLeavesResult();
    void overwriteQuestionJoinsParts();
    void tableShape();
    void hintRules();
    void quotedRows_data();
    void quotedRows();
    void dialogTexts();
    void applyRoundTrip();
};

void LanguageTextsTest::messagesInBothLanguages_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("czech");
    QTest::newRow("0") << 0 << "Enter sample text:" << U("Zadej testovací text:");
    QTest::newRow("1") << 1 << "Error opening file." << U("Chyba při otevírání souboru.");
    QTest::newRow("2") << 2 << "This function is not implemented yet"
                       << U("Tato funkce není dosud implementována");
    QTest::newRow("3") << 3 << "File "
                       << "Soubor ";
    QTest::newRow("4") << 4 << " already exists." << U(" již existuje.");
    QTest::newRow("5") << 5 << "Replace it?" << U("Přepsat?");
    QTest::newRow("6") << 6 << "Save changes?" << U("Uložit změny?");
    QTest::newRow("7") << 7 << "Enter text:"
                       << "Zadej text:";
}

void LanguageTextsTest::messagesInBothLanguages() {
    QFETCH(int, key);
    QFETCH(QString, english);
    QFETCH(QString, czech);
    QCOMPARE(QString::fromStdString(MessageText(key, LanguageEnglish)), english);
    QCOMPARE(QString::fromStdString(MessageText(key, LanguageCzech)), czech);
}

void LanguageTextsTest::unknownMessageKeyLeavesResult() {
    for (int key : {8, -1, 100}) {
        std::string result = "kept";
        QVERIFY(!MessageText(key, result, LanguageEnglish));
        QCOMPARE(result, std::string("kept"));
    }
    QCOMPARE(QString::fromStdString(ErrorTitle(1)), QString("Tindra - Error"));
    QCOMPARE(QString::fromStdString(ErrorTitle(0)), QString("Tindra - Chyba"));
    QCOMPARE(QString::fromStdString(QuestionTitle(1)), QString("Tindra - Question"));
    QCOMPARE(QString::fromStdString(QuestionTitle(0)), QString("Tindra - Dotaz"));
    QVERIFY(MakerLink(0) != MakerLink(1));
    QVERIFY(!SaveErrorText(LanguageCzech).empty());
    QVERIFY(SaveErrorText(LanguageCzech) != SaveErrorText(LanguageEnglish));
    // Any language index but 1 is Czech.
    QCOMPARE(MessageText(MsgSaveChanges, 7), MessageText(MsgSaveChanges, LanguageCzech));
}

void LanguageTextsTest::overwriteQuestionJoinsParts() {
    QCOMPARE(QString::fromStdString(OverwriteQuestion("star.gif", LanguageEnglish)),
             QString("File star.gif already exists.\r\nReplace it?"));
    QCOMPARE(QString::fromStdString(OverwriteQuestion("star.gif", LanguageCzech)),
             U("Soubor star.gif již existuje.\r\nPřepsat?"));
}

void LanguageTextsTest::tableShape() {
    const auto& rows = MainWindowTexts();
    QCOMPARE(int(rows.size()), MainWindowRows);
    QSet<QString> names;
    for (int i = 0; i < MainWindowRows; ++i) {
        const TControlText& row = rows[i];
        const QString name = row.Name;
        QVERIFY2(!names.contains(name), qPrintable(name));
        names << name;
        const bool menuRow = i < MainWindowMenuRows;
        QCOMPARE(name.startsWith("Mn"), menuRow);
        for (int lang : {0, 1}) {
            QVERIFY2(row.Hint[lang] && *row.Hint[lang], qPrintable(name));
            QCOMPARE(row.Caption[lang] != nullptr, menuRow);
            if (menuRow) QVERIFY2(*row.Caption[lang], qPrintable(name));
        }
        if (menuRow) {
            // The accelerator differs in the two captions of a top-level menu, the spaces do not.
            const bool top = TopMenus.contains(name);
            for (int lang : {0, 1}) {
                const QString caption = U(row.Caption[lang]);
                QCOMPARE(caption.startsWith("  ") && caption.endsWith("  "), top);
            }
        }
    }
    QVERIFY(FindMainWindowText("MRU"));
    QVERIFY(FindMainWindowText("SBToolMover"));
}

void LanguageTextsTest::hintRules() {
    for (const TControlText& row : MainWindowTexts())
        for (int lang : {0, 1})
            QVERIFY2(U(row.Hint[lang]).startsWith("x = ") == CheckItems.contains(row.Name), row.Name);

    // Tool-bar buttons carry the hint of their menu command; the colour labels that of their swatch.
    const QList<QPair<QString, QString>> sameHint = {
        {"TBFileNew", "MnFileNew"},
        {"TBFileOpen", "MnFileOpen"},
        {"TBFileSave", "MnFileSaveAs"},
        {"TBFileSaveFrameAsGIF", "MnFileSaveFrameAsGIF"},
        {"TBFileSaveFrameAsICO", "MnFileSaveFrameAsICO"},
        {"TBFileSaveFrameAsBMP", "MnFileSaveFrameAsBMP"},
        {"TBSetup", "MnFileSetup"},
        {"TBEditCut", "MnEditCut"},
        {"TBEditCopy", "MnEditCopy"},
        {"TBEditPaste", "MnEditPaste"},
        {"TBEditClear", "MnEditClear"},
        {"TBEditInsertFrame", "MnEditInsertFrame"},
        {"TBEditRemoveFrame", "MnEditRemoveFrame"},
        {"TBEditMoveFrame", "MnEditMoveFrame"},
        {"TBHelp", "MnHelpThemes"},
        {"TBEditUndo", "MnEditUndo"},
        {"TBEditRedo", "MnEditRedo"},
        {"TLColor", "SLColor"},
        {"TRColor", "SRColor"},
        {"TTColor", "STColor"},
    };
    for (const auto& [control, source] : sameHint)
        for (int lang : {0, 1})
            QCOMPARE(U(FindMainWindowText(control.toStdString())->Hint[lang]),
                     U(FindMainWindowText(source.toStdString())->Hint[lang]));

    // The exceptions really differ from their commands in at least one language.
    const QList<QPair<QString, QString>> exceptions = {
        {"TBViewGrid", "MnViewGrid"},       {"TBViewThumbnail", "MnViewThumbnail"},
        {"TBAbout", "MnHelpAbout"},         {"TBExit", "MnFileExit"},
        {"SBPlay", "MnImagePlayAnimation"}, {"SBStop", "MnImageStopAnimation"},
        {"SBFirst", "MnViewFrameFirst"},    {"SBPrev", "MnViewFramePrev"},
        {"SBNext", "MnViewFrameNext"},      {"SBLast", "MnViewFrameLast"},
    };
    for (const auto& [control, source] : exceptions) {
        const TControlText* a = FindMainWindowText(control.toStdString());
        const TControlText* b = FindMainWindowText(source.toStdString());
        QVERIFY2(U(a->Hint[0]) != U(b->Hint[0]) || U(a->Hint[1]) != U(b->Hint[1]), qPrintable(control));
    }
}

void LanguageTextsTest::quotedRows_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption"); // empty for hint-only rows
    QTest::addColumn<QString>("hint");
    QTest::newRow("file en") << "MnFile" << 1 << "  &File  "
                             << "File operations and manipulations";
    QTest::newRow("file cz") << "MnFile" << 0 << "  &Soubor  "
                             << "Operace se souborem";
    QTest::newRow("edit cz") << "MnEdit" << 0 << U("  Úpr&avy  ") << "Editace a úpravy";
    QTest::newRow("help cz") << "MnHelp" << 0 << U("  Nápo&věda  ") << U("Nápověda a informace o programu");
    QTest::newRow("grid en") << "MnViewGrid" << 1 << "&Grid"
                             << "x = Show pixel grid";
    QTest::newRow("grid cz") << "MnViewGrid" << 0 << U("Mříž&ku") << U("x = Zobrazit pixelovou mřížku");
    QTest::newRow("colorbar en") << "MnViewColorBar" << 1 << "Co&lor && font panel"
                                 << "x = Show color and font panel (bottom)";
    QTest::newRow("rotate cz") << "MnImageRotate" << 0 << U("&Otočit")
                               << U("Otočit obrázek v úhlu 90, 180 nebo 270°");
    QTest::newRow("about cz") << "MnHelpAbout" << 0 << "&O programu Tindra"
                              << "Informace o programu";
    QTest::newRow("play menu en") << "MnImagePlayAnimation" << 1 << "&Play animation"
                                  << "Play animation in preview panel";
    QTest::newRow("play menu cz") << "MnImagePlayAnimation" << 0 << U("&Přehrát animaci")
                                  << U("Přehrávat animaci v náhledu");
    QTest::newRow("play button en") << "SBPlay" << 1 << ""
                                    << "Play animation";
    QTest::newRow("play button cz") << "SBPlay" << 0 << "" << U("Přehrávat animaci v náhledu");
    QTest::newRow("grid button en") << "TBViewGrid" << 1 << ""
                                    << "Show/hide pixel grid";
    QTest::newRow("exit button en") << "TBExit" << 1 << ""
                                    << "Exit";
    QTest::newRow("mru cz") << "MRU" << 0 << "" << U("Otevření uvedeného souboru");
    QTest::newRow("transparent cz") << "STColor" << 0 << ""
                                    << U("Transparentní (průhledná) barva (Ctrl + pravé tlačítko myši)");
    QTest::newRow("speed en") << "EDSpeed" << 1 << ""
                              << "Display time for current frame (in miliseconds)";
    QTest::newRow("filled circle cz") << "PME4" << 0 << ""
                                      << "Kruh s výplní";
}

void LanguageTextsTest::quotedRows() {
    QFETCH(QString, name);
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    const TControlText* row = FindMainWindowText(name.toStdString());
    QVERIFY(row);
    QCOMPARE(row->Caption[language] ? U(row->Caption[language]) : QString(), caption);
    QCOMPARE(U(row->Hint[language]), hint);
}

void LanguageTextsTest::dialogTexts() {
    QCOMPARE(U(AboutTexts().Caption[1]), QString("Tindra - about"));
    QCOMPARE(U(AboutTexts().Caption[0]), QString("Tindra - o programu"));
    QCOMPARE(U(RotationTexts().Caption[0]), QString("Tindra - rotace"));
    QCOMPARE(U(MoveFrameTexts().Caption[0]), QString("Tindra"));

    // The rotation dialog, built here as a stand-in with the control names.
    QWidget dialog;
    auto* other = new QToolButton(&dialog);
    other->setObjectName("RBother");
    auto* cancel = new QToolButton(&dialog);
    cancel->setObjectName("CancelButton");
    ApplyRotationLanguage(&dialog, LanguageEnglish);
    QCOMPARE(dialog.windowTitle(), QString("Tindra - rotation"));
    QCOMPARE(other->text(), QString("&other"));
    ApplyRotationLanguage(&dialog, LanguageCzech);
    QCOMPARE(dialog.windowTitle(), QString("Tindra - rotace"));
    QCOMPARE(cancel->text(), U("Zrušit"));
}

// A window with a menu, a submenu, a tool button bound to an action and a label: texts after
// English -> Czech -> English are those of the first English pass, and Czech differs.
void LanguageTextsTest::applyRoundTrip() {
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu("x");
    file->setObjectName("MnFile");
    QMenu* recent = file->addMenu("x");
    recent->setObjectName("MnFileOpenMru");
    QAction* grid = file->addAction("x");
    grid->setObjectName("MnViewGrid");
    grid->setCheckable(true);
    auto* gridButtonAction = new QAction(&window);
    auto* gridButton = new QToolButton(&window);
    gridButton->setObjectName("TBViewGrid");
    gridButton->setDefaultAction(gridButtonAction);
    auto* label = new QLabel("L", &window);
    label->setObjectName("TLColor");

    auto snapshot = [&] {
        return QStringList{
            file->title(),     file->menuAction()->statusTip(), recent->title(),       grid->text(),
            grid->statusTip(), gridButtonAction->statusTip(),   gridButton->toolTip(), label->text(),
            label->statusTip()};
    };

    const auto missing = ApplyControlTexts(&window, MainWindowTexts(), LanguageEnglish);
    QVERIFY(missing.size() == size_t(MainWindowRows - 5));
    const QStringList english = snapshot();
    QCOMPARE(english[0], QString("  &File  "));
    QCOMPARE(english[4], QString("x = Show pixel grid"));
    QCOMPARE(english[5], QString("Show/hide pixel grid"));
    QCOMPARE(english[7], QString("L")); // hint only, the caption stays
    QCOMPARE(english[8], QString("Drawing color (left mouse button)"));

    ApplyControlTexts(&window, MainWindowTexts(), LanguageCzech);
    const QStringList czech = snapshot();
    QCOMPARE(czech[0], QString("  &Soubor  "));
    QCOMPARE(czech[3], U("Mříž&ku"));

    ApplyControlTexts(&window, MainWindowTexts(), LanguageEnglish);
    QCOMPARE(snapshot(), english);
    ApplyControlTexts(&window, MainWindowTexts(), LanguageCzech);
    QCOMPARE(snapshot(), czech);
}

QTEST_MAIN(LanguageTextsTest)
#include "LanguageTextsTest.moc"
