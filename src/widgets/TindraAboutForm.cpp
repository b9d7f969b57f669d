#include "TindraAboutForm.h"

#include "DialogSetup.h"

#include <QCursor>
#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The maker's logo, 89 × 33: a dark plate with the name and a small mark.
QPixmap MakerLogo() {
    QPixmap logo(89, 33);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x2B, 0x3A, 0x55));
    p.setBrush(QColor(0x3C, 0x52, 0x7A));
    p.drawRoundedRect(QRectF(0.5, 0.5, 88, 32), 5, 5);
    p.setBrush(QColor(0xE8, 0xB0, 0x3C));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(6, 9, 14, 14));
    p.setBrush(QColor(0x3C, 0x52, 0x7A));
    p.drawEllipse(QRectF(10, 13, 6, 6));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(23, 0, 64, 33), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Marrowby"));
    return logo;
}

} // namespace

TTindraAboutForm::TTindraAboutForm(QWidget* parent)
    : QDialog(parent), UrlOpener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    tindra::SetUpFixedDialog(this, "TindraAboutForm", 253, 226);

    GalleryImage = new QLabel(this);
    GalleryImage->setObjectName(QStringLiteral("GalleryImage"));
    GalleryImage->setFixedSize(89, 33);
    GalleryImage->setPixmap(MakerLogo());

    LabelTindra = new QLabel(QStringLiteral("Tindra"), this);
    LabelTindra->setObjectName(QStringLiteral("LabelTindra"));
    QFont nameFont(QStringLiteral("URW Chancery L"));
    nameFont.setStyleHint(QFont::Decorative);
    nameFont.setPixelSize(27);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    LabelTindra->setFont(nameFont);
    LabelTindra->setStyleSheet(QStringLiteral("color: #3C527A;"));

    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    LabelVersion = label("LabelVersion");
    LabelProgrammer = label("LabelProgrammer");
    LabelGalleryLink = MakeLink("LabelGalleryLink");
    LabelProgrammLanguage = label("LabelProgrammLanguage");
    LabelLanguageLink = MakeLink("LabelLanguageLink");
    LabelUsing = label("LabelUsing");
    LabelLibraryLink = MakeLink("LabelLibraryLink");
    LabelAnd = label("LabelAnd");

    ButtonOK = new QPushButton(QStringLiteral("O.K."), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    QFont okFont = ButtonOK->font();
    okFont.setBold(true);
    ButtonOK->setFont(okFont);
    ButtonOK->setMinimumSize(75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* title = new QVBoxLayout;
    title->setSpacing(0);
    title->addWidget(LabelTindra);
    title->addWidget(LabelVersion);
    auto* top = new QHBoxLayout;
    top->addWidget(GalleryImage, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(title);
    top->addStretch();

    auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* r = new QHBoxLayout;
        r->setSpacing(4);
        for (QWidget* w : widgets)
            r->addWidget(w);
        r->addStretch();
        return r;
    };

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(4);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(row({LabelProgrammer, LabelGalleryLink}));
    main->addLayout(row({LabelProgrammLanguage, LabelLanguageLink}));
    main->addLayout(row({LabelUsing, LabelLibraryLink, LabelAnd}));
    main->addStretch();
    main->addWidget(ButtonOK, 0, Qt::AlignHCenter);
}

QLabel* TTindraAboutForm::MakeLink(const char* name) {
    auto* link = new QLabel(this);
    link->setObjectName(QString::fromLatin1(name));
    QFont font = link->font();
    font.setBold(true);
    font.setUnderline(true);
    link->setFont(font);
    link->setStyleSheet(QStringLiteral("color: blue;"));
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    return link;
}

void TTindraAboutForm::SetLanguageHandler(std::function<void(TTindraAboutForm&)> handler) {
    LanguageHandler = std::move(handler);
}

void TTindraAboutForm::SetUrlOpener(std::function<void(const QUrl&)> opener) {
    UrlOpener = std::move(opener);
}

void TTindraAboutForm::OpenLink(QLabel* link) {
    const QString address = link->toolTip().trimmed();
    if (address.isEmpty() || !UrlOpener) return;
    UrlOpener(QUrl(address));
}

bool TTindraAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* link = qobject_cast<QLabel*>(watched);
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (link && mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint())) {
            OpenLink(link);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTindraAboutForm::showEvent(QShowEvent* event) {
    if (LanguageHandler) LanguageHandler(*this);
    tindra::FitDialog(this); // the new texts may be wider
    QDialog::showEvent(event);
    ButtonOK->setFocus();
    PointAtButtonOK();
    // The window system may still move the dialog while showing it; point again once it is placed.
    QTimer::singleShot(0, this, &TTindraAboutForm::PointAtButtonOK);
}

void TTindraAboutForm::PointAtButtonOK() {
    if (isVisible()) QCursor::setPos(ButtonOK->mapToGlobal(ButtonOK->rect().center()));
}
