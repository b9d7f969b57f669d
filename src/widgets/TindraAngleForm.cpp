#include "TindraAngleForm.h"

#include "AngleDialWidget.h"
#include "DialogSetup.h"
#include "PixelArt.h"
#include "SurfaceImage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

TTindraAngleForm::TTindraAngleForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraAngleForm", 242, 216);

    ASAngle = new TAngleDialWidget(Model.Dial(), this);
    SEAngle = new QSpinBox(this);
    SEAngle->setObjectName("SEAngle");
    // One beyond each end, so that stepping past 359 or below 0 wraps round.
    SEAngle->setRange(-1, 360);
    SEAngle->setMinimumWidth(56);
    auto* degree = new QLabel(QString(QChar(0x00B0)), this);

    RBAngle = new QGroupBox("Angle", this);
    RBAngle->setObjectName("RBAngle");
    auto radio = [this](const char* name, const QString& caption) {
        auto* b = new QRadioButton(caption, RBAngle);
        b->setObjectName(name);
        return b;
    };
    RB090 = radio("RB090", "&90" + QString(QChar(0x00B0)));
    RB180 = radio("RB180", "&180" + QString(QChar(0x00B0)));
    RB270 = radio("RB270", "&270" + QString(QChar(0x00B0)));
    RBother = radio("RBother", "&other");
    RBother->setEnabled(false);
    auto* radios = new QVBoxLayout(RBAngle);
    radios->setContentsMargins(6, 4, 6, 4);
    radios->setSpacing(0);
    for (QRadioButton* b : {RB090, RB180, RB270, RBother})
        radios->addWidget(b);

    SImage = new QLabel(this);
    SImage->setObjectName("SImage");
    SImage->setFixedSize(40, 40);
    SImage->setAlignment(Qt::AlignCenter);

    // The whole 40 × 40 picture, border included, is always turned.
    CBFrameDraw = new QCheckBox("Rotate including border", this);
    CBFrameDraw->setObjectName("CBFrameDraw");
    CBFrameDraw->setChecked(true);
    CBFrameDraw->setEnabled(false);

    auto* buttons = tindra::OkCancelRow(this, OKButton, CancelButton, "Cancel");

    auto* spin = new QHBoxLayout;
    spin->addWidget(SEAngle);
    spin->addWidget(degree);
    spin->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addLayout(spin);
    right->addWidget(RBAngle);
    right->addWidget(SImage, 0, Qt::AlignHCenter);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(ASAngle, 0, Qt::AlignTop);
    top->addLayout(right);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(6, 6, 6, 6);
    all->addLayout(top);
    all->addWidget(CBFrameDraw);
    all->addLayout(buttons);

    connect(SEAngle, &QSpinBox::valueChanged, this, &TTindraAngleForm::SEAngleChange);
    connect(ASAngle, &TAngleDialWidget::Turned, this, &TTindraAngleForm::ASAngleAngleChange);
    connect(RB090, &QRadioButton::clicked, this, [this] { RBClick(90); });
    connect(RB180, &QRadioButton::clicked, this, [this] { RBClick(180); });
    connect(RB270, &QRadioButton::clicked, this, [this] { RBClick(270); });
}

void TTindraAngleForm::SetPicture(const TSurface32& picture) {
    Model.SetPicture(picture);
}

void TTindraAngleForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TTindraAngleForm::FormActivate() {
    Model.Activate();
    ShowState();
}

void TTindraAngleForm::SEAngleChange(int value) {
    Model.SpinChanged(value);
    ShowState();
}

void TTindraAngleForm::ASAngleAngleChange() {
    ShowState();
}

void TTindraAngleForm::RBClick(int angle) {
    Model.QuickAngleClicked(angle);
    ShowState();
}

void TTindraAngleForm::ShowState() {
    {
        const QSignalBlocker quiet(SEAngle);
        SEAngle->setValue(Model.SpinValue());
    }
    switch (Model.CheckedQuickAngle()) {
    case 90:
        RB090->setChecked(true);
        break;
    case 180:
        RB180->setChecked(true);
        break;
    case 270:
        RB270->setChecked(true);
        break;
    default:
        RBother->setChecked(true);
        break;
    }
    OKButton->setEnabled(Model.OkEnabled());
    SImage->setPixmap(PixelArtPixmap(SurfaceImage(Model.Preview()), SImage->devicePixelRatio()));
    ASAngle->update();
}
