// The language, about and GIF attributes dialogs, with the texts the window gives them.

#include "LanguageTables.h"
#include "Messages.h"
#include "TindraAboutForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"

#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace tindra;

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void languageButtonsEndDialog_data();
    void languageButtonsEndDialog();
    void aboutFollowsLanguage();
    void aboutLinksOpenTheirAddress();
    void infoWindowLayout();
};

void DialogsTest::languageButtonsEndDialog_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("czech button") << "ButtonCzech" << int(QDialog::Rejected);
    QTest::newRow("english button") << "ButtonEnglish" << int(QDialog::Accepted);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    QTest::newRow("escape") << "escape" << int(QDialog::Rejected);
}

void DialogsTest::languageButtonsEndDialog() {
    QFETCH(QString, how);
    QFETCH(int, result);
    TTindraLangForm form;
    QCOMPARE(form.size(), QSize(282, 188));
    QCOMPARE(form.windowTitle(), QString("Tindra"));
    QCOMPARE(form.LabelHeader->text(), QString("Jazyk / Language"));
    QCOMPARE(form.ButtonCzech->text(), QString::fromUtf8("Česky\nCzech"));
    QTimer::singleShot(0, &form, [&] {
        if (how == "close")
            form.close();
        else if (how == "escape")
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            form.findChild<QToolButton*>(how)->click();
    });
    QCOMPARE(form.exec(), result);
}

void DialogsTest::aboutFollowsLanguage() {
    TTindraAboutForm form;
    QCOMPARE(form.size(), QSize(253, 226));
    int language = LanguageEnglish;
    form.SetLanguageHandler([&](TTindraAboutForm& f) { ApplyAboutLanguage(&f, language, "2.2.0.0"); });

    QPoint pointer;
    QTimer::singleShot(50, &form, [&] {
        pointer = QCursor::pos();
        form.ButtonOK->click();
    });
    form.exec();
    // Opening puts the mouse pointer on the O.K. button.
    QCOMPARE(pointer, form.ButtonOK->mapToGlobal(form.ButtonOK->rect().center()));
    QCOMPARE(form.windowTitle(), QString("Tindra - about"));
    QCOMPARE(form.LabelVersion->text(), QString("Version 2.2.0.0"));
    QCOMPARE(form.LabelGalleryLink->text(), QString("Marrowby"));
    QCOMPARE(form.LabelGalleryLink->toolTip(), QString::fromStdString(MakerLink(LanguageEnglish)));

    language = LanguageCzech;
    QTimer::singleShot(0, &form, [&] { form.ButtonOK->click(); });
    form.exec();
    QCOMPARE(form.windowTitle(), QString("Tindra - o programu"));
    QCOMPARE(form.LabelVersion->text(), QString("Verze 2.2.0.0"));
    QCOMPARE(form.LabelGalleryLink->toolTip(), QString::fromStdString(MakerLink(LanguageCzech)));
    QVERIFY(!form.LabelProgrammer->text().isEmpty());
    QCOMPARE(form.ButtonOK->text(), QString("O.K."));
}

void DialogsTest::aboutLinksOpenTheirAddress() {
    TTindraAboutForm form;
    ApplyAboutLanguage(&form, LanguageCzech, "2.2.0.0");
    QList<QUrl> opened;
    form.SetUrlOpener([&](const QUrl& url) { opened << url; });
    form.show();
    QTest::mouseClick(form.LabelGalleryLink, Qt::LeftButton);
    QTest::mouseClick(form.LabelLibraryLink, Qt::LeftButton);
    QTest::mouseClick(form.LabelProgrammer, Qt::LeftButton); // plain text: nothing
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0].toString(), QString::fromStdString(MakerLink(LanguageCzech)));
    QCOMPARE(opened[1].host(), QString("www.qt.io"));
}

void DialogsTest::infoWindowLayout() {
    TTindraInfoForm form;
    QCOMPARE(form.size(), QSize(579, 464));
    QCOMPARE(form.ListViewInfo->columnCount(), 2);
    QCOMPARE(form.ListViewInfo->columnWidth(0), 100);
    QCOMPARE(form.ListViewInfo->columnWidth(1), 200);
    QVERIFY(form.ListViewInfo->showGrid());
    QCOMPARE(form.ListViewInfo->editTriggers(), QAbstractItemView::NoEditTriggers);
    form.ListViewInfo->setColumnWidth(0, 20);
    form.ListViewInfo->setColumnWidth(1, 20);
    QCOMPARE(form.ListViewInfo->columnWidth(0), 100);
    QCOMPARE(form.ListViewInfo->columnWidth(1), 200);
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
