// The window's placement under a real window manager (openbox on a virtual X display, started by
// with-window-manager.sh with a settings folder of its own): a start puts the frame exactly where the
// stored placement says and closing stores that same placement, so the window does not creep from
// start to start; a window stored off the screen comes back framed on it.

#include "SettingsStore.h"
#include "TindraMainForm.h"

#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

// Starts the real window (its settings come from the store), waits until the window manager has
// framed and activated it, and returns it.
std::unique_ptr<TTindraMainForm> Start() {
    auto form = std::make_unique<TTindraMainForm>();
    form->SetControlImagePath(TINDRA_IMAGES_IML);
    form->SetMessageSink([](const QString&) {});
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    // The frame is known once frame and client differ; the placement is final at activation.
    if (!QTest::qWaitFor([&] { return form->frameGeometry() != form->geometry(); }, 5000)) return nullptr;
    if (!QTest::qWaitForWindowActive(form.get(), 5000)) return nullptr;
    QTest::qWait(200);
    return form;
}

QRect Stored() {
    const tindra::TWindowSettings s = tindra::TSettingsStore().ReadWindowSettings(QSize(1280, 1024), QSize());
    return QRect(s.Left, s.Top, s.Width, s.Height);
}

} // namespace

class TWindowManagerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display with a window manager");
    }

    void StartsWhereItWasClosed() {
        tindra::TSettingsStore().WriteWindowSettings({100, 200, 600, 560, 1});
        for (int start = 1; start <= 3; ++start) {
            auto form = Start();
            QVERIFY(form);
            QVERIFY2(form->frameGeometry() != form->geometry(), "the window manager framed the window");
            QCOMPARE(form->frameGeometry().topLeft(), QPoint(100, 200));
            QCOMPARE(form->size(), QSize(600, 560));
            QVERIFY(form->close());
            QCOMPARE(Stored(), QRect(100, 200, 600, 560));
        }
    }

    void OffTheScreenComesBackFramedOnIt_data() {
        QTest::addColumn<QRect>("stored");
        QTest::newRow("right of the screen") << QRect(5000, 300, 511, 531);
        QTest::newRow("frame above the screen") << QRect(300, -10, 511, 531);
        QTest::newRow("larger than the screen") << QRect(0, 0, 2147483647, 2147483647);
    }
    void OffTheScreenComesBackFramedOnIt() {
        QFETCH(QRect, stored);
        tindra::TSettingsStore().WriteWindowSettings(
            {stored.x(), stored.y(), stored.width(), stored.height(), 0});
        auto form = Start();
        QVERIFY(form);
        const QRect area = form->screen()->availableGeometry();
        QVERIFY2(area.contains(form->frameGeometry()), qPrintable(QString("frame %1,%2 %3x%4")
                                                                      .arg(form->frameGeometry().x())
                                                                      .arg(form->frameGeometry().y())
                                                                      .arg(form->frameGeometry().width())
                                                                      .arg(form->frameGeometry().height())));
        QVERIFY(form->close());
    }
};

QTEST_MAIN(TWindowManagerTest)
#include "WindowManagerTest.moc"
