// Opening hostile files as the editor opens them (TIconDocument::OpenFileDirect), against the largest
// legitimate file, a 4,096-frame 40 x 40 GIF, in the same run. Each hostile input is made here at about
// the 16 MB input limit; every one must open or be refused in time and memory of the same order as the
// legitimate file. giflib reading the same GIF bytes (DGifSlurp) is the peer. The end of the run prints,
// for each input, its time and peak memory as ratios of the legitimate file's, and our time over
// giflib's. Peak memory is measured once per input in a fresh process (the growth of its peak resident
// set while it opens the file).

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "IconDocument.h"
#include "LittleEndian.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::size_t InputLimit = 16u << 20;

struct TInput {
    TInput(std::string name, TBytes bytes, std::string extension)
        : Name(std::move(name)), Bytes(std::move(bytes)), Extension(std::move(extension)) {}
    std::string Name;
    TBytes Bytes;
    std::string Extension;
    std::string Path;
    double PeakMB = 0;
    bool Opened = false;
};

void Append(TBytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes)
        out.push_back(static_cast<std::uint8_t>(b));
}

// "GIF89a", a 40 x 40 screen and a global table of two colours.
TBytes Header40() {
    TBytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Append(b, {40, 0, 40, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    return b;
}
// A 40 x 40 frame at (0, 0): clear, index 0, end (the rest keeps index 0).
void Frame40(TBytes& b) {
    Append(b, {0x2C, 0, 0, 0, 0, 40, 0, 40, 0, 0, 2, 2, 0x4C, 0x01, 0});
}
// Repeats a block until the data reaches the input limit less the tail.
void FillTo(TBytes& b, const TBytes& block, std::size_t tail) {
    while (b.size() + block.size() + tail <= InputLimit)
        b.insert(b.end(), block.begin(), block.end());
}

// The largest legitimate file: 4,096 frames of 40 x 40 with 64 colours, a moving pattern with noise, each
// with a graphic control extension, written by our encoder.
TBytes Legitimate() {
    TGIFPicture gif;
    for (int i = 0; i < 64; ++i)
        gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x030405));
    std::mt19937 rng(7);
    for (int f = 0; f < 4096; ++f) {
        auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(0, 0, 40, 40);
        gif.AddFrame(std::move(frameOwned));
        auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
        auto* gce = gceOwned.get();
        frame->Extensions().AppendItem(std::move(gceOwned));
        gce->SetDelay(10);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                frame->RowAt(y)[x] = static_cast<std::uint8_t>(((x + f) / 5 + y / 5 + (rng() % 3)) % 64);
    }
    return gif.SaveToBuffer();
}

// A BMP file header and a 40-byte info header.
TBytes BmpHead(int width, int height, int bits, std::uint32_t compression, std::uint32_t colors,
               std::size_t dataSize) {
    TBytes b = {'B', 'M'};
    const std::uint32_t offset = 54 + colors * 4;
    AppendU32LE(b, static_cast<std::uint32_t>(offset + dataSize));
    AppendU32LE(b, 0);
    AppendU32LE(b, offset);
    AppendU32LE(b, 40);
    AppendU32LE(b, static_cast<std::uint32_t>(width));
    AppendU32LE(b, static_cast<std::uint32_t>(height));
    AppendU16LE(b, 1);
    AppendU16LE(b, static_cast<std::uint32_t>(bits));
    AppendU32LE(b, compression);
    AppendU32LE(b, static_cast<std::uint32_t>(dataSize));
    AppendU32LE(b, 0);
    AppendU32LE(b, 0);
    AppendU32LE(b, colors);
    AppendU32LE(b, 0);
    b.resize(b.size() + colors * 4, 0x80);
    return b;
}

std::vector<TInput>& Inputs() {
    static std::vector<TInput> inputs = [] {
        std::vector<TInput> list;
        list.emplace_back("legitimate 4096 x 40x40", Legitimate(), ".gif");

        TBytes stray = Header40();
        Frame40(stray);
        stray.push_back(0); // a stray byte the reader skips
        FillTo(stray, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0}, 1);
        stray.push_back(0x3B);
        list.emplace_back("stray 0x00 then 1x1 frames", stray, ".gif");

        TBytes onlyExtensions = Header40(); // comment, stray 0x00: a frame of extensions only
        FillTo(onlyExtensions, {0x21, 0xFE, 1, 'c', 0, 0}, 1);
        onlyExtensions.push_back(0x3B);
        list.emplace_back("extension-only frames", onlyExtensions, ".gif");

        for (const bool empty : {true, false}) {
            TBytes comments = Header40();
            FillTo(comments, empty ? TBytes{0x21, 0xFE, 0} : TBytes{0x21, 0xFE, 1, 'c', 0}, 16);
            Frame40(comments);
            comments.push_back(0x3B);
            list.emplace_back(empty ? "empty comments" : "one-byte comment lines", comments, ".gif");
        }

        TBytes app = Header40();
        Append(app, {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P'});
        FillTo(app, {1, 'x'}, 17);
        app.push_back(0);
        Frame40(app);
        app.push_back(0x3B);
        list.emplace_back("application sub-blocks", app, ".gif");

        TBytes zeros = Header40();
        Frame40(zeros);
        zeros.resize(InputLimit - 1, 0);
        zeros.push_back(0x3B);
        list.emplace_back("zeros between blocks", zeros, ".gif");

        // Image data that goes on for 16 MB: clear codes (3 bits, 100) repeated, 255-byte sub-blocks.
        TBytes clears = Header40();
        Append(clears, {0x2C, 0, 0, 0, 0, 40, 0, 40, 0, 0, 2});
        TBytes block = {255};
        for (int i = 0; i < 255; ++i)
            block.push_back(static_cast<std::uint8_t>(i % 3 == 0 ? 0x24 : i % 3 == 1 ? 0x49 : 0x92));
        FillTo(clears, block, 2);
        Append(clears, {0, 0x3B});
        list.emplace_back("16 MB of image data", clears, ".gif");

        // A 4096 x 4096 RLE bitmap whose data ends at once: the whole picture is decoded, then refused.
        TBytes rle = BmpHead(4096, 4096, 8, 1, 256, 2);
        Append(rle, {0, 1});
        list.emplace_back("BMP 4096x4096 RLE8", rle, ".bmp");

        // An uncompressed 24-bit bitmap of about 16 MB.
        const int side = 2364;
        const std::size_t rowBytes = (static_cast<std::size_t>(side) * 3 + 3) / 4 * 4;
        TBytes big = BmpHead(side, side, 24, 0, 0, rowBytes * side);
        big.resize(big.size() + rowBytes * side, 0x55);
        list.emplace_back("BMP 24-bit 16 MB", big, ".bmp");

        char folder[] = "/tmp/tindra-hostile-bench-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i].Path = std::string(folder) + "/" + std::to_string(i) + list[i].Extension;
            std::ofstream(list[i].Path, std::ios::binary)
                .write(reinterpret_cast<const char*>(list[i].Bytes.data()),
                       static_cast<std::streamsize>(list[i].Bytes.size()));
        }
        return list;
    }();
    return inputs;
}

// A value in kB from /proc/self/status ("VmRSS", "VmHWM").
long StatusKB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// Opens the input once in a fresh process (this program run with --peak-of PATH): the growth of its
// peak resident set while opening, in MB. A fresh process, because memory this one freed before would be
// reused and hide the cost.
double PeakMegabytes(const TInput& in) {
    const std::string command = "/proc/" + std::to_string(getpid()) + "/exe --peak-of " + in.Path;
    FILE* child = popen(command.c_str(), "r");
    if (!child) return -1;
    double mb = -1;
    if (std::fscanf(child, "%lf", &mb) != 1) mb = -1;
    pclose(child);
    return mb;
}

int PeakOf(const char* path) {
    const long before = StatusKB("VmRSS:");
    {
        TIconDocument doc;
        doc.OpenFileDirect(path, false);
    }
    std::printf("%f\n", static_cast<double>(StatusKB("VmHWM:") - before) / 1024.0);
    return 0;
}

void OpenOurs(benchmark::State& state, TInput* in) {
    if (in->PeakMB == 0) in->PeakMB = PeakMegabytes(*in);
    for (auto _ : state) {
        TIconDocument doc;
        in->Opened = doc.OpenFileDirect(in->Path, false) == TOpenResult::Opened;
        benchmark::DoNotOptimize(doc.FrameCount());
    }
    state.counters["peak_MB"] = in->PeakMB;
    state.SetLabel(in->Opened ? "opened" : "refused");
}

struct TReader {
    const TBytes* Data;
    std::size_t At;
};
int ReadMem(GifFileType* gif, GifByteType* buf, int n) {
    auto* r = static_cast<TReader*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(n), r->Data->size() - r->At);
    std::memcpy(buf, r->Data->data() + r->At, k);
    r->At += k;
    return static_cast<int>(k);
}

// giflib reads the same bytes (from the file, as we do), whether it takes them or not.
void ReadGiflib(benchmark::State& state, TInput* in) {
    for (auto _ : state) {
        std::ifstream file(in->Path, std::ios::binary);
        const TBytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        TReader reader{&bytes, 0};
        int err = 0;
        GifFileType* gif = DGifOpen(&reader, ReadMem, &err);
        if (gif) {
            benchmark::DoNotOptimize(DGifSlurp(gif));
            DGifCloseFile(gif, &err);
        }
    }
}

// Collects each benchmark's time (the median when repeated) for the ratios printed after the run.
class TTimeReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.str().substr(0, run.run_name.str().find("/min_time:"));
            const double seconds = run.GetAdjustedRealTime() / 1e3; // reported in ms
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name != "median") continue;
                Medians.insert(name);
            } else if (Medians.count(name)) {
                continue;
            }
            Seconds[name] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Seconds;
    std::set<std::string> Medians;
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--peak-of") return PeakOf(argv[2]);
    for (TInput& in : Inputs()) {
        benchmark::RegisterBenchmark(("open/ours/" + in.Name).c_str(), OpenOurs, &in)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
        if (in.Extension == ".gif")
            benchmark::RegisterBenchmark(("open/giflib/" + in.Name).c_str(), ReadGiflib, &in)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
    }
    benchmark::Initialize(&argc, argv);
    TTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const TInput& legit = Inputs().front();
    const double legitTime = reporter.Seconds["open/ours/" + legit.Name];
    std::printf("\nopening each input as the editor does, against the legitimate 4,096-frame file "
                "(%.2f s, %.0f MB):\n",
                legitTime, legit.PeakMB);
    std::printf("  %-28s %8s %10s %12s %8s\n", "input", "result", "time/legit", "memory/legit",
                "ours/giflib");
    for (const TInput& in : Inputs()) {
        const double ours = reporter.Seconds["open/ours/" + in.Name];
        const double peer = reporter.Seconds["open/giflib/" + in.Name];
        if (ours <= 0) continue;
        std::printf("  %-28s %8s %10.3f %12.3f", in.Name.c_str(), in.Opened ? "opened" : "refused",
                    ours / legitTime, in.PeakMB / legit.PeakMB);
        if (peer > 0)
            std::printf(" %8.3f\n", ours / peer);
        else
            std::printf(" %8s\n", "-");
    }
    for (const TInput& in : Inputs())
        std::remove(in.Path.c_str());
    benchmark::Shutdown();
    return 0;
}
