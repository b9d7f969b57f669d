#pragma once
// The language dialog: "Jazyk / Language" over two flag buttons. The Czech
// button ends the dialog with Rejected, the English button with Accepted; the
// close box and Escape also give Rejected, i.e. Czech. Its texts are the same
// in both languages.

#include <QDialog>
#include <QPixmap>

class QLabel;
class QToolButton;

class TTindraLangForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTindraLangForm(QWidget* parent = nullptr);

    // The two flags (pictures 0 and 1 of the control images' "Language buttons").
    void SetFlags(const QPixmap& czech, const QPixmap& english);

    QLabel* LabelHeader = nullptr;
    QToolButton* ButtonCzech = nullptr;
    QToolButton* ButtonEnglish = nullptr;
};
