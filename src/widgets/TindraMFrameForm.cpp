#include "TindraMFrameForm.h"

#include "DialogSetup.h"
#include "IconDocument.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

TTindraMFrameForm::TTindraMFrameForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraMFrameForm", 221, 128);
    STMoveFrame = new QLabel("Move frame", this);
    STMoveFrame->setObjectName("STMoveFrame");
    LBCurrentFrame = new QLabel(this);
    LBCurrentFrame->setObjectName("LBCurrentFrame");
    QFont bold = LBCurrentFrame->font();
    bold.setBold(true);
    LBCurrentFrame->setFont(bold);
    STPosition = new QLabel("to position:", this);
    STPosition->setObjectName("STPosition");

    JTNewPosition = new QSlider(Qt::Horizontal, this);
    JTNewPosition->setObjectName("JTNewPosition");
    JTNewPosition->setPageStep(1);
    // The thumb shows the position it stands for (1-based) in bold.
    JTNewPosition->setStyleSheet("QSlider::groove:horizontal { height: 4px; background: palette(mid); }"
                                 "QSlider::handle:horizontal { width: 30px; height: 20px; margin: -8px 0;"
                                 " background: palette(button); border: 1px solid palette(dark); }");
    auto* thumb = new QLabel(JTNewPosition);
    thumb->setObjectName("JTNewPositionThumb");
    thumb->setFont(bold);
    thumb->setAlignment(Qt::AlignCenter);
    thumb->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto placeThumb = [this, thumb] {
        thumb->setText(QString::number(JTNewPosition->value() + 1));
        const int span = JTNewPosition->maximum() - JTNewPosition->minimum();
        const int travel = JTNewPosition->width() - 30;
        const int x = span > 0 ? (JTNewPosition->value() - JTNewPosition->minimum()) * travel / span : 0;
        thumb->setGeometry(x, 0, 30, JTNewPosition->height());
    };
    connect(JTNewPosition, &QSlider::valueChanged, thumb, placeThumb);
    connect(JTNewPosition, &QSlider::rangeChanged, thumb, placeThumb);

    auto* buttons = tindra::OkCancelRow(this, OKButton, CancelButton, "Cancel");

    auto* line = new QHBoxLayout;
    line->addWidget(STMoveFrame);
    line->addWidget(LBCurrentFrame);
    line->addWidget(STPosition);
    line->addStretch(1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(line);
    all->addWidget(JTNewPosition);
    all->addLayout(buttons);

    connect(JTNewPosition, &QSlider::valueChanged, this, &TTindraMFrameForm::JTNewPositionChange);
}

void TTindraMFrameForm::SetFrames(int currentFrame, int frameCount) {
    CurrentFrame = currentFrame;
    LBCurrentFrame->setText(QString::number(currentFrame + 1));
    JTNewPosition->blockSignals(true);
    JTNewPosition->setMinimum(0);
    JTNewPosition->setMaximum(frameCount - 1);
    JTNewPosition->blockSignals(false);
    JTNewPosition->setValue(currentFrame == 0 ? 1 : 0);
}

int TTindraMFrameForm::Target() const {
    return JTNewPosition->value();
}

void TTindraMFrameForm::JTNewPositionChange(int value) {
    const int allowed = TIconDocument::AdjustMoveSlider(value, CurrentFrame, JTNewPosition->maximum());
    if (allowed != value) JTNewPosition->setValue(allowed);
}
