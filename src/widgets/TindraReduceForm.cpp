#include "TindraReduceForm.h"

#include "ColorReducer.h"
#include "DialogSetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TTindraReduceForm::TTindraReduceForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraReduceForm", 260, 120);
    STColors = new QLabel("Colors:", this);
    STColors->setObjectName("STColors");
    SEColors = new QSpinBox(this);
    SEColors->setObjectName("SEColors");
    SEColors->setRange(MinReducedColors, MaxReducedColors);
    SEColors->setValue(16);
    STDither = new QLabel("Dithering:", this);
    STDither->setObjectName("STDither");
    CBDither = new QComboBox(this);
    CBDither->setObjectName("CBDither");
    for (int i = 0; i < DitherMethodCount; ++i)
        CBDither->addItem(QString());
    SetDitherNames(
        {"None", "Floyd-Steinberg", "Stucki", "Sierra", "Jarvis-Judice-Ninke", "Stevenson-Arce", "Burkes"});
    CBDither->setCurrentIndex(1);
    STColors->setBuddy(SEColors);
    STDither->setBuddy(CBDither);

    auto* grid = new QGridLayout;
    grid->addWidget(STColors, 0, 0);
    grid->addWidget(SEColors, 0, 1);
    grid->addWidget(STDither, 1, 0);
    grid->addWidget(CBDither, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(tindra::OkCancelRow(this, OKButton, CancelButton, "Cancel"));

    connect(SEColors, &QSpinBox::valueChanged, this, [this] { emit Changed(Colors(), DitherMethod()); });
    connect(CBDither, &QComboBox::currentIndexChanged, this,
            [this] { emit Changed(Colors(), DitherMethod()); });
}

int TTindraReduceForm::Colors() const {
    return SEColors->value();
}

int TTindraReduceForm::DitherMethod() const {
    return CBDither->currentIndex();
}

void TTindraReduceForm::SetDitherNames(const QStringList& names) {
    for (int i = 0; i < names.size() && i < CBDither->count(); ++i)
        CBDither->setItemText(i, names[i]);
}
