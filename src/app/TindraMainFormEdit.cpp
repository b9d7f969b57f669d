// The Edit menu: Undo, Redo, Undelete, the clipboard (Cut, Copy, Paste, with Paste following the clipboard's
// content), Clear, and the frame commands Insert, Remove, Move and Duplicate with their dialogs. Paste and Clear
// are each one edit of the document.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "ClipboardPicture.h"
#include "IconDocument.h"
#include "ImageTransforms.h"
#include "LanguageTables.h"
#include "TindraIframeForm.h"
#include "TindraMFrameForm.h"

#include <QClipboard>
#include <QGuiApplication>

#include <optional>

void TTindraMainForm::MnEditUndoClick() {
    Document->Undo();
}

void TTindraMainForm::MnEditCutClick() {
    if (!Document->ImageLoaded()) return;
    MnEditCopyClick();
    MnEditClearClick();
}

void TTindraMainForm::MnEditCopyClick() {
    if (Document->ImageLoaded())
        QGuiApplication::clipboard()->setMimeData(TClipboardPicture::FrameData(Document->WorkBitmap()));
}

void TTindraMainForm::MnEditPasteClick() {
    if (!Document->ImageLoaded()) return;
    const std::optional<TPixelImage> picture =
        TClipboardPicture::Picture(QGuiApplication::clipboard()->mimeData());
    if (!picture) return;
    // Placed on the empty bordered frame as an inserted frame is.
    const TSurface32 pasted = Document->InsertPreview(&*picture);
    TIconDocument::TEdit edit = Document->BeginEdit();
    edit.Picture().CopyFrom(pasted);
    edit.Commit();
}

void TTindraMainForm::CBViewerClipboardChanged() {
    ApplyCommandRules(); // Paste
}

void TTindraMainForm::MnEditClearClick() {
    if (!Document->ImageLoaded()) return;
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

// The editor has no selection: the command is always disabled and does nothing.
void TTindraMainForm::MnEditSelectAllClick() {}

void TTindraMainForm::MnEditRedoClick() {
    Document->Redo();
}

void TTindraMainForm::MnEditUndeleteClick() {
    Document->Undelete();
}

void TTindraMainForm::MnEditDuplicateFrameClick() {
    Document->DuplicateFrame();
}
