// Colour reduction against ImageMagick: ours (octree with the system colours + Floyd-Steinberg)
// and Magick++ (quantize to 256 colours with Floyd-Steinberg) on the same pixels, then the ratio
// of their times. Also the editor's commit: a 40 x 40 and a 32 x 32 frame added to the document's
// GIF objects (the import with octree + system colours + Floyd-Steinberg), which must stay under
// 2 ms.

#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "ColorReduction.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"

namespace {

// A photo-like picture: soft gradients, a few smooth shapes and sensor-like noise (blue, green,
// red bytes, rows from the top).
std::vector<std::uint8_t> PhotoPixels(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::mt19937 rng(1234);
    std::normal_distribution<double> noise(0.0, 4.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            const double sky = 0.5 + 0.5 * std::sin(6.0 * u + 2.0 * v);
            const double blob = std::exp(-((u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4)) * 12.0);
            const double r = 40 + 150 * sky * (1 - v) + 60 * blob + noise(rng);
            const double g = 70 + 100 * v + 80 * blob * sky + noise(rng);
            const double b = 30 + 180 * (1 - sky) * u + noise(rng);
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(std::clamp(g, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0));
        }
    return rgb;
}

TBitmap ToBitmap(const std::vector<std::uint8_t>& bgr, int width, int height) {
    TBitmap b(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        std::copy_n(&bgr[static_cast<std::size_t>(y) * width * 3], width * 3, b.ScanLine(y));
    return b;
}

void Ours(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const TBitmap source = ToBitmap(PhotoPixels(size, size), size, size);
    for (auto _ : state) {
        TBitmap work(source);
        auto result = ReduceToPalette(work, ReduceQuantizeSystem, DitherFloydSteinberg, nullptr, 8);
        benchmark::DoNotOptimize(result->Bits());
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

void Magick(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> bgr = PhotoPixels(size, size);
    for (auto _ : state) {
        Magick::Image image(static_cast<std::size_t>(size), static_cast<std::size_t>(size), "BGR",
                            Magick::CharPixel, bgr.data());
        image.quantizeColors(256);
        image.quantizeDither(true);
        image.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        image.quantize();
        benchmark::DoNotOptimize(image.totalColors());
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

// A drawn icon: a grey background with a border, a few flat shapes and some shaded edges.
std::vector<std::uint8_t> IconPixels(int width, int height) {
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int r = 0xCC, g = 0xCC, b = 0xCC;
            if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) r = g = b = 0x80;
            const int dx = x - 20, dy = y - 18;
            const int d2 = dx * dx + dy * dy;
            if (d2 < 100) r = 255, g = 200 - d2, b = 0; // a shaded sun
            if (y > 28 && y < 34 && x > 8 && x < 32) r = 30, g = 140, b = 40;
            std::uint8_t* p = &bgr[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
        }
    return bgr;
}

// One commit of the editor: the 40 x 40 frame into Frames40 and its inner 32 x 32 into Frames32
// (argument 0: photo-like content, the worst case; 1: a drawn icon).
void EditorCommit(benchmark::State& state) {
    const std::vector<std::uint8_t> pixels = state.range(0) == 0 ? PhotoPixels(40, 40) : IconPixels(40, 40);
    const TBitmap frame40 = ToBitmap(pixels, 40, 40);
    TBitmap frame32(32, 32, pf24bit);
    for (int y = 0; y < 32; ++y)
        std::copy_n(frame40.ScanLine(y + 4) + 12, 32 * 3, frame32.ScanLine(y));
    TGIFPicture frames40, frames32;
    for (TGIFPicture* p : {&frames40, &frames32}) {
        p->ReductionMethod = ReduceQuantizeSystem;
        p->DitherMethod = DitherFloydSteinberg;
    }
    for (auto _ : state) {
        TBitmap a(frame40), b(frame32);
        TGIFSubImage f40(&frames40), f32(&frames32);
        ImportFrame(f40, a);
        ImportFrame(f32, b);
        benchmark::DoNotOptimize(f40.Pixels());
        benchmark::DoNotOptimize(f32.Pixels());
    }
}

BENCHMARK(Ours)->Name("reduce/ours")->Arg(40)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(Magick)->Name("reduce/magick")->Arg(40)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(EditorCommit)->Name("commit/40+32")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration, to print the ratios at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times; // in the runs' unit (microseconds)
};

} // namespace

int main(int argc, char** argv) {
    Magick::InitializeMagick(*argv);
    // One thread for the peer as for us: the comparison is per core.
    MagickCore::SetMagickResourceLimit(MagickCore::ThreadResource, 1);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* size : {"40", "1024"}) {
        const auto ours = reporter.Times.find(std::string("reduce/ours/") + size);
        const auto peer = reporter.Times.find(std::string("reduce/magick/") + size);
        if (ours != reporter.Times.end() && peer != reporter.Times.end())
            std::printf("ratio %s x %s: ours / Magick++ time = %.2f (below 1 is faster)\n", size, size,
                        ours->second / peer->second);
    }
    for (const char* kind : {"0", "1"}) {
        const auto commit = reporter.Times.find(std::string("commit/40+32/") + kind);
        if (commit != reporter.Times.end())
            std::printf("editor commit (40 x 40 + 32 x 32 frames, %s): %.3f ms wall (limit 2 ms)\n",
                        kind[0] == '0' ? "photo-like" : "drawn icon", commit->second / 1000.0);
    }
    benchmark::Shutdown();
    return 0;
}
