// The selection and the mover end to end, under a real window manager (openbox on a virtual X display,
// started by with-window-manager.sh): tools picked by their keys, a block selected and moved with
// the mouse, Undo, selected and moved again (by mouse and arrow key), saved through Save as; giflib
// then reads the saved file back.

#include "CanvasWidget.h"
#include "GifOracle.h"
#include "IconDocument.h"
#include "TindraMainForm.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr uint32_t White = 0xFFFFFFu, Red = 0xFF0000u, Grey = 0xCCCCCCu; // as giflib gives them

class TSavingForm : public TTindraMainForm {
  public:
    std::string SaveName;
    std::string AskSaveFileName(TFileKind, const std::string&) override { return SaveName; }
};

} // namespace

class TSelectionWindowTest : public QObject {
    Q_OBJECT

    TCanvasWidget* Canvas = nullptr;

    QPoint At(int col, int row) const {
        const int z = Canvas->Zoom(); // device pixels; the virtual display has a ratio of 1
        return QPoint(col * z + z / 2, row * z + z / 2);
    }
    void DragCells(QPoint from, QPoint to) {
        QTest::mousePress(Canvas, Qt::LeftButton, {}, At(from.x(), from.y()));
        QTest::mouseMove(Canvas, At((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
        QTest::mouseMove(Canvas, At(to.x(), to.y()));
        QTest::mouseRelease(Canvas, Qt::LeftButton, {}, At(to.x(), to.y()));
        QCoreApplication::processEvents();
    }

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display with a window manager");
    }

    void selectMoveUndoMoveSave() {
        QTemporaryDir dir;
        TSavingForm form;
        form.SetControlImagePath(TINDRA_IMAGES_IML);
        form.SetMessageSink([](const QString&) {});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form, 5000));
        form.findChild<QAction*>("MnFileNew")->trigger();
        QCoreApplication::processEvents();
        Canvas = form.findChild<TCanvasWidget*>("PBMain");
        QVERIFY(Canvas && Canvas->isVisible());

        // A white picture with a red 4 × 3 block at (10, 10).
        TIconDocument& doc = form.DocumentModel();
        doc.WorkBitmap().FillAll(0xFFFFFFFFu);
        doc.WorkBitmap().FillRect(10, 10, 14, 13, 0xFFFF0000u);
        doc.CommitFrame();

        QTest::keyClick(&form, Qt::Key_M);
        QCOMPARE(Canvas->CurrentTool(), ToolSelect);
        DragCells({10, 10}, {13, 12});
        QCOMPARE(Canvas->Selection().Rect(), TRect(10, 10, 14, 13));
        QTest::keyClick(&form, Qt::Key_V);
        QCOMPARE(Canvas->CurrentTool(), ToolMover);
        DragCells({11, 11}, {21, 16});
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 15), 0xFFFF0000u);
        QCOMPARE(doc.UndoDepth(0), 1);

        form.findChild<QAction*>("MnEditUndo")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(doc.WorkBitmap().GetPixel(10, 10), 0xFFFF0000u);
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 15), 0xFFFFFFFFu);

        // Again: selected anew, dragged to (15, 25), then one cell right by the arrow key.
        QTest::keyClick(&form, Qt::Key_M);
        DragCells({10, 10}, {13, 12});
        QTest::keyClick(&form, Qt::Key_V);
        DragCells({12, 11}, {17, 26});
        QTest::keyClick(Canvas, Qt::Key_Right);
        QCOMPARE(doc.UndoDepth(0), 2);

        form.SaveName = dir.filePath("moved.gif").toStdString();
        form.findChild<QAction*>("MnFileSaveAs")->trigger();
        QCoreApplication::processEvents();
        const GifOracle::Decoded gif = GifOracle::Read(form.SaveName);
        QVERIFY(gif.Ok);
        QCOMPARE(int(gif.Frames.size()), 1);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool block = x >= 16 && x < 20 && y >= 25 && y < 28;
                const bool hole = x >= 10 && x < 14 && y >= 10 && y < 13;
                const uint32_t want = block ? Red : hole ? Grey : White;
                QVERIFY2(gif.Frames[0].ColorAt(x, y) == want, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        QVERIFY(form.close());
    }
};

QTEST_MAIN(TSelectionWindowTest)
#include "SelectionWindowTest.moc"
