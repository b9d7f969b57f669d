// With no document, at first start (also after an open cancelled there) and after a failed open,
// nothing of an earlier document shows: the frame, pixel and colour cells of the status bar are empty and the preview is
// blank (the button face), not black.

#include "IconDocument.h"
#include "PreviewView.h"
#include "SystemColors.h"
#include "TestForm.h"
#include "TindraMainForm.h"
#include "WindowControls.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class TCancellingForm : public TStoredSettingsForm {
  public:
    using TStoredSettingsForm::TStoredSettingsForm;
    using TTindraMainForm::OpenFile;
    std::string AskOpenFileName() override { return std::string(); }
    QStringList Errors;

  protected:
    void ShowErrorMessage(const QString& text) override { Errors << text; }
};

bool PreviewBlank(TPreviewView* preview) {
    const QImage image = preview->ToImage();
    const uint32_t face = ButtonFaceColor();
    const QRgb blank = qRgb(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != blank) return false;
    return true;
}

void CheckNothingShown(TTindraMainForm& form, const char* when) {
    QVERIFY2(Find<QLabel>(&form, "SBFrameInfo")->text().isEmpty(), when);
    QVERIFY2(Find<QLabel>(&form, "SBPixelInfo")->text().isEmpty(), when);
    QVERIFY2(Find<QLabel>(&form, "SBZoomInfo")->text().isEmpty(), when);
    QVERIFY2(PreviewBlank(Find<TPreviewView>(&form, "ImThumbnail")), when);
}

} // namespace

class TNoDocumentTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void statusAndPreviewEmptyWithoutDocument() {
        TCancellingForm form(1);
        form.show();
        form.FormActivate();
        CheckNothingShown(form, "first start");
        form.MnFileOpenClick();
        CheckNothingShown(form, "open cancelled at first start");

        QTemporaryDir dir;
        const QString broken = dir.filePath("broken.gif");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("GIF89a not really");
        file.close();

        // A failed open from the window reports the file and keeps the document with what it shows.
        form.MnFileNewClick();
        form.OpenFile(broken, false);
        QCOMPARE(form.Errors.size(), 1);
        QCOMPARE(Find<QLabel>(&form, "SBFrameInfo")->text(), QStringLiteral("1/1"));
        QVERIFY(!PreviewBlank(Find<TPreviewView>(&form, "ImThumbnail")));

        // A document shows its frame and pointer information; each way of losing it clears them (a
        // cancelled or failed open from the window keeps the document, so it is not one of them).
        const struct {
            const char* When;
            std::function<void()> Lose;
        } ways[] = {
            {"failed conversion open",
             [&] {
                 QCOMPARE(form.DocumentModel().OpenFileDirect(broken.toStdString(), false),
                          TOpenResult::Failed);
             }},
        };
        for (const auto& way : ways) {
            form.MnFileNewClick();
            Find<QLabel>(&form, "SBPixelInfo")->setText(" 5,  5");
            QVERIFY(!Find<QLabel>(&form, "SBFrameInfo")->text().isEmpty());
            QVERIFY(!PreviewBlank(Find<TPreviewView>(&form, "ImThumbnail")));
            way.Lose();
            CheckNothingShown(form, way.When);
        }
    }
};

QTEST_MAIN(TNoDocumentTest)
#include "NoDocumentTest.moc"
