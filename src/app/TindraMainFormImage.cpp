// The Image menu: playing and stopping the preview (also its buttons and a click on it), the flips,
// the rotation with its dialog, the border and the automatic border;
// with the tool panel, whose tools change the image on the canvas. Each change of the picture is one
// edit of the document.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "DrawingTools.h"
#include "GIFPainter.h"
#include "GIFPicture.h"
#include "IconDocument.h"
#include "ImageTransforms.h"
#include "LanguageTables.h"
#include "PreviewView.h"
#include "TindraAngleForm.h"

#include <QAction>
#include <QToolButton>

namespace {
constexpr const char* TagProperty = "Tag";
} // namespace

void TTindraMainForm::MnImagePlayAnimationClick() {
    PlayAnimation();
}

void TTindraMainForm::MnImageStopAnimationClick() {
    StopAnimation();
}

void TTindraMainForm::PlayAnimation() {
    if (Document->FrameCount() < 2 || Document->Animating()) return;
    TGIFPicture& frames = Document->Frames40();
    frames.EnableAnimation(true);
    // Threaded, animate, loop, loop without end, direct; drawn opaquely over the whole preview.
    TGIFPainter::StartPainting(frames, Ui->ImThumbnail->Canvas(),
                               TRect(0, 0, TPreviewView::PictureSize, TPreviewView::PictureSize),
                               pfThreaded | pfAnimate | pfLoop | pfLoopForever | pfDirectDraw);
    Document->SetAnimating(true);
    UpdateCommands();
}

void TTindraMainForm::StopAnimation() {
    if (!Document->Animating()) return;
    TGIFPainter::StopPainting(Document->Frames40());
    Document->SetAnimating(false); // selects the current frame again, which refreshes the preview
    UpdateCommands();
}

void TTindraMainForm::ImThumbnailClick() {
    if (Document->Animating())
        StopAnimation();
    else
        PlayAnimation();
}

void TTindraMainForm::MnImageFlipHorClick() {
    if (!Document->ImageLoaded()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    edit.Picture().FlipHorizontal();
    edit.Commit();
}

void TTindraMainForm::MnImageFlipVertClick() {
    if (!Document->ImageLoaded()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    edit.Picture().FlipVertical();
    edit.Commit();
}

void TTindraMainForm::MnImageRotateClick() {
    if (!Document->ImageLoaded()) return;
    Ui->AngleForm->SetPicture(Document->WorkBitmap());
    tindra::ApplyRotationLanguage(Ui->AngleForm, LanguageIndex);
    if (Ui->AngleForm->exec() != QDialog::Accepted) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    edit.Picture().CopyFrom(Ui->AngleForm->Preview());
    edit.Commit();
}

void TTindraMainForm::MnImageDrawBorderClick() {
    if (!Document->ImageLoaded()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    DrawBorder(edit.Picture());
    edit.Commit();
}

// Every commit draws the border while the item is checked.
void TTindraMainForm::MnImageAutoBorderClick() {
    Document->SetAutoBorder(Ui->MnImageAutoBorder->isChecked());
}

// ---- Tool panel

void TTindraMainForm::SBToolClick() {
    const QObject* button = sender();
    if (!button) return;
    Ui->Canvas->SetCurrentTool(static_cast<TTool>(button->property(TagProperty).toInt()));
}

// An entry of the rectangle or ellipse drop-down: the tool, and the button shows it from now on.
void TTindraMainForm::PopupClick() {
    const QObject* item = sender();
    if (!item) return;
    const int tool = item->property(TagProperty).toInt();
    Ui->Canvas->SetCurrentTool(static_cast<TTool>(tool));
    QToolButton* button = tool > ToolFilledSquare ? Ui->SBToolEllipse : Ui->SBToolRectangle;
    button->setProperty(TagProperty, tool);
    SetGlyph(button, tool + 19);
    button->setChecked(true);
}

// Every tool draws one pixel wide; the size field stays hidden and changes nothing.
void TTindraMainForm::EdToolSizeChange() {}
