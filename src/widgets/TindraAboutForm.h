#pragma once
// The about dialog: the maker's logo, the program name and version, the author
// line, the link to the maker's page and the credit lines. Its texts are set
// from outside every time it is shown (they follow the interface language);
// each link label opens the web address it carries as its hint.

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

class TTindraAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTindraAboutForm(QWidget* parent = nullptr);

    // Runs each time the dialog is shown, before the pointer moves onto ButtonOK;
    // the window sets the texts of the current language here.
    void SetLanguageHandler(std::function<void(TTindraAboutForm&)> handler);
    // Opens a web address; the platform's default handler unless replaced
    // (tests).
    void SetUrlOpener(std::function<void(const QUrl&)> opener);

    QLabel* GalleryImage = nullptr;
    QLabel* LabelTindra = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelProgrammer = nullptr;
    QLabel* LabelGalleryLink = nullptr;
    QLabel* LabelProgrammLanguage = nullptr;
    QLabel* LabelLanguageLink = nullptr;
    QLabel* LabelUsing = nullptr;
    QLabel* LabelLibraryLink = nullptr;
    QLabel* LabelAnd = nullptr;
    QPushButton* ButtonOK = nullptr;

    // Opens the address of a link label (its hint); does nothing for an empty
    // one.
    void OpenLink(QLabel* link);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PointAtButtonOK();

    std::function<void(TTindraAboutForm&)> LanguageHandler;
    std::function<void(const QUrl&)> UrlOpener;

    QLabel* MakeLink(const char* name);
};
