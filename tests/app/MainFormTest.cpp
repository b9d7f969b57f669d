// The main window: control images, start-up state, command enabling, canvas size, window
// size, file drop, hint line and panels.

#include "LanguageTables.h"
#include "TindraMainForm.h"
#include "TindraMainFormCommands.h"
#include "WindowControls.h"

#include "BmpFile.h"
#include "GIFPicture.h"
#include "DocumentGif.h"
#include "IconDocument.h"
#include "SafeFile.h"
#include "Surface32.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include <climits>
#include <memory>
#include <optional>

namespace {

// The window with its settings read and file opening replaced, recording what it was asked.
class TTestForm : public TTindraMainForm {
  public:
    std::optional<TWindowSettings> Stored;
    QStringList Opened;
    QStringList Messages;

    explicit TTestForm(const QString& images = TINDRA_IMAGES_IML) {
        SetControlImagePath(images);
        SetMessageSink([this](const QString& text) { Messages << text; });
    }

  protected:
    TWindowSettings ReadSettings() override { return Stored ? *Stored : TTindraMainForm::ReadSettings(); }
    void WriteSettings() override {}
    void OpenFile(const QString& path, bool addToRecent) override {
        Opened << path;
        QVERIFY(addToRecent);
    }
};

// Stored settings choosing the English interface.
TWindowSettings English() {
    TWindowSettings stored;
    stored.Width = 511;
    stored.Height = 531;
    stored.Language = 1;
    return stored;
}

// Shown and through start-up, as after the first activation.
std::unique_ptr<TTestForm> Started(std::optional<TWindowSettings> stored = std::nullopt) {
    auto form = std::make_unique<TTestForm>();
    form->Stored = stored;
    form->show();
    form->FormActivate();
    QCoreApplication::processEvents();
    return form;
}

// Enabled state of a command (menu, menu item) or control, found by its name.
bool IsEnabled(const QObject* form, const QString& name) {
    if (auto* a = form->findChild<QAction*>(name)) return a->isEnabled();
    if (auto* w = form->findChild<QWidget*>(name)) return w->isEnabled();
    qFatal("no control named %s", qPrintable(name));
}

void CheckEnabled(const QObject* form, const QStringList& enabled, const QStringList& disabled) {
    for (const QString& name : enabled)
        QVERIFY2(IsEnabled(form, name), qPrintable(name + " should be enabled"));
    for (const QString& name : disabled)
        QVERIFY2(!IsEnabled(form, name), qPrintable(name + " should be disabled"));
}

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void controlImagesLoaded() {
        auto form = Started();
        QVERIFY(form->Messages.isEmpty());
        QVERIFY(form->isVisible());
        QCOMPARE(form->IlControlImages.size(), size_t(4));
        QCOMPARE(form->ControlImage(0, 1).size(), QSize(40, 40));
        QCOMPARE(form->ControlImage(2, 0).size(), QSize(151, 54));
        QCOMPARE(form->ControlImage(3, 1).size(), QSize(40, 40));
        // The bordered template differs from the plain one only in its 4-pixel ring.
        const QImage plain = form->ControlImage(0, 0), bordered = form->ControlImage(0, 1);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inner = x >= 4 && x < 36 && y >= 4 && y < 36;
                QCOMPARE(plain.pixel(x, y) == bordered.pixel(x, y), inner);
            }
        // Glyphs: as many menu images as glyphs, the colour of pixel (0, 0) made transparent.
        QCOMPARE(form->IlMenuImages.size(), form->IlControlImages[1].Pictures.size());
        QVERIFY(form->IlMenuImages.size() >= 53);
        for (const QPixmap& glyph : form->IlMenuImages) {
            QCOMPARE(glyph.size(), QSize(16, 16));
            QCOMPARE(qAlpha(glyph.toImage().pixel(0, 0)), 0);
        }
        QVERIFY(!Find<QToolButton>(form, "TBViewGrid")->icon().isNull());
    }

    // The empty-frame templates of images.iml are the document's from the moment the window is shown,
    // before start-up opens a file and before any New, insert or Paste could use the built-in ones.
    void emptyTemplatesInstalledWhenShown() {
        TTestForm form;
        form.show();
        TSurface32 read[2];
        QVERIFY(TTindraMainForm::ReadEmptyTemplates(TINDRA_IMAGES_IML, read));
        for (int i = 0; i < 2; ++i) {
            const QImage expected = form.ControlImage(0, i);
            QCOMPARE(expected.size(), QSize(40, 40));
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    QCOMPARE(form.DocumentModel().EmptyTemplate(i).GetPixel(x, y),
                             uint32_t(expected.pixel(x, y)));
                    QCOMPARE(read[i].GetPixel(x, y), uint32_t(expected.pixel(x, y)));
                }
        }
        QVERIFY(!TTindraMainForm::ReadEmptyTemplates("/nonexistent/images.iml", read));
    }

    // The conversion from the command line draws a 32 × 32 picture on the same bordered template.
    void commandLineConversionUsesTheTemplates() {
        QTemporaryDir dir;
        const std::string in = dir.filePath("icon.bmp").toStdString(),
                          out = dir.filePath("icon.gif").toStdString();
        TSafeFile::WriteAll(in, TBmpFile::Encode32(TPixelImage(32, 32, 0xFF0000FFu)));
        QCOMPARE(QProcess::execute(TINDRA_EXE,
                                   {"--convert", QString::fromStdString(in), QString::fromStdString(out)}),
                 0);
        const std::unique_ptr<TGIFPicture> gif =
            GifFrames::ReadGif(TSafeFile::ReadAll(out, 1 << 20), TGIFReadLimits());
        QCOMPARE(GifFrames::FrameCount(*gif), 1);
        const TSurface32 frame = GifFrames::RenderFrame(*gif, 0);
        TSurface32 templates[2];
        QVERIFY(TTindraMainForm::ReadEmptyTemplates(TINDRA_IMAGES_IML, templates));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inner = x >= 4 && x < 36 && y >= 4 && y < 36;
                QCOMPARE(frame.GetPixel(x, y), inner ? 0xFF0000FFu : templates[1].GetPixel(x, y));
            }
    }

    void missingOrDamagedControlImages_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<int>("cut");            // bytes removed from the end of the good file
        QTest::addColumn<int>("flip");           // byte to change, or -1
        QTest::newRow("missing") << QByteArray() << 0 << -1;
        QTest::newRow("empty") << QByteArray("-") << 1 << -1;
        QTest::newRow("truncated") << QByteArray("good") << 1000 << -1;
        QTest::newRow("one byte changed") << QByteArray("good") << 0 << 5000;
        QTest::newRow("not an image file") << QByteArray("GIF89a not images") << 0 << -1;
    }
    void missingOrDamagedControlImages() {
        QFETCH(QByteArray, content);
        QFETCH(int, cut);
        QFETCH(int, flip);
        QTemporaryDir dir;
        const QString path = dir.filePath("images.iml");
        if (!content.isEmpty()) {
            QByteArray data = content;
            if (content == "good") {
                QFile good(TINDRA_IMAGES_IML);
                QVERIFY(good.open(QIODevice::ReadOnly));
                data = good.readAll();
            }
            data.chop(cut);
            if (flip >= 0) data[flip] = static_cast<char>(data[flip] ^ 0x01);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(data);
        }
        TTestForm form(path);
        form.SetCommandLineFile("/tmp/star.gif");
        form.show();
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(form.Messages, QStringList{"Fatal error: images.iml not loaded"});
        // No window is left open, so the application's event loop ends.
        for (const QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(!window->isVisible());
        // It ends before any document exists.
        QCoreApplication::processEvents();
        QVERIFY(form.Opened.isEmpty());
        QVERIFY(form.IlControlImages.empty());
    }

    void noDocumentState() {
        auto form = Started();
        CheckEnabled(form.get(),
                     {"MnFile",         "MnFileNew",  "MnFileOpen",      "MnFileSetup",      "MnFileExit",
                      "MnView",         "MnViewGrid", "MnViewThumbnail", "MnViewControlBar", "MnViewToolBar",
                      "MnViewColorBar", "MnHelp",     "MnHelpThemes",    "MnHelpAbout",      "TBFileNew",
                      "TBFileOpen",     "TBSetup",    "TBViewGrid",      "TBViewThumbnail",  "TBHelp",
                      "TBAbout",        "TBExit"},
                     {"MnFileSaveFrameAs", "MnFileSaveAs", "MnFileSaveWithoutBorder", "MnEdit", "MnViewFrame",
                      "MnImageAttributes", "MnImage", "TBFileSave", "TBFileSaveFrameAsGIF",
                      "TBFileSaveFrameAsICO", "TBFileSaveFrameAsBMP", "TBEditCut", "TBEditCopy",
                      "TBEditPaste", "TBEditClear", "TBEditInsertFrame", "TBEditRemoveFrame",
                      "TBEditMoveFrame", "ToolPanel", "SBStop", "SBPlay", "SBFirst", "SBPrev", "SBNext",
                      "SBLast", "EDSpeed",
                      // no recent files; never available; no undo history
                      "MnFileOpenMru", "MnFileDownload", "MnColors", "MnEffects", "MnEditUndo"});
        QVERIFY(!Find<QWidget>(form, "PBMain")->isVisible());
        QCOMPARE(form->CurrentTool(), 0);
        QVERIFY(Find<QToolButton>(form, "SBToolNone")->isChecked());
        QCOMPARE(form->DocumentModel().ImageLoaded(), false);
        QCOMPARE(form->DocumentModel().CurrentFrame(), -1);
        QCOMPARE(form->DocumentModel().OutputSize(), 40);
        QCOMPARE(form->DocumentModel().DrawColor().Value, 0xFF000000u);
        QCOMPARE(form->DocumentModel().BackColor().Value, 0xFFCCCCCCu);
        QCOMPARE(form->DocumentModel().TransparentColor().Value, 0xFFCCCCCCu);
        QCOMPARE(Find<QLabel>(form, "SBVersionInfo")->text(), QString("Tindra 2.2.0.0"));
        QCOMPARE(Find<QLabel>(form, "SBCapsLockInfo")->text(), QString("Caps"));
        QCOMPARE(Find<QLabel>(form, "SBNumLockInfo")->text(), QString("Num"));
        // Off an X display the lock states are unknown: both labels stay neutral, and a
        // double-click (toggle) changes nothing.
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Find<QLabel>(form, "SBCapsLockInfo"), &click);
        QVERIFY(Find<QLabel>(form, "SBCapsLockInfo")->styleSheet().isEmpty());
        QVERIFY(Find<QLabel>(form, "SBNumLockInfo")->styleSheet().isEmpty());
        QVERIFY(Find<QAction>(form, "MnViewGrid")->isChecked());
        QVERIFY(Find<QAction>(form, "MnViewThumbnail")->isChecked());
        QVERIFY(!Find<QAction>(form, "MnFileSaveWithoutBorder")->isChecked());
        QVERIFY(!Find<QAction>(form, "MnImageAutoBorder")->isChecked());
    }

    // A long operation disables the whole window and enables it again afterwards; the
    // commands keep the states they had.
    void busyWindowKeepsCommandStates() {
        auto form = Started();
        form->setEnabled(false);
        form->setEnabled(true);
        CheckEnabled(form.get(), {"MnFile", "MnView", "MnHelp", "MnFileNew"},
                     {"MnColors", "MnEffects", "MnFileOpenMru", "MnEdit", "MnImage", "MnFileSaveFrameAs", "MnViewFrame",
                      "MnFileDownload", "MnEditUndelete", "MnImageAttributes"});
    }

    void documentStates_data() {
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("animating");
        QTest::addColumn<int>("outputSize");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        const QStringList always{"MnFileSaveFrameAs",
                                 "MnFileSaveAs",
                                 "MnEdit",
                                 "MnImage",
                                 "TBFileSave",
                                 "TBFileSaveFrameAsGIF",
                                 "TBFileSaveFrameAsBMP",
                                 "TBEditCut",
                                 "TBEditCopy",
                                 "TBEditClear",
                                 "TBEditInsertFrame",
                                 "ToolPanel",
                                 "MnEditSelectAll",
                                 "MnImageAttributes",
                                 "MnEffects",
                                 "MnColors"};
        const QStringList never{"MnEditUndelete", "MnFileDownload"};
        QTest::newRow("one frame") << 1 << 0 << false << 40 << always
                                   << never + QStringList{"MnViewFrame",
                                                          "EDSpeed",
                                                          "MnImagePlayAnimation",
                                                          "MnImageStopAnimation",
                                                          "MnEditRemoveFrame",
                                                          "TBEditRemoveFrame",
                                                          "MnEditMoveFrame",
                                                          "TBEditMoveFrame",
                                                          "SBStop",
                                                          "SBPlay",
                                                          "SBFirst",
                                                          "SBPrev",
                                                          "SBNext",
                                                          "SBLast",
                                                          "TBFileSaveFrameAsICO",
                                                          "MnFileSaveFrameAsICO"};
        QTest::newRow("two frames, first current")
            << 2 << 0 << false << 40
            << always + QStringList{"MnViewFrame",    "MnViewFrameNext", "MnViewFrameLast",
                                    "SBNext",         "SBLast",          "MnImagePlayAnimation",
                                    "SBPlay",         "EDSpeed",         "MnEditRemoveFrame",
                                    "TBEditMoveFrame"}
            << never + QStringList{"MnViewFrameFirst", "MnViewFramePrev",      "SBFirst",
                                   "SBPrev",           "MnImageStopAnimation", "SBStop"};
        QTest::newRow("three frames, last current")
            << 3 << 2 << false << 40
            << always + QStringList{"MnViewFrameFirst", "MnViewFramePrev", "SBFirst", "SBPrev"}
            << never + QStringList{"MnViewFrameNext", "MnViewFrameLast", "SBNext", "SBLast"};
        QTest::newRow("three frames, middle, animating")
            << 3 << 1 << true << 40 << always + QStringList{"MnViewFrameFirst",
                                                            "MnViewFramePrev",
                                                            "MnViewFrameNext",
                                                            "MnViewFrameLast",
                                                            "SBFirst",
                                                            "SBPrev",
                                                            "SBNext",
                                                            "SBLast",
                                                            "MnImageStopAnimation",
                                                            "SBStop"}
            << never + QStringList{"MnImagePlayAnimation", "SBPlay", "EDSpeed"};
        QTest::newRow("without border")
            << 1 << 0 << false << 32 << always + QStringList{"TBFileSaveFrameAsICO", "MnFileSaveFrameAsICO"}
            << never;
    }
    void documentStates() {
        QFETCH(int, frames);
        QFETCH(int, current);
        QFETCH(bool, animating);
        QFETCH(int, outputSize);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        // A real document in that state; the commands follow the document's reports.
        auto form = Started();
        TIconDocument& doc = form->DocumentModel();
        form->MnFileNewClick();
        for (int i = 1; i < frames; ++i)
            doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(1), 100);
        doc.SelectFrame(current);
        doc.SetOutputSize(outputSize);
        doc.SetAnimating(animating); // the state the preview's Play sets, without its painter
        CheckEnabled(form.get(), enabled, disabled);
        QVERIFY(Find<QWidget>(form, "PBMain")->isVisible());

        // Closing the document again puts the shape buttons back to their first shape.
        Find<QAction>(form, "PMR4")->trigger();
        Find<QAction>(form, "PME3")->trigger();
        QCOMPARE(form->CurrentTool(), 14);
        QCOMPARE(Find<QToolButton>(form, "SBToolRectangle")->property("Tag").toInt(), 11);
        QCOMPARE(doc.OpenFileDirect("/nonexistent/refused.gif", false), TOpenResult::Failed);
        QCOMPARE(Find<QToolButton>(form, "SBToolRectangle")->property("Tag").toInt(), 8);
        QCOMPARE(Find<QToolButton>(form, "SBToolEllipse")->property("Tag").toInt(), 12);
        QVERIFY(!Find<QWidget>(form, "PBMain")->isVisible());
        QVERIFY(!IsEnabled(form.get(), "ToolPanel"));
    }

    // The command table and the window agree: every named row is a control of the window with texts in
    // both languages (menus and items), every button named by a row is there with its texts, and no two
    // commands share a shortcut.
    void commandTableRowsAreInTheWindow() {
        auto form = Started();
        QStringList shortcuts;
        for (const TCommand& row : MainFormCommands()) {
            if (!row.Name) continue;
            QVERIFY2(form->findChild<QObject*>(row.Name), row.Name);
            if (row.Kind != TCommandKind::Separator && row.Kind != TCommandKind::Control)
                QVERIFY2(tindra::FindMainWindowText(row.Name), row.Name);
            if (row.Button)
                QVERIFY2(form->findChild<QToolButton*>(row.Button) && tindra::FindMainWindowText(row.Button),
                         row.Button);
            if (!row.Shortcut) continue;
            QVERIFY2(!shortcuts.contains(row.Shortcut), row.Shortcut);
            shortcuts << row.Shortcut;
        }
    }

    void zoomFormula_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("zoom");
        QTest::newRow("400 x 330") << 400 << 330 << 8;
        QTest::newRow("800 x 700") << 800 << 700 << 17;
        QTest::newRow("below 320") << 319 << 900 << 8;
        QTest::newRow("tiny") << 0 << 0 << 8;
        QTest::newRow("1000 x 1000") << 1000 << 1000 << 25;
    }
    void zoomFormula() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, zoom);
        QCOMPARE(TTindraMainForm::ZoomFor(width, height), zoom);
    }

    // The canvas follows the panel: 40 * Zoom square, centred.
    void canvasFollowsPanel() {
        auto form = Started();
        for (const QSize size : {QSize(511, 531), QSize(900, 800), QSize(700, 1000)}) {
            form->resize(size);
            QCoreApplication::processEvents();
            const QSize panel = Find<QWidget>(form, "MainPanel")->size();
            QCOMPARE(form->Zoom(), TTindraMainForm::ZoomFor(panel.width(), panel.height()));
            // 40 * Zoom cells, and at most one more pixel for the closing grid line.
            const QRect canvas = Find<QWidget>(form, "PBMain")->geometry();
            const int zoom = form->Zoom();
            QVERIFY2(canvas.width() - 40 * zoom <= 1 && canvas.width() >= 40 * zoom,
                     qPrintable(QString::number(canvas.width())));
            QCOMPARE(canvas.height(), canvas.width());
            QCOMPARE(canvas.topLeft(), QPoint(panel.width() / 2 - canvas.width() / 2,
                                              panel.height() / 2 - canvas.height() / 2));
        }
    }

    void windowSizeFromSettings_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("width 300 raised") << 300 << 600 << QSize(511, 600);
        QTest::newRow("both too small") << 100 << 100 << QSize(511, 531);
        QTest::newRow("larger kept") << 700 << 650 << QSize(700, 650);
    }
    void windowSizeFromSettings() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, expected);
        TWindowSettings stored;
        stored.Left = 20;
        stored.Top = 30;
        stored.Width = width;
        stored.Height = height;
        stored.Language = 1;
        auto form = Started(stored);
        // Raised to the design minimum, or further where the texts in the installed font need it.
        QCOMPARE(form->size(), expected.expandedTo(form->minimumSize()));
        QCOMPARE(form->LanguageIndex, 1);
    }

    // Absurd stored numbers give a window on the screen, no larger than it, that paints.
    void absurdPlacementFitsTheScreen_data() {
        // Left, top, width, height as stored (a QRect cannot hold numbers near the int limits).
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("huge, far left and below") << QList<int>{INT_MIN, INT_MAX, INT_MAX, INT_MAX};
        QTest::newRow("far right and above") << QList<int>{INT_MAX, INT_MIN, 511, 531};
        QTest::newRow("off the screen") << QList<int>{100000, 100000, 600, 600};
    }
    void absurdPlacementFitsTheScreen() {
        QFETCH(QList<int>, stored);
        auto form = Started(TWindowSettings{stored[0], stored[1], stored[2], stored[3], 0});
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(
            area.contains(form->frameGeometry()),
            qPrintable(
                QString("%1,%2 %3x%4").arg(form->x()).arg(form->y()).arg(form->width()).arg(form->height())));
        QVERIFY(form->width() >= TTindraMainForm::DesignWidth &&
                form->height() >= TTindraMainForm::DesignHeight);
        QCOMPARE(form->grab().size(), form->size());
    }

    void dropOpensOnlyTheFirstFile() {
        auto form = Started();
        QTemporaryDir dir;
        QList<QUrl> urls;
        for (const char* name : {"first.gif", "second.gif", "third.ico"})
            urls << QUrl::fromLocalFile(dir.filePath(name));
        QMimeData data;
        data.setUrls(urls);
        const QPointF at(10, 10);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Find<QWidget>(form, "MainPanel"), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Find<QWidget>(form, "MainPanel"), &drop);
        QCOMPARE(form->Opened, QStringList{dir.filePath("first.gif")});
    }

    void commandLineFileOpenedAtStart() {
        auto form = std::make_unique<TTestForm>();
        form->SetCommandLineFile("/tmp/star.gif");
        form->show();
        form->FormActivate();
        form->FormActivate(); // start-up runs once only
        QCOMPARE(form->Opened, QStringList{"/tmp/star.gif"});
    }

    // Hints of buttons and menu items reach the hint line.
    void hintLine() {
        auto form = Started(English());
        QToolButton* button = Find<QToolButton>(form, "TBViewGrid");
        QLabel* hintLine = Find<QLabel>(form, "SBHintInfo");
        QStatusTipEvent tip(button->statusTip());
        QCoreApplication::sendEvent(button, &tip);
        QCOMPARE(hintLine->text(), QString("Show/hide pixel grid"));
        Find<QAction>(form, "MnViewGrid")->showStatusText(form->menuBar());
        QCOMPARE(hintLine->text(), QString("x = Show pixel grid"));
        QCOMPARE(Find<QAction>(form, "MnImagePlayAnimation")->statusTip(),
                 QString("Play animation in preview panel"));
        QCOMPARE(Find<QToolButton>(form, "SBPlay")->statusTip(), QString("Play animation"));
    }

    void panelsToggle() {
        auto form = Started();
        QWidget* client = form->centralWidget();
        QAction* colorBar = Find<QAction>(form, "MnViewColorBar");
        QWidget* colorPanel = Find<QWidget>(form, "ColorPanel");
        QWidget* statusBar = Find<QWidget>(form, "StatusBar");
        for (QAction* item :
             {colorBar, Find<QAction>(form, "MnViewControlBar"), Find<QAction>(form, "MnViewToolBar")}) {
            item->trigger();
            QVERIFY(!item->isChecked());
            item->trigger();
            QVERIFY(item->isChecked());
        }
        colorBar->trigger();
        QVERIFY(colorPanel->isHidden());
        colorBar->trigger();
        QVERIFY(!colorPanel->isHidden());
        client->layout()->activate();
        // The status bar stays below the colour panel, at the very bottom.
        QCOMPARE(statusBar->geometry().bottom(), client->height() - 1);
        QCOMPARE(colorPanel->geometry().bottom() + 1, statusBar->geometry().top());
        QVERIFY(Find<QWidget>(form, "ToolPanel")->isVisible() &&
                Find<QWidget>(form, "ControlPanel")->isVisible());
    }

    void gridAndPreviewButtonsSwitchGlyphs() {
        auto form = Started();
        QToolButton* gridButton = Find<QToolButton>(form, "TBViewGrid");
        QAction* grid = Find<QAction>(form, "MnViewGrid");
        const QImage on = gridButton->icon().pixmap(16, 16).toImage();
        gridButton->click();
        QVERIFY(!grid->isChecked());
        QVERIFY(gridButton->icon().pixmap(16, 16).toImage() != on);
        grid->trigger();
        QVERIFY(grid->isChecked());
        QCOMPARE(gridButton->icon().pixmap(16, 16).toImage(), on);
        Find<QToolButton>(form, "TBViewThumbnail")->click();
        QVERIFY(!Find<QAction>(form, "MnViewThumbnail")->isChecked());
        QVERIFY(Find<QWidget>(form, "ThumbnailPanel")->isHidden());
    }

    // Undo and Redo sit side by side on the tool bar (the Redo glyph is the Undo glyph mirrored), are
    // enabled exactly when their menu items are, and run the same commands.
    void undoAndRedoButtonsFollowTheirCommands() {
        auto form = Started();
        QToolButton* undo = Find<QToolButton>(form, "TBEditUndo");
        QToolButton* redo = Find<QToolButton>(form, "TBEditRedo");
        QCOMPARE(undo->parentWidget()->layout()->indexOf(redo), undo->parentWidget()->layout()->indexOf(undo) + 1);
        QCOMPARE(redo->icon().pixmap(16, 16).toImage(), undo->icon().pixmap(16, 16).toImage().mirrored(true, false));
        QAction* undoItem = Find<QAction>(form, "MnEditUndo");
        QAction* redoItem = Find<QAction>(form, "MnEditRedo");
        // "U" / "R" for an enabled Undo / Redo, "-" for a disabled one: the buttons, then the menu items.
        auto states = [&] {
            auto pair = [](bool u, bool r) { return QString(u ? "U" : "-") + (r ? "R" : "-"); };
            return pair(undo->isEnabled(), redo->isEnabled()) + "|" +
                   pair(undoItem->isEnabled(), redoItem->isEnabled());
        };
        QCOMPARE(states(), QString("--|--")); // no document
        form->MnFileNewClick();
        TIconDocument& doc = form->DocumentModel();
        QCOMPARE(states(), QString("--|--"));
        const uint32_t before = doc.WorkBitmap().GetPixel(9, 9);
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(9, 9, 0xFF000000u);
            edit.Commit();
        }
        QCOMPARE(states(), QString("U-|U-"));
        undo->click();
        QCOMPARE(doc.WorkBitmap().GetPixel(9, 9), before);
        QCOMPARE(states(), QString("-R|-R"));
        redo->click();
        QCOMPARE(doc.WorkBitmap().GetPixel(9, 9), 0xFF000000u);
        QCOMPARE(states(), QString("U-|U-"));
        // A frame operation counts too: inserting a frame can be undone from the button.
        doc.InsertFrame(TInsertPosition::After, doc.WorkBitmap(), 100);
        QCOMPARE(states(), QString("U-|U-"));
        undo->click();
        QCOMPARE(doc.FrameCount(), 1);
        QCOMPARE(states(), QString("UR|UR"));
    }

    // No command shows "This function is not implemented yet" any more: the Effects and Colours menus
    // work, and the help is built in (a window, no message).
    void messages() {
        auto form = Started(English());
        form->MnFileNewClick();
        for (const char* name : {"MnEffectsInvert", "MnEffectsOutline", "MnColorsReplace", "MnColorsImagePalette",
                                 "MnHelpThemes"})
            Find<QAction>(form, name)->trigger();
        QVERIFY(form->Messages.isEmpty());
    }
};

QTEST_MAIN(TMainFormTest)
#include "MainFormTest.moc"
