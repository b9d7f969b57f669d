// The colour swatches, their labels, the palette strip and the sample panel on a real document,
// driven by mouse events; the colour dialog is replaced by a stub that records how often it was asked.

#include "EditorColors.h"
#include "DocumentTestSupport.h"
#include "PaletteStrip.h"

#include "GIFColorMap.h"
#include "GIFPicture.h"
#include "IconDocument.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QtTest>

#include <memory>

namespace {

// The colour panel with its dialog answered by the test.
class TStubbedColors : public TEditorColors {
  public:
    using TEditorColors::TEditorColors;
    std::optional<TInterfaceColor> DialogAnswer;
    int DialogCalls = 0;

  protected:
    std::optional<TInterfaceColor> ChooseColor(TInterfaceColor) override {
        ++DialogCalls;
        return DialogAnswer;
    }
};

// Shows the document's colours whenever it reports a change, as the window does.
struct TColorsShown : IDocumentObserver {
    TEditorColors* Colors = nullptr;
    void ColorsChanged() override { Colors->ShowColors(); }
};

} // namespace

class TEditorColorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TIconDocument> Doc;
    TColorsShown Shown;
    QWidget* Panel = nullptr;
    TEditorColors::TControls C{};
    TStubbedColors* Colors = nullptr;
    QString PixelText;
    std::optional<TInterfaceColor> StatusSwatch;

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
        // A new document whose global colour map holds 16 colours: entry 5 red, the others greys.
        Doc = std::make_unique<TIconDocument>();
        TScriptedAsker asker;
        QVERIFY(Doc->NewDocument(asker));
        TGIFColorMap& map = Doc->Frames40().GlobalColorMap();
        map.ClearColors();
        for (int i = 0; i < 16; ++i)
            map.AppendColor(i == 5 ? 0x0000FFu : uint32_t(i) * 0x010203u);
        Panel = new QWidget;
        C = {new QWidget(Panel),       new QWidget(Panel),      new QWidget(Panel),
             new QLabel("L", Panel),   new QLabel("P", Panel),  new QLabel("T", Panel),
             new TPaletteStrip(Panel), new QLabel("Abc", Panel)};
        C.Palette->resize(273, 33);
        Colors = new TStubbedColors(*Doc, C, Panel);
        Shown.Colors = Colors;
        Doc->SetObserver(&Shown);
        connect(Colors, &TEditorColors::PixelInfo, this, [this](const QString& t) { PixelText = t; });
        connect(Colors, &TEditorColors::ColorInfo, this,
                [this](std::optional<TInterfaceColor> c) { StatusSwatch = c; });
    }
    void cleanup() {
        delete Panel;
        Doc.reset();
    }

    void ctrlRightOnPaletteSetsTransparentAndBack() {
        Click(C.Palette->viewport(), CellPos(5), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(Doc->TransparentColor().Value, 0xFFFF0000u);
        QCOMPARE(Doc->BackColor().Value, 0xFFFF0000u);
        QCOMPARE(Doc->DrawColor().Value, 0xFF000000u);
        QCOMPARE(Colors->SwatchColor(C.BackSwatch).Value, 0x0000FFu);
        QCOMPARE(Colors->SwatchColor(C.TransparentSwatch).Value, 0x0000FFu);
        // The sample-text panel's background follows.
        QVERIFY(C.Sample->styleSheet().contains("background-color: #ff0000;"));
        QCOMPARE(Colors->DialogCalls, 0);
    }

    void paletteCellsBeyondTheMapAreInert() {
        Click(C.Palette->viewport(), CellPos(16), Qt::LeftButton);
        QCOMPARE(Doc->DrawColor().Value, 0xFF000000u);
        Hover(C.Palette->viewport(), CellPos(3));
        QCOMPARE(PixelText, QString("3/R: 9 G: 6 B: 3"));
        QCOMPARE(StatusSwatch, std::optional<TInterfaceColor>(TInterfaceColor(0x030609u)));
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
        Colors->DialogAnswer = TInterfaceColor(0x00FF00u);
        Click(controls[control], QPoint(3, 3), Qt::MouseButton(button),
              ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(Colors->DialogCalls, 1);
        QCOMPARE(Doc->DrawColor().Value, changed == 0 ? 0xFF00FF00u : 0xFF000000u);
        QCOMPARE(Doc->BackColor().Value, changed >= 1 ? 0xFF00FF00u : 0xFFCCCCCCu);
        QCOMPARE(Doc->TransparentColor().Value, changed == 2 ? 0xFF00FF00u : 0xFFCCCCCCu);
    }

    void cancelMiddleAndNoDocumentChangeNothing() {
        Click(C.DrawSwatch, QPoint(3, 3), Qt::LeftButton); // dialog cancelled
        Click(C.DrawSwatch, QPoint(3, 3), Qt::MiddleButton);
        QCOMPARE(Colors->DialogCalls, 1);
        // A refused file leaves no document.
        QCOMPARE(Doc->OpenFileDirect("/nonexistent/none.gif", false), TOpenResult::Failed);
        Colors->DialogAnswer = TInterfaceColor(0x123456u);
        Click(C.DrawSwatch, QPoint(3, 3), Qt::LeftButton);
        Click(C.Palette->viewport(), CellPos(5), Qt::LeftButton);
        QCOMPARE(Colors->DialogCalls, 1);
        QCOMPARE(Doc->DrawColor().Value, 0xFF000000u);
        QVERIFY(C.Palette->Colors().empty()); // no colours painted without a document
    }

    void hoveringSwatchShowsItsColour() {
        Hover(C.DrawSwatch, QPoint(2, 2));
        QCOMPARE(PixelText, QString("R: 0 G: 0 B: 0"));
        Colors->SetBackColor(false, TInterfaceColor(0x336699u));
        Hover(C.BackSwatch, QPoint(2, 2));
        QCOMPARE(PixelText, QString("R: 153 G: 102 B: 51"));
    }
};

QTEST_MAIN(TEditorColorsTest)
#include "EditorColorsTest.moc"
