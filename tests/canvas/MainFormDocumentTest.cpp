// The main window with its document: New, the caption and frame texts, drawing on the real canvas,
// Undo, the display-time field, the frame list and its thumbnail size, the dropper and the swatches.

#include "CanvasWidget.h"
#include "IconDocument.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include "GIFPicture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

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
    QListWidget* FrameList() const { return Find<QListWidget>(Form, "LBImageBox"); }

  private slots:
    void init() {
        Form = new TTindraMainForm;
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
        QCOMPARE(FrameList()->count(), 1);
        QCOMPARE(FrameList()->item(0)->text(), QString("1"));
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
        QCOMPARE(FrameList()->count(), 2);
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
        QCOMPARE(FrameList()->iconSize(), QSize(40, 40));
        Find<QAction>(Form, "PMS3")->trigger();
        QCOMPARE(Doc().OutputSize(), 32);
        QVERIFY(Find<QAction>(Form, "MnFileSaveWithoutBorder")->isChecked());
        QVERIFY(Find<QAction>(Form, "MnFileSaveFrameAsICO")->isEnabled());
        QCOMPARE(FrameList()->iconSize(), QSize(32, 32));
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

    void checkItemsReachCanvasAndDocument() {
        QVERIFY(Canvas()->GridVisible());
        Find<QToolButton>(Form, "TBViewGrid")->click();
        QVERIFY(!Find<QAction>(Form, "MnViewGrid")->isChecked());
        QVERIFY(!Canvas()->GridVisible());
        QVERIFY(!Doc().AutoBorder());
        Find<QAction>(Form, "MnImageAutoBorder")->trigger();
        QVERIFY(Doc().AutoBorder());
    }
};

QTEST_MAIN(TMainFormDocumentTest)
#include "MainFormDocumentTest.moc"
