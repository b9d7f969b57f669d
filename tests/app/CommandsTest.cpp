// Window commands on a real document: rotation through its dialog, the text tool, the clipboard,
// the frame dialogs, and the save questions.

#include "AngleDialWidget.h"
#include "CanvasWidget.h"
#include "ClipboardPicture.h"
#include "DocumentGif.h"
#include "FontPanel.h"
#include "FrameListModel.h"
#include "FrameListView.h"
#include "GIFException.h"
#include "GIFPicture.h"
#include "IconDocument.h"
#include "ImageTransforms.h"
#include "InputBox.h"
#include "QtSystemColors.h"
#include "QtTextRasterizer.h"
#include "ScriptedForm.h"
#include "TaggedFrames.h"
#include "TindraAngleForm.h"
#include "TindraIframeForm.h"
#include "TindraMFrameForm.h"
#include "TindraMainForm.h"
#include "WhenShown.h"
#include "WindowControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The window without stored settings, with its file dialogs and error box scripted.
class TTestForm : public TScriptedForm {
  public:
    QString OpenName; // answer of the open dialog
    std::string AskOpenFileName() override { return OpenName.toStdString(); }
};

std::unique_ptr<TTestForm> StartedWithNewIcon() {
    return ShownWithNewIcon<TTestForm>();
}

void AnswerQuestion(QMessageBox::StandardButton answer) {
    WhenShown<QMessageBox>([answer](QMessageBox* box) { box->button(answer)->click(); });
}

// One edit of the current frame that changes a pixel (an edit that leaves the picture as it was is no
// step): it inverts the pixel at (0, 0).
void EditOnePixel(TIconDocument& doc) {
    TIconDocument::TEdit edit = doc.BeginEdit();
    TSurface32& picture = edit.Picture();
    picture.SetPixel(0, 0, picture.GetPixel(0, 0) ^ 0x00FFFFFFu);
    edit.Commit();
}

// Every pixel of its own colour, so that any misplaced pixel shows.
TSurface32 Pattern() {
    TSurface32 s(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            s.SetPixel(x, y, 0xFF000000u | (x * 6u) << 16 | (y * 6u) << 8 | 0x40u);
    return s;
}

void SetWork(TIconDocument& doc, const TSurface32& picture) {
    doc.WorkBitmap().CopyFrom(picture);
}

// Presses and releases `button` over the centre of the canvas cell (col, row).
void ClickCell(TCanvasWidget* canvas, int col, int row, Qt::MouseButton button) {
    const int z = canvas->Zoom();
    const QPointF at(col * z + z / 2, row * z + z / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, canvas->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, canvas->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
}

QImage Filled(int w, int h, QRgb color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

class TCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        TQtSystemColors::Install();
        TQtTextRasterizer::Install();
    }
    void cleanup() { TInputBox::SetHook(nullptr); }

    void RotationThroughTheDialog_data() {
        QTest::addColumn<int>("angle");
        QTest::newRow("90") << 90;
        QTest::newRow("180") << 180;
        QTest::newRow("270") << 270;
        QTest::newRow("45") << 45;
    }
    void RotationThroughTheDialog() {
        QFETCH(int, angle);
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        const TSurface32 source = Pattern();
        SetWork(doc, source);
        uint32_t fill = 0;
        WhenShown<TTindraAngleForm>([&](TTindraAngleForm* dialog) {
            QVERIFY(!dialog->OKButton->isEnabled());
            QVERIFY(dialog->RBother->isChecked());
            if (angle == 90)
                dialog->RB090->click();
            else if (angle == 180)
                dialog->RB180->click();
            else if (angle == 270)
                dialog->RB270->click();
            else
                dialog->SEAngle->setValue(angle);
            fill = dialog->RotationModel().Rotator().FillColor();
            QVERIFY(dialog->OKButton->isEnabled());
            dialog->OKButton->click();
        });
        form->MnImageRotateClick();
        const TSurface32& r = doc.WorkBitmap();
        QCOMPARE(doc.UndoDepth(0), 1);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                uint32_t want = 0;
                switch (angle) {
                case 90:
                    want = source.GetPixel(39 - y, x);
                    break;
                case 180:
                    want = source.GetPixel(39 - x, 39 - y);
                    break;
                case 270:
                    want = source.GetPixel(y, 39 - x);
                    break;
                default:
                    continue;
                }
                QCOMPARE(r.GetPixel(x, y), want);
            }
        if (angle == 45) {
            for (auto [x, y] : {std::pair{0, 0}, {39, 0}, {0, 39}, {39, 39}})
                QCOMPARE(r.GetPixel(x, y), fill);
            QCOMPARE(r.GetPixel(20, 20), source.GetPixel(20, 20));
        }
    }

    void RotationDialogWrapsAndCancels() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        SetWork(doc, Pattern());
        WhenShown<TTindraAngleForm>([](TTindraAngleForm* dialog) {
            dialog->SEAngle->setValue(10);
            QVERIFY(dialog->OKButton->isEnabled());
            dialog->SEAngle->setValue(360);
            QCOMPARE(dialog->SEAngle->value(), 0);
            QCOMPARE(dialog->RotationModel().Dial().Angle(), 0);
            QVERIFY(!dialog->OKButton->isEnabled());
            dialog->SEAngle->setValue(-1);
            QCOMPARE(dialog->SEAngle->value(), 359);
            // Shift + press left of the centre points at 180, and the step adds one.
            QTest::mouseClick(dialog->ASAngle, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 72));
            QCOMPARE(dialog->SEAngle->value(), 181);
            dialog->CancelButton->click();
        });
        form->MnImageRotateClick();
        QCOMPARE(doc.UndoDepth(0), 0);
        QVERIFY(std::equal(doc.WorkBitmap().Bits(), doc.WorkBitmap().Bits() + 1600, Pattern().Bits()));
    }

    void TextBlockEndsAboveTheCell_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("button");
        QTest::newRow("mid, left") << 30 << int(Qt::LeftButton);
        QTest::newRow("near the top, right") << 3 << int(Qt::RightButton);
        QTest::newRow("middle button draws nothing") << 30 << int(Qt::MiddleButton);
    }
    void TextBlockEndsAboveTheCell() {
        QFETCH(int, row);
        QFETCH(int, button);
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        doc.SetDrawColor(TSurfaceColor(0xFF000000u));
        doc.SetBackColor(TSurfaceColor(0xFFFF0000u));
        TSurface32 white(40, 40);
        white.FillAll(0xFFFFFFFFu);
        SetWork(doc, white);
        QString asked;
        TInputBox::SetHook([&](const QString& caption, const QString& prompt, const QString& preset) {
            asked = caption + "|" + prompt + "|" + preset;
            return QStringLiteral("A");
        });
        // The tool is chosen on its button and the cell clicked on the canvas, as a user does.
        Find<QToolButton>(form, "SBToolText")->click();
        ClickCell(Find<TCanvasWidget>(form, "PBMain"), 5, row, Qt::MouseButton(button));
        QCOMPARE(asked, QStringLiteral("Tindra|Enter text:|"));
        QCOMPARE(doc.UndoDepth(0), button == Qt::MiddleButton ? 0 : 1); // drawing nothing is no step

        TSurface32 want;
        want.CopyFrom(white);
        want.Font = form->findChild<TFontPanel*>()->TextFont();
        const int h = want.TextExtent("A").Height;
        QVERIFY(h > 3);
        if (button != Qt::MiddleButton)
            want.RenderText(5, std::max(row - h, 0), "A",
                            button == Qt::LeftButton ? 0xFF000000u : 0xFFFF0000u);
        QVERIFY(std::equal(want.Bits(), want.Bits() + 1600, doc.WorkBitmap().Bits()));
        if (button != Qt::MiddleButton) QVERIFY(!std::equal(want.Bits(), want.Bits() + 1600, white.Bits()));
    }

    void EmptyTextChangesNothing() {
        auto form = StartedWithNewIcon();
        TInputBox::SetHook([](const QString&, const QString&, const QString&) { return QString(); });
        Find<QToolButton>(form, "SBToolText")->click();
        ClickCell(Find<TCanvasWidget>(form, "PBMain"), 5, 20, Qt::LeftButton);
        QCOMPARE(form->DocumentModel().UndoDepth(0), 0);
    }

    void FontPanelStyleCaptionsAndSample() {
        auto form = StartedWithNewIcon();
        TFontPanel& panel = *form->findChild<TFontPanel*>();
        QToolButton* bold = Find<QToolButton>(form, "SBBold");
        QVERIFY(bold->font().bold()); // a click would make the text bold
        bold->click();
        QVERIFY(panel.TextFont().HasStyle(fsBold));
        QVERIFY(!bold->font().bold());
        bold->click();
        QVERIFY(!panel.TextFont().HasStyle(fsBold));
        QVERIFY(bold->font().bold());

        // The font dialog: italic chosen, so "I" turns plain while "B" and "U" keep their styles.
        panel.AskFont = [](const QFont& current) {
            QFont f = current;
            f.setItalic(true);
            f.setBold(false);
            f.setUnderline(false);
            return std::optional<QFont>(f);
        };
        Find<QToolButton>(form, "SBFontSelect")->click();
        QVERIFY(panel.TextFont().HasStyle(fsItalic));
        QVERIFY(!Find<QToolButton>(form, "SBItalics")->font().italic());
        QVERIFY(bold->font().bold());
        QVERIFY(Find<QToolButton>(form, "SBUnderline")->font().underline());

        // Choosing a face: the font follows it and the character set comes from its writing systems.
        QComboBox* faces = Find<QComboBox>(form, "CBFontName");
        const int face = faces->count() - 1;
        faces->setCurrentIndex(face);
        const QString family = faces->itemText(face);
        QCOMPARE(QString::fromStdString(panel.TextFont().Name), family);
        QCOMPARE(panel.TextFont().Charset, TFontPanel::FaceCharset(family));
        QCOMPARE(panel.CBFontCharset()->count(), int(QFontDatabase::writingSystems(family).size()));
        for (const QString& f : QFontDatabase::families())
            if (QFontDatabase::writingSystems(f).contains(QFontDatabase::Latin)) {
                QCOMPARE(TFontPanel::FaceCharset(f), TFontPanel::CharsetCentralEuropean);
                break;
            }
        QCOMPARE(TFontPanel::FaceCharset("No Such Face Anywhere"), TFontPanel::CharsetDefault);

        // A size that is no whole number leaves the font alone.
        const int height = panel.TextFont().Height;
        Find<QComboBox>(form, "CBFontSize")->setCurrentText("abc");
        QCOMPARE(panel.TextFont().Height, height);
        Find<QComboBox>(form, "CBFontSize")->setCurrentText("12");
        QCOMPARE(panel.TextFont().Size(), 12);

        // The sample prompt: Cancel gives the preset back, which resets the sample.
        TInputBox::SetHook(
            [](const QString&, const QString&, const QString&) { return QStringLiteral("xyz"); });
        panel.TestPanelClick();
        QCOMPARE(Find<QLabel>(form, "TestPanel")->text(), QStringLiteral("xyz"));
        TInputBox::SetHook([](const QString&, const QString& prompt, const QString& preset) {
            return prompt == "Enter sample text:" ? preset : QString();
        });
        panel.TestPanelClick();
        QCOMPARE(Find<QLabel>(form, "TestPanel")->text(), TFontPanel::DefaultSample);
    }

    void PastePlacement_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("16 x 16 centred") << 16 << 16 << 12 << 12;
        QTest::newRow("31 x 20 centred") << 31 << 20 << 4 << 10;
        QTest::newRow("32 x 32 on the icon area") << 32 << 32 << 4 << 4;
        QTest::newRow("33 x 20 at the corner") << 33 << 20 << 0 << 0;
        QTest::newRow("100 x 100 cut to 40 x 40") << 100 << 100 << 0 << 0;
    }
    void PastePlacement() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, x);
        QFETCH(int, y);
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        QImage image(w, h, QImage::Format_ARGB32);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                image.setPixel(i, j, qRgb(i * 2, j * 2, 0x80));
        QGuiApplication::clipboard()->setImage(image);
        QVERIFY(Find<QAction>(form, "MnEditPaste")->isEnabled());
        form->MnEditPasteClick();
        QCOMPARE(doc.UndoDepth(0), 1);
        const TSurface32& t = doc.EmptyTemplate(1);
        for (int j = 0; j < 40; ++j)
            for (int i = 0; i < 40; ++i) {
                const bool inside = i >= x && i < x + w && j >= y && j < y + h;
                const uint32_t want = inside ? image.pixel(i - x, j - y) | 0xFF000000u : t.GetPixel(i, j);
                QCOMPARE(doc.WorkBitmap().GetPixel(i, j), want);
            }
    }

    // Fixture: a 3 × 1 picture with alpha, as a browser or a paint program copies a transparent icon:
    // alpha 0 (its colour black), red at alpha 128, opaque blue. Pasted, the transparent pixel shows
    // the frame under it, the half-covered one is mixed with it, the opaque one is drawn as it is.
    void PasteShowsTheFrameUnderTransparentPixels() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        QImage image(3, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        image.setPixel(1, 0, qRgba(255, 0, 0, 128));
        image.setPixel(2, 0, qRgba(0, 0, 255, 255));
        QGuiApplication::clipboard()->setImage(image);
        form->MnEditPasteClick();
        const uint32_t under = doc.EmptyTemplate(1).GetPixel(19, 19); // pasted centred at (18, 19)
        auto mix = [](uint32_t s, uint32_t t, uint32_t a) {
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8)
                out |= ((((s >> shift) & 0xFF) * a + ((t >> shift) & 0xFF) * (255 - a) + 127) / 255) << shift;
            return out;
        };
        QCOMPARE(doc.WorkBitmap().GetPixel(18, 19), doc.EmptyTemplate(1).GetPixel(18, 19));
        QCOMPARE(doc.WorkBitmap().GetPixel(19, 19), mix(0xFFFF0000u, under, 128));
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 19), 0xFF0000FFu);
    }

    void PasteFollowsTheClipboard() {
        auto form = StartedWithNewIcon();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("text");
        QVERIFY(!Find<QAction>(form, "MnEditPaste")->isEnabled());
        QVERIFY(!Find<QToolButton>(form, "TBEditPaste")->isEnabled());
        form->MnEditPasteClick();
        QCOMPARE(form->DocumentModel().UndoDepth(0), 0);
        // A pixmap counts as a bitmap too.
        clipboard->setPixmap(QPixmap::fromImage(Filled(8, 8, qRgb(255, 0, 0))));
        QVERIFY(Find<QAction>(form, "MnEditPaste")->isEnabled());
        QVERIFY(Find<QToolButton>(form, "TBEditPaste")->isEnabled());
        form->MnEditPasteClick();
        QCOMPARE(form->DocumentModel().WorkBitmap().GetPixel(16, 16), 0xFFFF0000u);
        clipboard->setText("again");
        QVERIFY(!Find<QAction>(form, "MnEditPaste")->isEnabled());
    }

    void CutThenUndo() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        const TSurface32 pattern = Pattern();
        SetWork(doc, pattern);
        doc.SetBackColor(TSurfaceColor(0xFFCCCCCCu));
        form->MnEditCutClick();
        QCOMPARE(doc.UndoDepth(0), 1);
        for (int i = 0; i < 1600; ++i)
            QCOMPARE(doc.WorkBitmap().Bits()[i], 0xFFCCCCCCu);
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(40, 40));
        QCOMPARE(copied.pixel(39, 0) | 0xFF000000u, pattern.GetPixel(39, 0));
        QVERIFY(Find<QAction>(form, "MnEditPaste")->isEnabled());
        form->MnEditUndoClick();
        QCOMPARE(doc.UndoDepth(0), 0);
        QVERIFY(std::equal(pattern.Bits(), pattern.Bits() + 1600, doc.WorkBitmap().Bits()));
        // Copy then Paste gives the frame back.
        form->MnEditCopyClick();
        doc.WorkBitmap().FillAll(0xFF000000u);
        form->MnEditPasteClick();
        QVERIFY(std::equal(pattern.Bits(), pattern.Bits() + 1600, doc.WorkBitmap().Bits()));
    }

    void GifClipboardFormat() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        // A GIF put on the clipboard comes back through the codec, and pastes as its first frame.
        TSurface32 red(16, 16);
        red.FillAll(0xFFFF0000u);
        TSurface32 frame(40, 40);
        frame.FillAll(0xFF0000FFu);
        auto mime = std::unique_ptr<QMimeData>(TClipboardPicture::FrameData(frame));
        std::unique_ptr<TGIFPicture> gif = TClipboardPicture::LoadGif(mime.get());
        TClipboardPicture::SaveGif(*gif, clipboard);
        QVERIFY(clipboard->mimeData()->hasFormat(TClipboardPicture::GifMimeType()));
        auto gifOnly = std::make_unique<QMimeData>();
        gifOnly->setData(TClipboardPicture::GifMimeType(),
                         clipboard->mimeData()->data(TClipboardPicture::GifMimeType()));
        QVERIFY(TClipboardPicture::HasPicture(gifOnly.get()));
        const std::optional<TPixelImage> picture = TClipboardPicture::Picture(gifOnly.get());
        QVERIFY(picture);
        QCOMPARE(picture->Width, 40);
        QCOMPARE(picture->At(20, 20), 0xFF0000FFu);
        QVERIFY(TClipboardPicture::LoadGif(gifOnly.get()));

        // Text alone is no picture and no GIF.
        auto text = std::make_unique<QMimeData>();
        text->setText("x");
        QVERIFY(!TClipboardPicture::HasPicture(text.get()));
        try {
            TClipboardPicture::LoadGif(text.get());
            QFAIL("text taken for a GIF");
        } catch (const EGIFException& e) {
            QCOMPARE(QString(e.what()), QStringLiteral("Unsupported clipboard format"));
        }
        // Damaged GIF data pastes nothing, and loading it reports the reader's own error.
        const QByteArray whole = gifOnly->data(TClipboardPicture::GifMimeType());
        const QByteArray damagedPayloads[] = {
            QByteArray("GIF89a\x28\x00", 8),                // cut inside the screen descriptor
            QByteArray("PNG89a\x28\x00\x28\x00\0\0\0", 13), // no GIF signature
            whole.left(24),                                 // cut inside the image descriptor
            whole.left(19) + QByteArray("\x21\x77\x00", 3) + whole.mid(19), // an extension of no known kind
        };
        for (const QByteArray& payload : damagedPayloads) {
            std::string readerSays;
            try {
                TGIFPicture reader;
                reader.LoadFromBuffer(reinterpret_cast<const uint8_t*>(payload.constData()),
                                      static_cast<size_t>(payload.size()));
            } catch (const EGIFException& e) {
                readerSays = e.what();
            }
            QVERIFY2(!readerSays.empty(), payload.toHex().constData());
            auto damaged = std::make_unique<QMimeData>();
            damaged->setData(TClipboardPicture::GifMimeType(), payload);
            QVERIFY(!TClipboardPicture::Picture(damaged.get()));
            try {
                TClipboardPicture::LoadGif(damaged.get());
                QFAIL("damaged GIF accepted");
            } catch (const EGIFException& e) {
                QCOMPARE(std::string(e.what()), readerSays);
            }
        }
    }

    void InsertAndMoveThroughTheDialogs() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        auto tag = [&](uint32_t color) {
            doc.WorkBitmap().FillAll(color);
            doc.CommitFrame();
        };
        auto order = [&] {
            QString s;
            for (int i = 0; i < doc.FrameCount(); ++i) {
                const uint32_t c = doc.FrameBitmap(i).GetPixel(20, 20);
                s += c == 0xFFFF0000u   ? 'A'
                     : c == 0xFF00FF00u ? 'B'
                     : c == 0xFF0000FFu ? 'C'
                     : c == 0xFFFFFF00u ? 'D'
                                        : '?';
            }
            return s;
        };
        auto insert = [&](bool before, int time) {
            WhenShown<TTindraIframeForm>([before, time](TTindraIframeForm* dialog) {
                QCOMPARE(dialog->CBFrameSource->currentIndex(), 0);
                (before ? dialog->RBBefore : dialog->RBAfter)->click();
                dialog->SEDisplayTime->setValue(time);
                dialog->OKButton->click();
            });
            form->MnEditInsertFrameClick();
        };
        tag(0xFFFF0000u); // A
        insert(false, 1234);
        QCOMPARE(doc.CurrentFrame(), 1);
        QCOMPARE(doc.DisplayTime(1), 1230);
        tag(0xFFFFFF00u); // D
        insert(true, 100);
        QCOMPARE(doc.CurrentFrame(), 1);
        tag(0xFF00FF00u); // B
        insert(false, 100);
        QCOMPARE(doc.CurrentFrame(), 2);
        tag(0xFF0000FFu); // C
        QCOMPARE(order(), QStringLiteral("ABCD"));
        QVERIFY(doc.IsModified()); // inserted frames are unsaved work
        QVERIFY(form->windowTitle().endsWith(" *"));

        // B to position 4: A C D B, with B selected and its undo snapshot moved with it.
        doc.SelectFrame(1);
        EditOnePixel(doc);
        WhenShown<TTindraMFrameForm>([](TTindraMFrameForm* dialog) {
            QCOMPARE(dialog->LBCurrentFrame->text(), QStringLiteral("2"));
            QCOMPARE(dialog->JTNewPosition->maximum(), 3);
            dialog->JTNewPosition->setValue(1); // the current position is skipped
            QCOMPARE(dialog->JTNewPosition->value(), 2);
            dialog->JTNewPosition->setValue(3);
            dialog->OKButton->click();
        });
        form->MnEditMoveFrameClick();
        QCOMPARE(order(), QStringLiteral("ACDB"));
        QCOMPARE(doc.CurrentFrame(), 3);
        QCOMPARE(doc.UndoDepth(3), 1);

        // On the last frame the slider steps back from it.
        WhenShown<TTindraMFrameForm>([](TTindraMFrameForm* dialog) {
            dialog->JTNewPosition->setValue(3);
            QCOMPARE(dialog->JTNewPosition->value(), 2);
            dialog->CancelButton->click();
        });
        form->MnEditMoveFrameClick();
        QCOMPARE(order(), QStringLiteral("ACDB"));

        form->MnEditRemoveFrameClick();
        QCOMPARE(order(), QStringLiteral("ACD"));
        QCOMPARE(doc.CurrentFrame(), 2);
    }

    void TwoFramesSwapWithoutDialog() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        doc.WorkBitmap().FillAll(0xFFFF0000u);
        doc.CommitFrame();
        doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(1), 100);
        doc.SelectFrame(0);
        form->MnEditMoveFrameClick(); // a dialog here would never be answered
        QCOMPARE(doc.CurrentFrame(), 1);
        QCOMPARE(doc.FrameBitmap(1).GetPixel(20, 20), 0xFFFF0000u);
        form->MnEditRemoveFrameClick();
        QCOMPARE(doc.FrameCount(), 1);
        form->MnEditRemoveFrameClick(); // the last frame stays
        QCOMPARE(doc.FrameCount(), 1);
    }

    void InsertFromTheClipboard() {
        auto form = StartedWithNewIcon();
        QGuiApplication::clipboard()->setImage(Filled(16, 16, qRgb(255, 0, 0)));
        const TSurface32 empty = form->DocumentModel().InsertPreview(nullptr);
        WhenShown<TTindraIframeForm>([&empty](TTindraIframeForm* dialog) {
            dialog->CBFrameSourceClick(TTindraIframeForm::SourceClipboard);
            QCOMPARE(dialog->Preview().GetPixel(12, 12), 0xFFFF0000u);
            QCOMPARE(dialog->Preview().GetPixel(11, 11), empty.GetPixel(11, 11));
            dialog->OKButton->click();
        });
        form->MnEditInsertFrameClick();
        QCOMPARE(form->DocumentModel().FrameCount(), 2);
    }

    void InsertFromAFile() {
        auto form = StartedWithNewIcon();
        QTemporaryDir dir;
        form->OpenName = dir.filePath("blue.bmp");
        QVERIFY(Filled(32, 32, qRgb(0, 0, 255)).convertToFormat(QImage::Format_RGB888).save(form->OpenName));
        WhenShown<TTindraIframeForm>([&](TTindraIframeForm* dialog) {
            QCOMPARE(dialog->CancelButton->text(), QStringLiteral("Cancel")); // English interface
            dialog->CBFrameSourceClick(TTindraIframeForm::SourceFile);
            QCOMPARE(dialog->Preview().GetPixel(4, 4), 0xFF0000FFu);
            QCOMPARE(dialog->Preview().GetPixel(35, 35), 0xFF0000FFu);
            QVERIFY(dialog->Preview().GetPixel(3, 3) != 0xFF0000FFu);
            // A missing file leaves the preview as it was.
            form->OpenName = dir.filePath("missing.bmp");
            dialog->CBFrameSourceClick(TTindraIframeForm::SourceFile);
            QCOMPARE(dialog->Preview().GetPixel(4, 4), 0xFF0000FFu);
            dialog->RBBefore->click();
            dialog->OKButton->click();
        });
        form->MnEditInsertFrameClick();
        QCOMPARE(form->DocumentModel().FrameCount(), 2);
        QCOMPARE(form->DocumentModel().CurrentFrame(), 0);
        QCOMPARE(form->DocumentModel().FrameBitmap(0).GetPixel(20, 20), 0xFF0000FFu);
    }

    void DialDragShowsTheAngle() {
        TTindraAngleForm dialog;
        TSurface32 picture(40, 40);
        picture.FillAll(0xFF102030u);
        dialog.SetPicture(picture);
        dialog.show();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent e(type, at, dialog.ASAngle->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(dialog.ASAngle, &e);
        };
        // The marker of angle 0 lies right of the centre; dragging it left of the centre gives 180.
        send(QEvent::MouseButtonPress, QPoint(138, 72), Qt::LeftButton);
        QVERIFY(dialog.ASAngle->Dragging());
        send(QEvent::MouseMove, QPoint(10, 72), Qt::LeftButton);
        QCOMPARE(dialog.SEAngle->value(), 180);
        QVERIFY(dialog.RB180->isChecked());
        QVERIFY(dialog.OKButton->isEnabled());
        QVERIFY(dialog.ASAngle->Hint()->isVisible());
        QCOMPARE(dialog.ASAngle->Hint()->text(), QString("180") + QChar(0x00B0));
        // On the vertical line through the centre the angle stays.
        send(QEvent::MouseMove, QPoint(72, 10), Qt::LeftButton);
        QCOMPARE(dialog.SEAngle->value(), 180);
        send(QEvent::MouseButtonRelease, QPoint(72, 10), Qt::NoButton);
        QVERIFY(!dialog.ASAngle->Hint()->isVisible());
        // A press away from the marker starts no drag.
        send(QEvent::MouseButtonPress, QPoint(72, 72), Qt::LeftButton);
        QVERIFY(!dialog.ASAngle->Dragging());
    }

    void RefusedFileIsReported() {
        auto form = StartedWithNewIcon();
        QTemporaryDir dir;
        const QString path = dir.filePath("broken.gif");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("GIF89a");
        file.close();
        form->OpenName = path;
        form->MnFileOpenClick();
        QCOMPARE(form->Errors, QStringList{"Error opening file."});
        // The icon that was open stays, with its name.
        QCOMPARE(form->windowTitle(), QStringLiteral("Tindra - new.gif"));
        QVERIFY(form->DocumentModel().ImageLoaded());
        QVERIFY(form->isEnabled());
    }

    void CancelledSaveAfterYesKeepsTheDocument() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().FillAll(0xFF0000FFu);
            edit.Commit();
        }
        QVERIFY(doc.IsModified());
        AnswerQuestion(QMessageBox::Yes);
        form->SaveNames = {""};
        form->MnFileNewClick();
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.WorkBitmap().GetPixel(20, 20), 0xFF0000FFu);
        // Closing is refused the same way.
        AnswerQuestion(QMessageBox::Yes);
        form->SaveNames = {""};
        QVERIFY(!form->close());
        // No to the question lets New go on.
        AnswerQuestion(QMessageBox::No);
        form->MnFileNewClick();
        QVERIFY(!doc.IsModified());
    }

    void SaveAsAndWriteErrors() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        QTemporaryDir dir;
        const QString path = dir.filePath("icon.gif");
        EditOnePixel(doc);
        form->SaveNames = {path};
        form->MnFileSaveAsClick();
        QVERIFY(QFile::exists(path));
        QVERIFY(!doc.IsModified());
        QVERIFY(form->windowTitle().endsWith("icon.gif"));
        QVERIFY(form->isEnabled());

        // The file exists: No to "Replace it?" writes nothing.
        QFile::resize(path, 3);
        QString question;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        form->SaveNames = {path};
        form->MnFileSaveFrameAsBMPClick();
        QCOMPARE(question, QStringLiteral("File icon.gif already exists.\r\nReplace it?"));
        QCOMPARE(QFileInfo(path).size(), 3);

        // A folder that does not exist cannot be written: the error is shown, the window usable.
        form->SaveNames = {dir.filePath("missing/frame.bmp")};
        form->MnFileSaveFrameAsBMPClick();
        QCOMPARE(form->Errors.size(), 1);
        QVERIFY(form->isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Redo, Undelete and Duplicate frame from the Edit menu: shortcuts, enabled rules, results.
    void RedoUndeleteAndDuplicateFromTheEditMenu() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        auto* undo = Find<QAction>(form.get(), "MnEditUndo");
        auto* redo = Find<QAction>(form.get(), "MnEditRedo");
        auto* undelete = Find<QAction>(form.get(), "MnEditUndelete");
        auto* duplicate = Find<QAction>(form.get(), "MnEditDuplicateFrame");
        QCOMPARE(redo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
        QCOMPARE(undelete->shortcut(), QKeySequence("Ctrl+Alt+Del"));
        QVERIFY(!redo->isEnabled());
        QVERIFY(!undelete->isEnabled());
        QVERIFY(duplicate->isEnabled());

        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(5, 5, 0xFFFF0000u);
            edit.Commit();
        }
        doc.SetDisplayTime(250);
        duplicate->trigger(); // the copy after the current frame, with its display time
        QCOMPARE(doc.FrameCount(), 2);
        QCOMPARE(doc.CurrentFrame(), 1);
        QCOMPARE(doc.FrameBitmap(1).GetPixel(5, 5), 0xFFFF0000u);
        QCOMPARE(doc.DisplayTime(1), 250);
        undo->trigger(); // the duplicate
        QCOMPARE(doc.FrameCount(), 1);
        QVERIFY(redo->isEnabled());
        redo->trigger();
        QCOMPARE(doc.FrameCount(), 2);
        QVERIFY(!redo->isEnabled());

        // Remove frame 1, then Undelete brings it back, selected; the command is then disabled again.
        doc.SelectFrame(0);
        Find<QAction>(form.get(), "MnEditRemoveFrame")->trigger();
        QCOMPARE(doc.FrameCount(), 1);
        QVERIFY(undelete->isEnabled());
        undelete->trigger();
        QCOMPARE(doc.FrameCount(), 2);
        QCOMPARE(doc.CurrentFrame(), 0);
        QVERIFY(!undelete->isEnabled());
        QVERIFY(form->windowTitle().endsWith(" *"));
        // The Edit menu shows the new items in both languages.
        QCOMPARE(redo->text(), QStringLiteral("R&edo"));
        QCOMPARE(duplicate->text(), QStringLiteral("&Duplicate frame"));
    }

    void InsertDialogCopiesTheCurrentFrame() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        doc.WorkBitmap().SetPixel(3, 4, 0xFFFF0000u); // a few colours: kept pixel for pixel
        doc.WorkBitmap().SetPixel(30, 20, 0xFF0000FFu);
        doc.CommitFrame();
        doc.SetDisplayTime(330);
        const TSurface32 current = doc.FrameBitmap(0);
        WhenShown<TTindraIframeForm>([&current](TTindraIframeForm* dialog) {
            QCOMPARE(dialog->CBFrameSource->itemText(TTindraIframeForm::SourceCopy),
                     QStringLiteral("Copy of the current frame"));
            dialog->CBFrameSourceClick(TTindraIframeForm::SourceCopy);
            QCOMPARE(dialog->SEDisplayTime->value(), 330);
            QVERIFY(std::equal(current.Bits(), current.Bits() + 40 * 40, dialog->Preview().Bits()));
            dialog->RBAfter->click();
            dialog->OKButton->click();
        });
        form->MnEditInsertFrameClick();
        QCOMPARE(doc.FrameCount(), 2);
        QCOMPARE(doc.CurrentFrame(), 1);
        QCOMPARE(doc.DisplayTime(1), 330);
        QVERIFY(std::equal(current.Bits(), current.Bits() + 40 * 40, doc.FrameBitmap(1).Bits()));
    }

    // A row dropped on the frame list moves its frame as the move dialog does, as one step of the
    // history; the place follows the half of the row the drop lands on.
    void DraggingARowMovesTheFrame_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<bool>("lowerHalf");
        QTest::addColumn<QString>("order");
        QTest::newRow("down, after the last") << 1 << 3 << true << "ACDB";
        QTest::newRow("down, before a row") << 0 << 2 << false << "BACD";
        QTest::newRow("up, before the first") << 3 << 0 << false << "DABC";
        QTest::newRow("up, after a row") << 3 << 1 << true << "ABDC";
        QTest::newRow("onto itself") << 2 << 2 << false << "ABCD";
    }
    void DraggingARowMovesTheFrame() {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(bool, lowerHalf);
        QFETCH(QString, order);
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        MakeTaggedFrames(doc);
        auto frames = [&] { return TaggedOrder(doc); };
        auto* list = Find<TFrameListView>(form.get(), "LBImageBox");
        list->resize(120, 400);
        QCoreApplication::processEvents();
        const QRect row = list->visualRect(list->model()->index(onto, 0));
        const QPoint at(row.center().x(), lowerHalf ? row.bottom() - 2 : row.top() + 2);

        QMimeData data;
        data.setData(TFrameListModel::RowMimeType, QByteArray::number(from));
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);

        QCOMPARE(frames(), order);
        QCOMPARE(list->model()->rowCount(), 4);
        if (order == "ABCD") return;
        const int target = order.indexOf(QChar('A' + from));
        QCOMPARE(doc.CurrentFrame(), target);
        QCOMPARE(list->currentIndex().row(), target);
        Find<QAction>(form.get(), "MnEditUndo")->trigger(); // one step
        QCOMPARE(frames(), QStringLiteral("ABCD"));
        QCOMPARE(doc.CurrentFrame(), from);
    }

    // Another kind of data dropped on the frame list is refused and changes nothing.
    void ForeignDropsAreRefused() {
        auto form = StartedWithNewIcon();
        form->DocumentModel().DuplicateFrame();
        auto* list = Find<TFrameListView>(form.get(), "LBImageBox");
        QMimeData data;
        data.setText("1");
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(form->DocumentModel().CurrentFrame(), 1);
        Find<QAction>(form.get(), "MnEditUndo")->trigger(); // the duplicate is the only step
        QCOMPARE(form->DocumentModel().FrameCount(), 1);
    }

    // The warning beside the display-time field shows below 20 ms, with its hint in both languages.
    void ShortDisplayTimesAreFlagged_data() {
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("10") << 10 << true;
        QTest::newRow("0 stored") << 0 << true;
        QTest::newRow("20") << 20 << false;
        QTest::newRow("100") << 100 << false;
    }
    void ShortDisplayTimesAreFlagged() {
        QFETCH(int, milliseconds);
        QFETCH(bool, flagged);
        auto form = StartedWithNewIcon();
        form->DisplayTimeChanged(milliseconds); // as a frame with that time shows it
        auto* sign = Find<QLabel>(form.get(), "LBSpeedHint");
        QCOMPARE(sign->isVisibleTo(form.get()), flagged);
        QCOMPARE(sign->toolTip(), QStringLiteral("Browsers play 10 ms or less as 100 ms"));
        // Typing in the field flags it as well.
        auto* field = Find<QSpinBox>(form.get(), "EDSpeed");
        field->setValue(flagged ? 100 : 10);
        QCOMPARE(sign->isVisibleTo(form.get()), !flagged);
    }

    // The loop count typed into its box (kept on Cancel, refused with a message when it is no count),
    // and the preview playing it: a finite count stops by itself after its passes, forever does not.
    void LoopCountIsTypedAndPlayed() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(0), 10);
        doc.SetDisplayTime(10);
        QString answer, offered;
        TInputBox::SetHook([&](const QString&, const QString&, const QString& preset) {
            offered = preset;
            return answer;
        });
        auto* item = Find<QAction>(form, "MnImageLoopCount");
        const struct {
            const char* typed;
            int count; // what the document holds afterwards
            int errors;
        } steps[] = {
            {"3", 3, 0}, {"x", 3, 1}, {"70000", 3, 2}, {"", TIconDocument::PlayOnce, 2}, {"0", 0, 2}};
        for (const auto& step : steps) {
            answer = QString::fromUtf8(step.typed);
            item->trigger();
            QCOMPARE(doc.LoopCount(), step.count);
            QCOMPARE(form->Errors.size(), step.errors);
        }
        QCOMPARE(offered, QString()); // the box showed play once as an empty field

        QVERIFY(doc.SetLoopCount(1)); // two passes of two short frames
        form->MnImagePlayAnimationClick();
        QVERIFY(doc.Animating());
        QTRY_VERIFY_WITH_TIMEOUT(!doc.Animating(), 5000);
        QVERIFY(Find<QAction>(form, "MnImagePlayAnimation")->isEnabled());
        QVERIFY(doc.SetLoopCount(TIconDocument::LoopForever));
        form->MnImagePlayAnimationClick();
        QTest::qWait(400);
        QVERIFY(doc.Animating());
        form->MnImageStopAnimationClick();
        QVERIFY(!doc.Animating());
        QCOMPARE(GifFrames::LoopCount(doc.Frames40()), GifFrames::NoLooping); // the preview's loop is gone
    }

    // The file settings (modern ICO, smaller GIF) are the document's from the click on, and the next
    // window starts with them.
    void FileSettingsAreKept() {
        struct Setting {
            const char* Item;
            bool (TIconDocument::*On)() const;
        };
        for (const Setting s : {Setting{"MnFileModernIco", &TIconDocument::ModernIco},
                                Setting{"MnFileOptimizeGif", &TIconDocument::OptimizeGif}}) {
            {
                auto form = StartedWithNewIcon();
                auto* item = Find<QAction>(form, s.Item);
                QVERIFY2(!item->isChecked(), s.Item);
                QVERIFY(!(form->DocumentModel().*s.On)());
                item->trigger();
                QVERIFY((form->DocumentModel().*s.On)());
            }
            auto again = StartedWithNewIcon();
            auto* item = Find<QAction>(again, s.Item);
            QVERIFY2(item->isChecked(), s.Item);
            QVERIFY((again->DocumentModel().*s.On)());
            item->trigger(); // back to the default for the other tests
            QVERIFY(!(again->DocumentModel().*s.On)());
        }
    }

    // The display time of all frames is typed once; a wrong number changes nothing and says why. Reverse
    // frames turns the order round.
    void AllDisplayTimesAndReverse() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        doc.InsertFrame(TInsertPosition::After, doc.EmptyTemplate(0), 10);
        doc.SetDisplayTime(30);
        QString answer, offered;
        TInputBox::SetHook([&](const QString&, const QString&, const QString& preset) {
            offered = preset;
            return answer;
        });
        auto* item = Find<QAction>(form, "MnImageAllDisplayTimes");
        const struct {
            const char* typed;
            int time; // of both frames afterwards
            int errors;
        } steps[] = {{"250", 250, 0}, {"x", 250, 1}, {"5", 250, 2}, {" 1000 ", 1000, 2}};
        for (const auto& step : steps) {
            answer = QString::fromUtf8(step.typed);
            item->trigger();
            QCOMPARE(doc.DisplayTime(0), step.time);
            QCOMPARE(doc.DisplayTime(1), step.time);
            QCOMPARE(form->Errors.size(), step.errors);
        }
        QCOMPARE(offered, QString("250")); // the current frame's time
        doc.WorkBitmap().SetPixel(20, 20, 0xFF102030);
        doc.CommitFrame();
        Find<QAction>(form, "MnEditReverseFrames")->trigger();
        QCOMPARE(doc.FrameBitmap(0).GetPixel(20, 20), 0xFF102030u);
        QCOMPARE(doc.CurrentFrame(), 0);
    }

    // A new document has the keyboard on its canvas, and Undo and Redo keys pressed in the tool size
    // field reach the window's commands; Merge repeated frames is one step for them.
    void UndoKeysReachTheWindow() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        QCOMPARE(form->focusWidget(), static_cast<QWidget*>(Find<TCanvasWidget>(form, "PBMain")));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        Find<QAction>(form, "MnEditDuplicateFrame")->trigger();
        Find<QAction>(form, "MnEditDuplicateFrame")->trigger();
        Find<QAction>(form, "MnEditMergeRepeats")->trigger();
        QCOMPARE(doc.FrameCount(), 1);
        QCOMPARE(doc.DisplayTime(0), 300);
        auto* size = Find<QSpinBox>(form, "EdToolSize");
        size->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.FrameCount(), 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.FrameCount(), 1);
        QCOMPARE(size->value(), 1);
    }
};

QTEST_MAIN(TCommandsTest)
#include "CommandsTest.moc"
