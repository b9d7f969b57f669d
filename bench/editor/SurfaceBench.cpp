// Surface operations against Qt's raster painter on a QImage of the same size (aliased, one pixel
// wide, solid colours). Each pair is named Ours_<case> and Peer_<case>; after the run a table of
// ours-to-peer time ratios (real and CPU time) is printed (below 1: ours is faster).

#include "CanvasView.h"
#include "DrawingTools.h"
#include "Surface32.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int BufferSide = 400; // the canvas back buffer at zoom 10

struct TSegment {
    int x1, y1, x2, y2;
};

// Deterministic lines across (and partly beyond) the buffer.
std::vector<TSegment> Segments() {
    std::vector<TSegment> s;
    unsigned v = 12345;
    auto next = [&v] {
        v = v * 1103515245u + 12345u;
        return static_cast<int>((v >> 8) % (BufferSide + 100)) - 50;
    };
    for (int i = 0; i < 256; ++i)
        s.push_back({next(), next(), next(), next()});
    return s;
}

QPainter* AliasedPainter(QImage& image) {
    auto* p = new QPainter(&image);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(QPen(QColor(0, 0, 0), 0)); // cosmetic one-pixel pen
    return p;
}

// --- filling the whole buffer -------------------------------------------------------------------

void Ours_FillBuffer(benchmark::State& state) {
    TSurface32 s(BufferSide, BufferSide);
    uint32_t c = 0xFF000000;
    for (auto _ : state) {
        s.FillRectClipped(0, 0, BufferSide, BufferSide, ++c);
        benchmark::DoNotOptimize(s.Bits());
    }
}
BENCHMARK(Ours_FillBuffer);

void Peer_FillBuffer(benchmark::State& state) {
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32);
    QPainter p(&image);
    uint32_t c = 0xFF000000;
    for (auto _ : state) {
        p.fillRect(0, 0, BufferSide, BufferSide, QColor::fromRgba(++c));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(Peer_FillBuffer);

// --- lines ---------------------------------------------------------------------------------------

void Ours_Lines(benchmark::State& state) {
    const auto segments = Segments();
    TSurface32 s(BufferSide, BufferSide);
    for (auto _ : state) {
        for (const TSegment& g : segments)
            s.LineClipped(g.x1, g.y1, g.x2, g.y2, 0xFF000000, true);
        benchmark::DoNotOptimize(s.Bits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(segments.size()));
}
BENCHMARK(Ours_Lines);

void Peer_Lines(benchmark::State& state) {
    const auto segments = Segments();
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32);
    QPainter* p = AliasedPainter(image);
    for (auto _ : state) {
        for (const TSegment& g : segments)
            p->drawLine(g.x1, g.y1, g.x2, g.y2);
        benchmark::DoNotOptimize(image.constBits());
    }
    delete p;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(segments.size()));
}
BENCHMARK(Peer_Lines);

// --- anti-aliased lines (the brush) against Qt's anti-aliased lines ----------------------------

void Ours_LinesAA(benchmark::State& state) {
    const auto segments = Segments();
    TSurface32 s(BufferSide, BufferSide);
    for (auto _ : state) {
        for (const TSegment& g : segments)
            s.LineAA(g.x1 * 65536, g.y1 * 65536, g.x2 * 65536, g.y2 * 65536, 0xFF000000, true);
        benchmark::DoNotOptimize(s.Bits());
    }
}
BENCHMARK(Ours_LinesAA);

void Peer_LinesAA(benchmark::State& state) {
    const auto segments = Segments();
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32);
    QPainter* p = AliasedPainter(image);
    p->setRenderHint(QPainter::Antialiasing, true);
    for (auto _ : state) {
        for (const TSegment& g : segments)
            p->drawLine(QLineF(g.x1, g.y1, g.x2, g.y2));
        benchmark::DoNotOptimize(image.constBits());
    }
    delete p;
}
BENCHMARK(Peer_LinesAA);

// --- the canvas back buffer: 1600 cell blocks, grid and border crosses --------------------------

void Ours_CanvasPaint(benchmark::State& state) {
    TSurface32 work(40, 40), buffer(BufferSide + 40, BufferSide + 40);
    for (int i = 0; i < 1600; ++i)
        work.SetPixel(i % 40, i / 40, 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
    TCanvasPaintOptions o;
    o.Zoom = 10;
    o.OutputSize = 32;
    o.GridColor = 0xFFF0F0F0;
    for (auto _ : state) {
        PaintCanvasBuffer(buffer, work, o);
        benchmark::DoNotOptimize(buffer.Bits());
    }
}
BENCHMARK(Ours_CanvasPaint);

void Peer_CanvasPaint(benchmark::State& state) {
    QImage work(40, 40, QImage::Format_ARGB32),
        buffer(BufferSide + 40, BufferSide + 40, QImage::Format_ARGB32);
    for (int i = 0; i < 1600; ++i)
        work.setPixel(i % 40, i / 40, 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
    QPainter* p = AliasedPainter(buffer);
    p->setPen(QPen(QColor(0xF0, 0xF0, 0xF0), 0));
    const int z = 10, t = z / 3;
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 40; ++j)
                p->fillRect(i * z, j * z, z, z, QColor::fromRgba(work.pixel(i, j)));
        for (int i = 0; i <= 40; ++i) {
            p->drawLine(i * z, 0, i * z, 40 * z + 1);
            p->drawLine(0, i * z, 40 * z + 1, i * z);
        }
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 40; ++j)
                if (IsBorderCell({i, j})) {
                    p->drawLine(i * z + t, j * z + t, i * z + z - t, j * z + z - t);
                    p->drawLine(i * z + t, j * z + z - t, i * z + z - t, j * z + t);
                }
        benchmark::DoNotOptimize(buffer.constBits());
    }
    delete p;
}
BENCHMARK(Peer_CanvasPaint);

// --- flood fill of the whole 40 × 40 image -------------------------------------------------------

void Ours_FloodFill(benchmark::State& state) {
    TSurface32 s(40, 40);
    uint32_t c = 0;
    for (auto _ : state) {
        const uint32_t old = c;
        FloodFill(s, 20, 20, ++c, old);
        benchmark::DoNotOptimize(s.Bits());
    }
}
BENCHMARK(Ours_FloodFill);

// Qt has no flood fill; the peer is the plain recursive four-neighbour fill on a QImage.
void PeerFill(QImage& image, int x, int y, QRgb color, QRgb old) {
    if (x < 0 || x > 39 || y < 0 || y > 39 || image.pixel(x, y) != old) return;
    image.setPixel(x, y, color);
    PeerFill(image, x - 1, y, color, old);
    PeerFill(image, x + 1, y, color, old);
    PeerFill(image, x, y - 1, color, old);
    PeerFill(image, x, y + 1, color, old);
}

void Peer_FloodFill(benchmark::State& state) {
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(0u);
    QRgb c = 0;
    for (auto _ : state) {
        const QRgb old = c;
        PeerFill(image, 20, 20, ++c, old);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(Peer_FloodFill);

// Console output plus a closing table of Ours/Peer time ratios.
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred)
                FTimes[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratio ours/peer (< 1 means ours is faster)\n  %-14s %8s %8s\n", "case", "real", "cpu");
        for (const auto& [name, time] : FTimes) {
            if (name.rfind("Ours_", 0) != 0) continue;
            const auto peer = FTimes.find("Peer_" + name.substr(5));
            if (peer != FTimes.end() && peer->second.first > 0 && peer->second.second > 0)
                std::printf("  %-14s %8.3f %8.3f\n", name.substr(5).c_str(), time.first / peer->second.first,
                            time.second / peer->second.second);
        }
    }

  private:
    std::map<std::string, std::pair<double, double>> FTimes; // real, cpu
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
