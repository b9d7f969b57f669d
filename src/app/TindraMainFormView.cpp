// The View menu: frame navigation (also the frame panel's buttons), with the frame list and the
// display-time field of the preview panel; the pixel grid, the preview, the GIF attributes and the
// three panels.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "GifAttributes.h"
#include "IconDocument.h"
#include "LanguageTables.h"
#include "TindraInfoForm.h"

#include <QAction>
#include <QGuiApplication>
#include <QSpinBox>
#include <QToolButton>

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

void TTindraMainForm::EDSpeedChange(int value) {
    // Display times are whole hundredths of a second.
    const int rounded = TIconDocument::RoundDisplayTime(value);
    if (rounded != value) Ui->EDSpeed->setValue(rounded);
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
