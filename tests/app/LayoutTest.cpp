// Every window of the program laid out in both languages with the wide DejaVu Sans: no label,
// button, radio or group text wider or taller than its control, no two sibling controls on top
// of each other, the menu bar in one row, message boxes wide enough for their titles. The same
// program runs under QT_SCALE_FACTOR 1.5 and 2 (see CMakeLists.txt).

#include "CanvasView.h"
#include "DialogSetup.h"
#include "IconDocument.h"
#include "LanguageTables.h"
#include "Messages.h"
#include "TestForm.h"
#include "TindraAboutForm.h"
#include "TindraAngleForm.h"
#include "TindraHelpForm.h"
#include "TindraIframeForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"
#include "TindraMFrameForm.h"
#include "TindraMainForm.h"
#include "TindraReduceForm.h"
#include "WindowControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSizeGrip>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace tindra;

namespace {


QString Describe(const QWidget* w) {
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    return QString("%1 %2 \"%3\"").arg(w->metaObject()->className(), w->objectName(), text);
}

// The size a control needs to show its text whole, or an invalid size for controls without text.
QSize TextNeed(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty()) return {};
        if (l->wordWrap()) return QSize(0, l->heightForWidth(l->width()));
        return l->minimumSizeHint();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text().isEmpty() ? QSize() : b->sizeHint();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title().isEmpty() ? QSize() : g->minimumSizeHint();
    return {};
}

// Clipped texts and overlapping siblings among the visible controls of a window.
QStringList LayoutFaults(QWidget* window) {
    QStringList faults;
    QList<QWidget*> parents{window};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window)) continue;
        parents << w;
        const QSize need = TextNeed(w);
        if (need.isValid() && (need.width() > w->width() || need.height() > w->height()))
            faults << QString("%1 needs %2 x %3, has %4 x %5")
                          .arg(Describe(w))
                          .arg(need.width())
                          .arg(need.height())
                          .arg(w->width())
                          .arg(w->height());
    }
    for (QWidget* parent : parents) {
        QList<QWidget*> children;
        // A size grip lies over the corner of what it resizes, by design.
        for (QObject* o : parent->children())
            if (auto* w = qobject_cast<QWidget*>(o);
                w && !w->isWindow() && w->isVisibleTo(window) && !qobject_cast<QSizeGrip*>(w))
                children << w;
        for (int i = 0; i < children.size(); ++i)
            for (int j = i + 1; j < children.size(); ++j)
                if (children[i]->geometry().intersects(children[j]->geometry()))
                    faults << QString("%1 overlaps %2").arg(Describe(children[i]), Describe(children[j]));
    }
    return faults;
}

void Settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Shows a dialog without blocking, checks it, hides it again.
void CheckDialog(QDialog* dialog, const QString& what) {
    dialog->show();
    Settle();
    const QStringList faults = LayoutFaults(dialog);
    QVERIFY2(faults.isEmpty(), qPrintable(what + ": " + faults.join("; ")));
    QVERIFY2(dialog->width() >= TitleRoom(dialog), qPrintable(what + ": title cut: " + dialog->windowTitle()));
    dialog->hide();
}

} // namespace

class TLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setFont(TTindraMainForm::WindowFont());
        QVERIFY2(QFontInfo(QApplication::font()).family().contains("DejaVu") ||
                     QFontInfo(QApplication::font()).family() == "Tahoma",
                 qPrintable(QFontInfo(QApplication::font()).family()));
    }

    void everyWindow_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("Czech") << int(LanguageCzech);
        QTest::newRow("English") << int(LanguageEnglish);
    }

    void everyWindow() {
        QFETCH(int, language);
        TStoredSettingsForm form(language);
        form.show();
        form.FormActivate();
        form.CreateDialogs();
        Settle();

        // The main window at its smallest, without a document and with one, the longest texts in
        // the status cells that change while the user works.
        form.resize(form.minimumSize());
        Settle();
        QStringList faults = LayoutFaults(&form);
        QVERIFY2(faults.isEmpty(), qPrintable("no document: " + faults.join("; ")));
        form.MnFileNewClick();
        Find<QLabel>(&form, "SBPixelInfo")
            ->setText(QString::fromStdString(DropperInfoText({39, 39}, 0xFFFFFFFF)));
        Find<QLabel>(&form, "SBFrameInfo")->setText("1/1 *");
        QLabel* hintLine = Find<QLabel>(&form, "SBHintInfo");
        for (const TControlText& row : MainWindowTexts())
            if (row.Hint[language] && QString::fromUtf8(row.Hint[language]).size() > hintLine->text().size())
                hintLine->setText(QString::fromUtf8(row.Hint[language]));
        form.resize(form.minimumSize());
        Settle();
        QVERIFY(form.width() >= TTindraMainForm::DesignWidth && form.height() >= TTindraMainForm::DesignHeight);
        faults = LayoutFaults(&form);
        QVERIFY2(faults.isEmpty(), qPrintable("document: " + faults.join("; ")));
        // The menu bar holds its menus in one row.
        const QList<QAction*> menus = form.menuBar()->actions();
        for (QAction* menu : menus)
            QVERIFY2(form.menuBar()->actionGeometry(menu).top() == form.menuBar()->actionGeometry(menus[0]).top(),
                     qPrintable(menu->text() + " wraps to a second row"));

        // The dialogs, with the texts the window gives them before it shows them.
        auto* lang = form.findChild<TTindraLangForm*>();
        lang->SetFlags(QPixmap::fromImage(form.ControlImage(3, 0)),
                       QPixmap::fromImage(form.ControlImage(3, 1)));
        CheckDialog(lang, "language");
        CheckDialog(form.findChild<TTindraAboutForm*>(), "about");
        CheckDialog(form.findChild<TTindraInfoForm*>(), "GIF attributes");
        auto* angle = form.findChild<TTindraAngleForm*>();
        angle->SetPicture(form.DocumentModel().WorkBitmap());
        ApplyRotationLanguage(angle, language);
        CheckDialog(angle, "rotation");
        auto* insert = form.findChild<TTindraIframeForm*>();
        insert->ApplyLanguage(language);
        CheckDialog(insert, "insert frame");
        auto* move = form.findChild<TTindraMFrameForm*>();
        move->SetFrames(2, 12);
        ApplyMoveFrameLanguage(move, language);
        CheckDialog(move, "move frame");
        TTindraReduceForm reduce(&form);
        ApplyReduceLanguage(&reduce, language);
        CheckDialog(&reduce, "reduce colors");
        auto* info = form.findChild<TTindraInfoForm*>();
        ApplyInfoLanguage(info, language);
        info->Show(DescribeGif(form.DocumentModel().EncodeDocumentGif(), language));
        CheckDialog(info, "GIF attributes, filled");
        form.MnHelpThemesClick();
        auto* help = form.findChild<TTindraHelpForm*>();
        QVERIFY(help);
        Settle();
        faults = LayoutFaults(help);
        QVERIFY2(faults.isEmpty(), qPrintable("help: " + faults.join("; ")));
        help->close();

        // Message boxes as the program shows them: their titles are not cut.
        const struct {
            QMessageBox::Icon Icon;
            std::string Title;
            std::string Text;
        } boxes[] = {
            {QMessageBox::Question, QuestionTitle(language), MessageText(MsgSaveChanges, language)},
            {QMessageBox::Critical, ErrorTitle(language), MessageText(MsgErrorOpeningFile, language)},
            {QMessageBox::NoIcon, ApplicationTitle(), MessageText(MsgNotImplemented, language)},
        };
        for (const auto& b : boxes) {
            QMessageBox box(b.Icon, QString::fromStdString(b.Title), QString::fromStdString(b.Text),
                            QMessageBox::Yes | QMessageBox::No, &form);
            box.show();
            Settle();
            QVERIFY2(box.width() >= TitleRoom(&box),
                     qPrintable(QString("%1: %2 < %3").arg(box.windowTitle()).arg(box.width()).arg(TitleRoom(&box))));
            faults = LayoutFaults(&box);
            QVERIFY2(faults.isEmpty(), qPrintable(box.windowTitle() + ": " + faults.join("; ")));
        }
    }
};

QTEST_MAIN(TLayoutTest)
#include "LayoutTest.moc"
