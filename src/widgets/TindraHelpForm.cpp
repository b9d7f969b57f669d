#include "TindraHelpForm.h"

#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

TTindraHelpForm::TTindraHelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TindraHelpForm"));
    setWindowTitle(QStringLiteral("Tindra"));
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("HelpBrowser"));
    Browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
    setMinimumSize(320, 240);
    resize(620, 560);
}

void TTindraHelpForm::ShowPage(const QUrl& page, const QString& anchor, const QString& title) {
    setWindowTitle(title);
    show();
    raise();
    activateWindow();
    QUrl url = page;
    url.setFragment(anchor.isEmpty() ? QString() : anchor);
    if (Browser->source() == url)
        Browser->scrollToAnchor(anchor);
    else
        Browser->setSource(url);
    // A window shown only now lays its page out later; go to the section again once it has.
    QTimer::singleShot(0, Browser, [this, anchor] {
        if (!anchor.isEmpty()) Browser->scrollToAnchor(anchor);
    });
}

QUrl TTindraHelpForm::Page() const {
    return Browser->source().adjusted(QUrl::RemoveFragment);
}

QString TTindraHelpForm::Anchor() const {
    return Browser->source().fragment();
}
