// Qt's own texts (standard buttons, the file dialog) follow the interface language, switched with
// it, whatever the system locale: CTest runs this program under LANG=C and under LANG=cs_CZ.UTF-8.

#include "Messages.h"
#include "QtTranslator.h"
#include "TindraMainForm.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtTest>

using namespace tindra;

namespace {

QString YesButtonText() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

QString FileDialogLookIn() {
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* label = dialog.findChild<QLabel*>("lookInLabel");
    return label ? label->text() : QString();
}

} // namespace

class TQtTextsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFileInfo::exists(TQtTranslator::CatalogueFolder() + "/qtbase_cs.qm"),
                 "qtbase_cs.qm is missing: install qt6-translations-l10n (scripts/install-deps.sh)");
    }

    void standardTextsFollowTheLanguage() {
        TTindraMainForm form;
        const QString englishYes = "&Yes", englishLookIn = "Look in:";
        for (int language : {LanguageCzech, LanguageEnglish, LanguageCzech, LanguageEnglish}) {
            form.LanguageIndex = language;
            form.ApplyLanguage();
            if (language == LanguageCzech) {
                QCOMPARE(YesButtonText(), QString("&Ano"));
                QVERIFY2(FileDialogLookIn() != englishLookIn, qPrintable(FileDialogLookIn()));
                QVERIFY(!FileDialogLookIn().isEmpty());
            } else {
                QCOMPARE(YesButtonText(), englishYes);
                QCOMPARE(FileDialogLookIn(), englishLookIn);
            }
        }
    }
};

QTEST_MAIN(TQtTextsTest)
#include "QtTextsTest.moc"
