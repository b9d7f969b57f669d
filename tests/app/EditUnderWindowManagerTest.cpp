// Editing end to end in the real window under a window manager (openbox on a virtual X display,
// started by with-window-manager.sh): draw with the pencil, undo and redo from the keyboard, duplicate
// and remove a frame and undo the removal, save; giflib then reads the saved file back. Rows of the
// frame list dragged with the mouse (the offscreen platform has no drag and drop). Undo and Redo from
// the keyboard also while a number field has the focus.

#include "CanvasWidget.h"
#include "GifOracle.h"
#include "IconDocument.h"
#include "TaggedFrames.h"
#include "TindraMainForm.h"

#include <QLabel>
#include <QListView>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// The real window with its save dialog answered.
class TEditForm : public TTindraMainForm {
  public:
    QString SaveName;
    // Shown, active, with a new icon.
    bool ShownWithNewIcon() {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
        show();
        if (!QTest::qWaitForWindowActive(this, 5000)) return false;
        MnFileNewClick();
        return true;
    }
    std::string AskSaveFileName(TFileKind, const std::string&) override { return SaveName.toStdString(); }
};

constexpr uint32_t Black = 0xFF000000u;

} // namespace

class TEditUnderWindowManagerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display with a window manager");
    }

    void DrawUndoRedoRemoveUndoSave() {
        TEditForm form;
        QVERIFY(form.ShownWithNewIcon());
        TIconDocument& doc = form.DocumentModel();
        const uint32_t grey = doc.WorkBitmap().GetPixel(10, 10);
        QVERIFY(grey != Black);

        auto* canvas = form.findChild<TCanvasWidget*>("PBMain");
        QVERIFY(canvas);
        form.findChild<QToolButton*>("SBToolPen")->click();
        auto draw = [&](int col, int row) {
            const int z = canvas->Zoom();
            const QPoint at(col * z + z / 2, row * z + z / 2);
            QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, at);
        };
        auto keys = [&](int key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(&form, Qt::Key(key), modifiers);
            QCoreApplication::processEvents();
        };

        draw(10, 10);
        QCOMPARE(doc.WorkBitmap().GetPixel(10, 10), Black);
        keys(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(10, 10), grey);
        keys(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(10, 10), Black);
        keys(Qt::Key_Z, Qt::ControlModifier);
        keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(10, 10), Black);

        // Ctrl+wheel over the canvas zooms in; the status bar shows it and drawing goes on at that zoom.
        const int fitted = canvas->Zoom();
        const QPointF middle(canvas->width() / 2.0, canvas->height() / 2.0);
        QWheelEvent wheel(middle, canvas->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        QCoreApplication::processEvents();
        QVERIFY(canvas->Zoom() > fitted);
        QCOMPARE(form.findChild<QLabel*>("SBZoomInfo")->text(), TTindraMainForm::ZoomText(canvas->Zoom()));

        // A copy of the frame, drawn on, removed, and brought back by Undo with its picture.
        keys(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.FrameCount(), 2);
        draw(20, 20);
        keys(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(doc.FrameCount(), 1);
        keys(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.FrameCount(), 2);
        QCOMPARE(doc.CurrentFrame(), 1);
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 20), Black);

        QTemporaryDir dir;
        form.SaveName = dir.filePath("edited.gif");
        keys(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form.windowTitle().endsWith("*"));

        const GifOracle::Decoded gif = GifOracle::Read(form.SaveName.toStdString());
        QVERIFY(gif.Ok);
        QCOMPARE(gif.Frames.size(), size_t(2));
        const uint32_t greyRgb = grey & 0xFFFFFFu;
        QCOMPARE(gif.Frames[0].ColorAt(10, 10), 0u);
        QCOMPARE(gif.Frames[0].ColorAt(20, 20), greyRgb);
        QCOMPARE(gif.Frames[1].ColorAt(10, 10), 0u);
        QCOMPARE(gif.Frames[1].ColorAt(20, 20), 0u);
        QCOMPARE(gif.Frames[1].ColorAt(30, 30), greyRgb);
        QVERIFY(form.close());
    }

    // A row of the frame list dragged with the mouse, as a user drags it: press on the row, move
    // past the drag distance, move onto the target and release there. The frame moves as the move
    // dialog moves it, as one step of Undo. The drag runs its own event loop, so the moves after the
    // one that starts it come from a timer inside that loop.
    void DraggingAFrameRowWithTheMouse_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<bool>("lowerHalf");
        QTest::addColumn<QString>("order");
        QTest::newRow("down, after a row") << 0 << 2 << true << "BCAD";
        QTest::newRow("up, before the first") << 3 << 0 << false << "DABC";
    }
    void DraggingAFrameRowWithTheMouse() {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(bool, lowerHalf);
        QFETCH(QString, order);
        TEditForm form;
        form.SetControlImagePath(TINDRA_IMAGES_IML);
        form.SetMessageSink([](const QString&) {});
        form.resize(640, 760); // room for all four rows
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form, 5000));
        form.MnFileNewClick();
        TIconDocument& doc = form.DocumentModel();
        MakeTaggedFrames(doc);
        auto frames = [&] { return TaggedOrder(doc); };
        QCOMPARE(frames(), QStringLiteral("ABCD"));
        auto* list = form.findChild<QListView*>("LBImageBox");
        QVERIFY(list);
        QCoreApplication::processEvents();
        QWidget* viewport = list->viewport();
        const QRect source = list->visualRect(list->model()->index(from, 0));
        const QRect target = list->visualRect(list->model()->index(onto, 0));
        QVERIFY(viewport->rect().contains(source) && viewport->rect().contains(target));
        const QPoint start = source.center();
        const QPoint at(target.center().x(), lowerHalf ? target.bottom() - 2 : target.top() + 2);
        const int away = (at.y() > start.y() ? 1 : -1) * (QApplication::startDragDistance() + 2);

        bool released = false;
        QTimer::singleShot(100, viewport, [&] {
            QTest::mouseMove(viewport, (start + at) / 2);
            QTest::mouseMove(viewport, at);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
            released = true;
        });
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport, start + QPoint(0, away / 2)); // the view gets ready to drag
        QTest::mouseMove(viewport, start + QPoint(0, away));     // the drag starts: back once released
        QTRY_VERIFY(released);

        QTRY_COMPARE(frames(), order);
        QCOMPARE(list->model()->rowCount(), 4);
        const int placed = order.indexOf(QChar('A' + from));
        QCOMPARE(doc.CurrentFrame(), placed);
        QCOMPARE(list->currentIndex().row(), placed);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); // one step
        QCOMPARE(frames(), QStringLiteral("ABCD"));
    }

    // Undo and Redo from the keyboard reach the document while the pen size or the display time (showing
    // the frame's time, nothing typed) has the focus, as they do everywhere else in the window.
    void UndoRedoKeysWhileAFieldHasTheFocus_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("pen size") << "EdToolSize";
        QTest::newRow("display time") << "EDSpeed";
    }
    void UndoRedoKeysWhileAFieldHasTheFocus() {
        QFETCH(QString, field);
        TEditForm form;
        QVERIFY(form.ShownWithNewIcon());
        TIconDocument& doc = form.DocumentModel();
        form.MnEditDuplicateFrameClick(); // two frames: the display time is enabled
        const uint32_t grey = doc.WorkBitmap().GetPixel(5, 5);
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(5, 5, Black);
            edit.Commit();
        }
        auto* box = form.findChild<QSpinBox*>(field);
        QVERIFY(box);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(5, 5), grey);
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(5, 5), Black);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.WorkBitmap().GetPixel(5, 5), Black);
        QVERIFY(box->hasFocus());
        const QTemporaryDir dir;
        QCOMPARE(doc.SaveDocumentTo(dir.filePath("x.gif").toStdString()), TSaveResult::Saved);
        QVERIFY(form.close());
    }
};

QTEST_MAIN(TEditUnderWindowManagerTest)
#include "EditUnderWindowManagerTest.moc"
