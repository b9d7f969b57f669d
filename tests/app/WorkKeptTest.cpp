// Nothing the user made is lost or silently changed, seen from the window: frame operations and
// display times are unsaved work ("Save changes?" on closing), Cancel (Escape) to that question calls
// off whatever asked, a cancelled open dialog keeps the document, the display-time field leaves alone
// times it cannot hold, and the window goes safely with the focus in that field. The GIFs opened
// here are written by giflib.

#include "GifOracle.h"
#include "WindowControls.h"

#include "IconDocument.h"
#include "TindraIframeForm.h"
#include "TindraMFrameForm.h"
#include "TindraMainForm.h"
#include "WhenShown.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The window without stored settings, with its open dialog scripted and its error box recorded.
class TTestForm : public TTindraMainForm {
  public:
    QString OpenName; // answer of the open dialog ("" = cancel)
    int OpenDialogs = 0;
    QStringList Errors;

    TTestForm() {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
    }
    std::string AskOpenFileName() override {
        ++OpenDialogs;
        return OpenName.toStdString();
    }
    std::string AskSaveFileName(TFileKind, const std::string&) override { return std::string(); }
    void OpenRecent(const QString& path) { OpenFile(path, false); }

  protected:
    TWindowSettings ReadSettings() override {
        TWindowSettings s;
        s.Language = 1;
        return s;
    }
    void WriteSettings() override {}
    void ShowErrorMessage(const QString& text) override { Errors << text; }
};

// Answers the next "Save changes?"; Cancel is given as the Escape key. Counts the questions.
struct TSaveQuestion {
    int Asked = 0;
    QString Text;
    bool HasCancel = false;
    void Answer(QMessageBox::StandardButton answer) {
        WhenShown<QMessageBox>([this, answer](QMessageBox* box) {
            ++Asked;
            Text = box->text();
            HasCancel =
                box->button(QMessageBox::Cancel) && box->escapeButton() == box->button(QMessageBox::Cancel);
            if (answer == QMessageBox::Cancel)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(answer)->click();
        });
    }
};

// Palette of the giflib files: 0 black, 1 red, 2 green, 3 blue.
const std::vector<uint32_t> Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// A 40 × 40 GIF of full-screen frames of colours 1, 2, 3 ... with the given Delay Times.
QString WriteGif(const QTemporaryDir& dir, const QString& name, const std::vector<int>& delays) {
    GifOracle::File file{40, 40, Palette, {}, false};
    for (size_t i = 0; i < delays.size(); ++i) {
        GifOracle::Frame f;
        f.Width = f.Height = 40;
        f.Indices.assign(1600, static_cast<uint8_t>(1 + i % 3));
        f.Delay = delays[i];
        file.Frames.push_back(f);
    }
    const QString path = dir.filePath(name);
    if (!GifOracle::Write(path.toStdString(), file)) qFatal("giflib could not write %s", qPrintable(path));
    return path;
}

std::unique_ptr<TTestForm> Started() {
    auto form = std::make_unique<TTestForm>();
    form->CreateDialogs();
    form->show();
    form->FormActivate();
    QCoreApplication::processEvents();
    return form;
}

// Started with a three-frame GIF open: a document with nothing unsaved.
std::unique_ptr<TTestForm> StartedWithThreeFrames(const QTemporaryDir& dir) {
    auto form = Started();
    // Opened as a recent file is: the recent-files list (kept in the store the tests share) stays
    // as it was.
    form->OpenRecent(WriteGif(dir, "three.gif", {10, 20, 30}));
    return form;
}

// The document as far as these tests look at it.
QString State(const TTestForm& form) {
    const TIconDocument& doc = form.DocumentModel();
    QString s = QString::fromStdString(doc.Name().Name) + " frames " + QString::number(doc.FrameCount()) +
                " current " + QString::number(doc.CurrentFrame()) + " times";
    for (int i = 0; i < doc.FrameCount(); ++i)
        s += " " + QString::number(doc.DisplayTime(i));
    s += " pixel " + QString::number(doc.WorkBitmap().GetPixel(20, 20), 16);
    s += doc.IsModified() ? " modified" : " saved";
    return s;
}

void Drop(TTestForm& form, const QString& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Find<QWidget>(&form, "MainPanel"), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Find<QWidget>(&form, "MainPanel"), &drop);
}

} // namespace

class TWorkKeptTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // After each frame operation, closing asks "Save changes?" (with Cancel); Cancel keeps the window
    // and the document, No closes.
    void ClosingAfterAFrameOperationAsks_data() {
        QTest::addColumn<QString>("operation");
        for (const char* op : {"insert", "remove", "move", "display time"})
            QTest::newRow(op) << QString(op);
    }
    void ClosingAfterAFrameOperationAsks() {
        QFETCH(QString, operation);
        QTemporaryDir dir;
        auto form = StartedWithThreeFrames(dir);
        QCOMPARE(form->windowTitle(), QStringLiteral("Tindra - three.gif"));
        if (operation == "insert") {
            WhenShown<TTindraIframeForm>([](TTindraIframeForm* dialog) { dialog->OKButton->click(); });
            form->MnEditInsertFrameClick();
        } else if (operation == "remove") {
            form->MnEditRemoveFrameClick();
        } else if (operation == "move") {
            WhenShown<TTindraMFrameForm>([](TTindraMFrameForm* dialog) {
                dialog->JTNewPosition->setValue(2);
                dialog->OKButton->click();
            });
            form->MnEditMoveFrameClick();
        } else {
            Find<QSpinBox>(form, "EDSpeed")->selectAll();
            QTest::keyClicks(Find<QSpinBox>(form, "EDSpeed"), "250");
            QTest::keyClick(Find<QSpinBox>(form, "EDSpeed"), Qt::Key_Return);
        }
        QCOMPARE(form->windowTitle(), QStringLiteral("Tindra - three.gif *"));
        QVERIFY(
            !Find<QLabel>(form, "SBFrameInfo")->text().contains('*')); // the per-frame undo mark is untouched
        QVERIFY(Find<QAction>(form, "MnEditUndo")->isEnabled()); // the operation itself can be undone
        const QString before = State(*form);

        TSaveQuestion question;
        question.Answer(QMessageBox::Cancel);
        QVERIFY(!form->close());
        QCOMPARE(question.Asked, 1);
        QCOMPARE(question.Text, QStringLiteral("Save changes?"));
        QVERIFY(question.HasCancel);
        QVERIFY(form->isVisible());
        QCOMPARE(State(*form), before);

        question.Answer(QMessageBox::No);
        QVERIFY(form->close());
        QCOMPARE(question.Asked, 2);
    }

    // Cancel to "Save changes?" calls off New, Open, a recent file, a drop and closing; the document
    // is untouched and nothing else is asked.
    void CancelCallsOffWhateverAsked_data() {
        QTest::addColumn<QString>("asker");
        for (const char* a : {"new", "open", "recent file", "drop", "close"})
            QTest::newRow(a) << QString(a);
    }
    void CancelCallsOffWhateverAsked() {
        QFETCH(QString, asker);
        QTemporaryDir dir;
        auto form = StartedWithThreeFrames(dir);
        const QString other = WriteGif(dir, "other.gif", {10, 10});
        form->OpenName = other;
        form->OpenDialogs = 0;
        TIconDocument& doc = form->DocumentModel();
        doc.SelectFrame(1);
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(20, 20, 0xFF123456u);
            edit.Commit();
        }
        const QString before = State(*form), title = form->windowTitle();

        TSaveQuestion question;
        question.Answer(QMessageBox::Cancel);
        if (asker == "new")
            form->MnFileNewClick();
        else if (asker == "open")
            form->MnFileOpenClick();
        else if (asker == "recent file")
            form->OpenRecent(other);
        else if (asker == "drop")
            Drop(*form, other);
        else
            QVERIFY(!form->close());
        QCOMPARE(question.Asked, 1);
        QCOMPARE(State(*form), before);
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->OpenDialogs, 0);
        QVERIFY(form->Errors.isEmpty());
        QVERIFY(form->isVisible());
        QVERIFY(Find<QWidget>(form, "PBMain")->isVisible());
    }

    // Cancelling the open dialog leaves the document, its caption and its commands as they were.
    void CancelledOpenDialogKeepsTheDocument() {
        QTemporaryDir dir;
        auto form = StartedWithThreeFrames(dir);
        form->DocumentModel().SelectFrame(2);
        const QString before = State(*form);
        form->OpenName.clear();
        form->MnFileOpenClick();
        QCOMPARE(form->OpenDialogs, 1);
        QCOMPARE(State(*form), before);
        QCOMPARE(form->windowTitle(), QStringLiteral("Tindra - three.gif"));
        QCOMPARE(Find<QListView>(form, "LBImageBox")->model()->rowCount(), 3);
        QVERIFY(Find<QWidget>(form, "PBMain")->isVisible());
        QVERIFY(Find<QAction>(form, "MnEditRemoveFrame")->isEnabled());
        QVERIFY(form->Errors.isEmpty());
    }

    // A Delay Time of 0 shows "0 ms" and one above the typed range shows in full; committing the field
    // unchanged stores nothing. A typed time is stored; a refused one goes back to the frame's time.
    void DisplayTimeFieldLeavesUntypedTimesAlone() {
        QTemporaryDir dir;
        auto form = Started();
        form->OpenRecent(WriteGif(dir, "times.gif", {0, 65535, 10}));
        TIconDocument& doc = form->DocumentModel();
        const QStringList shown = {"0 ms", "655350 ms", "100 ms"};
        for (int i = 0; i < 3; ++i) {
            doc.SelectFrame(i);
            QCOMPARE(Find<QSpinBox>(form, "EDSpeed")->text(), shown[i]);
            QTest::keyClick(Find<QSpinBox>(form, "EDSpeed"),
                            Qt::Key_Return); // commits the field as leaving it does
            QCOMPARE(doc.DisplayTime(i), i == 0 ? 0 : i == 1 ? 655350 : 100);
        }
        QVERIFY(!doc.IsModified());
        QCOMPARE(form->windowTitle(), QStringLiteral("Tindra - times.gif"));

        doc.SelectFrame(0);
        Find<QSpinBox>(form, "EDSpeed")->selectAll();
        QTest::keyClicks(Find<QSpinBox>(form, "EDSpeed"), "30");
        QTest::keyClick(Find<QSpinBox>(form, "EDSpeed"), Qt::Key_Return);
        QCOMPARE(doc.DisplayTime(0), 30);
        QVERIFY(doc.IsModified());
        // 0 is not a time the user may give: the field goes back to the frame's time.
        Find<QSpinBox>(form, "EDSpeed")->selectAll();
        QTest::keyClicks(Find<QSpinBox>(form, "EDSpeed"), "0");
        QTest::keyClick(Find<QSpinBox>(form, "EDSpeed"), Qt::Key_Return);
        QCOMPARE(doc.DisplayTime(0), 30);
        QCOMPARE(Find<QSpinBox>(form, "EDSpeed")->text(), QStringLiteral("30 ms"));
    }

    // The window is destroyed while shown with the focus (and typed text) in the display-time field.
    void DestroyedWithTheFocusInTheDisplayTimeField() {
        QTemporaryDir dir;
        auto form = StartedWithThreeFrames(dir);
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        Find<QSpinBox>(form, "EDSpeed")->setFocus();
        QTRY_VERIFY(Find<QSpinBox>(form, "EDSpeed")->hasFocus());
        QTest::keyClicks(Find<QSpinBox>(form, "EDSpeed"), "5");
        form.reset(); // must not reach the destroyed document
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TWorkKeptTest)
#include "WorkKeptTest.moc"
