// One pencil move event with its repaint (also with the widest pen), one mover move (a selection or
// the whole picture), one pencil press with its undo snapshot, and one pencil release with
// CommitFrame and repaint, on the real canvas at zoom 17 (a panel of 800 x 700; argument 0), and at
// the largest zoom, 40, with the onion skin of both neighbours and the transparency checkerboard on
// (argument 1): three frames of many colours, the middle one current, its every other pixel of the
// transparent colour, the 1600 x 1600 canvas in a scroll area of 800 x 700 as in the window, whose
// view is repainted each time. The peer paints the same 40 x 40 picture scaled up by Qt into a widget
// of the same size (680 x 680, or 1600 x 1600 in the same scroll area). Run offscreen.

#include "CanvasWidget.h"
#include "IconDocument.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct TNoQuestions : IDocumentAsker {
    TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
    std::string AskOpenFileName() override { return {}; }
    std::string AskSaveFileName(TFileKind, const std::string&) override { return {}; }
    bool ConfirmOverwrite(const std::string&) override { return false; }
};

struct TScene {
    TIconDocument Document;
    QWidget Panel;
    QScrollArea Area; // zoom 40: the canvas on a panel in a scroll area of 800 x 700, as in the window
    QWidget* Shown;   // what a repaint paints: the canvas, or the scroll area's view
    TCanvasWidget* Canvas;
    QImage Screen; // what a repaint paints into

    // viewOptions: zoom 40 with the onion skin and the checkerboard.
    explicit TScene(bool viewOptions = false) {
        TNoQuestions asker;
        Document.NewDocument(asker);
        if (viewOptions) {
            Area.setFrameShape(QFrame::NoFrame);
            Area.setWidgetResizable(true);
            auto* panel = new QWidget;
            Area.setWidget(panel);
            Canvas = new TCanvasWidget(Document, panel);
            Area.resize(800, 700);
            Area.show();
            Shown = Area.viewport();
        } else {
            Canvas = new TCanvasWidget(Document, &Panel);
            Panel.resize(800, 700);
            Panel.show();
            Shown = Canvas;
        }
        Canvas->FitToPanel();
        if (viewOptions) {
            // Neighbours that differ from the current frame everywhere, so every cell is blended.
            auto picture = [](uint32_t seed, bool transparent) {
                TSurface32 p(40, 40);
                for (int i = 0; i < 1600; ++i)
                    p.SetPixel(i % 40, i / 40,
                               transparent && i % 2
                                   ? 0xFFCCCCCCu
                                   : 0xFF000000u | static_cast<uint32_t>((i + seed) * 2654435761u >> 8));
                return p;
            };
            Document.WorkBitmap() = picture(1, false);
            Document.CommitFrame();
            Document.InsertFrame(TInsertPosition::After, picture(7, false), 100);
            Document.SelectFrame(0);
            Document.InsertFrame(TInsertPosition::After, picture(3, true), 100);
            Canvas->SetZoom(40);
            Canvas->SetOnionSkin(true, true);
            Canvas->SetTransparencyShown(true);
        }
        Canvas->SetCurrentTool(ToolPencil);
        Screen = QImage(Shown->size(), QImage::Format_RGB32);
        Repaint();
    }
    // Runs the canvas's paint handler into Screen, as a repaint on the display would.
    void Repaint() { Shown->render(&Screen); }
    QPoint At(int col, int row) const {
        const int z = Canvas->Zoom();
        return QPoint(col * z + z / 2, row * z + z / 2);
    }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(pos), Canvas->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(Canvas, &e);
    }
};

void BM_PencilMoveWithRepaint(benchmark::State& state) {
    TScene scene(state.range(0) != 0);
    scene.Send(QEvent::MouseButtonPress, scene.At(0, 0), Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        scene.Send(QEvent::MouseMove, scene.At(i % 40, (i * 7) % 40), Qt::NoButton, Qt::LeftButton);
        scene.Repaint();
    }
    state.counters["zoom"] = scene.Canvas->Zoom();
}
BENCHMARK(BM_PencilMoveWithRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PencilReleaseWithCommit(benchmark::State& state) {
    TScene scene(state.range(0) != 0);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming(); // the press takes a snapshot; undone below so the stack stays small
        ++i;
        const QPoint p = scene.At(i % 40, (i * 7) % 40);
        scene.Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        state.ResumeTiming();
        scene.Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
        scene.Repaint();
        state.PauseTiming();
        scene.Document.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PencilReleaseWithCommit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One pencil press: the stroke's edit begins (the undo snapshot) and the first dot is drawn and
// repainted. The release and an undo, which keep the stack small, are not timed.
void BM_PencilPressWithSnapshot(benchmark::State& state) {
    TScene scene(state.range(0) != 0);
    int i = 0;
    for (auto _ : state) {
        ++i;
        const QPoint p = scene.At(i % 40, (i * 7) % 40);
        scene.Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        scene.Repaint();
        state.PauseTiming();
        scene.Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
        scene.Document.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PencilPressWithSnapshot)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One pointer move of the widest pencil (5 × 5 cells) with its repaint.
void BM_WidePencilMoveWithRepaint(benchmark::State& state) {
    TScene scene;
    scene.Canvas->SetToolSize(5);
    scene.Send(QEvent::MouseButtonPress, scene.At(0, 0), Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        scene.Send(QEvent::MouseMove, scene.At(i % 40, (i * 7) % 40), Qt::NoButton, Qt::LeftButton);
        scene.Repaint();
    }
}
BENCHMARK(BM_WidePencilMoveWithRepaint)->Unit(benchmark::kMicrosecond);

// One pointer move of the mover with its repaint: a lifted 20 × 20 selection (range 1), or the whole
// picture with wrap-around (range 0). The drag stays open; nothing is committed while it lasts.
void BM_MoverMoveWithRepaint(benchmark::State& state) {
    TScene scene;
    if (state.range(0)) {
        scene.Canvas->SetCurrentTool(ToolSelect);
        scene.Send(QEvent::MouseButtonPress, scene.At(10, 10), Qt::LeftButton, Qt::LeftButton);
        scene.Send(QEvent::MouseMove, scene.At(29, 29), Qt::NoButton, Qt::LeftButton);
        scene.Send(QEvent::MouseButtonRelease, scene.At(29, 29), Qt::LeftButton, Qt::NoButton);
    }
    scene.Canvas->SetCurrentTool(ToolMover);
    scene.Send(QEvent::MouseButtonPress, scene.At(15, 15), Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        scene.Send(QEvent::MouseMove, scene.At(i % 40, (i * 7) % 40), Qt::NoButton, Qt::LeftButton);
        scene.Repaint();
    }
}
BENCHMARK(BM_MoverMoveWithRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// CommitFrame alone on a frame of a given number of colours: 13 (a drawn icon), 250 (more than the
// octree keeps exactly, imported colour by colour) and 1600 (every pixel its own colour: octree and
// dithering). Each iteration moves one pixel's colour to another of the frame's colours.
void BM_CommitFrameOfColours(benchmark::State& state) {
    const int colours = static_cast<int>(state.range(0));
    TIconDocument document;
    TNoQuestions asker;
    document.NewDocument(asker);
    auto colour = [colours](int i) {
        i %= colours;
        return 0xFF000000u | static_cast<uint32_t>((i * 37) % 256) << 16 |
               static_cast<uint32_t>((i / 256 * 53 + i * 91) % 256) << 8 |
               static_cast<uint32_t>((i * 173 + 11) % 256);
    };
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            document.WorkBitmap().SetPixel(x, y, colour(y * 40 + x));
    document.CommitFrame();
    int i = 0;
    for (auto _ : state) {
        ++i;
        document.WorkBitmap().SetPixel(i % 40, (i * 7) % 40, colour(i * 13));
        document.CommitFrame();
    }
}
BENCHMARK(BM_CommitFrameOfColours)->Arg(13)->Arg(250)->Arg(1600)->Unit(benchmark::kMicrosecond);

// The peer: Qt scales a 40 x 40 picture to the canvas's size and paints it, once per repaint.
class TScaledPeer : public QWidget {
  public:
    QImage Picture = QImage(40, 40, QImage::Format_RGB32);
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Picture.scaled(width(), height(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
};

// Argument: the side, 680 (zoom 17, painted whole) or 1600 (zoom 40, in a scroll area of 800 x 700
// whose view is painted, as the canvas's is).
void BM_PeerQtScaledRepaint(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    QScrollArea area;
    auto* peer = new TScaledPeer;
    peer->Picture.fill(Qt::white);
    peer->resize(side, side);
    QWidget* shown = peer;
    if (side > 800) {
        area.setWidget(peer);
        area.setFrameShape(QFrame::NoFrame);
        area.resize(800, 700);
        area.show();
        shown = area.viewport();
    } else {
        peer->show();
    }
    QImage screen(shown->size(), QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        ++i;
        peer->Picture.setPixel(i % 40, (i * 7) % 40, 0xFF000000u);
        shown->render(&screen);
    }
    if (shown == peer) delete peer;
}
BENCHMARK(BM_PeerQtScaledRepaint)->Arg(680)->Arg(1600)->Unit(benchmark::kMicrosecond);

// Prints as usual, then each canvas figure as a ratio to the peer's (CPU time per iteration).
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    TRatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            CpuTimes[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        // Each canvas case against the peer of its size: argument 0 with 680, 1 with 1600.
        for (const auto& [name, cpu] : CpuTimes) {
            if (name.rfind("BM_PeerQtScaledRepaint", 0) == 0) continue;
            const bool large = name.size() > 2 && name.compare(name.size() - 2, 2, "/1") == 0;
            const auto peer =
                CpuTimes.find(large ? "BM_PeerQtScaledRepaint/1600" : "BM_PeerQtScaledRepaint/680");
            if (peer == CpuTimes.end() || peer->second <= 0) continue;
            std::printf("ratio %s / %s: %.2f\n", name.c_str(), peer->first.c_str(), cpu / peer->second);
        }
    }

  private:
    std::map<std::string, double> CpuTimes;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
