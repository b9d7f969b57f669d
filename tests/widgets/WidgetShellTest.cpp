// The placement of the dialog shells.

#include "DialogSetup.h"
#include "IconDocument.h"
#include "TindraAboutForm.h"
#include "TindraAngleForm.h"
#include "TindraIframeForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"
#include "TindraMFrameForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <memory>

class TWidgetShellTest : public QObject {
    Q_OBJECT
  private slots:
    void dialogShells_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("centred");
        QTest::newRow("about") << "TindraAboutForm" << QSize(253, 226) << true;
        QTest::newRow("language") << "TindraLangForm" << QSize(282, 188) << true;
        QTest::newRow("attributes") << "TindraInfoForm" << QSize(579, 464) << false;
        QTest::newRow("rotation") << "TindraAngleForm" << QSize(242, 216) << true;
        QTest::newRow("insert frame") << "TindraIframeForm" << QSize(273, 248) << true;
        QTest::newRow("move frame") << "TindraMFrameForm" << QSize(221, 128) << true;
    }
    void dialogShells() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, centred);
        struct TNoQuestions : IDocumentAsker {
            TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
            std::string AskOpenFileName() override { return {}; }
            std::string AskSaveFileName(TFileKind, const std::string&) override { return {}; }
            bool ConfirmOverwrite(const std::string&) override { return false; }
        } asker;
        TIconDocument document; // the insert-frame dialog's preview and file question
        QWidget owner;
        new TTindraAboutForm(&owner);
        new TTindraLangForm(&owner);
        new TTindraInfoForm(&owner);
        new TTindraAngleForm(&owner);
        new TTindraIframeForm(document, asker, &owner);
        new TTindraMFrameForm(&owner);
        auto* dialog = owner.findChild<QDialog*>(name);
        QVERIFY(dialog);
        QCOMPARE(dialog->size(), size);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint middle(screen.width() / 2 - size.width() / 2, screen.height() / 2 - size.height() / 2);
        QCOMPARE(dialog->pos() == middle, centred);
        QCOMPARE(dialog->windowTitle(), QString("Tindra"));
    }
};

QTEST_MAIN(TWidgetShellTest)
#include "WidgetShellTest.moc"
