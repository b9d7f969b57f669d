// Surface operations against Qt's raster painter on a QImage of the same size, written as a Qt
// programmer would: a Format_ARGB32_Premultiplied image (the raster engine's fast format), fillRect
// and drawLine with a cosmetic one-pixel pen (aliased, or anti-aliased for the brush's lines), and
// scan-line access where Qt has no call (the flood fill). Each pair is named Ours_<case> and
// Peer_<case>; every benchmark is repeated (5 times, or TINDRA_BENCH_REPETITIONS) and the table at
// the end gives the ours-to-peer ratios of the median times, real and CPU (below 1: ours is faster,
// above 1: the peer wins).

#include "CanvasView.h"
#include "DrawingTools.h"
#include "Surface32.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
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
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32_Premultiplied);
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
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32_Premultiplied);
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
    QImage image(BufferSide, BufferSide, QImage::Format_ARGB32_Premultiplied);
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
    QImage work(40, 40, QImage::Format_ARGB32_Premultiplied),
        buffer(BufferSide + 40, BufferSide + 40, QImage::Format_ARGB32_Premultiplied);
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

// --- the canvas at zoom 40 (1600 x 1600) with the transparency checkerboard and the onion skin of
// both neighbours: every other pixel of the transparent colour, neighbours that differ everywhere.

constexpr int ViewZoom = 40, ViewSide = 40 * ViewZoom;
constexpr uint32_t ViewTransparent = 0xFFCCCCCCu;

uint32_t ViewPixel(int i, uint32_t seed, bool transparent) {
    return transparent && i % 2 ? ViewTransparent
                                : 0xFF000000u | static_cast<uint32_t>((i + seed) * 2654435761u >> 8);
}

void Ours_CanvasViewOptions(benchmark::State& state) {
    TSurface32 work(40, 40), previous(40, 40), next(40, 40), buffer(ViewSide + 40, ViewSide + 40);
    for (int i = 0; i < 1600; ++i) {
        work.SetPixel(i % 40, i / 40, ViewPixel(i, 3, true));
        previous.SetPixel(i % 40, i / 40, ViewPixel(i, 1, false));
        next.SetPixel(i % 40, i / 40, ViewPixel(i, 7, false));
    }
    TCanvasPaintOptions o;
    o.Zoom = ViewZoom;
    o.GridColor = 0xFFF0F0F0;
    o.ShowTransparency = true;
    o.TransparentColor = ViewTransparent;
    o.PreviousFrame = &previous;
    o.NextFrame = &next;
    for (auto _ : state) {
        PaintCanvasBuffer(buffer, work, o);
        benchmark::DoNotOptimize(buffer.Bits());
    }
}
BENCHMARK(Ours_CanvasViewOptions);

// Qt: the picture scaled up, a checkerboard brush over the transparent cells, the neighbours scaled
// up at 30 % opacity (the next one tinted blue beforehand), the grid.
void Peer_CanvasViewOptions(benchmark::State& state) {
    QImage work(40, 40, QImage::Format_ARGB32_Premultiplied),
        previous = work, next = work,
        buffer(ViewSide + 40, ViewSide + 40, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 1600; ++i) {
        work.setPixel(i % 40, i / 40, ViewPixel(i, 3, true));
        previous.setPixel(i % 40, i / 40, ViewPixel(i, 1, false));
        const QRgb n = ViewPixel(i, 7, false);
        next.setPixel(i % 40, i / 40, qRgb(qRed(n) / 2, qGreen(n) / 2, (qBlue(n) + 255) / 2));
    }
    QImage checker(2 * ViewZoom / 2, 2 * ViewZoom / 2, QImage::Format_ARGB32_Premultiplied);
    checker.fill(0xFFFFFFFFu);
    QPainter(&checker).fillRect(0, 0, ViewZoom / 2, ViewZoom / 2, QColor(0xBF, 0xBF, 0xBF));
    QPainter(&checker).fillRect(ViewZoom / 2, ViewZoom / 2, ViewZoom / 2, ViewZoom / 2,
                                QColor(0xBF, 0xBF, 0xBF));
    const QBrush board(checker);
    QPainter* p = AliasedPainter(buffer);
    p->setPen(QPen(QColor(0xF0, 0xF0, 0xF0), 0));
    const QRect all(0, 0, ViewSide, ViewSide);
    for (auto _ : state) {
        p->setOpacity(1.0);
        p->drawImage(all, work);
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 40; ++j)
                if (work.pixel(i, j) == ViewTransparent)
                    p->fillRect(i * ViewZoom, j * ViewZoom, ViewZoom, ViewZoom, board);
        p->setOpacity(0.3);
        p->drawImage(all, previous);
        p->drawImage(all, next);
        p->setOpacity(1.0);
        for (int i = 0; i <= 40; ++i) {
            p->drawLine(i * ViewZoom, 0, i * ViewZoom, ViewSide + 1);
            p->drawLine(0, i * ViewZoom, ViewSide + 1, i * ViewZoom);
        }
        benchmark::DoNotOptimize(buffer.constBits());
    }
    delete p;
}
BENCHMARK(Peer_CanvasViewOptions);

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

// Qt has no flood fill; the peer is the usual scan-line fill with an explicit stack, on the image's
// own scan lines.
void PeerFill(QImage& image, int x, int y, QRgb color, QRgb old) {
    if (color == old) return;
    const int w = image.width(), h = image.height();
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(sy));
        if (row[sx] != old) continue;
        int left = sx, right = sx;
        while (left > 0 && row[left - 1] == old)
            --left;
        while (right < w - 1 && row[right + 1] == old)
            ++right;
        for (int i = left; i <= right; ++i)
            row[i] = color;
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            const QRgb* next = reinterpret_cast<const QRgb*>(image.constScanLine(ny));
            for (int i = left; i <= right; ++i)
                if (next[i] == old && (i == left || next[i - 1] != old)) stack.push_back({i, ny});
        }
    }
}

void Peer_FloodFill(benchmark::State& state) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(0u);
    QRgb c = 0xFF000000u;
    for (auto _ : state) {
        const QRgb old = c;
        PeerFill(image, 20, 20, ++c, old);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(Peer_FloodFill);

// Console output plus a closing table of Ours/Peer time ratios from the medians.
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.error_occurred || (!median && (r.run_type == Run::RT_Aggregate || r.repetitions > 1)))
                continue;
            FTimes[r.run_name.function_name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\nratio ours/peer of the medians (< 1: ours is faster, > 1: the peer wins)\n  %-14s %8s %8s\n",
            "case", "real", "cpu");
        for (const auto& [name, time] : FTimes) {
            if (name.rfind("Ours_", 0) != 0) continue;
            const auto peer = FTimes.find("Peer_" + name.substr(5));
            if (peer != FTimes.end() && peer->second.first > 0 && peer->second.second > 0)
                std::printf("  %-14s %8.3f %8.3f%s\n", name.substr(5).c_str(),
                            time.first / peer->second.first, time.second / peer->second.second,
                            time.second > peer->second.second ? "  (the peer wins)" : "");
        }
    }

  private:
    std::map<std::string, std::pair<double, double>> FTimes; // real, cpu
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Repeated, interleaved and reported by their aggregates unless the command line says otherwise.
    int repetitions = 5;
    if (const char* r = std::getenv("TINDRA_BENCH_REPETITIONS")) repetitions = std::max(1, std::atoi(r));
    std::vector<std::string> defaults = {"--benchmark_repetitions=" + std::to_string(repetitions),
                                         "--benchmark_report_aggregates_only=true",
                                         "--benchmark_enable_random_interleaving=true"};
    std::vector<char*> args(argv, argv + argc);
    for (std::string& flag : defaults) {
        const std::string name = flag.substr(0, flag.find('='));
        bool given = false;
        for (int i = 1; i < argc; ++i)
            given = given || std::string(argv[i]).rfind(name, 0) == 0;
        if (!given) args.push_back(flag.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
