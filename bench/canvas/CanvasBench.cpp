// One pencil move event with its repaint (also with the widest pen), one mover move (a selection or
// the whole picture), one pencil press with its undo snapshot, and one pencil
// release with CommitFrame and repaint, on the real canvas at zoom 17 (a panel of 800 x 700). The
// peer paints the same 40 x 40 picture scaled up to 680 x 680 by Qt into a widget of the same size.
// Run offscreen.

#include "CanvasWidget.h"
#include "IconDocument.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

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
    TCanvasWidget* Canvas;
    QImage Screen; // what a repaint paints into

    TScene() {
        TNoQuestions asker;
        Document.NewDocument(asker);
        Canvas = new TCanvasWidget(Document, &Panel);
        Panel.resize(800, 700);
        Panel.show();
        Canvas->FitToPanel();
        Canvas->SetCurrentTool(ToolPencil);
        Screen = QImage(Canvas->size(), QImage::Format_RGB32);
        Repaint();
    }
    // Runs the canvas's paint handler into Screen, as a repaint on the display would.
    void Repaint() { Canvas->render(&Screen); }
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
    TScene scene;
    scene.Send(QEvent::MouseButtonPress, scene.At(0, 0), Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        scene.Send(QEvent::MouseMove, scene.At(i % 40, (i * 7) % 40), Qt::NoButton, Qt::LeftButton);
        scene.Repaint();
    }
    state.counters["zoom"] = scene.Canvas->Zoom();
}
BENCHMARK(BM_PencilMoveWithRepaint)->Unit(benchmark::kMicrosecond);

void BM_PencilReleaseWithCommit(benchmark::State& state) {
    TScene scene;
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
BENCHMARK(BM_PencilReleaseWithCommit)->Unit(benchmark::kMicrosecond);

// One pencil press: the stroke's edit begins (the undo snapshot) and the first dot is drawn and
// repainted. The release and an undo, which keep the stack small, are not timed.
void BM_PencilPressWithSnapshot(benchmark::State& state) {
    TScene scene;
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
BENCHMARK(BM_PencilPressWithSnapshot)->Unit(benchmark::kMicrosecond);

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

// The peer: Qt scales a 40 x 40 picture to 680 x 680 and paints it, once per repaint.
class TScaledPeer : public QWidget {
  public:
    QImage Picture = QImage(40, 40, QImage::Format_RGB32);
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Picture.scaled(680, 680, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
};

void BM_PeerQtScaledRepaint(benchmark::State& state) {
    TScaledPeer peer;
    peer.Picture.fill(Qt::white);
    peer.resize(680, 680);
    peer.show();
    QImage screen(peer.size(), QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        ++i;
        peer.Picture.setPixel(i % 40, (i * 7) % 40, 0xFF000000u);
        peer.render(&screen);
    }
}
BENCHMARK(BM_PeerQtScaledRepaint)->Unit(benchmark::kMicrosecond);

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
        const auto peer = CpuTimes.find("BM_PeerQtScaledRepaint");
        if (peer == CpuTimes.end() || peer->second <= 0) return;
        for (const auto& [name, cpu] : CpuTimes)
            if (name != peer->first) std::printf("ratio %s / peer: %.2f\n", name.c_str(), cpu / peer->second);
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
