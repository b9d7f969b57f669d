// The Edit menu: Undo, Redo, Undelete, the clipboard (Cut, Copy, Paste, with Paste following the
// clipboard's content), Clear, Select all, and the frame commands Insert, Remove, Move and Duplicate
// with their dialogs. Paste and Clear are each one edit of the document. With a selection on the
// canvas, Cut, Copy and Clear work on its cells, and Paste floats the picture at its corner.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "ClipboardPicture.h"
#include "IconDocument.h"
#include "ImageTransforms.h"
#include "LanguageTables.h"
#include "Selection.h"
#include "TindraIframeForm.h"
#include "TindraMFrameForm.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QToolButton>

#include <optional>

void TTindraMainForm::MnEditUndoClick() {
    Document->Undo();
}

void TTindraMainForm::MnEditCutClick() {
    if (!Document->ImageLoaded()) return;
    MnEditCopyClick();
    MnEditClearClick();
}

// With a selection, Copy takes its pixels; without one, the whole frame.
void TTindraMainForm::MnEditCopyClick() {
    if (!Document->ImageLoaded()) return;
    if (const std::optional<TSurface32> selected = Ui->Canvas->SelectedPixels())
        QGuiApplication::clipboard()->setMimeData(TClipboardPicture::FrameData(*selected));
    else
        QGuiApplication::clipboard()->setMimeData(TClipboardPicture::FrameData(Document->WorkBitmap()));
}

void TTindraMainForm::MnEditPasteClick() {
    if (!Document->ImageLoaded()) return;
    const std::optional<TPixelImage> picture =
        TClipboardPicture::Picture(QGuiApplication::clipboard()->mimeData());
    if (!picture || picture->Width <= 0 || picture->Height <= 0) return;
    // The picture floats over the frame (at the selection's corner, or centred as an inserted
    // picture is); its transparent pixels show the frame's pixels under them at that moment, and its
    // partly transparent ones are mixed with them.
    TSurface32 block(picture->Width, picture->Height);
    const TCell at = Ui->Canvas->HasSelection()
                         ? TCell{Ui->Canvas->Selection().Rect().Left, Ui->Canvas->Selection().Rect().Top}
                         : PastePlace(picture->Width, picture->Height);
    const TSurface32& work = Document->WorkBitmap();
    for (int y = 0; y < picture->Height; ++y)
        for (int x = 0; x < picture->Width; ++x) {
            const int wx = at.Col + x, wy = at.Row + y;
            const bool onFrame = wx >= 0 && wy >= 0 && wx < work.Width() && wy < work.Height();
            const uint32_t under = onFrame ? work.GetPixel(wx, wy) : 0xFF000000u;
            block.SetPixel(
                x, y, onFrame && picture->IsTransparent(x, y) ? under : DrawnOver(picture->At(x, y), under));
        }
    Ui->Canvas->PasteBlock(block);
    // The mover takes the floating block, ready to be dragged into place.
    if (Ui->Canvas->CurrentTool() != ToolMover)
        if (auto* mover = Ui->ToolPanel->findChild<QToolButton*>("SBToolMover")) mover->click();
}

void TTindraMainForm::CBViewerClipboardChanged() {
    ApplyCommandRules(); // Paste
}

// With a selection, Clear empties its cells (or takes a floating block away).
void TTindraMainForm::MnEditClearClick() {
    if (!Document->ImageLoaded() || Ui->Canvas->ClearSelection()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    ClearImage(edit.Picture(), Document->BackColor().Value);
    edit.Commit();
}

void TTindraMainForm::MnEditInsertFrameClick() {
    if (!Document->ImageLoaded()) return;
    Ui->IframeForm->ApplyLanguage(LanguageIndex);
    if (Ui->IframeForm->exec() != QDialog::Accepted) return;
    const auto position =
        Ui->IframeForm->TargetIndex() == 0 ? TInsertPosition::Before : TInsertPosition::After;
    Document->InsertFrame(position, Ui->IframeForm->Preview(), Ui->IframeForm->DisplayTime());
}

void TTindraMainForm::MnEditRemoveFrameClick() {
    Document->RemoveFrame();
}

void TTindraMainForm::MnEditMoveFrameClick() {
    if (Document->FrameCount() < 2) return;
    if (!Document->MoveNeedsDialog()) {
        Document->SwapTwoFrames();
        return;
    }
    Ui->MFrameForm->SetFrames(Document->CurrentFrame(), Document->FrameCount());
    tindra::ApplyMoveFrameLanguage(Ui->MFrameForm, LanguageIndex);
    if (Ui->MFrameForm->exec() == QDialog::Accepted) Document->MoveFrame(Ui->MFrameForm->Target());
}

void TTindraMainForm::MnEditRedoClick() {
    Document->Redo();
}

void TTindraMainForm::MnEditUndeleteClick() {
    Document->Undelete();
}

void TTindraMainForm::MnEditDuplicateFrameClick() {
    Document->DuplicateFrame();
}

void TTindraMainForm::MnEditMergeRepeatsClick() {
    Document->MergeRepeatedFrames();
}

void TTindraMainForm::MnEditReverseFramesClick() {
    Document->ReverseFrames();
}

void TTindraMainForm::MnEditSelectAllClick() {
    Ui->Canvas->SelectAll();
}
