#include "TindraLangForm.h"

#include "DialogSetup.h"

#include <QLabel>
#include <QToolButton>

TTindraLangForm::TTindraLangForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraLangForm", 282, 188);

    LabelHeader = new QLabel(QStringLiteral("Jazyk / Language"), this);
    LabelHeader->setObjectName(QStringLiteral("LabelHeader"));
    QFont headerFont = LabelHeader->font();
    headerFont.setPixelSize(13);
    headerFont.setBold(true);
    LabelHeader->setFont(headerFont);
    LabelHeader->setAlignment(Qt::AlignCenter);
    LabelHeader->setGeometry(8, 10, 266, 22);

    auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(40, 40));
        b->setGeometry(left, 48, 113, 105);
        return b;
    };
    ButtonCzech = button("ButtonCzech", QString::fromUtf8("Česky\nCzech"), 20);
    ButtonEnglish = button("ButtonEnglish", QStringLiteral("Anglicky\nEnglish"), 149);
    connect(ButtonCzech, &QToolButton::clicked, this, &QDialog::reject);
    connect(ButtonEnglish, &QToolButton::clicked, this, &QDialog::accept);
}

void TTindraLangForm::SetFlags(const QPixmap& czech, const QPixmap& english) {
    ButtonCzech->setIcon(QIcon(czech));
    ButtonEnglish->setIcon(QIcon(english));
}
