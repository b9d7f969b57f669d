// Decoding, encoding and recoding with our codec against giflib, and decoding against wuffs, all
// measured in the same run, in MB/s of index bytes (one byte a pixel). Inputs: harvesters.gif and
// gifplayer-muybridge.gif from the shared test data, a 40 x 40 icon of 8 frames, and frame-count
// cases made here: 5,000 and 40,000 frames of 1 x 1, and 1,024 and 4,096 frames of 40 x 40 (the
// editor's own kind of file).
//
// Every benchmark is repeated (5 times, or TINDRA_BENCH_REPETITIONS) with the repetitions of all
// benchmarks interleaved at random, so that ours and the peers meet the same load; the ratios at
// the end come from the medians. Goals: decoding at least 2.0 times giflib's rate, encoding at
// least 1.3 times, recoding 40,000 frames in at most 1.5 times giflib's time. Before timing, every
// decoder's index planes are checked against ours, and our encoding of each input is read back.
//
// The wuffs peer (../shared/peers/wuffs/wuffs-v0.4.c, compiled in place when present) is only a
// benchmark peer; without it the run says so and goes on.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

#ifdef TINDRA_HAVE_WUFFS
#define WUFFS_CONFIG__MODULES
#define WUFFS_CONFIG__MODULE__BASE
#define WUFFS_CONFIG__MODULE__GIF
#include TINDRA_WUFFS_SOURCE
#endif

namespace {

using TBytes = std::vector<std::uint8_t>;

struct TInput {
    std::string Name;
    TBytes File;
    std::int64_t Pixels = 0; // index bytes of all frames
    bool FrameCount = false; // one of the frame-count cases
};

// A GIF of frames frames of side x side on a 32-colour global table, each with a graphic control
// extension; 40 x 40 frames show a moving disc inside a gradient border.
TBytes MakeAnimation(int frames, int side) {
    TGIFPicture gif;
    for (int i = 0; i < 32; ++i)
        gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x070503));
    for (int f = 0; f < frames; ++f) {
        auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(0, 0, side, side);
        gif.AddFrame(std::move(frameOwned));
        auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
        auto* gce = gceOwned.get();
        frame->Extensions().AppendItem(std::move(gceOwned));
        gce->SetDelay(10);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int dx = x - 12 - 2 * (f % 8), dy = y - 20;
                int c = (x < 4 || y < 4 || x >= 36 || y >= 36) ? (x + y) % 8 + 20 : 1;
                if (dx * dx + dy * dy < 64) c = 5 + (dx + dy + 16 + f) % 8;
                if (side == 1) c = f % 32;
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
                list.push_back({name, ReadWholeFile(path), 0, false});
            } catch (const std::exception&) {
                std::fprintf(stderr, "skipping %s: not found\n", path.c_str());
            }
        }
        list.push_back({"icon40x40", MakeAnimation(8, 40), 0, false});
        list.push_back({"frames5000x1x1", MakeAnimation(5000, 1), 0, true});
        list.push_back({"frames40000x1x1", MakeAnimation(40000, 1), 0, true});
        list.push_back({"frames1024x40x40", MakeAnimation(1024, 40), 0, true});
        list.push_back({"frames4096x40x40", MakeAnimation(4096, 40), 0, true});
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

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// giflib ---------------------------------------------------------------------------------------

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
    if (!gif || DGifSlurp(gif) != GIF_OK) Fail("giflib refuses an input");
    gif->UserData = nullptr;
    return gif;
}

void GiflibClose(GifFileType* gif) {
    int err = 0;
    DGifCloseFile(gif, &err);
}

// The frames' index planes as a reader gives them, for comparing the decoders.
using TPlanes = std::vector<TBytes>;

TPlanes OurPlanes(const TBytes& file) {
    TGIFPicture gif;
    gif.LoadFromBuffer(file.data(), file.size());
    TPlanes planes;
    for (TGIFSubImage* frame : gif.Images())
        if (!frame->Empty()) planes.emplace_back(frame->Pixels(), frame->Pixels() + frame->PixelBytes());
    return planes;
}

TPlanes GiflibPlanes(const TBytes& file) {
    GifFileType* gif = GiflibSlurp(file);
    TPlanes planes;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        planes.emplace_back(s.RasterBits,
                            s.RasterBits + static_cast<std::size_t>(s.ImageDesc.Width) * s.ImageDesc.Height);
    }
    GiflibClose(gif);
    return planes;
}

// wuffs ----------------------------------------------------------------------------------------

#ifdef TINDRA_HAVE_WUFFS
// Decodes every frame onto an indexed canvas of the screen's size (blend SRC, so each frame's
// rectangle holds its own indices afterwards); with planes, collects each frame's rectangle.
bool WuffsDecode(const TBytes& file, TPlanes* planes) {
    struct TFree {
        void operator()(wuffs_gif__decoder* d) const { std::free(d); }
    };
    std::unique_ptr<wuffs_gif__decoder, TFree> owner(wuffs_gif__decoder__alloc()); // initialized
    wuffs_gif__decoder* decoder = owner.get();
    if (!decoder) return false;
    wuffs_base__io_buffer src =
        wuffs_base__ptr_u8__reader(const_cast<std::uint8_t*>(file.data()), file.size(), true);
    wuffs_base__image_config config{};
    wuffs_base__status status = wuffs_gif__decoder__decode_image_config(decoder, &config, &src);
    if (!wuffs_base__status__is_ok(&status)) return false;
    const std::uint32_t w = wuffs_base__pixel_config__width(&config.pixcfg);
    const std::uint32_t h = wuffs_base__pixel_config__height(&config.pixcfg);
    wuffs_base__pixel_config__set(&config.pixcfg, WUFFS_BASE__PIXEL_FORMAT__INDEXED__BGRA_BINARY,
                                  WUFFS_BASE__PIXEL_SUBSAMPLING__NONE, w, h);
    // The 1024-byte palette, then the index plane.
    static thread_local TBytes canvas, work;
    canvas.assign(static_cast<std::size_t>(w) * h + 1024, 0);
    wuffs_base__pixel_buffer buffer;
    status = wuffs_base__pixel_buffer__set_from_slice(
        &buffer, &config.pixcfg, wuffs_base__make_slice_u8(canvas.data(), canvas.size()));
    if (!wuffs_base__status__is_ok(&status)) return false;
    work.resize(static_cast<std::size_t>(wuffs_gif__decoder__workbuf_len(decoder).max_incl));
    for (;;) {
        wuffs_base__frame_config frame{};
        status = wuffs_gif__decoder__decode_frame_config(decoder, &frame, &src);
        if (status.repr == wuffs_base__note__end_of_data) break;
        if (!wuffs_base__status__is_ok(&status)) return false;
        wuffs_base__status decoded =
            wuffs_gif__decoder__decode_frame(decoder, &buffer, &src, WUFFS_BASE__PIXEL_BLEND__SRC,
                                             wuffs_base__make_slice_u8(work.data(), work.size()), nullptr);
        if (!wuffs_base__status__is_ok(&decoded)) return false;
        if (planes) {
            const wuffs_base__rect_ie_u32 r = wuffs_base__frame_config__bounds(&frame);
            TBytes plane;
            const std::uint8_t* indices = canvas.data() + 1024;
            for (std::uint32_t y = r.min_incl_y; y < r.max_excl_y; ++y)
                plane.insert(plane.end(), indices + y * w + r.min_incl_x, indices + y * w + r.max_excl_x);
            planes->push_back(plane);
        }
    }
    return true;
}
#endif

bool HaveWuffs() {
#ifdef TINDRA_HAVE_WUFFS
    return true;
#else
    return false;
#endif
}

// The checks before timing: giflib's and wuffs' planes equal ours, and our encoding reads back.
void Check(const TInput& in) {
    const TPlanes ours = OurPlanes(in.File);
    if (GiflibPlanes(in.File) != ours) Fail(in.Name + ": giflib's index planes differ from ours");
#ifdef TINDRA_HAVE_WUFFS
    TPlanes theirs;
    if (!WuffsDecode(in.File, &theirs) || theirs != ours)
        Fail(in.Name + ": wuffs' index planes differ from ours");
#endif
    TGIFPicture gif;
    gif.LoadFromBuffer(in.File.data(), in.File.size());
    if (GiflibPlanes(gif.SaveToBuffer()) != ours) Fail(in.Name + ": our encoding does not read back");
}

// The benchmarks -------------------------------------------------------------------------------

void DecodeOurs(benchmark::State& state, const TInput* in) {
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
        GiflibClose(gif);
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

#ifdef TINDRA_HAVE_WUFFS
void DecodeWuffs(benchmark::State& state, const TInput* in) {
    for (auto _ : state)
        benchmark::DoNotOptimize(WuffsDecode(in->File, nullptr));
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}
#endif

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
    GiflibClose(src);
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

// Read and write again, as tindra-gif recode does.
void RecodeOurs(benchmark::State& state, const TInput* in) {
    for (auto _ : state) {
        TGIFPicture gif;
        gif.LoadFromBuffer(in->File.data(), in->File.size());
        TMemoryStream out;
        gif.SaveToStream(out);
        benchmark::DoNotOptimize(out.Data().data());
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

// DGifSlurp and EGifSpew: the slurped frames, extensions and tables move to the writer.
void RecodeGiflib(benchmark::State& state, const TInput* in) {
    for (auto _ : state) {
        GifFileType* src = GiflibSlurp(in->File);
        TBytes out;
        int err = 0;
        GifFileType* gif = EGifOpen(&out, WriteMem, &err);
        gif->SWidth = src->SWidth;
        gif->SHeight = src->SHeight;
        gif->SColorResolution = src->SColorResolution;
        gif->SBackGroundColor = src->SBackGroundColor;
        gif->AspectByte = src->AspectByte;
        std::swap(gif->SColorMap, src->SColorMap);
        std::swap(gif->ImageCount, src->ImageCount);
        std::swap(gif->SavedImages, src->SavedImages);
        std::swap(gif->ExtensionBlockCount, src->ExtensionBlockCount);
        std::swap(gif->ExtensionBlocks, src->ExtensionBlocks);
        GiflibClose(src);
        if (EGifSpew(gif) != GIF_OK) Fail(in->Name + ": EGifSpew failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * in->Pixels);
}

// Keeps the rate of each benchmark's median (of the single run without repetitions).
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && (run.run_type == Run::RT_Aggregate || run.repetitions > 1)) continue;
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) Rates[run.run_name.function_name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Rate(const std::string& name) const {
        auto it = Rates.find(name);
        return it == Rates.end() ? 0 : it->second;
    }
    std::map<std::string, double> Rates;
};

const char* Verdict(bool met) {
    return met ? "ok" : "BELOW GOAL";
}

} // namespace

int main(int argc, char** argv) {
    if (!HaveWuffs())
        std::printf("wuffs peer not found (%s): decoding is compared with giflib only\n", TINDRA_WUFFS_DIR);
    int repetitions = 5;
    if (const char* r = std::getenv("TINDRA_BENCH_REPETITIONS")) repetitions = std::max(1, std::atoi(r));
    for (const TInput& in : Inputs()) {
        Check(in);
        auto add = [&](const std::string& name, void (*fn)(benchmark::State&, const TInput*)) {
            benchmark::RegisterBenchmark(name.c_str(), fn, &in)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(repetitions)
                ->ReportAggregatesOnly(true);
        };
        add("decode/ours/" + in.Name, DecodeOurs);
        add("decode/giflib/" + in.Name, DecodeGiflib);
#ifdef TINDRA_HAVE_WUFFS
        add("decode/wuffs/" + in.Name, DecodeWuffs);
#endif
        add("encode/ours/" + in.Name, EncodeOurs);
        add("encode/giflib/" + in.Name, EncodeGiflib);
        add("recode/ours/" + in.Name, RecodeOurs);
        add("recode/giflib/" + in.Name, RecodeGiflib);
    }
    // Repetitions of different benchmarks interleaved, unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    bool given = false;
    for (int i = 1; i < argc; ++i)
        given = given || std::strstr(argv[i], "random_interleaving") != nullptr;
    if (!given) args.push_back(interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nratios from the medians (MB/s of index bytes; %d repetitions)\n", repetitions);
    std::printf("  %-26s %18s %14s %18s %22s\n", "input", "decode ours/giflib", "ours/wuffs",
                "encode ours/giflib", "recode time ours/giflib");
    for (const TInput& in : Inputs()) {
        auto rate = [&](const char* what, const char* who) {
            return reporter.Rate(std::string(what) + "/" + who + "/" + in.Name);
        };
        auto cell = [](double ours, double peer, bool inverse, const char* verdict) {
            char text[48];
            if (ours <= 0 || peer <= 0)
                std::snprintf(text, sizeof text, "-");
            else
                std::snprintf(text, sizeof text, "%.2f %s", inverse ? peer / ours : ours / peer, verdict);
            return std::string(text);
        };
        const double dOurs = rate("decode", "ours"), dGif = rate("decode", "giflib"),
                     dWuffs = rate("decode", "wuffs");
        const double eOurs = rate("encode", "ours"), eGif = rate("encode", "giflib");
        const double rOurs = rate("recode", "ours"), rGif = rate("recode", "giflib");
        const bool recodeGoal = in.Name == "frames40000x1x1";
        std::printf("  %-26s %18s %14s %18s %22s\n", in.Name.c_str(),
                    cell(dOurs, dGif, false, Verdict(dOurs >= 2.0 * dGif)).c_str(),
                    cell(dOurs, dWuffs, false, "").c_str(),
                    cell(eOurs, eGif, false, Verdict(eOurs >= 1.3 * eGif)).c_str(),
                    cell(rOurs, rGif, true, recodeGoal ? Verdict(rGif <= 1.5 * rOurs) : "").c_str());
    }
    std::printf("goals: decode >= 2.0, encode >= 1.3, recode time of frames40000x1x1 <= 1.5\n");
    benchmark::Shutdown();
    return 0;
}
