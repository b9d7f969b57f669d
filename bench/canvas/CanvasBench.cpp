// One pencil move event with its repaint, and one pencil release with CommitFrame and repaint, on
// the real canvas at zoom 17 (a panel of 800 x 700). The peer paints the same 40 x 40 picture
// scaled up to 680 x 680 by Qt into a widget of the same size. Run offscreen.

#include "CanvasWidget.h"
#include "DocumentCanvasHost.h"
#include "IconDocument.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

struct TNoQuestions : IDocumentAsker {
    bool AskSaveChanges() override { return false; }
    std::string AskOpenFileName() override { return {}; }
    std::string AskSaveFileName(TFileKind, const std::string&) override { return {}; }
    bool ConfirmOverwrite(const std::string&) override { return false; }
};

struct TScene {
    TIconDocument Document;
    TDocumentCanvasHost Host{Document};
    QWidget Panel;
    TCanvasWidget* Canvas;

    TScene() {
        TNoQuestions asker;
        Document.NewDocument(asker);
        Canvas = new TCanvasWidget(Host, &Panel);
        Panel.resize(800, 700);
        Panel.show();
        Canvas->FitToPanel();
        Canvas->SetCurrentTool(ToolPencil);
        Canvas->repaint();
    }
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
        scene.Canvas->repaint();
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
        scene.Canvas->repaint();
        state.PauseTiming();
        scene.Document.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PencilReleaseWithCommit)->Unit(benchmark::kMicrosecond);

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
    int i = 0;
    for (auto _ : state) {
        ++i;
        peer.Picture.setPixel(i % 40, (i * 7) % 40, 0xFF000000u);
        peer.repaint();
    }
}
BENCHMARK(BM_PeerQtScaledRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
