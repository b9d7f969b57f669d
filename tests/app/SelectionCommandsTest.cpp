// The window's side of the selection: tool keys and X, the clipboard commands on a selection, and
// frame navigation dropping it.

#include "CanvasWidget.h"
#include "IconDocument.h"
#include "ScriptedForm.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

using TTestForm = TScriptedForm;

std::unique_ptr<TTestForm> StartedWithNewIcon() {
    return ShownWithNewIcon<TTestForm>();
}

// Every pixel of its own colour.
void Number(TSurface32& s) {
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            s.SetPixel(x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
}

} // namespace

class TSelectionCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void toolKeysAndColourSwap_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("tool");
        QTest::newRow("I") << int(Qt::Key_I) << int(ToolDropper);
        QTest::newRow("P") << int(Qt::Key_P) << int(ToolPencil);
        QTest::newRow("B") << int(Qt::Key_B) << int(ToolBrush);
        QTest::newRow("G") << int(Qt::Key_G) << int(ToolFill);
        QTest::newRow("L") << int(Qt::Key_L) << int(ToolLine);
        QTest::newRow("R") << int(Qt::Key_R) << int(ToolRectangle);
        QTest::newRow("E") << int(Qt::Key_E) << int(ToolEllipse);
        QTest::newRow("T") << int(Qt::Key_T) << int(ToolText);
        QTest::newRow("M") << int(Qt::Key_M) << int(ToolSelect);
        QTest::newRow("V") << int(Qt::Key_V) << int(ToolMover);
    }
    void toolKeysAndColourSwap() {
        QFETCH(int, key);
        QFETCH(int, tool);
        auto form = StartedWithNewIcon();
        form->activateWindow();
        QTest::keyClick(form.get(), Qt::Key(key));
        QCOMPARE(form->CurrentTool(), tool);
        // The key is part of the button's hint in both languages.
        const QString letter = QTest::currentDataTag();
        for (int language : {0, 1}) {
            form->LanguageIndex = language;
            form->ApplyLanguage();
            bool shown = false;
            for (QToolButton* b : form->findChildren<QToolButton*>())
                if (b->isChecked() && b->parentWidget()->objectName() == "ToolPanel")
                    shown = b->statusTip().endsWith(" (" + letter + ")");
            QVERIFY2(shown, qPrintable(letter));
        }

        // A letter typed into a text field stays there.
        auto* field = form->findChild<QLineEdit*>();
        if (field && field->isVisible() && field->isEnabled()) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_P);
            QCOMPARE(form->CurrentTool(), tool);
        }

        // X swaps the drawing and background colours.
        TIconDocument& doc = form->DocumentModel();
        const uint32_t draw = doc.DrawColor().Value, back = doc.BackColor().Value;
        form->setFocus();
        QTest::keyClick(form.get(), Qt::Key_X);
        QCOMPARE(doc.DrawColor().Value, back);
        QCOMPARE(doc.BackColor().Value, draw);
    }

    // Copy and Cut take the selection only; Paste floats at its corner; Select all covers the icon.
    void clipboardOnTheSelection() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        auto* canvas = form->findChild<TCanvasWidget*>("PBMain");
        Number(doc.WorkBitmap());
        doc.CommitFrame();
        TSurface32 before = doc.WorkBitmap();

        form->findChild<QAction*>("MnEditSelectAll")->trigger();
        QCOMPARE(canvas->Selection().Rect(), TRect(0, 0, 40, 40));
        canvas->SetCurrentTool(ToolSelect);
        const int z = canvas->Zoom();
        auto cell = [z](int c, int r) { return QPoint(c * z + z / 2, r * z + z / 2); };
        QTest::mousePress(canvas, Qt::LeftButton, {}, cell(3, 4));
        QTest::mouseMove(canvas, cell(7, 6));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, cell(7, 6));
        QCOMPARE(canvas->Selection().Rect(), TRect(3, 4, 8, 7));

        form->MnEditCutClick();
        const QImage cut = QGuiApplication::clipboard()->image();
        QCOMPARE(cut.size(), QSize(5, 3));
        QCOMPARE(cut.pixel(0, 0) | 0xFF000000u, before.GetPixel(3, 4));
        QCOMPARE(doc.WorkBitmap().GetPixel(5, 5), doc.BackColor().Value);
        QCOMPARE(doc.WorkBitmap().GetPixel(8, 5), before.GetPixel(8, 5));
        QCOMPARE(doc.UndoDepth(0), 1);

        // Pasted at a new selection's corner, over the picture; Undo takes it away again.
        QTest::mousePress(canvas, Qt::LeftButton, {}, cell(20, 20));
        QTest::mouseMove(canvas, cell(30, 30));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, cell(30, 30));
        form->MnEditPasteClick();
        QCOMPARE(canvas->Selection().Rect(), TRect(20, 20, 25, 23));
        QVERIFY(canvas->Selection().Floating());
        QCOMPARE(canvas->CurrentTool(), ToolMover); // ready to drag the block
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 20), before.GetPixel(3, 4));
        QCOMPARE(doc.WorkBitmap().GetPixel(25, 20), before.GetPixel(25, 20));
        form->MnEditUndoClick();
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 20), before.GetPixel(20, 20));
        QVERIFY(!canvas->Selection().Active());

        // Copy of a selection leaves the picture alone.
        form->MnEditSelectAllClick();
        form->MnEditCopyClick();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(40, 40));
        QCOMPARE(doc.UndoDepth(0), 1);
    }

    // Frame navigation and frame commands drop the selection first.
    void frameCommandsDropTheSelection() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        auto* canvas = form->findChild<TCanvasWidget*>("PBMain");
        doc.InsertFrame(TInsertPosition::After, doc.WorkBitmap(), 100);
        for (const char* command :
             {"MnViewFramePrev", "MnViewFrameNext", "MnEditMoveFrame", "MnEditRemoveFrame"}) {
            form->MnEditSelectAllClick();
            QVERIFY(canvas->Selection().Active());
            form->findChild<QAction*>(command)->trigger();
            QVERIFY2(!canvas->Selection().Active(), command);
        }
        form->MnEditSelectAllClick();
        doc.InsertFrame(TInsertPosition::Before, doc.WorkBitmap(), 100); // as the insert dialog does
        QVERIFY(!canvas->Selection().Active());
    }
};

QTEST_MAIN(TSelectionCommandsTest)
#include "SelectionCommandsTest.moc"
