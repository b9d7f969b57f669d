// The Effects submenu of the Image menu and the Colours menu: pixel effects, colour replacement and
// reduction on the current frame (or every frame), and palette files for the palette strip. Each change
// of a frame is one edit of the document, so one undo step of that frame.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "ColorReducer.h"
#include "DialogSetup.h"
#include "EditorColors.h"
#include "HelpTopics.h"
#include "IconDocument.h"
#include "IconEffects.h"
#include "LanguageTables.h"
#include "Messages.h"
#include "PaletteFile.h"
#include "PaletteStrip.h"
#include "SafeFile.h"
#include "TindraReduceForm.h"

#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// Shift held while the command is chosen applies it to every frame.
bool ShiftHeld() {
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace

// The whole 40 × 40 picture, or only the inner 32 × 32 icon while the icon is saved without its
// border (the border is then not part of what the user makes).
TRect TTindraMainForm::EffectArea() const {
    if (Document->OutputSize() == TIconDocument::InnerSide)
        return TRect(TIconDocument::BorderWidth, TIconDocument::BorderWidth,
                     TIconDocument::BorderWidth + TIconDocument::InnerSide,
                     TIconDocument::BorderWidth + TIconDocument::InnerSide);
    return TRect(0, 0, TIconDocument::FrameSide, TIconDocument::FrameSide);
}

// One edit per frame: every frame is made current in turn, changed and committed (so each frame gets
// its own undo snapshot), then the frame that was current is selected again.
void TTindraMainForm::ApplyToFrames(bool allFrames, const std::function<void(TSurface32&)>& change) {
    if (!Document->ImageLoaded()) return;
    if (!allFrames || Document->FrameCount() < 2) {
        TIconDocument::TEdit edit = Document->BeginEdit();
        change(edit.Picture());
        edit.Commit();
        return;
    }
    const int current = Document->CurrentFrame();
    for (int i = 0; i < Document->FrameCount(); ++i) {
        Document->SelectFrame(i);
        TIconDocument::TEdit edit = Document->BeginEdit();
        change(edit.Picture());
        edit.Commit();
    }
    Document->SelectFrame(current);
}

namespace {

// The Effects submenu's "all frames" item is checked.
bool AllFramesChecked(const QObject* window) {
    const auto* item = window->findChild<QAction*>(QStringLiteral("MnEffectsAllFrames"));
    return item && item->isChecked();
}

} // namespace

void TTindraMainForm::ApplyEffect(const std::function<void(TSurface32&)>& change) {
    ApplyToFrames(ShiftHeld() || AllFramesChecked(this), change);
}

void TTindraMainForm::MnEffectsInvertClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { InvertColors(s, area); });
}

void TTindraMainForm::MnEffectsGreyscaleClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { Greyscale(s, area); });
}

void TTindraMainForm::MnEffectsShiftLeftClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { ShiftWrapped(s, area, -1, 0); });
}

void TTindraMainForm::MnEffectsShiftRightClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { ShiftWrapped(s, area, 1, 0); });
}

void TTindraMainForm::MnEffectsShiftUpClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { ShiftWrapped(s, area, 0, -1); });
}

void TTindraMainForm::MnEffectsShiftDownClick() {
    const TRect area = EffectArea();
    ApplyEffect([area](TSurface32& s) { ShiftWrapped(s, area, 0, 1); });
}

void TTindraMainForm::MnEffectsShadowClick() {
    const TRect area = EffectArea();
    const uint32_t back = Document->BackColor().Value;
    ApplyEffect([area, back](TSurface32& s) { DropShadow(s, area, back); });
}

void TTindraMainForm::MnEffectsOutlineClick() {
    const TRect area = EffectArea();
    const uint32_t back = Document->BackColor().Value, draw = Document->DrawColor().Value;
    ApplyEffect([area, back, draw](TSurface32& s) { Outline(s, area, back, draw); });
}

// ---- Colours

void TTindraMainForm::MnColorsReplaceClick() {
    const TRect area = EffectArea();
    const uint32_t from = Document->DrawColor().Value, to = Document->BackColor().Value;
    ApplyToFrames(ShiftHeld(), [area, from, to](TSurface32& s) { ReplaceColor(s, area, from, to); });
}

void TTindraMainForm::MnColorsReplaceAllClick() {
    const TRect area = EffectArea();
    const uint32_t from = Document->DrawColor().Value, to = Document->BackColor().Value;
    ApplyToFrames(true, [area, from, to](TSurface32& s) { ReplaceColor(s, area, from, to); });
}

// The dialog holds one open edit of the current frame: each change of its fields shows the reduced
// picture on the canvas; OK commits it, Cancel drops the edit, which puts the picture back.
void TTindraMainForm::MnColorsReduceClick() {
    if (!Document->ImageLoaded()) return;
    auto* form = findChild<TTindraReduceForm*>();
    if (!form) {
        form = new TTindraReduceForm(this);
        InstallDialogHelp(form, tindra::HelpColors);
    }
    tindra::ApplyReduceLanguage(form, LanguageIndex);
    tindra::FitDialog(form);
    // Beside the canvas, not over the preview it shows: right of it where the screen has room,
    // else left of it.
    const QRect canvas(Ui->Canvas->mapToGlobal(QPoint(0, 0)), Ui->Canvas->size());
    const QRect screen = Ui->Canvas->screen()->availableGeometry();
    const QSize frame = form->frameGeometry().size().expandedTo(form->size());
    const int right = canvas.right() + 12, left = canvas.left() - 12 - frame.width();
    const int x = right + frame.width() <= screen.right() ? right : left >= screen.left() ? left : form->x();
    form->move(
        x, std::clamp(canvas.top(), screen.top(), std::max(screen.top(), screen.bottom() - frame.height())));
    const TRect area = EffectArea();
    {
        TIconDocument::TEdit edit = Document->BeginEdit();
        const TSurface32 original = edit.Picture();
        auto preview = [&](int colors, int dither) {
            edit.Picture().CopyFrom(original);
            ReduceColors(edit.Picture(), area, colors, dither);
            Ui->Canvas->Repaint();
        };
        preview(form->Colors(), form->DitherMethod());
        const QMetaObject::Connection shown = connect(form, &TTindraReduceForm::Changed, this, preview);
        const bool accepted = form->exec() == QDialog::Accepted;
        disconnect(shown);
        if (accepted) edit.Commit();
    }
    Ui->Canvas->Repaint();
}

QString TTindraMainForm::AskPaletteFileName(bool save) {
    const QString filter =
        LanguageIndex == tindra::LanguageEnglish
            ? "Palettes (*.gpl *.pal);;GIMP palette (*.gpl);;JASC palette (*.pal)"
            : QString::fromUtf8("Palety (*.gpl *.pal);;Paleta GIMP (*.gpl);;Paleta JASC (*.pal)");
    return save ? QFileDialog::getSaveFileName(this, QString(), DialogFolder(), filter)
                : QFileDialog::getOpenFileName(this, QString(), DialogFolder(), filter);
}

// A palette file replaces what the strip shows; a file that is not a whole palette is refused with
// its reason and the strip stays as it was.
void TTindraMainForm::MnColorsLoadPaletteClick() {
    const QString path = AskPaletteFileName(false);
    if (path.isEmpty()) return;
    try {
        Ui->Colors->ShowLoadedPalette(ReadPaletteFile(path.toStdString()));
    } catch (const TPaletteFileError& e) {
        ShowErrorMessage(QString::fromStdString(PaletteFaultText(e, LanguageIndex)));
    }
    UpdateCommands();
}

// Writes the colours the strip shows, as GIMP or (for ".pal") JASC.
void TTindraMainForm::MnColorsSavePaletteClick() {
    const std::vector<TInterfaceColor> colors = Ui->Colors->Palette()->Colors();
    if (colors.empty()) return;
    const QString path = AskPaletteFileName(true);
    if (path.isEmpty()) return;
    try {
        WritePaletteFile(path.toStdString(), colors, PaletteFormatFor(path.toStdString()));
    } catch (const std::exception&) {
        ShowErrorMessage(QString::fromStdString(tindra::SaveErrorText(LanguageIndex)));
    }
}

void TTindraMainForm::MnColorsImagePaletteClick() {
    Ui->Colors->ShowLoadedPalette({});
    UpdateCommands();
}
