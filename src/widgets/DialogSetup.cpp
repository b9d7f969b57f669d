#include "DialogSetup.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tindra {
namespace {

constexpr const char* DesignSizeProperty = "DesignSize";
// Window icon, three title-bar buttons and the frame's margins, as common window managers draw
// them; the title font of the window manager is usually smaller than the bold window font used
// for the text, which leaves some slack.
constexpr int TitleBarDecoration = 100;

// Refits its dialog whenever it is shown, retitled or asks for a new layout.
class TDialogFit : public QObject {
  public:
    explicit TDialogFit(QDialog* dialog) : QObject(dialog), Dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == Dialog && !Fitting) {
            switch (e->type()) {
            case QEvent::Show:
            case QEvent::LayoutRequest:
            case QEvent::WindowTitleChange:
            case QEvent::FontChange:
                Fitting = true;
                FitDialog(Dialog);
                Fitting = false;
                break;
            default:
                break;
            }
        }
        return false;
    }

  private:
    QDialog* Dialog;
    bool Fitting = false;
};

// Qt's message boxes size themselves on showing from their layout's minimum width; their button
// row spans the whole width, so a button row made wide enough makes room for the title.
class TMessageBoxTitles : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) Widen(box);
        }
        return false;
    }

  private:
    static void Widen(QMessageBox* box) {
        auto* buttons = box->findChild<QDialogButtonBox*>(QStringLiteral("qt_msgbox_buttonbox"));
        QLayout* layout = box->layout();
        if (!buttons || !layout) return;
        const QMargins margins = layout->contentsMargins();
        buttons->setMinimumWidth(TitleRoom(box) - margins.left() - margins.right());
    }
};

} // namespace

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    window->move(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
}

int TitleRoom(const QWidget* window) {
    QFont font = window->font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + TitleBarDecoration;
}

void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height) {
    dialog->setObjectName(name);
    dialog->setWindowTitle("Tindra");
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setProperty(DesignSizeProperty, QSize(width, height));
    dialog->setFixedSize(width, height);
    CentreOnScreen(dialog);
    dialog->installEventFilter(new TDialogFit(dialog));
}

void FitDialog(QDialog* dialog) {
    QSize size = dialog->property(DesignSizeProperty).toSize();
    if (QLayout* layout = dialog->layout()) {
        layout->activate();
        size = size.expandedTo(layout->totalSizeHint()).expandedTo(layout->totalMinimumSize());
    }
    size.setWidth(std::max(size.width(), TitleRoom(dialog)));
    if (dialog->minimumSize() == size && dialog->maximumSize() == size) return;
    const QRect old = dialog->geometry();
    dialog->setFixedSize(size);
    dialog->move(old.x() + (old.width() - size.width()) / 2, old.y() + (old.height() - size.height()) / 2);
}

void KeepMessageBoxTitlesWhole() {
    static TMessageBoxTitles* filter = nullptr;
    if (filter || !QCoreApplication::instance()) return;
    filter = new TMessageBoxTitles(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel,
                         const QString& cancelCaption) {
    ok = new QPushButton("O.K.", dialog);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    cancel = new QPushButton(cancelCaption, dialog);
    cancel->setObjectName("CancelButton");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace tindra
