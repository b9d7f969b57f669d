// The GIF attributes window, the Effects submenu and the Colours menu on a real window and document.

#include "CanvasWidget.h"
#include "EditorColors.h"
#include "GifAttributes.h"
#include "IconDocument.h"
#include "IconEffects.h"
#include "ImageTransforms.h"
#include "PaletteStrip.h"
#include "QtSystemColors.h"
#include "QtTextRasterizer.h"
#include "ScriptedForm.h"
#include "TindraAngleForm.h"
#include "TindraHelpForm.h"
#include "TindraInfoForm.h"
#include "TindraMainForm.h"
#include "TindraReduceForm.h"
#include "WhenShown.h"
#include "WindowControls.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <set>

namespace {

// The window without stored settings, in English, with its file dialogs and error box scripted.
class TTestForm : public TScriptedForm {
  public:
    QString PaletteName; // answer of the palette dialogs
    QStringList Messages;

    TTestForm() {
        SetMessageSink([this](const QString& text) { Messages << text; });
    }

  protected:
    QString AskPaletteFileName(bool) override { return PaletteName; }
};

std::unique_ptr<TTestForm> StartedWithNewIcon() {
    return ShownWithNewIcon<TTestForm>();
}

constexpr uint32_t Grey = 0xFFCCCCCCu, Dark = 0xFF102030u;

bool PixelsEqual(const TSurface32& a, const TSurface32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
}

size_t CountOf(const TSurface32& s, uint32_t color) {
    size_t n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            n += s.GetPixel(x, y) == color;
    return n;
}

// A dark 3 × 3 block at (10, 10) on the frame's picture, committed without an undo snapshot.
void DrawBlock(TIconDocument& doc, uint32_t color = Dark) {
    doc.WorkBitmap().FillRect(10, 10, 13, 13, color);
    doc.CommitFrame();
}

// The rows of ListViewInfo as "name=value".
QStringList ListedFields(const TTindraInfoForm* info) {
    QStringList rows;
    for (int r = 0; r < info->ListViewInfo->rowCount(); ++r)
        rows << info->ListViewInfo->item(r, 0)->text() + "=" + info->ListViewInfo->item(r, 1)->text();
    return rows;
}

void Trigger(TTindraMainForm* form, const char* name) {
    QAction* action = Find<QAction>(form, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

} // namespace

class TIconCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        TQtSystemColors::Install();
        TQtTextRasterizer::Install();
    }

    // The total the window shows is the size of the file Save as then writes, and showing it writes
    // nothing and changes nothing.
    void AttributesTotalIsTheSavedSize_data() {
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("withoutBorder");
        QTest::newRow("one frame") << 1 << false;
        QTest::newRow("three frames") << 3 << false;
        QTest::newRow("three frames without border") << 3 << true;
    }
    void AttributesTotalIsTheSavedSize() {
        QFETCH(int, frames);
        QFETCH(bool, withoutBorder);
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        DrawBlock(doc);
        for (int i = 1; i < frames; ++i) {
            TSurface32 p = doc.EmptyTemplate(1);
            p.FillRect(5 + i, 5, 20, 20, 0xFF0000FFu * i);
            doc.InsertFrame(TInsertPosition::After, p, 200 * i);
        }
        if (withoutBorder) Trigger(form.get(), "MnFileSaveWithoutBorder");
        const bool modified = doc.IsModified();
        const std::string caption = doc.Caption();

        QStringList rootFields, frameTitles;
        WhenShown<TTindraInfoForm>([&](TTindraInfoForm* info) {
            rootFields = ListedFields(info);
            const QTreeWidgetItem* root = info->TreeViewGIF->topLevelItem(0);
            for (int i = 0; i < root->childCount(); ++i)
                frameTitles << root->child(i)->text(0);
            // Selecting a frame lists its fields.
            info->TreeViewGIF->setCurrentItem(root->child(frameTitles.indexOf("Frame 1")));
            QVERIFY(
                ListedFields(info).join(";").contains("Width=" + QString::number(withoutBorder ? 32 : 40)));
            info->reject();
        });
        Trigger(form.get(), "MnImageAttributes");
        QVERIFY(!rootFields.isEmpty());
        QCOMPARE(doc.IsModified(), modified);
        QCOMPARE(doc.Caption(), caption);
        QCOMPARE(frameTitles.filter(QRegularExpression("^Frame \\d+$")).size(), frames);
        QCOMPARE(frameTitles.contains("Application extension"), frames > 1);

        QTemporaryDir dir;
        const QString path = dir.filePath("saved.gif");
        form->SaveNames << path;
        Trigger(form.get(), "MnFileSaveAs");
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(rootFields.contains("File size=" + QString::number(QFileInfo(path).size())));
        QVERIFY(rootFields.contains("Frames=" + QString::number(frames)));
    }

    // Each effect from the menu is one undo step of the current frame; with "All frames" checked one
    // step on every frame, and the current frame stays current.
    void EffectsAreOneUndoStepPerFrame() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        DrawBlock(doc);
        doc.InsertFrame(TInsertPosition::After, doc.WorkBitmap(), 100);
        doc.InsertFrame(TInsertPosition::After, doc.WorkBitmap(), 100);
        doc.SelectFrame(1);
        const TSurface32 before = doc.WorkBitmap();
        const struct {
            const char* Item;
            std::function<void(TSurface32&)> Expected;
        } cases[] = {
            {"MnEffectsInvert", [](TSurface32& s) { InvertColors(s, TRect(0, 0, 40, 40)); }},
            {"MnEffectsGreyscale", [](TSurface32& s) { Greyscale(s, TRect(0, 0, 40, 40)); }},
            {"MnEffectsShiftLeft", [](TSurface32& s) { ShiftWrapped(s, TRect(0, 0, 40, 40), -1, 0); }},
            {"MnEffectsShiftRight", [](TSurface32& s) { ShiftWrapped(s, TRect(0, 0, 40, 40), 1, 0); }},
            {"MnEffectsShiftUp", [](TSurface32& s) { ShiftWrapped(s, TRect(0, 0, 40, 40), 0, -1); }},
            {"MnEffectsShiftDown", [](TSurface32& s) { ShiftWrapped(s, TRect(0, 0, 40, 40), 0, 1); }},
            {"MnEffectsShadow", [](TSurface32& s) { DropShadow(s, TRect(0, 0, 40, 40), Grey); }},
            {"MnEffectsOutline", [](TSurface32& s) { Outline(s, TRect(0, 0, 40, 40), Grey, 0xFF000000u); }},
        };
        for (const auto& c : cases) {
            TSurface32 expected = before;
            c.Expected(expected);
            Trigger(form.get(), c.Item);
            QCOMPARE(doc.UndoDepth(1), 1);
            QCOMPARE(doc.UndoDepth(0) + doc.UndoDepth(2), 0);
            QVERIFY2(PixelsEqual(doc.WorkBitmap(), expected), c.Item);
            QVERIFY2(PixelsEqual(doc.FrameBitmap(1), expected), c.Item);
            QVERIFY(doc.Undo());
            QVERIFY2(PixelsEqual(doc.WorkBitmap(), before), c.Item);
        }

        Find<QAction>(form.get(), "MnEffectsAllFrames")->setChecked(true);
        Trigger(form.get(), "MnEffectsInvert");
        QCOMPARE(doc.CurrentFrame(), 1);
        TSurface32 inverted = before;
        InvertColors(inverted, TRect(0, 0, 40, 40));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(doc.UndoDepth(i), 1);
            QVERIFY(PixelsEqual(doc.FrameBitmap(i), inverted));
        }
        // Shift held while the item is chosen does the same without the check mark.
        for (int i = 0; i < 3; ++i) {
            doc.SelectFrame(i);
            QVERIFY(doc.Undo());
        }
        doc.SelectFrame(1);
        Find<QAction>(form.get(), "MnEffectsAllFrames")->setChecked(false);
        QTest::keyPress(form->windowHandle(), Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
        Trigger(form.get(), "MnEffectsInvert");
        QTest::keyRelease(form->windowHandle(), Qt::Key_Shift, Qt::NoModifier);
        for (int i = 0; i < 3; ++i)
            QVERIFY(PixelsEqual(doc.FrameBitmap(i), inverted));
        QCOMPARE(doc.CurrentFrame(), 1);
        // Saving without the border: only the inner 32 × 32 icon changes.
        Find<QAction>(form.get(), "MnEffectsAllFrames")->setChecked(false);
        Trigger(form.get(), "MnFileSaveWithoutBorder");
        const TSurface32 framed = doc.WorkBitmap();
        Trigger(form.get(), "MnEffectsShiftDown");
        for (int x = 0; x < 40; ++x)
            QCOMPARE(doc.WorkBitmap().GetPixel(x, 0), framed.GetPixel(x, 0));
        QCOMPARE(doc.WorkBitmap().GetPixel(11, 4), framed.GetPixel(11, 35));
    }

    // Replace colour: the drawing colour becomes the background colour, in one frame or in all.
    void ReplaceColorInOneOrAllFrames() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        DrawBlock(doc);
        doc.InsertFrame(TInsertPosition::After, doc.WorkBitmap(), 100);
        doc.SetDrawColor(TSurfaceColor(Dark));
        Trigger(form.get(), "MnColorsReplace");
        QCOMPARE(CountOf(doc.FrameBitmap(1), Dark), size_t(0));
        QCOMPARE(CountOf(doc.FrameBitmap(0), Dark), size_t(9));
        QCOMPARE(doc.UndoDepth(0), 0);
        QVERIFY(doc.Undo());
        Trigger(form.get(), "MnColorsReplaceAll");
        QCOMPARE(CountOf(doc.FrameBitmap(0), Dark) + CountOf(doc.FrameBitmap(1), Dark), size_t(0));
        QCOMPARE(doc.UndoDepth(0) + doc.UndoDepth(1), 2);
        QCOMPARE(doc.CurrentFrame(), 1);
    }

    // The dialog shows the reduced picture on the canvas while it is open; Cancel puts the picture back
    // without an undo step, OK keeps it as one.
    void ReducePreviewsAndCancels() {
        auto form = StartedWithNewIcon();
        TIconDocument& doc = form->DocumentModel();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                doc.WorkBitmap().SetPixel(x, y, 0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 6) << 8);
        doc.CommitFrame();
        const TSurface32 before = doc.WorkBitmap();
        auto colorsIn = [](const TSurface32& s) {
            std::set<uint32_t> c;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    c.insert(s.GetPixel(x, y));
            return c.size();
        };
        const size_t original = colorsIn(before);
        QVERIFY(original > 16);

        size_t previewed = 0;
        WhenShown<TTindraReduceForm>([&](TTindraReduceForm* dialog) {
            dialog->SEColors->setValue(4);
            dialog->CBDither->setCurrentIndex(0);
            previewed = colorsIn(doc.WorkBitmap());
            dialog->CancelButton->click();
        });
        Trigger(form.get(), "MnColorsReduce");
        QVERIFY(previewed >= 2 && previewed <= 4);
        QVERIFY(PixelsEqual(doc.WorkBitmap(), before));
        QCOMPARE(doc.UndoDepth(0), 0);
        QVERIFY(!doc.IsModified());

        WhenShown<TTindraReduceForm>([&](TTindraReduceForm* dialog) {
            dialog->SEColors->setValue(8);
            dialog->CBDither->setCurrentIndex(1);
            dialog->OKButton->click();
        });
        Trigger(form.get(), "MnColorsReduce");
        QVERIFY(colorsIn(doc.WorkBitmap()) <= 8);
        QVERIFY(PixelsEqual(doc.FrameBitmap(0), doc.WorkBitmap()));
        QCOMPARE(doc.UndoDepth(0), 1);
        QVERIFY(doc.Undo());
        QVERIFY(PixelsEqual(doc.WorkBitmap(), before));
    }

    // A palette file fills the strip; a bad one is refused with its reason and the strip keeps what it
    // showed; Save palette writes what the strip shows; Image palette gives the strip back.
    void PalettesLoadIntoTheStrip() {
        auto form = StartedWithNewIcon();
        auto* strip = form->findChild<TPaletteStrip*>("GColorPalette");
        const std::vector<TInterfaceColor> imageColors = strip->Colors();
        QVERIFY(!imageColors.empty());
        QTemporaryDir dir;
        auto write = [&](const QString& name, const QByteArray& text) -> QString {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return QString();
            return dir.filePath(name);
        };
        form->PaletteName = write("three.gpl", "GIMP Palette\nName: three\n255 0 0 red\n0 255 0\n0 0 255\n");
        Trigger(form.get(), "MnColorsLoadPalette");
        QVERIFY(form->Errors.isEmpty());
        std::vector<TInterfaceColor> shown = strip->Colors();
        QCOMPARE(shown.size(), size_t(3));
        QCOMPARE(shown[0].Value, 0x0000FFu);
        QCOMPARE(shown[2].Value, 0xFF0000u);

        form->PaletteName = write("bad.pal", "JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n");
        Trigger(form.get(), "MnColorsLoadPalette");
        QCOMPARE(form->Errors.size(), 1);
        QVERIFY(form->Errors[0].contains("number of colors"));
        QCOMPARE(strip->Colors().size(), size_t(3));

        form->PaletteName = dir.filePath("out.pal");
        Trigger(form.get(), "MnColorsSavePalette");
        QFile out(form->PaletteName);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), QByteArray("JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n"));

        Trigger(form.get(), "MnColorsImagePalette");
        QCOMPARE(strip->Colors().size(), imageColors.size());
        QCOMPARE(form->Errors.size(), 1);
        QVERIFY(form->Messages.isEmpty());
    }

    // F1 inside a modal dialog opens the manual at the dialog's subject, in a window the user can use
    // while the dialog is open; it stays open after the dialog closes.
    void F1InDialogsOpensItsSection() {
        auto form = StartedWithNewIcon();
        const struct {
            const char* Item;
            const char* Section;
        } cases[] = {
            {"MnImageRotate", "editing"}, {"MnImageAttributes", "saving"}, {"MnColorsReduce", "colors"}};
        for (const auto& c : cases) {
            QString anchor;
            bool usable = false;
            WhenShown<QDialog>([&](QDialog* dialog) {
                QApplication::setActiveWindow(dialog);
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                QTest::keyClick(dialog, Qt::Key_F1);
                auto* help = form->findChild<TTindraHelpForm*>();
                if (help) {
                    anchor = help->Anchor();
                    // A window of the dialog is not blocked by it.
                    usable = help->isVisible() && help->parentWidget() == dialog;
                }
                dialog->reject();
            });
            Trigger(form.get(), c.Item);
            QCOMPARE(anchor, QString(c.Section));
            QVERIFY(usable);
            auto* help = form->findChild<TTindraHelpForm*>();
            QCOMPARE(help->parentWidget(), static_cast<QWidget*>(form.get()));
            QVERIFY(help->isVisible());
        }
    }

    // A command that leaves the picture and the display time as they were records nothing: no undo
    // step, the step waiting for Redo stays, and the document stays unmodified. Each case runs on a new
    // window whose frame is grey (bordered where the command draws the border), with one undone edit.
    void CommandsThatChangeNothingRecordNothing() {
        using TForm = TTestForm;
        auto trigger = [](const char* item) { return [item](TForm& f) { Trigger(&f, item); }; };
        // A press at one cell, a move and the release at another, with a tool of the canvas.
        auto drag = [](TTool tool, int col1, int row1, int col2, int row2) {
            return [=](TForm& f) {
                auto* canvas = Find<TCanvasWidget>(&f, "PBMain");
                const int z = canvas->Zoom();
                const QPoint from(col1 * z + z / 2, row1 * z + z / 2), to(col2 * z + z / 2, row2 * z + z / 2);
                canvas->SetCurrentTool(tool);
                QTest::mousePress(canvas, Qt::LeftButton, {}, from);
                QTest::mouseMove(canvas, to);
                QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
            };
        };
        auto inGrey = [](std::function<void(TForm&)> run) {
            return [run](TForm& f) {
                f.DocumentModel().SetDrawColor(TSurfaceColor{Grey});
                run(f);
            };
        };
        const struct {
            const char* Name;
            bool Bordered;
            std::function<void(TForm&)> Run;
        } cases[] = {
            {"flip horizontally", false, trigger("MnImageFlipHor")},
            {"flip vertically", false, trigger("MnImageFlipVert")},
            {"border already drawn", true, trigger("MnImageDrawBorder")},
            {"rotate a uniform picture", false,
             [](TForm& f) {
                 WhenShown<TTindraAngleForm>([](TTindraAngleForm* d) {
                     d->RB090->click();
                     d->OKButton->click();
                 });
                 Trigger(&f, "MnImageRotate");
             }},
            {"greyscale of grey", false, trigger("MnEffectsGreyscale")},
            {"shift a uniform picture", false, trigger("MnEffectsShiftLeft")},
            {"shadow of nothing", false, trigger("MnEffectsShadow")},
            {"outline of nothing", false, trigger("MnEffectsOutline")},
            {"replace an absent colour", false, trigger("MnColorsReplace")},
            {"replace it in all frames", false, trigger("MnColorsReplaceAll")},
            {"reduce a one-colour picture", false,
             [](TForm& f) {
                 WhenShown<TTindraReduceForm>([](TTindraReduceForm* d) {
                     d->SEColors->setValue(8);
                     d->OKButton->click();
                 });
                 Trigger(&f, "MnColorsReduce");
             }},
            {"clear to the background", false, trigger("MnEditClear")},
            {"pencil in the colour there", false, inGrey(drag(ToolPencil, 5, 5, 9, 7))},
            {"line in the colour there", false, inGrey(drag(ToolLine, 5, 5, 20, 12))},
            {"rectangle in the colour there", false, inGrey(drag(ToolRectangle, 5, 5, 20, 12))},
            {"fill in the colour there", false, inGrey(drag(ToolFill, 5, 5, 5, 5))},
            {"mover let go where it was taken", false, drag(ToolMover, 5, 5, 5, 5)},
            {"paste what is there", false,
             [](TForm& f) {
                 QImage grey(6, 6, QImage::Format_RGB32);
                 grey.fill(QColor(0xCC, 0xCC, 0xCC));
                 QGuiApplication::clipboard()->setImage(grey);
                 f.MnEditPasteClick();
             }},
            {"display time typed again", false,
             [](TForm& f) {
                 Find<QSpinBox>(&f, "EDSpeed")->setValue(f.DocumentModel().DisplayTime(0));
                 f.EDSpeedExit();
             }},
        };
        QStringList recorded; // the cases that left a step, lost the redo step or marked the document
        for (const auto& c : cases) {
            auto form = StartedWithNewIcon();
            TIconDocument& doc = form->DocumentModel();
            doc.SetDrawColor(TSurfaceColor{Dark});
            doc.WorkBitmap().FillAll(Grey);
            if (c.Bordered) DrawBorder(doc.WorkBitmap());
            doc.CommitFrame();
            {
                TIconDocument::TEdit edit = doc.BeginEdit();
                edit.Picture().SetPixel(20, 20, Dark);
                edit.Commit();
            }
            QVERIFY(doc.Undo());
            const TSurface32 before = doc.WorkBitmap();
            const int time = doc.DisplayTime(0);
            QVERIFY(!doc.IsModified());

            c.Run(*form);
            QVERIFY2(PixelsEqual(doc.WorkBitmap(), before), c.Name); // the case really changes nothing
            QCOMPARE(doc.DisplayTime(0), time);
            const bool untouched = doc.UndoDepth(0) == 0 && doc.RedoDepth(0) == 1 && !doc.IsModified() &&
                                   doc.Caption().back() != '*' &&
                                   !Find<QAction>(form, "MnEditUndo")->isEnabled() &&
                                   Find<QAction>(form, "MnEditRedo")->isEnabled();
            if (!untouched) recorded << c.Name;
        }
        QVERIFY2(recorded.isEmpty(), qPrintable(recorded.join(", ")));
    }

    // Without a document the new menus are disabled; with one they and the attributes are enabled.
    void MenusFollowTheDocument() {
        auto form = std::make_unique<TTestForm>();
        form->CreateDialogs();
        form->show();
        form->FormActivate();
        QCoreApplication::processEvents();
        for (const char* name : {"MnEffects", "MnColors", "MnImageAttributes"})
            QVERIFY2(!Find<QAction>(form.get(), name)->isEnabled(), name);
        form->MnFileNewClick();
        for (const char* name : {"MnEffects", "MnColors", "MnImageAttributes", "MnEffectsOutline",
                                 "MnColorsReduce", "MnColorsLoadPalette"})
            QVERIFY2(Find<QAction>(form.get(), name)->isEnabled(), name);
        QVERIFY(!Find<QAction>(form.get(), "MnFileDownload")->isEnabled());
    }
};

QTEST_MAIN(TIconCommandsTest)
#include "IconCommandsTest.moc"
