// The Image menu: playing and stopping the preview (also its buttons and a click on it), the flips,
// the rotation with its dialog, the border and the automatic border;
// with the tool panel, whose tools change the image on the canvas. Each change of the picture is one
// edit of the document.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "DocumentGif.h"
#include "DrawingTools.h"
#include "GIFPainter.h"
#include "GIFPicture.h"
#include "IconDocument.h"
#include "ImageTransforms.h"
#include "InputBox.h"
#include "LanguageTables.h"
#include "Messages.h"
#include "PreviewView.h"
#include "TindraAngleForm.h"

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
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
    // The preview plays as often as the saved file will: without end, or the document's passes, after
    // which it stops by itself and shows the current frame again.
    const int passes = Document->PreviewPasses();
    GifFrames::SetPlaybackLoops(frames, passes);
    const int run = ++PreviewRun;
    TGIFPainter::AnimationOf(frames).OnEndPaint = [this, run](TGIFPainter*) {
        QTimer::singleShot(0, this, [this, run] {
            if (run == PreviewRun) StopAnimation();
        });
    };
    // Threaded, animate, loop, direct; drawn opaquely over the whole preview.
    TGIFPainter::StartPainting(
        frames, Ui->ImThumbnail->Canvas(), TRect(0, 0, TPreviewView::PictureSize, TPreviewView::PictureSize),
        pfThreaded | pfAnimate | pfLoop | pfDirectDraw | (passes == 0 ? pfLoopForever : 0));
    Document->SetAnimating(true);
    Ui->Canvas->Repaint(); // without the onion skin while the preview plays
    UpdateCommands();
}

void TTindraMainForm::StopAnimation() {
    if (!Document->Animating()) return;
    ++PreviewRun;
    TGIFPainter::StopPainting(Document->Frames40());
    GifFrames::SetPlaybackLoops(Document->Frames40(), 0);
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

void TTindraMainForm::MnImageLoopCountClick() {
    if (!Document->ImageLoaded()) return;
    const int count = Document->LoopCount();
    const QString preset = count == TIconDocument::PlayOnce ? QString() : QString::number(count);
    const QString answer =
        TInputBox::Ask(this, QStringLiteral("Tindra"),
                       QString::fromStdString(tindra::LoopCountPrompt(LanguageIndex)), preset);
    int value = 0;
    if (!TIconDocument::ParseLoopCount(answer.toStdString(), value)) {
        ShowErrorMessage(QString::fromStdString(tindra::LoopCountErrorText(LanguageIndex)));
        return;
    }
    Document->SetLoopCount(value);
}

void TTindraMainForm::MnImageAllDisplayTimesClick() {
    if (!Document->ImageLoaded()) return;
    const QString preset = QString::number(Document->DisplayTime(Document->CurrentFrame()));
    const QString answer =
        TInputBox::Ask(this, QStringLiteral("Tindra"),
                       QString::fromStdString(tindra::AllDisplayTimesPrompt(LanguageIndex)), preset);
    bool number = false;
    const int milliseconds = answer.trimmed().toInt(&number);
    if (!number || !Document->SetAllDisplayTimes(milliseconds))
        ShowErrorMessage(QString::fromStdString(tindra::DisplayTimeErrorText(LanguageIndex)));
}

void TTindraMainForm::EdToolSizeChange() {
    Ui->Canvas->SetToolSize(Ui->EdToolSize->value());
}

// ---- Tool keys: a letter picks a tool (as its button does), X swaps the drawing and background
// colours, Escape drops the selection. Letters typed into a text field stay there.

const std::vector<std::pair<const char*, const char*>>& TTindraMainForm::ToolKeys() {
    static const std::vector<std::pair<const char*, const char*>> keys = {
        {"SBToolMover", "V"}, {"SBToolSelect", "M"},    {"SBToolColorDropper", "I"},
        {"SBToolPen", "P"},   {"SBToolBrush", "B"},     {"SBToolFloodFill", "G"},
        {"SBToolLine", "L"},  {"SBToolRectangle", "R"}, {"SBToolEllipse", "E"},
        {"SBToolText", "T"},
    };
    return keys;
}

void TTindraMainForm::CreateToolKeys() {
    for (const auto& [name, key] : ToolKeys()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        shortcut->setObjectName(QStringLiteral("Key") + QString::fromLatin1(name));
        const QString button = QString::fromLatin1(name);
        connect(shortcut, &QShortcut::activated, this, [this, button] {
            auto* b = Ui->ToolPanel->findChild<QToolButton*>(button);
            if (b && b->isEnabled() && Ui->ToolPanel->isEnabled()) b->click();
        });
    }
    auto* swap = new QShortcut(QKeySequence(QStringLiteral("X")), this);
    swap->setObjectName("KeySwapColors");
    connect(swap, &QShortcut::activated, this, [this] {
        if (!Document->ImageLoaded()) return;
        const TSurfaceColor draw = Document->DrawColor(), back = Document->BackColor();
        Document->SetDrawColor(back);
        Document->SetBackColor(draw);
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName("KeyDropSelection");
    connect(escape, &QShortcut::activated, this, [this] { Ui->Canvas->DropSelection(); });
}
