// The main window with its document: New, the caption and frame texts, drawing on the real canvas,
// Undo, the display-time field, the frame list (its rows, the pictures it draws and redraws, and its
// thumbnail size), the dropper and the swatches.

#include "CanvasView.h"
#include "CanvasWidget.h"
#include "FrameListModel.h"
#include "IconDocument.h"
#include "SurfaceImage.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TMainFormDocumentTest : public QObject {
    Q_OBJECT

    TTindraMainForm* Form = nullptr;

    TCanvasWidget* Canvas() const { return Find<TCanvasWidget>(Form, "PBMain"); }
    QPoint At(int col, int row) const {
        const int z = Canvas()->Zoom();
        return QPoint(col * z + z / 2, row * z + z / 2);
    }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(pos), Canvas()->mapToGlobal(QPointF(pos)), button, held, mods);
        QApplication::sendEvent(Canvas(), &e);
    }
    void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, p, b, b, m);
        Send(QEvent::MouseButtonRelease, p, b, Qt::NoButton, m);
    }
    TIconDocument& Doc() const { return Form->DocumentModel(); }
    QLabel* FrameInfo() const { return Find<QLabel>(Form, "SBFrameInfo"); }
    QSpinBox* Speed() const { return Find<QSpinBox>(Form, "EDSpeed"); }
    QListView* FrameListView() const { return Find<QListView>(Form, "LBImageBox"); }
    TFrameListModel* FrameList() const { return static_cast<TFrameListModel*>(FrameListView()->model()); }
    // Lets the window handle what is pending and paints the frame list now (the rows it shows).
    void PaintFrameList() const {
        QCoreApplication::processEvents();
        FrameListView()->viewport()->repaint();
    }

    // The picture row `row` of the frame list shows equals the document's picture of that frame.
    bool RowShowsFrame(int row) const {
        const QPixmap shown = FrameList()->index(row).data(Qt::DecorationRole).value<QPixmap>();
        return shown.toImage().convertToFormat(QImage::Format_RGB32) ==
               SurfaceImage(Doc().FrameListPicture(row)).convertToFormat(QImage::Format_RGB32);
    }

  private slots:
    // The View items are remembered in the settings: the tests' own store, empty at start.
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings("Marrowby", "Tindra").clear();
    }
    void init() {
        Form = new TTindraMainForm;
        Form->SetControlImagePath(TINDRA_IMAGES_IML); // without them the window closes at start
        Form->SetMessageSink([](const QString&) {});
        Form->show();
        Form->FormActivate();
        Form->MnFileNewClick();
    }
    void cleanup() { delete Form; }

    void newDocumentShowsOneFrame() {
        QCOMPARE(Form->windowTitle(), QString("Tindra - new.gif"));
        QCOMPARE(FrameInfo()->text(), QString("1/1"));
        QCOMPARE(Speed()->cleanText(), QString("100"));
        QVERIFY(!Speed()->isEnabled());
        QVERIFY(!Find<QMenu>(Form, "MnViewFrame")->menuAction()->isEnabled()); // navigation needs two frames
        QVERIFY(!Find<QAction>(Form, "MnEditUndo")->isEnabled());
        QCOMPARE(FrameList()->rowCount(), 1);
        QCOMPARE(FrameList()->index(0).data().toString(), QString("1"));
        QVERIFY(Canvas()->isVisible());
        QCOMPARE(Canvas()->CurrentTool(), ToolNone);
        QVERIFY(Find<QWidget>(Form, "ToolPanel")->isEnabled());
    }

    void strokeMarksModifiedAndUndoRestores() {
        Find<QToolButton>(Form, "SBToolPen")->click();
        QCOMPARE(Canvas()->CurrentTool(), ToolPencil);
        const uint32_t before = Doc().WorkBitmap().GetPixel(10, 10);
        Click(At(10, 10));
        QCOMPARE(Doc().WorkBitmap().GetPixel(10, 10), 0xFF000000u);
        QCOMPARE(Doc().FrameBitmap(0).GetPixel(10, 10), 0xFF000000u); // committed into the store
        QCOMPARE(Form->windowTitle(), QString("Tindra - new.gif *"));
        QCOMPARE(FrameInfo()->text(), QString("1/1 *"));
        QVERIFY(Find<QAction>(Form, "MnEditUndo")->isEnabled());
        Form->MnEditUndoClick();
        QCOMPARE(Doc().WorkBitmap().GetPixel(10, 10), before);
        QCOMPARE(Form->windowTitle(), QString("Tindra - new.gif"));
        QCOMPARE(FrameInfo()->text(), QString("1/1"));
        QVERIFY(!Find<QAction>(Form, "MnEditUndo")->isEnabled());
    }

    void displayTimeRoundsAndStoresOnExit() {
        Doc().InsertFrame(TInsertPosition::After, Doc().WorkBitmap(), 100);
        QCOMPARE(FrameList()->rowCount(), 2);
        QVERIFY(Speed()->isEnabled());
        Speed()->selectAll();
        QTest::keyClicks(Speed(), "155");
        QTest::keyClick(Speed(), Qt::Key_Return); // commits the text, as leaving the field does
        QCOMPARE(Speed()->value(), 150);
        const int frame = Doc().CurrentFrame();
        QCOMPARE(Doc().DisplayTime(frame), 150);
        Form->MnViewFrameFirstClick();
        Form->MnViewFrameLastClick();
        QCOMPARE(Doc().CurrentFrame(), 1);
        QCOMPARE(Speed()->value(), Doc().DisplayTime(1));
        QCOMPARE(FrameInfo()->text(), QString("2/2"));
        QVERIFY(!Find<QToolButton>(Form, "SBNext")->isEnabled());
        QVERIFY(Find<QToolButton>(Form, "SBPrev")->isEnabled());
        // A time typed but not committed is dropped when a button moves to another frame.
        Speed()->selectAll();
        QTest::keyClicks(Speed(), "250");
        Find<QToolButton>(Form, "SBFirst")->click();
        QCOMPARE(Doc().CurrentFrame(), 0);
        QCOMPARE(Speed()->cleanText(), QString("100"));
        QCOMPARE(Doc().DisplayTime(1), 150);
    }

    void thumbnailSizeFollowsOutputSize() {
        QCOMPARE(FrameListView()->iconSize(), QSize(40, 40));
        Find<QAction>(Form, "PMS3")->trigger();
        QCOMPARE(Doc().OutputSize(), 32);
        QVERIFY(Find<QAction>(Form, "MnFileSaveWithoutBorder")->isChecked());
        QVERIFY(Find<QAction>(Form, "MnFileSaveFrameAsICO")->isEnabled());
        QCOMPARE(FrameListView()->iconSize(), QSize(32, 32));
        Find<QAction>(Form, "MnFileSaveWithoutBorder")->trigger(); // unchecks: back to 40
        QCOMPARE(Doc().OutputSize(), 40);
        QVERIFY(Find<QAction>(Form, "PMS4")->isChecked());
        QVERIFY(!Find<QAction>(Form, "MnFileSaveFrameAsICO")->isEnabled());
    }

    void dropperWithCtrlSetsTransparentAndBack() {
        Doc().WorkBitmap().SetPixel(5, 5, 0xFFFF0000u);
        Find<QToolButton>(Form, "SBToolColorDropper")->click();
        Click(At(5, 5), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(Doc().TransparentColor().Value, 0xFFFF0000u);
        QCOMPARE(Doc().BackColor().Value, 0xFFFF0000u);
        QCOMPARE(Doc().DrawColor().Value, 0xFF000000u);
        QVERIFY(Find<QLabel>(Form, "TestPanel")->styleSheet().contains("#ff0000"));
        QVERIFY(!Doc().IsModified());
    }

    // Opening many frames draws only the rows the list shows, each once; a commit redraws one row;
    // moving and removing frames keep the other rows' pictures without drawing them again. (The
    // list once rebuilt every row, with its picture, for every frame added and every commit.)
    void frameListDrawsShownRowsOnceAndACommitRedrawsOne() {
        constexpr int frames = 60;
        QTemporaryDir dir;
        const std::string path = QDir(dir.path()).filePath("many.gif").toStdString();
        {
            TGIFPicture gif; // 60 frames, frame k filled with colour k
            for (int i = 0; i < frames; ++i)
                gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x030507 + 0x102030));
            for (int k = 0; k < frames; ++k) {
                auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
                auto* frame = frameOwned.get();
                frame->SetFrameBounds(0, 0, 40, 40);
                gif.AddFrame(std::move(frameOwned));
                frame->Extensions().AppendItem(std::make_unique<TGIFGraphicControlExtension>(frame));
                for (int y = 0; y < 40; ++y)
                    std::fill(frame->RowAt(y), frame->RowAt(y) + 40, static_cast<std::uint8_t>(k));
            }
            gif.SaveToPath(path);
        }
        QCOMPARE(Doc().OpenFileDirect(path, false), TOpenResult::Opened);
        PaintFrameList();
        TFrameListModel& list = *FrameList();
        QCOMPARE(list.rowCount(), frames);
        QCOMPARE(list.index(frames - 1).data().toString(), QString::number(frames));
        const long long drawnAtOpen = list.PicturesDrawn();
        QVERIFY(drawnAtOpen > 0);
        QVERIFY2(drawnAtOpen < frames, "only the rows shown are drawn");
        for (int row = 0; row < frames; ++row)
            QVERIFY(list.DrawCount(row) <= 1);
        QVERIFY(RowShowsFrame(0));

        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        Doc().WorkBitmap().SetPixel(20, 20, 0xFF000000u);
        Doc().CommitFrame();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 0);
        QCOMPARE(changed[0][1].toModelIndex().row(), 0);
        QTRY_COMPARE(list.PicturesDrawn(), drawnAtOpen + 1); // the view repaints the row by itself
        PaintFrameList();
        QCOMPARE(list.PicturesDrawn(), drawnAtOpen + 1);
        QCOMPARE(list.DrawCount(0), 2);
        QVERIFY(RowShowsFrame(0));

        // Frame 0 (now black at 20, 20) moves to 3: the pictures of the frames it passes move with
        // them; only the moved frame is drawn again, for the commit that selecting it makes.
        const long long beforeMove = list.PicturesDrawn();
        Doc().MoveFrame(3);
        QCOMPARE(Doc().CurrentFrame(), 3);
        PaintFrameList();
        QCOMPARE(list.index(3).data().toString(), QString("4"));
        QCOMPARE(list.PicturesDrawn(), beforeMove + 1);
        for (int row = 0; row <= 3; ++row)
            QVERIFY(RowShowsFrame(row));
        // Removing it selects the next frame (drawn again for its commit); at most one row more comes
        // into view.
        const long long beforeRemove = list.PicturesDrawn();
        Doc().RemoveFrame();
        PaintFrameList();
        QCOMPARE(list.rowCount(), frames - 1);
        QCOMPARE(list.index(frames - 2).data().toString(), QString::number(frames - 1));
        QVERIFY(list.PicturesDrawn() - beforeRemove <= 2);
        QVERIFY(RowShowsFrame(3));
        // Without border every picture is drawn again, at 32 x 32, when shown.
        Find<QAction>(Form, "PMS3")->trigger();
        PaintFrameList();
        QCOMPARE(list.index(0).data(Qt::DecorationRole).value<QPixmap>().size(), QSize(32, 32));
        QVERIFY(RowShowsFrame(0));
        // A click on a row selects its frame; the document's own selection makes its row current.
        QTest::mouseClick(FrameListView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          FrameListView()->visualRect(list.index(2)).center());
        QCOMPARE(Doc().CurrentFrame(), 2);
        Doc().GoToFrame(TFrameStep::First);
        QCOMPARE(FrameListView()->currentIndex().row(), 0);
        QCOMPARE(Doc().CurrentFrame(), 0);
    }

    void checkItemsReachCanvasAndDocument() {
        QVERIFY(Canvas()->GridVisible());
        Find<QToolButton>(Form, "TBViewGrid")->click();
        QVERIFY(!Find<QAction>(Form, "MnViewGrid")->isChecked());
        QVERIFY(!Canvas()->GridVisible());
        QVERIFY(!Doc().AutoBorder());
        Find<QAction>(Form, "MnImageAutoBorder")->trigger();
        QVERIFY(Doc().AutoBorder());
    }

    // The onion skin and the checkerboard are only shown: the saved bytes stay the same with them on,
    // with and without the border. The transparency item follows the output size (on without the
    // border by default), and every View item is there again in the next window.
    void viewItemsNeverReachSavedFilesAndAreRemembered() {
        QAction* onion = Find<QAction>(Form, "MnViewOnionSkin");
        QAction* onionNext = Find<QAction>(Form, "MnViewOnionSkinNext");
        QAction* transparency = Find<QAction>(Form, "MnViewTransparency");
        QVERIFY(!onion->isChecked() && !onionNext->isChecked() && !transparency->isChecked());
        // Two frames, the second with a black cell on the grey (transparent) background.
        TSurface32 second = Doc().WorkBitmap();
        second.SetPixel(10, 10, 0xFF000000u);
        Doc().InsertFrame(TInsertPosition::After, second, 100);
        const std::vector<uint8_t> plain40 = Doc().EncodeDocumentGif();
        Find<QAction>(Form, "MnFileSaveWithoutBorder")->trigger();
        QVERIFY(transparency->isChecked()); // without the border: on by default
        QVERIFY(Canvas()->TransparencyShown());
        PaintFrameList();
        QVERIFY(!RowShowsFrame(0)); // the frame list shows the checkerboard too
        transparency->trigger();
        const std::vector<uint8_t> plain32 = Doc().EncodeDocumentGif();
        PaintFrameList();
        QVERIFY(RowShowsFrame(0));

        onion->trigger();
        onionNext->trigger();
        transparency->trigger();
        Canvas()->Screen(); // painted with all of it
        QVERIFY(Canvas()->OnionSkinPrevious() && Canvas()->OnionSkinNext());
        QVERIFY(Doc().EncodeDocumentGif() == plain32);
        Find<QAction>(Form, "MnFileSaveWithoutBorder")->trigger();
        QVERIFY(!transparency->isChecked()); // with the border: off until chosen
        transparency->trigger();
        Canvas()->Screen();
        QVERIFY(Doc().EncodeDocumentGif() == plain40);

        delete Form;
        init();
        QVERIFY(Find<QAction>(Form, "MnViewOnionSkin")->isChecked());
        QVERIFY(Find<QAction>(Form, "MnViewOnionSkinNext")->isChecked());
        QVERIFY(Find<QAction>(Form, "MnViewTransparency")->isChecked());
        QVERIFY(Canvas()->OnionSkinPrevious() && Canvas()->TransparencyShown());
        QSettings("Marrowby", "Tindra").clear();
    }

    // The zoom commands and the status bar's zoom.
    void zoomCommandsAndStatus() {
        QLabel* zoom = Find<QLabel>(Form, "SBZoomInfo");
        const int fit = Canvas()->Zoom();
        QCOMPARE(zoom->text(), QString::fromUtf8("\u00D7") + QString::number(fit));
        Find<QAction>(Form, "MnViewZoomIn")->trigger();
        QCOMPARE(Canvas()->Zoom(), ZoomInStep(fit));
        QCOMPARE(zoom->text(), QString::fromUtf8("\u00D7") + QString::number(ZoomInStep(fit)));
        Find<QAction>(Form, "MnViewZoomActual")->trigger();
        QCOMPARE(Canvas()->Zoom(), 1);
        Find<QAction>(Form, "MnViewZoomOut")->trigger();
        QCOMPARE(Canvas()->Zoom(), 1);
        Find<QAction>(Form, "MnViewZoomFit")->trigger();
        QCOMPARE(Canvas()->Zoom(), fit);
        QVERIFY(Canvas()->ZoomFitsWindow());
    }

    // A zoom the user chose is there again in the next window (closing stores it), and so is the fit
    // rule; a stored zoom out of range comes back clamped.
    void zoomIsRememberedBetweenRuns() {
        const int fit = Canvas()->Zoom();
        const int chosen = ZoomInStep(ZoomInStep(fit));
        auto restart = [this] {
            QVERIFY(Form->close());
            delete Form;
            init();
        };
        Canvas()->SetZoom(chosen);
        restart();
        QCOMPARE(Canvas()->Zoom(), chosen);
        QVERIFY(!Canvas()->ZoomFitsWindow());
        QCOMPARE(Find<QLabel>(Form, "SBZoomInfo")->text(), QString::fromUtf8("\u00D7") + QString::number(chosen));
        Find<QAction>(Form, "MnViewZoomFit")->trigger();
        restart();
        QVERIFY(Canvas()->ZoomFitsWindow());
        QCOMPARE(Canvas()->Zoom(), fit);

        QSettings("Marrowby", "Tindra").setValue("Zoom", 500);
        delete Form;
        init();
        QCOMPARE(Canvas()->Zoom(), MaxZoom);
        QSettings("Marrowby", "Tindra").clear();
    }
};

QTEST_MAIN(TMainFormDocumentTest)
#include "MainFormDocumentTest.moc"
