#include "TindraMFrameForm.h"

#include "DialogSetup.h"
#include "IconDocument.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// A slider with a 30 × 20 thumb on a track 4 pixels high; the thumb shows the position it stands
// for (value + 1) in bold.
class TPositionSlider : public QSlider {
  public:
    static constexpr int ThumbWidth = 30;
    static constexpr int ThumbHeight = 20;
    static constexpr int TrackHeight = 4;

    explicit TPositionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
        setFixedHeight(ThumbHeight + 4);
    }

    QRect Thumb() const {
        const int span = maximum() - minimum();
        const int travel = width() - ThumbWidth;
        const int x = span > 0 ? (value() - minimum()) * travel / span : 0;
        return QRect(x, (height() - ThumbHeight) / 2, ThumbWidth, ThumbHeight);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect track(ThumbWidth / 2, (height() - TrackHeight) / 2, width() - ThumbWidth, TrackHeight);
        p.setPen(palette().color(QPalette::Dark));
        p.setBrush(palette().color(QPalette::Mid));
        p.drawRect(track);
        const QRect thumb = Thumb();
        p.setBrush(palette().color(QPalette::Button));
        p.drawRect(thumb.adjusted(0, 0, -1, -1));
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(thumb, Qt::AlignCenter, QString::number(value() + 1));
    }
    void mousePressEvent(QMouseEvent* e) override { Follow(e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (e->buttons() & Qt::LeftButton) Follow(e);
    }
    void mouseReleaseEvent(QMouseEvent*) override {}

  private:
    // The thumb's centre goes to the nearest position under the pointer.
    void Follow(QMouseEvent* e) {
        const int span = maximum() - minimum();
        const int travel = width() - ThumbWidth;
        if (span <= 0 || travel <= 0) return;
        const int x = qBound(0, qRound(e->position().x()) - ThumbWidth / 2, travel);
        setValue(minimum() + (x * span + travel / 2) / travel);
    }
};

} // namespace

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

    JTNewPosition = new TPositionSlider(this);
    JTNewPosition->setObjectName("JTNewPosition");
    JTNewPosition->setPageStep(1);

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
