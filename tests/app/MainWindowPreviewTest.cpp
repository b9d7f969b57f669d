// The preview of the main window: Play and Stop, clicking the preview, hiding it, the commands while
// playing, and editing during playback (Qt Test, offscreen).

#include "TindraMainForm.h"

#include <QAction>
#include <QSpinBox>
#include <QtTest>

#include "IconDocument.h"
#include "PreviewView.h"
#include "Surface32.h"

namespace {

class TPreviewForm : public TTindraMainForm {
  public:
    TPreviewForm() { SetControlImagePath(TINDRA_IMAGES_IML); }
    using TTindraMainForm::DocumentModel;

  protected:
    TWindowSettings ReadSettings() override {
        TWindowSettings stored;
        stored.Language = 1;
        return stored;
    }
    void WriteSettings() override {}
    // Inserted frames make the document modified; New goes on without saving them.
    TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
};

TSurface32 Filled(std::uint32_t argb) {
    TSurface32 picture(40, 40);
    picture.FillAll(argb);
    return picture;
}

constexpr std::uint32_t RedArgb = 0xFFFF0000u, BlueArgb = 0xFF0000FFu;

} // namespace

class MainWindowPreviewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TPreviewForm> Form;
    TPreviewView* Preview = nullptr;

    TIconDocument& Doc() { return Form->DocumentModel(); }
    void Trigger(const char* name) {
        QAction* action = Form->findChild<QAction*>(name);
        QVERIFY2(action, name);
        action->trigger();
    }
    bool Enabled(const char* name) {
        if (auto* a = Form->findChild<QAction*>(name)) return a->isEnabled();
        return Form->findChild<QWidget*>(name)->isEnabled();
    }
    QRgb PreviewCentre() { return Preview->ToImage().pixel(20, 20); }

  private slots:
    void init() {
        Form = std::make_unique<TPreviewForm>();
        Form->show();
        Form->FormActivate();
        QCoreApplication::processEvents();
        Trigger("MnFileNew");
        Preview = Form->findChild<TPreviewView*>("ImThumbnail");
        QVERIFY(Preview);
    }
    void cleanup() { Form.reset(); }

    void OneFrameDoesNotPlay() {
        QCOMPARE(Doc().FrameCount(), 1);
        Trigger("MnImagePlayAnimation");
        QVERIFY(!Doc().Animating());
        QTest::mouseClick(Preview, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!Doc().Animating());
    }

    void PlayAndStopWithTheCommandsAndTheClick() {
        Doc().InsertFrame(TInsertPosition::After, Filled(RedArgb), 30);
        Doc().InsertFrame(TInsertPosition::After, Filled(BlueArgb), 30);
        QCOMPARE(Doc().FrameCount(), 3);
        QVERIFY(Enabled("EDSpeed"));

        Trigger("MnImagePlayAnimation");
        QVERIFY(Doc().Animating());
        QVERIFY(!Enabled("EDSpeed"));
        QVERIFY(!Enabled("MnImagePlayAnimation"));
        QVERIFY(Enabled("MnImageStopAnimation"));
        // Editing and frame commands stay available while the preview plays.
        QVERIFY(Enabled("MnEditInsertFrame"));
        QVERIFY(Enabled("MnEditRemoveFrame"));
        QTRY_VERIFY_WITH_TIMEOUT(PreviewCentre() == qRgb(0xFF, 0, 0), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(PreviewCentre() == qRgb(0, 0, 0xFF), 10000);
        Trigger("MnImagePlayAnimation"); // already playing: nothing happens
        QVERIFY(Doc().Animating());

        // Clicking the preview stops; the preview shows the current frame (the blue one) again.
        QTest::mouseClick(Preview, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!Doc().Animating());
        QVERIFY(Enabled("EDSpeed"));
        QCOMPARE(Doc().CurrentFrame(), 2);
        QCOMPARE(PreviewCentre(), qRgb(0, 0, 0xFF));
        Trigger("MnImageStopAnimation"); // already stopped: nothing happens
        QVERIFY(!Doc().Animating());

        QTest::mouseClick(Preview, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(Doc().Animating());
        Trigger("MnImageStopAnimation");
        QVERIFY(!Doc().Animating());
    }

    void EditsShowWhilePlaying() {
        Doc().InsertFrame(TInsertPosition::After, Filled(RedArgb), 30);
        Trigger("MnImagePlayAnimation");
        QTRY_VERIFY_WITH_TIMEOUT(PreviewCentre() == qRgb(0xFF, 0, 0), 10000);
        // The current (red) frame is repainted green and committed while the animation plays.
        Doc().WorkBitmap().FillAll(0xFF00FF00u);
        Doc().CommitFrame();
        QTRY_VERIFY_WITH_TIMEOUT(PreviewCentre() == qRgb(0, 0xFF, 0), 10000);
        QVERIFY(Doc().Animating());
        Trigger("MnImageStopAnimation");
    }

    void HidingThePreviewStops() {
        Doc().InsertFrame(TInsertPosition::After, Filled(RedArgb), 30);
        Trigger("MnImagePlayAnimation");
        QVERIFY(Doc().Animating());
        Trigger("MnViewThumbnail"); // Ctrl+H
        QVERIFY(!Doc().Animating());
        QVERIFY(!Form->findChild<QWidget*>("ThumbnailPanel")->isVisible());
        Trigger("MnViewThumbnail");
        QVERIFY(Form->findChild<QWidget*>("ThumbnailPanel")->isVisible());
    }

    void RemovingFramesDownToOneStops() {
        Doc().InsertFrame(TInsertPosition::After, Filled(RedArgb), 30);
        Trigger("MnImagePlayAnimation");
        QVERIFY(Doc().Animating());
        Doc().RemoveFrame();
        QCOMPARE(Doc().FrameCount(), 1);
        QVERIFY(!Doc().Animating());
    }

    void NewDocumentStopsThePlayback() {
        Doc().InsertFrame(TInsertPosition::After, Filled(RedArgb), 30);
        Trigger("MnImagePlayAnimation");
        QVERIFY(Doc().Animating());
        Trigger("MnFileNew");
        QVERIFY(!Doc().Animating());
        QCOMPARE(Doc().FrameCount(), 1);
    }
};

QTEST_MAIN(MainWindowPreviewTest)
#include "MainWindowPreviewTest.moc"
