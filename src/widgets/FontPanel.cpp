#include "FontPanel.h"

#include "DrawingTools.h"
#include "IconDocument.h"
#include "InputBox.h"
#include "QtTextRasterizer.h"

#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>

const QString TFontPanel::DefaultSample = QString::fromUtf8("ÁáČčŤťŠš");

namespace {

// Each face of the list: its name, then "Abc" written in the face itself.
class TFaceDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        QFont face(index.data(Qt::DisplayRole).toString());
        face.setPixelSize(option.font.pixelSize() > 0 ? option.font.pixelSize() : 13);
        painter->save();
        painter->setFont(face);
        const QRect r = option.rect.adjusted(0, 0, -4, 0);
        painter->drawText(r, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Abc"));
        painter->restore();
    }
};

void SetCaptionStyle(QToolButton* button, TFontStyle style, bool on) {
    QFont f = button->font();
    if (style == fsBold) f.setBold(on);
    if (style == fsItalic) f.setItalic(on);
    if (style == fsUnderline) f.setUnderline(on);
    button->setFont(f);
}

} // namespace

TFontPanel::TFontPanel(TIconDocument& document, const TControls& controls, QObject* parent)
    : QObject(parent), Document(document), C(controls) {
    FSample = DefaultSample;
    FCharsets = new QComboBox(C.FontName->parentWidget());
    FCharsets->setObjectName("CBFontCharset");
    FCharsets->hide();

    C.FontName->setMaxVisibleItems(5);
    C.FontName->setItemDelegate(new TFaceDelegate(C.FontName));
    C.FontSize->setEditable(true);

    connect(C.FontName, &QComboBox::currentIndexChanged, this, &TFontPanel::CBFontNameChange);
    connect(C.FontSize, &QComboBox::currentTextChanged, this, &TFontPanel::CBFontSizeChange);
    connect(C.Bold, &QToolButton::clicked, this, &TFontPanel::SBBoldClick);
    connect(C.Italics, &QToolButton::clicked, this, &TFontPanel::SBItalicsClick);
    connect(C.Underline, &QToolButton::clicked, this, &TFontPanel::SBUnderlineClick);
    connect(C.FontSelect, &QToolButton::clicked, this, &TFontPanel::SBFontSelectClick);
    C.Sample->installEventFilter(this);

    AskFont = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, C.Sample->window());
        if (!ok) return std::nullopt;
        return chosen;
    };
    ShowStyleButtons();
    FillSizes();
    ShowSample();
}

uint8_t TFontPanel::FaceCharset(const QString& family) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    if (systems.contains(QFontDatabase::Latin)) return CharsetCentralEuropean;
    if (systems.contains(QFontDatabase::Symbol)) return CharsetSymbol;
    return CharsetDefault;
}

void TFontPanel::CBFontNameChange() {
    const QString family = C.FontName->currentText();
    if (family.isEmpty()) return;
    FFont.Name = family.toStdString();
    FCharsets->clear();
    for (QFontDatabase::WritingSystem ws : QFontDatabase::writingSystems(family))
        FCharsets->addItem(QFontDatabase::writingSystemName(ws), static_cast<int>(ws));
    FFont.Charset = FaceCharset(family);
    FillSizes();
    ShowSample();
}

void TFontPanel::FillSizes() {
    const QSignalBlocker quiet(C.FontSize);
    C.FontSize->clear();
    QList<int> sizes = QFontDatabase::pointSizes(QString::fromStdString(FFont.Name));
    if (sizes.isEmpty()) sizes = QFontDatabase::standardSizes();
    for (int size : sizes)
        C.FontSize->addItem(QString::number(size));
    C.FontSize->setCurrentText(QString::number(FFont.Size()));
}

void TFontPanel::CBFontSizeChange() {
    bool whole = false;
    const int points = C.FontSize->currentText().trimmed().toInt(&whole);
    // Only a positive whole number is a size; anything else leaves the font as it is.
    if (!whole || points <= 0) return;
    FFont.SetSize(points);
    ShowSample();
}

void TFontPanel::ToggleStyle(TFontStyle style) {
    FFont.SetStyle(style, !FFont.HasStyle(style));
    ShowStyleButtons();
    ShowSample();
}

void TFontPanel::SBBoldClick() {
    ToggleStyle(fsBold);
}
void TFontPanel::SBItalicsClick() {
    ToggleStyle(fsItalic);
}
void TFontPanel::SBUnderlineClick() {
    ToggleStyle(fsUnderline);
}

void TFontPanel::ShowStyleButtons() {
    // Each caption shows what a click will produce.
    SetCaptionStyle(C.Bold, fsBold, !FFont.HasStyle(fsBold));
    SetCaptionStyle(C.Italics, fsItalic, !FFont.HasStyle(fsItalic));
    SetCaptionStyle(C.Underline, fsUnderline, !FFont.HasStyle(fsUnderline));
    C.Bold->setChecked(FFont.HasStyle(fsBold));
    C.Italics->setChecked(FFont.HasStyle(fsItalic));
    C.Underline->setChecked(FFont.HasStyle(fsUnderline));
}

void TFontPanel::SBFontSelectClick() {
    if (!AskFont) return;
    const std::optional<QFont> chosen = AskFont(TQtTextRasterizer::ToQFont(FFont));
    if (!chosen) return;
    FFont.Name = chosen->family().toStdString();
    if (chosen->pixelSize() > 0)
        FFont.Height = chosen->pixelSize();
    else
        FFont.SetSize(qRound(chosen->pointSizeF()));
    FFont.SetStyle(fsBold, chosen->bold());
    FFont.SetStyle(fsItalic, chosen->italic());
    FFont.SetStyle(fsUnderline, chosen->underline());
    FFont.SetStyle(fsStrikeOut, chosen->strikeOut());
    FFont.Charset = FaceCharset(chosen->family());
    {
        const QSignalBlocker quietName(C.FontName);
        const int face = C.FontName->findText(chosen->family());
        if (face >= 0) C.FontName->setCurrentIndex(face);
    }
    {
        const QSignalBlocker quietSize(C.FontSize);
        C.FontSize->setCurrentText(QString::number(FFont.Size()));
    }
    ShowStyleButtons();
    ShowSample();
}

void TFontPanel::SetPrompts(const QString& sample, const QString& text) {
    SamplePrompt = sample;
    TextPrompt = text;
}

void TFontPanel::TestPanelClick() {
    FSample = TInputBox::Ask(C.Sample->window(), QStringLiteral("Tindra"), SamplePrompt, DefaultSample);
    ShowSample();
}

void TFontPanel::ShowSample() {
    QFont f = TQtTextRasterizer::ToQFont(FFont);
    C.Sample->setFont(f);
    C.Sample->setText(FSample);
}

bool TFontPanel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == C.Sample && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        TestPanelClick();
        return true;
    }
    return QObject::eventFilter(watched, e);
}

void TFontPanel::WriteText(int col, int row, Qt::MouseButton button) {
    const QString text = TInputBox::Ask(C.Sample->window(), QStringLiteral("Tindra"), TextPrompt, QString());
    if (text.isEmpty()) return;
    TIconDocument::TEdit edit = Document.BeginEdit();
    TSurface32& work = edit.Picture();
    work.Font = FFont;
    if (button == Qt::LeftButton || button == Qt::RightButton) {
        const TSurfaceColor color = button == Qt::LeftButton ? Document.DrawColor() : Document.BackColor();
        ::WriteText(work, TCell{col, row}, text.toStdString(), color.Value);
    }
    edit.Commit();
}
