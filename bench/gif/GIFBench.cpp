// Decoding and encoding throughput of our codec against giflib, measured in the same run, in MB/s
// of index bytes (one byte a pixel). Inputs: harvesters.gif and gifplayer-muybridge.gif from the
// shared test data, and a 40 x 40 animated icon made here. The end of the run prints the ratios
// ours / giflib (decoding: higher is better; encoding time: lower is better).

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

struct TInput {
    std::string Name;
    TBytes File;
    std::int64_t Pixels = 0; // index bytes of all frames
};

// A 40 x 40 icon of 8 frames: a moving disc and a gradient border, 32 colours.
TBytes MakeIcon() {
    TGIFPicture gif;
    for (int i = 0; i < 32; ++i)
        gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x070503));
    for (int f = 0; f < 8; ++f) {
        auto* frame = new TGIFSubImage(&gif);
        frame->SetFrameBounds(0, 0, 40, 40);
        gif.AddFrame(frame);
        auto* gce = new TGIFGraphicControlExtension(frame);
        frame->Extensions().AppendItem(gce);
        gce->SetDelay(10);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int dx = x - 12 - 2 * f, dy = y - 20;
                int c = (x < 4 || y < 4 || x >= 36 || y >= 36) ? (x + y) % 8 + 20 : 1;
                if (dx * dx + dy * dy < 64) c = 5 + (dx + dy + 16) % 8;
                frame->RowAt(y)[x] = static_cast<std::uint8_t>(c);
            }
    }
    return gif.SaveToBuffer();
}

std::vector<TInput>& Inputs() {
    static std::vector<TInput> inputs = [] {
        std::vector<TInput> list;
        for (const char* name : {"harvesters.gif", "gifplayer-muybridge.gif"}) {
            const std::string path = std::string(TINDRA_SHARED_TESTDATA) + "/wuffs-gif/" + name;
            try {
                list.push_back({name, ReadWholeFile(path), 0});
            } catch (const std::exception&) {
                std::fprintf(stderr, "skipping %s: not found\n", path.c_str());
            }
        }
        list.push_back({"icon40x40", MakeIcon(), 0});
        for (TInput& in : list) {
            TGIFPicture gif;
            gif.LoadFromBuffer(in.File.data(), in.File.size());
            for (TGIFSubImage* frame : gif.Images())
                in.Pixels += static_cast<std::int64_t>(frame->PixelBytes());
        }
        return list;
    }();
    return inputs;
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
int WriteMem(GifFileType* gif, const GifByteType* buf, int n) {
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

GifFileType* GiflibSlurp(const TBytes& file) {
    TReader reader{&file, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&reader, ReadMem, &err);
    if (!gif || DGifSlurp(gif) != GIF_OK) std::abort();
    gif->UserData = nullptr;
    return gif;
}

// Our decoder must give giflib's index planes.
void CheckSameIndices(const TInput& in) {
    TGIFPicture ours;
    ours.LoadFromBuffer(in.File.data(), in.File.size());
    GifFileType* ref = GiflibSlurp(in.File);
    int k = 0;
    for (TGIFSubImage* frame : ours.Images()) {
        if (frame->Empty()) continue;
        const SavedImage& s = ref->SavedImages[k++];
        if (frame->PixelBytes() != static_cast<std::size_t>(s.ImageDesc.Width) * s.ImageDesc.Height ||
            std::memcmp(frame->Pixels(), s.RasterBits, frame->PixelBytes()) != 0) {
            std::fprintf(stderr, "%s: frame %d differs from giflib\n", in.Name.c_str(), k - 1);
            std::abort();
        }
    }
    int err = 0;
    DGifCloseFile(ref, &err);
}

void DecodeOurs(benchmark::State& state, const TInput* in) {
    CheckSameIndices(*in);
    for (auto _ : state) {
        TGIFPicture gif;
        gif.LoadFromBuffer(in->File.data(), in->File.size());
        benchmark::DoNotOptimize(gif.Images().ItemCount());
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

void DecodeGiflib(benchmark::State& state, const TInput* in) {
    for (auto _ : state) {
        GifFileType* gif = GiflibSlurp(in->File);
        benchmark::DoNotOptimize(gif->ImageCount);
        int err = 0;
        DGifCloseFile(gif, &err);
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

void EncodeOurs(benchmark::State& state, const TInput* in) {
    TGIFPicture gif;
    gif.LoadFromBuffer(in->File.data(), in->File.size());
    for (auto _ : state) {
        TMemoryStream out;
        gif.SaveToStream(out);
        benchmark::DoNotOptimize(out.Data().data());
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

// giflib writes the same frames: screen, global table, each image with its local table.
void EncodeGiflib(benchmark::State& state, const TInput* in) {
    GifFileType* src = GiflibSlurp(in->File);
    for (auto _ : state) {
        TBytes out;
        int err = 0;
        GifFileType* gif = EGifOpen(&out, WriteMem, &err);
        EGifPutScreenDesc(gif, src->SWidth, src->SHeight, src->SColorResolution, src->SBackGroundColor,
                          src->SColorMap);
        for (int i = 0; i < src->ImageCount; ++i) {
            const SavedImage& s = src->SavedImages[i];
            EGifPutImageDesc(gif, s.ImageDesc.Left, s.ImageDesc.Top, s.ImageDesc.Width, s.ImageDesc.Height,
                             false, s.ImageDesc.ColorMap);
            EGifPutLine(gif, s.RasterBits, s.ImageDesc.Width * s.ImageDesc.Height);
        }
        EGifCloseFile(gif, &err);
        benchmark::DoNotOptimize(out.data());
    }
    int err = 0;
    DGifCloseFile(src, &err);
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

// Collects the rates so the ratios can be printed after the run.
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark; otherwise the single run.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) Rates[run.run_name.str()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Rates;
};

} // namespace

int main(int argc, char** argv) {
    for (const TInput& in : Inputs()) {
        benchmark::RegisterBenchmark(("decode/ours/" + in.Name).c_str(), DecodeOurs, &in)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/giflib/" + in.Name).c_str(), DecodeGiflib, &in)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/ours/" + in.Name).c_str(), EncodeOurs, &in)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/giflib/" + in.Name).c_str(), EncodeGiflib, &in)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nours / giflib (MB/s of index bytes; decode goal >= 1.0, encode time goal <= 1.2):\n");
    for (const TInput& in : Inputs()) {
        for (const char* what : {"decode", "encode"}) {
            const double ours = reporter.Rates[std::string(what) + "/ours/" + in.Name];
            const double peer = reporter.Rates[std::string(what) + "/giflib/" + in.Name];
            if (ours <= 0 || peer <= 0) continue;
            if (std::string(what) == "decode")
                std::printf("  %s %-26s rate ratio %.2f (%.1f vs %.1f MB/s)\n", what, in.Name.c_str(),
                            ours / peer, ours / 1e6, peer / 1e6);
            else
                std::printf("  %s %-26s time ratio %.2f (%.1f vs %.1f MB/s)\n", what, in.Name.c_str(),
                            peer / ours, ours / 1e6, peer / 1e6);
        }
    }
    benchmark::Shutdown();
    return 0;
}
