// The Help menu: the built-in manual at the section of the part of the window the user is at, and the
// about dialog (also a double-click on the version cell); with the status bar's lock-key cells.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "HelpTopics.h"
#include "LanguageTables.h"
#include "LockKeys.h"
#include "Messages.h"
#include "TindraAboutForm.h"
#include "TindraHelpForm.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QUrl>

namespace {
constexpr const char* HelpContextProperty = "HelpContext";
} // namespace

void TTindraMainForm::MnHelpThemesClick() {
    ShowHelp(HelpContextHere());
}

int TTindraMainForm::HelpContextHere() const {
    QWidget* here = QApplication::widgetAt(QCursor::pos());
    // Only this window and its menus count; elsewhere the keyboard focus tells.
    if (!here || (here->window() != this && !qobject_cast<QMenu*>(here->window())))
        here = QApplication::focusWidget();
    for (const QObject* o = here; o; o = o->parent()) {
        const int context = o->property(HelpContextProperty).toInt();
        if (context > 0) return context;
    }
    return HelpContext;
}

void TTindraMainForm::ShowHelp(int context) {
    if (!Ui->HelpForm) Ui->HelpForm = new TTindraHelpForm(this);
    const int language = tindra::NormalizedLanguage(LanguageIndex);
    Ui->HelpForm->ShowPage(QUrl("qrc" + QString::fromStdString(tindra::HelpPage(language))),
                           QString::fromStdString(tindra::HelpSection(context)),
                           QString::fromUtf8(tindra::HelpTexts().Caption[language]));
}

void TTindraMainForm::InstallDialogHelp(QDialog* dialog, int context) {
    dialog->setProperty(HelpContextProperty, context);
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    key->setObjectName(QStringLiteral("DialogHelpKey"));
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this, dialog, context] {
        if (!Ui->HelpForm) Ui->HelpForm = new TTindraHelpForm(this);
        TTindraHelpForm* help = Ui->HelpForm;
        if (help->parentWidget() != dialog) {
            help->setParent(dialog, Qt::Window);
            // Back to the main window when the dialog closes, still open if it was.
            connect(
                dialog, &QDialog::finished, this,
                [this, help] {
                    const bool shown = help->isVisible();
                    help->setParent(this, Qt::Window);
                    if (shown) help->show();
                },
                Qt::SingleShotConnection);
        }
        ShowHelp(context);
    });
}

void TTindraMainForm::MnHelpAboutClick() {
    if (Ui->AboutForm) Ui->AboutForm->exec();
}

void TTindraMainForm::UpdateLockKeys() {
    // Where the state is unknown both labels stay neutral; a lock that is off is greyed.
    const bool known = SISysInfo->Available();
    const QString off = "color: palette(mid);";
    Ui->SBCapsLockInfo->setStyleSheet(known && !SISysInfo->CapsLock() ? off : QString());
    Ui->SBNumLockInfo->setStyleSheet(known && !SISysInfo->NumLock() ? off : QString());
}
