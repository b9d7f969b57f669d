#include "DialogSetup.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

namespace tindra {

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    window->move(area.x() + area.width() / 2 - window->width() / 2,
                 area.y() + area.height() / 2 - window->height() / 2);
}

void SetUpFixedDialog(QDialog* dialog, const char* name, int width, int height) {
    dialog->setObjectName(name);
    dialog->setWindowTitle("Tindra");
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(width, height);
    CentreOnScreen(dialog);
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
