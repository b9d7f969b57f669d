#include "TindraIframeForm.h"

#include "ClipboardPicture.h"
#include "DialogSetup.h"
#include "DocumentAsker.h"
#include "IconDocument.h"
#include "PixelArt.h"
#include "SurfaceImage.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

TTindraIframeForm::TTindraIframeForm(const TIconDocument& document, IDocumentAsker& asker, QWidget* parent)
    : QDialog(parent), Document(document), Asker(asker) {
    tindra::SetUpFixedDialog(this, "TindraIframeForm", 273, 248);

    RGFrameTarget = new QGroupBox(QString::fromUtf8("Vložit rámec"), this);
    RGFrameTarget->setObjectName("RGFrameTarget");
    RBBefore = new QRadioButton(QString::fromUtf8("Př&ed aktuální rámec"), RGFrameTarget);
    RBBefore->setObjectName("RBBefore");
    RBAfter = new QRadioButton(QString::fromUtf8("Z&a aktuální rámec"), RGFrameTarget);
    RBAfter->setObjectName("RBAfter");
    RBAfter->setChecked(true);
    auto* targets = new QHBoxLayout(RGFrameTarget);
    targets->setContentsMargins(4, 2, 4, 2);
    targets->setSpacing(2);
    targets->addWidget(RBBefore);
    targets->addWidget(RBAfter);

    CBFrameSource = new QComboBox(this);
    CBFrameSource->setObjectName("CBFrameSource");
    CBFrameSource->addItems({QString::fromUtf8("Prázdný rámec"), QString::fromUtf8("Ze schránky"),
                             QString::fromUtf8("Ze souboru"), QString::fromUtf8("Kopie aktuálního rámce")});

    ImPreview = new QLabel(this);
    ImPreview->setObjectName("ImPreview");
    ImPreview->setFixedSize(40, 40);
    ImPreview->setAlignment(Qt::AlignCenter);

    STDisplayTime = new QLabel(QString::fromUtf8("Doba zobrazení rámce (ms):"), this);
    STDisplayTime->setObjectName("STDisplayTime");
    SEDisplayTime = new QSpinBox(this);
    SEDisplayTime->setObjectName("SEDisplayTime");
    SEDisplayTime->setRange(TIconDocument::MinDisplayTime, TIconDocument::MaxDisplayTime);
    SEDisplayTime->setSingleStep(10);
    SEDisplayTime->setValue(100);
    // A typed value counts when it is committed, and is then rounded down to whole hundredths.
    SEDisplayTime->setKeyboardTracking(false);

    auto* buttons = tindra::OkCancelRow(this, OKButton, CancelButton, QString::fromUtf8("Zrušit"));

    auto* middle = new QHBoxLayout;
    middle->addWidget(CBFrameSource, 1);
    middle->addWidget(ImPreview);
    auto* time = new QHBoxLayout;
    time->addWidget(STDisplayTime);
    time->addWidget(SEDisplayTime);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(6, 6, 6, 6);
    all->addWidget(RGFrameTarget);
    all->addLayout(middle);
    all->addLayout(time);
    all->addStretch(1);
    all->addLayout(buttons);

    connect(CBFrameSource, &QComboBox::activated, this, &TTindraIframeForm::CBFrameSourceClick);
    connect(SEDisplayTime, &QSpinBox::valueChanged, this, [this](int value) {
        const int rounded = TIconDocument::RoundDisplayTime(value);
        if (rounded != value) SEDisplayTime->setValue(rounded);
    });
}

void TTindraIframeForm::ApplyLanguage(int languageIndex) {
    const bool english = languageIndex == 1;
    auto text = [english](const char* czech, const char* inEnglish) {
        return QString::fromUtf8(english ? inEnglish : czech);
    };
    setWindowTitle(text("Tindra - vložit rámec", "Tindra - insert frame"));
    RGFrameTarget->setTitle(text("Vložit rámec", "Insert frame"));
    RBBefore->setText(text("Př&ed aktuální rámec", "B&efore the current frame"));
    RBAfter->setText(text("Z&a aktuální rámec", "&After the current frame"));
    CBFrameSource->setItemText(SourceEmpty, text("Prázdný rámec", "Empty frame"));
    CBFrameSource->setItemText(SourceClipboard, text("Ze schránky", "From the clipboard"));
    CBFrameSource->setItemText(SourceFile, text("Ze souboru", "From a file"));
    CBFrameSource->setItemText(SourceCopy, text("Kopie aktuálního rámce", "Copy of the current frame"));
    STDisplayTime->setText(text("Doba zobrazení rámce (ms):", "Display time of the frame (ms):"));
    CancelButton->setText(text("Zrušit", "Cancel"));
}

int TTindraIframeForm::TargetIndex() const {
    return RBBefore->isChecked() ? 0 : 1;
}

int TTindraIframeForm::DisplayTime() const {
    return SEDisplayTime->value();
}

void TTindraIframeForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TTindraIframeForm::FormActivate() {
    CBFrameSource->setCurrentIndex(SourceEmpty);
    ShowPreview(nullptr);
}

void TTindraIframeForm::CBFrameSourceClick(int source) {
    CBFrameSource->setCurrentIndex(source);
    switch (source) {
    case SourceClipboard: {
        const std::optional<TPixelImage> picture =
            TClipboardPicture::Picture(QGuiApplication::clipboard()->mimeData());
        ShowPreview(picture ? &*picture : nullptr);
        break;
    }
    case SourceFile: {
        const QString path = QString::fromStdString(Asker.AskOpenFileName());
        // Cancelled, missing or unreadable: the preview stays as it was.
        if (path.isEmpty() || !QFileInfo::exists(path)) return;
        try {
            const TPixelImage picture = TIconDocument::LoadInsertPicture(path.toStdString());
            ShowPreview(&picture);
        } catch (const std::exception&) {
        }
        break;
    }
    case SourceCopy:
        // The current frame as it is, with its display time.
        if (Document.CurrentFrame() >= 0 && Document.CurrentFrame() < Document.FrameCount()) {
            FPreview = Document.FrameBitmap(Document.CurrentFrame());
            ImPreview->setPixmap(PixelArtPixmap(SurfaceImage(FPreview), ImPreview->devicePixelRatio()));
            const int time = Document.DisplayTime(Document.CurrentFrame());
            if (time >= TIconDocument::MinDisplayTime) SEDisplayTime->setValue(time);
        }
        break;
    default:
        ShowPreview(nullptr);
        break;
    }
}

void TTindraIframeForm::ShowPreview(const TPixelImage* picture) {
    FPreview = Document.InsertPreview(picture);
    ImPreview->setPixmap(PixelArtPixmap(SurfaceImage(FPreview), ImPreview->devicePixelRatio()));
}
