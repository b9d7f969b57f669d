#include "TindraLangForm.h"

#include "DialogSetup.h"
#include "PixelArt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TTindraLangForm::TTindraLangForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraLangForm", 282, 188);

    LabelHeader = new QLabel(QStringLiteral("Jazyk / Language"), this);
    LabelHeader->setObjectName(QStringLiteral("LabelHeader"));
    QFont headerFont = LabelHeader->font();
    headerFont.setPixelSize(13);
    headerFont.setBold(true);
    LabelHeader->setFont(headerFont);
    LabelHeader->setAlignment(Qt::AlignCenter);

    // Flag above a two-line caption; 113 × 105 at least, larger when the caption needs it.
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(40, 40));
        b->setMinimumSize(113, 105);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        return b;
    };
    ButtonCzech = button("ButtonCzech", QString::fromUtf8("Česky\nCzech"));
    ButtonEnglish = button("ButtonEnglish", QStringLiteral("Anglicky\nEnglish"));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(16);
    buttons->addStretch(1);
    buttons->addWidget(ButtonCzech);
    buttons->addWidget(ButtonEnglish);
    buttons->addStretch(1);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(8, 10, 8, 10);
    all->setSpacing(14);
    all->addWidget(LabelHeader);
    all->addLayout(buttons);
    all->addStretch(1);
    connect(ButtonCzech, &QToolButton::clicked, this, &QDialog::reject);
    connect(ButtonEnglish, &QToolButton::clicked, this, &QDialog::accept);
}

void TTindraLangForm::SetFlags(const QPixmap& czech, const QPixmap& english) {
    ButtonCzech->setIcon(PixelArtIcon(czech.toImage()));
    ButtonEnglish->setIcon(PixelArtIcon(english.toImage()));
}
