// The View menu: frame navigation (also the frame panel's buttons), with the frame list and the
// display-time field of the preview panel; the pixel grid, the preview, the GIF attributes and the
// three panels; the zoom, the onion skin and the visible transparency.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasView.h"
#include "CanvasWidget.h"
#include "FrameListModel.h"
#include "GifAttributes.h"
#include "IconDocument.h"
#include "LanguageTables.h"
#include "TindraInfoForm.h"

#include <QAction>
#include <QLabel>
#include <QGuiApplication>
#include <QSpinBox>
#include <QToolButton>

namespace {
// Below this display time the field says that browsers play 10 ms or less as 100 ms.
constexpr int BrowserMinimumDisplayTime = 20;
} // namespace

void TTindraMainForm::MnViewFrameFirstClick() {
    Document->GoToFrame(TFrameStep::First);
}

void TTindraMainForm::MnViewFramePrevClick() {
    Document->GoToFrame(TFrameStep::Previous);
}

void TTindraMainForm::MnViewFrameNextClick() {
    Document->GoToFrame(TFrameStep::Next);
}

void TTindraMainForm::MnViewFrameLastClick() {
    Document->GoToFrame(TFrameStep::Last);
}

void TTindraMainForm::LBImageBoxClick(int row) {
    if (row >= 0) Document->SelectFrame(row);
}

void TTindraMainForm::LBImageBoxDrop(int from, int to) {
    if (!Document->ImageLoaded() || from < 0 || from >= Document->FrameCount() || from == to) return;
    Document->SelectFrame(from);
    Document->MoveFrame(to);
}

void TTindraMainForm::EDSpeedChange(int value) {
    // Display times are whole hundredths of a second.
    const int rounded = TIconDocument::RoundDisplayTime(value);
    if (rounded != value) Ui->EDSpeed->setValue(rounded);
    UpdateSpeedHint();
}

void TTindraMainForm::UpdateSpeedHint() {
    // Browsers play a display time of 10 ms or less as 100 ms: say so while the field is near it.
    if (!Ui->EDSpeed || !Ui->LBSpeedHint) return;
    Ui->LBSpeedHint->setVisible(Ui->EDSpeed->value() < BrowserMinimumDisplayTime);
}

void TTindraMainForm::EDSpeedExit() {
    if (!Document->ImageLoaded()) return;
    // The document keeps the frame's time unless the value differs from it; either way the field
    // shows the time the frame now has (a refused value goes back).
    Document->SetDisplayTime(Ui->EDSpeed->value());
    DisplayTimeChanged(Document->DisplayTime(Document->CurrentFrame()));
}

void TTindraMainForm::MnViewGridClick() {
    // The menu item toggles itself; the tool-bar button toggles the item.
    if (sender() == Ui->TBViewGrid) Ui->MnViewGrid->setChecked(!Ui->MnViewGrid->isChecked());
    SetGlyph(Ui->TBViewGrid, Ui->MnViewGrid->isChecked() ? GlyphGridOn : GlyphGridOff);
    Ui->Canvas->SetGridVisible(Ui->MnViewGrid->isChecked());
}

void TTindraMainForm::MnViewThumbnailClick() {
    if (sender() == Ui->TBViewThumbnail) Ui->MnViewThumbnail->setChecked(!Ui->MnViewThumbnail->isChecked());
    const bool shown = Ui->MnViewThumbnail->isChecked();
    if (!shown) StopAnimation();
    Ui->ThumbnailPanel->setVisible(shown);
    SetGlyph(Ui->TBViewThumbnail, shown ? GlyphPreviewOn : GlyphPreviewOff);
}

// The blocks of the file Save as would write now, encoded the way Save as encodes it; nothing is
// written anywhere.
void TTindraMainForm::MnImageAttributesClick() {
    if (!Ui->InfoForm || !Document->ImageLoaded()) return;
    tindra::ApplyInfoLanguage(Ui->InfoForm, LanguageIndex);
    // Encoding a long animation takes a moment, as saving does.
    struct TWaitCursor {
        TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    };
    TGifNode file;
    {
        const TWaitCursor busy;
        file = DescribeGif(Document->EncodeDocumentGif(), LanguageIndex);
    }
    Ui->InfoForm->Show(file);
    Ui->InfoForm->exec();
}

void TTindraMainForm::MnViewControlBarClick() {
    Ui->ControlPanel->setVisible(Ui->MnViewControlBar->isChecked());
}

void TTindraMainForm::MnViewToolBarClick() {
    Ui->ToolPanel->setVisible(Ui->MnViewToolBar->isChecked());
}

// The layout keeps the status bar below the colour panel, so it stays at the bottom.
void TTindraMainForm::MnViewColorBarClick() {
    Ui->ColorPanel->setVisible(Ui->MnViewColorBar->isChecked());
}

// ---- Zoom

void TTindraMainForm::MnViewZoomInClick() {
    Ui->Canvas->ZoomIn();
}

void TTindraMainForm::MnViewZoomOutClick() {
    Ui->Canvas->ZoomOut();
}

void TTindraMainForm::MnViewZoomFitClick() {
    Ui->Canvas->FitToWindow();
}

void TTindraMainForm::MnViewZoomActualClick() {
    Ui->Canvas->SetZoom(MinZoom);
}

QString TTindraMainForm::ZoomText(int zoom) {
    return QString::fromUtf8("\u00D7") + QString::number(zoom);
}

// The zoom cell stays empty while no document is open, like the other status cells.
void TTindraMainForm::ShowZoom(int zoom) {
    Ui->SBZoomInfo->setText(Document->ImageLoaded() ? ZoomText(zoom) : QString());
}

// ---- Onion skin and transparency

void TTindraMainForm::MnViewOnionSkinClick() {
    Ui->Canvas->SetOnionSkin(Ui->MnViewOnionSkin->isChecked(), Ui->MnViewOnionSkinNext->isChecked());
    WriteViewOptions();
}

void TTindraMainForm::MnViewTransparencyClick() {
    TransparencyFor[Document->OutputSize() == TIconDocument::InnerSide ? 1 : 0] =
        Ui->MnViewTransparency->isChecked();
    ApplyTransparencyView();
    WriteViewOptions();
}

void TTindraMainForm::ApplyTransparencyView() {
    const bool on = TransparencyFor[Document->OutputSize() == TIconDocument::InnerSide ? 1 : 0];
    Ui->MnViewTransparency->setChecked(on);
    Ui->Canvas->SetTransparencyShown(on);
    Ui->FrameList->SetTransparency(on, Document->TransparentColor().Value);
}

namespace {
const QString ViewSection = QStringLiteral("View");
}

void TTindraMainForm::ReadViewOptions() {
    Ui->MnViewOnionSkin->setChecked(RegCtrl.ReadInteger(ViewSection, "OnionSkin", 0) != 0);
    Ui->MnViewOnionSkinNext->setChecked(RegCtrl.ReadInteger(ViewSection, "OnionSkinNext", 0) != 0);
    TransparencyFor[0] = RegCtrl.ReadInteger(ViewSection, "Transparency40", 0) != 0;
    TransparencyFor[1] = RegCtrl.ReadInteger(ViewSection, "Transparency32", 1) != 0;
    Ui->Canvas->SetOnionSkin(Ui->MnViewOnionSkin->isChecked(), Ui->MnViewOnionSkinNext->isChecked());
    ApplyTransparencyView();
}

void TTindraMainForm::WriteViewOptions() {
    RegCtrl.WriteInteger(ViewSection, "OnionSkin", Ui->MnViewOnionSkin->isChecked() ? 1 : 0);
    RegCtrl.WriteInteger(ViewSection, "OnionSkinNext", Ui->MnViewOnionSkinNext->isChecked() ? 1 : 0);
    RegCtrl.WriteInteger(ViewSection, "Transparency40", TransparencyFor[0] ? 1 : 0);
    RegCtrl.WriteInteger(ViewSection, "Transparency32", TransparencyFor[1] ? 1 : 0);
}
