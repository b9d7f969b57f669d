// What the document reports to the main window (IDocumentObserver) and how the window shows it.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "DrawingTools.h"
#include "EditorColors.h"
#include "FrameListModel.h"
#include "GIFPainter.h"
#include "IconDocument.h"
#include "PreviewView.h"
#include "SurfaceImage.h"
#include "SystemColors.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QListView>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

void TTindraMainForm::CaptionChanged(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TTindraMainForm::FrameInfoChanged(const std::string& text) {
    Ui->SBFrameInfo->setText(QString::fromStdString(text));
}

// The frame list follows the document row by row; its pictures are drawn when rows are shown.
void TTindraMainForm::FrameListChanged(int count) {
    Ui->Canvas->FrameChanging(); // frame commands and navigation drop the selection
    const QScopedValueRollback<bool> quiet(FrameListFollowsDocument, true);
    Ui->FrameList->Reset(count);
}

void TTindraMainForm::FrameInserted(int index) {
    Ui->Canvas->FrameChanging(); // frame commands and navigation drop the selection
    const QScopedValueRollback<bool> quiet(FrameListFollowsDocument, true);
    Ui->FrameList->InsertRow(index);
}

void TTindraMainForm::FrameRemoved(int index) {
    Ui->Canvas->FrameChanging(); // frame commands and navigation drop the selection
    const QScopedValueRollback<bool> quiet(FrameListFollowsDocument, true);
    Ui->FrameList->RemoveRow(index);
}

void TTindraMainForm::FrameMoved(int from, int to) {
    Ui->Canvas->FrameChanging(); // frame commands and navigation drop the selection
    const QScopedValueRollback<bool> quiet(FrameListFollowsDocument, true);
    Ui->FrameList->MoveRow(from, to);
}

void TTindraMainForm::FramePictureChanged(int index) {
    Ui->FrameList->PictureChanged(index);
}

void TTindraMainForm::FrameListRepaint() {
    const int side = Document->OutputSize();
    Ui->LBImageBox->setIconSize(QSize(side, side));
    Ui->FrameList->AllPicturesChanged();
}

void TTindraMainForm::FrameRowSelected(int index) {
    Ui->Canvas->FrameChanging(); // frame commands and navigation drop the selection
    const QScopedValueRollback<bool> quiet(FrameListFollowsDocument, true);
    Ui->LBImageBox->setCurrentIndex(Ui->FrameList->index(index));
}

void TTindraMainForm::OutputSizeChanged(int outputSize) {
    Ui->MnFileSaveWithoutBorder->setChecked(outputSize == 32);
    Ui->PMS3->setChecked(outputSize == 32);
    Ui->PMS4->setChecked(outputSize != 32);
    ApplyCommandRules(); // the icon export
    ApplyTransparencyView(); // shown as chosen for this output size
    FrameListRepaint();
    Ui->Canvas->Repaint();
}

void TTindraMainForm::UndoEnabledChanged(bool) {
    ApplyCommandRules();
}

void TTindraMainForm::PreviewPictureChanged() {
    const TSurface32& picture = Document->PreviewPicture();
    if (picture.Width() > 0 && picture.Height() > 0)
        Ui->ImThumbnail->SetArgbPixels(picture.Bits(), picture.Width(), picture.Height());
    else
        Ui->ImThumbnail->Clear(ButtonFaceColor());
}

void TTindraMainForm::CanvasRepaint() {
    Ui->Canvas->Repaint();
}

void TTindraMainForm::DisplayTimeChanged(int milliseconds) {
    const QSignalBlocker quiet(Ui->EDSpeed);
    // A frame's time shows as stored, also a Delay Time of 0 ("0 ms") or one above the range the user
    // may type: the field's range widens to hold it, so leaving the field changes nothing.
    Ui->EDSpeed->setRange(std::min(milliseconds, TIconDocument::MinDisplayTime),
                          std::max(milliseconds, TIconDocument::MaxDisplayTime));
    Ui->EDSpeed->setValue(milliseconds);
    UpdateSpeedHint();
}

void TTindraMainForm::CommandsNeedUpdate() {
    // Removing frames down to one while playing would leave Stop disabled: stop here instead.
    if (Document->Animating() && Document->FrameCount() < 2) {
        StopAnimation();
        return;
    }
    UpdateCommands();
}

void TTindraMainForm::ColorsChanged() {
    Ui->Colors->ShowColors();
    ApplyTransparencyView(); // the transparent colour may have changed
}

void TTindraMainForm::PaletteChanged() {
    Ui->Colors->RepaintPalette();
}

void TTindraMainForm::DocumentClosing() {
    ++PreviewRun;
    TGIFPainter::StopPainting(Document->Frames40());
    Ui->SBToolNone->setChecked(true);
    Ui->Canvas->SetCurrentTool(ToolNone);
}

void TTindraMainForm::BeginBusy() {
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TTindraMainForm::EndBusy() {
    QApplication::restoreOverrideCursor();
    setEnabled(true);
}

void TTindraMainForm::FolderUsed(const std::string& folder) {
    RegCtrl.WritePath(QString::fromStdString(folder));
}

void TTindraMainForm::AddRecentFile(const std::string& path) {
    AddRecentFile(QString::fromStdString(path));
}

void TTindraMainForm::SaveChangesFailed() {
    ReportSave(TSaveResult::WriteFailed);
}
