// The colour swatches, their labels and the palette strip, driven by mouse events; the colour dialog
// is replaced by a stub that records which colour it was asked for.

#include "EditorColors.h"
#include "PaletteStrip.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

class TEditorColorsTest : public QObject {
    Q_OBJECT

    QWidget* Panel = nullptr;
    TEditorColors::TControls C{};
    TEditorColors* Colors = nullptr;
    bool Loaded = true;
    std::vector<uint32_t> Map;
    std::optional<uint32_t> DialogAnswer;
    int DialogCalls = 0;
    QString PixelText;
    std::optional<uint32_t> StatusSwatch;

    static void Click(QWidget* w, QPoint pos, Qt::MouseButton b, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(pos), w->mapToGlobal(QPointF(pos)), b, b, m);
        QApplication::sendEvent(w, &e);
    }
    static void Hover(QWidget* w, QPoint pos) {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    QPoint CellPos(int c) const { return QPoint(c * TPaletteStrip::Pitch + 8, 8); }

  private slots:
    void init() {
        Panel = new QWidget;
        C = {new QWidget(Panel),     new QWidget(Panel),     new QWidget(Panel),      new QLabel("L", Panel),
             new QLabel("P", Panel), new QLabel("T", Panel), new TPaletteStrip(Panel)};
        C.Palette->resize(273, 33);
        Colors = new TEditorColors(C, Panel);
        Colors->ImageLoaded = [this] { return Loaded; };
        Colors->PaletteColors = [this] { return Map; };
        Colors->ChooseColor = [this](uint32_t) {
            ++DialogCalls;
            return DialogAnswer;
        };
        Colors->PixelInfo = [this](const QString& t) { PixelText = t; };
        Colors->ColorInfo = [this](std::optional<uint32_t> c) { StatusSwatch = c; };
        Map.clear();
        for (int i = 0; i < 16; ++i)
            Map.push_back(i == 5 ? 0x0000FFu : uint32_t(i) * 0x010203u);
        Loaded = true;
        DialogAnswer.reset();
        DialogCalls = 0;
    }
    void cleanup() { delete Panel; }

    void ctrlRightOnPaletteSetsTransparentAndBack() {
        QSignalSpy back(Colors, &TEditorColors::BackColorChanged);
        Click(C.Palette->viewport(), CellPos(5), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(Colors->TransparentColor(), 0xFFFF0000u);
        QCOMPARE(Colors->BackColor(), 0xFFFF0000u);
        QCOMPARE(Colors->DrawColor(), 0xFF000000u);
        QCOMPARE(Colors->SwatchColor(C.BackSwatch), 0x0000FFu);
        QCOMPARE(Colors->SwatchColor(C.TransparentSwatch), 0x0000FFu);
        QCOMPARE(back.count(), 1); // the sample-text panel's background follows
        QCOMPARE(back.at(0).at(0).value<uint32_t>(), 0x0000FFu);
        QCOMPARE(DialogCalls, 0);
    }

    void paletteCellsBeyondTheMapAreInert() {
        Click(C.Palette->viewport(), CellPos(16), Qt::LeftButton);
        QCOMPARE(Colors->DrawColor(), 0xFF000000u);
        Hover(C.Palette->viewport(), CellPos(3));
        QCOMPARE(PixelText, QString("3/R: 9 G: 6 B: 3"));
        QCOMPARE(StatusSwatch, std::optional<uint32_t>(0x030609u));
        Hover(C.Palette->viewport(), CellPos(200));
        QCOMPARE(PixelText, QString());
        QVERIFY(!StatusSwatch);
    }

    void swatchAndLabelButtons_data() {
        QTest::addColumn<int>("control"); // 0..2 swatches, 3..5 labels
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<int>("changed"); // 0 draw, 1 back, 2 transparent (and back)
        QTest::newRow("left on label T sets the drawing colour") << 5 << int(Qt::LeftButton) << false << 0;
        QTest::newRow("right on the draw swatch sets the background")
            << 0 << int(Qt::RightButton) << false << 1;
        QTest::newRow("ctrl right on label L sets the transparent colour")
            << 3 << int(Qt::RightButton) << true << 2;
    }
    void swatchAndLabelButtons() {
        QFETCH(int, control);
        QFETCH(int, button);
        QFETCH(bool, ctrl);
        QFETCH(int, changed);
        QWidget* controls[] = {C.DrawSwatch, C.BackSwatch, C.TransparentSwatch,
                               C.DrawLabel,  C.BackLabel,  C.TransparentLabel};
        DialogAnswer = 0x00FF00u;
        Click(controls[control], QPoint(3, 3), Qt::MouseButton(button),
              ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(DialogCalls, 1);
        QCOMPARE(Colors->DrawColor(), changed == 0 ? 0xFF00FF00u : 0xFF000000u);
        QCOMPARE(Colors->BackColor(), changed >= 1 ? 0xFF00FF00u : 0xFFCCCCCCu);
        QCOMPARE(Colors->TransparentColor(), changed == 2 ? 0xFF00FF00u : 0xFFCCCCCCu);
    }

    void cancelMiddleAndNoDocumentChangeNothing() {
        Click(C.DrawSwatch, QPoint(3, 3), Qt::LeftButton); // dialog cancelled
        Click(C.DrawSwatch, QPoint(3, 3), Qt::MiddleButton);
        QCOMPARE(DialogCalls, 1);
        Loaded = false;
        DialogAnswer = 0x123456u;
        Click(C.DrawSwatch, QPoint(3, 3), Qt::LeftButton);
        Click(C.Palette->viewport(), CellPos(5), Qt::LeftButton);
        QCOMPARE(DialogCalls, 1);
        QCOMPARE(Colors->DrawColor(), 0xFF000000u);
        QVERIFY(C.Palette->Colors().empty()); // no colours painted without a document
    }

    void hoveringSwatchShowsItsColour() {
        Hover(C.DrawSwatch, QPoint(2, 2));
        QCOMPARE(PixelText, QString("R: 0 G: 0 B: 0"));
        Colors->SetBackColor(false, 0x336699u);
        Hover(C.BackSwatch, QPoint(2, 2));
        QCOMPARE(PixelText, QString("R: 153 G: 102 B: 51"));
    }
};

QTEST_MAIN(TEditorColorsTest)
#include "EditorColorsTest.moc"
