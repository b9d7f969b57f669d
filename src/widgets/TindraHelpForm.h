#pragma once
// The help window: the program's manual, an HTML page built into the program, shown in a text
// browser at the section the caller names. It is an ordinary window beside the main window (not
// modal), so the user can read and work at the same time; links inside the manual move within
// it, links to web addresses open in the desktop's browser.

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

class TTindraHelpForm : public QWidget {
    Q_OBJECT
  public:
    explicit TTindraHelpForm(QWidget* parent = nullptr);

    // Shows `page` scrolled to the section `anchor` under the window title `title`, and brings
    // the window to the front.
    void ShowPage(const QUrl& page, const QString& anchor, const QString& title);
    // The page shown, without its section, and the section the user is at.
    QUrl Page() const;
    QString Anchor() const;

    QTextBrowser* Browser;
};
