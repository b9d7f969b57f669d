// Size of the smaller animated GIF ("Optimise file size") on 40 x 40 animations, against gifsicle -O3
// run on our plain file (the peer, as a process on a temporary file; its rows are skipped when gifsicle
// is missing). The animations: a 15-frame cut of the muybridge horse from ../shared/testdata, coalesced
// and scaled to 40 x 40 by ImageMagick and opened as the editor opens a file (skipped without the test
// data or ImageMagick), a moving sprite, a blinking cursor and a 100-frame spinner drawn here. The
// benchmark times the encoding; the table at the end gives bytes, frames and ours / gifsicle's. The
// other animations of the shared test data follow, made 40 x 40 the same way as the muybridge cut.
//
// Our smaller file keeps every frame, so that it decodes frame by frame to the plain file's pictures and
// reopens with the frames the user made. gifsicle drops a frame that repeats the one before and adds its
// time to that frame: its file then holds fewer frames. Such a row also gives gifsicle's size plus what
// the dropped frames cost at the least (23 bytes each: an 8-byte control block, a 10-byte descriptor
// and a one-pixel image of 5 bytes, its data starting with the clear code), and ours is held to that.
// Such a row is also given with the user's command that joins repeated frames (Merge repeated
// frames), which makes the same frames gifsicle keeps.

#include <benchmark/benchmark.h>

#include "DocumentGif.h"
#include "GIFPicture.h"
#include "IconDocument.h"
#include "SafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct TAnimation {
    std::string Name;
    std::unique_ptr<TGIFPicture> Frames; // the document's frame store
};

bool Have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

TSurface32 Draw(int frame, uint32_t (*pixel)(int, int, int)) {
    TSurface32 s(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            s.SetPixel(x, y, pixel(frame, x, y));
    return s;
}

TAnimation Synthetic(const std::string& name, int frames, uint32_t (*pixel)(int, int, int)) {
    TAnimation a{name, GifFrames::MakeDocumentPicture()};
    for (int f = 0; f < frames; ++f)
        GifFrames::AppendFrame(*a.Frames, Draw(f, pixel), 10);
    return a;
}

// A border, a patterned background, and a 9 x 9 two-colour ball crossing it in 16 frames.
uint32_t Sprite(int f, int x, int y) {
    if (x < 2 || y < 2 || x >= 38 || y >= 38) return 0xFF404040;
    const int bx = 2 + f * 2, by = 14 + (f % 4 < 2 ? f % 4 : 4 - f % 4);
    const int dx = x - bx - 4, dy = y - by - 4;
    if (dx * dx + dy * dy <= 16) return dx + dy < -2 ? 0xFFFFE0A0 : 0xFFD04010;
    return ((x / 4 + y / 4) % 2) ? 0xFFB0C8E0 : 0xFFA0B8D0;
}

// A text field with three words and a cursor that is on in frames 0 and 1, off in 2 and 3.
uint32_t Cursor(int f, int x, int y) {
    if (x < 2 || y < 2 || x >= 38 || y >= 38) return 0xFF808080;
    if (y >= 14 && y < 24) {
        if (x == 31 && f < 2) return 0xFF000000;
        if (x >= 4 && x < 29 && (x % 8) != 3 && ((x * 3 + y * 5) % 7) < 4) return 0xFF202020;
    }
    return 0xFFFFFFFF;
}

// Twelve spokes around a hub; one bright spoke turns through 100 frames, leaving a fading trail.
uint32_t Spinner(int f, int x, int y) {
    const double cx = x - 19.5, cy = y - 19.5, r = std::sqrt(cx * cx + cy * cy);
    if (r > 18 || r < 6) return 0xFFF0F0F0;
    const double pi = 3.14159265358979;
    double a = std::atan2(cy, cx) / (2 * pi) * 100;
    if (a < 0) a += 100;
    const int spoke = static_cast<int>(std::lround(a / (100.0 / 12))) % 12;
    const double centre = spoke * 100.0 / 12;
    if (std::fabs(a - centre) * r > 40) return 0xFFF0F0F0; // between spokes
    const int age = ((f - static_cast<int>(centre)) % 100 + 100) % 100;
    const int shade = std::min(200, 40 + age * 3);
    return 0xFF000000u | static_cast<uint32_t>(shade) << 16 | static_cast<uint32_t>(shade) << 8 | 0xE0;
}

std::string TempDir() {
    std::string dir = (fs::temp_directory_path() / ("tindra-optimize-" + std::to_string(getpid()))).string();
    fs::create_directories(dir);
    return dir + "/";
}

// The 15-frame cut opened through the document; empty when the data or ImageMagick is missing.
std::vector<uint8_t> MuybridgeFile(const std::string& dir) {
    const std::string in = std::string(TINDRA_SHARED_TESTDATA) + "/wuffs-gif/gifplayer-muybridge.gif";
    if (!fs::exists(in) || !Have("convert")) return {};
    const std::string out = dir + "muybridge40.gif";
    const std::string command = "convert '" + in + "' -coalesce -delete 15--1 -resize '40x40!' '" + out + "'";
    if (std::system(command.c_str()) != 0 || !fs::exists(out)) return {};
    return TSafeFile::ReadAll(out, 1 << 24);
}

// gifsicle -O3 of the plain file: its bytes (0 when it failed).
std::vector<uint8_t> Gifsicle(const std::string& dir, const std::vector<uint8_t>& plain) {
    const std::string in = dir + "plain.gif", out = dir + "gifsicle.gif";
    TSafeFile::WriteAll(in, plain);
    if (std::system(("gifsicle -O3 '" + in + "' -o '" + out + "'").c_str()) != 0) return {};
    return TSafeFile::ReadAll(out, 1 << 24);
}

int Frames(const std::vector<uint8_t>& gif) {
    const auto picture = GifFrames::ReadGif(gif, GifFrames::PictureReadLimits(1 << 14, 1 << 16, false));
    return picture ? GifFrames::FrameCount(*picture) : 0;
}

constexpr size_t LeastFrameBytes = 23;

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string dir = TempDir();
    std::vector<TAnimation> animations;
    // The muybridge cut goes through the document: opened as a file, saved both ways.
    struct TRow {
        std::string Name;
        std::vector<uint8_t> Plain, Small;
    };
    std::vector<TRow> rows;
    const std::vector<uint8_t> muybridge = MuybridgeFile(dir);
    if (!muybridge.empty()) {
        TSafeFile::WriteAll(dir + "muy.gif", muybridge);
        TIconDocument document;
        if (document.OpenFileDirect(dir + "muy.gif", false) == TOpenResult::Opened) {
            TRow row{"muybridge cut, 15 frames", document.EncodeDocumentGif(), {}};
            document.SetOptimizeGif(true);
            row.Small = document.EncodeDocumentGif();
            rows.push_back(row);
        }
    } else {
        std::printf("muybridge row skipped: no test data or no ImageMagick\n");
    }
    // Then every other animation of the shared test data, coalesced and scaled to 40 x 40 the same way.
    if (!muybridge.empty()) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(TINDRA_SHARED_TESTDATA))
            if (entry.path().extension() == ".gif") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& in : files) {
            const std::string out = dir + "scaled.gif";
            const std::string command =
                "convert '" + in.string() + "' -coalesce -resize '40x40!' '" + out + "' 2>/dev/null";
            if (std::system(command.c_str()) != 0) continue;
            TIconDocument document;
            if (document.OpenFileDirect(out, false) != TOpenResult::Opened || document.FrameCount() < 2)
                continue;
            TRow row{in.stem().string() + ", " + std::to_string(document.FrameCount()) + " frames",
                     document.EncodeDocumentGif(),
                     {}};
            document.SetOptimizeGif(true);
            row.Small = document.EncodeDocumentGif();
            rows.push_back(row);
        }
    }
    animations.push_back(Synthetic("moving sprite, 16 frames", 16, Sprite));
    animations.push_back(Synthetic("blinking cursor, 4 frames", 4, Cursor));
    animations.push_back(Synthetic("spinner, 100 frames", 100, Spinner));
    for (const TAnimation& a : animations) {
        rows.push_back({a.Name, GifFrames::EncodeAnimation(*a.Frames, false, 0, 0, false),
                        GifFrames::EncodeAnimation(*a.Frames, false, 0, 0, true)});
        benchmark::RegisterBenchmark(("encode/optimised/" + a.Name).c_str(), [&a](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(GifFrames::EncodeAnimation(*a.Frames, false, 0, 0, true));
        });
        benchmark::RegisterBenchmark(("encode/plain/" + a.Name).c_str(), [&a](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(GifFrames::EncodeAnimation(*a.Frames, false, 0, 0, false));
        });
    }
    // Where frames repeat, the same plain file opened, with Edit - Merge repeated frames, saved smaller:
    // the frames gifsicle drops, dropped by the user's command.
    for (size_t r = 0, count = rows.size(); r < count; ++r) {
        TSafeFile::WriteAll(dir + "merge.gif", rows[r].Plain);
        TIconDocument document;
        if (document.OpenFileDirect(dir + "merge.gif", false) != TOpenResult::Opened) continue;
        if (document.MergeRepeatedFrames() == 0) continue;
        document.SetOptimizeGif(true);
        rows.push_back({rows[r].Name.substr(0, rows[r].Name.find(',')) + ", merged", rows[r].Plain,
                        document.EncodeDocumentGif()});
    }
    benchmark::RunSpecifiedBenchmarks();

    const bool gifsicle = Have("gifsicle");
    std::printf("\n%-44s %7s %7s %7s %11s %7s %14s %8s\n", "animation", "plain", "ours", "frames",
                "gifsicle-O3", "frames", "gs+kept frames", "ours/gs");
    int worse = 0;
    for (const TRow& r : rows) {
        const std::vector<uint8_t> gs = gifsicle ? Gifsicle(dir, r.Plain) : std::vector<uint8_t>();
        if (std::getenv("TINDRA_KEEP_BENCH_FILES")) {
            const std::string stem = dir + r.Name.substr(0, r.Name.find(','));
            TSafeFile::WriteAll(stem + " ours.gif", r.Small);
            std::rename((dir + "gifsicle.gif").c_str(), (stem + " gs.gif").c_str());
            std::rename((dir + "plain.gif").c_str(), (stem + " plain.gif").c_str());
        }
        const int ours = Frames(r.Small);
        if (gs.empty()) {
            std::printf("%-44s %7zu %7zu %7d %11s %7s %14s %8s\n", r.Name.c_str(), r.Plain.size(),
                        r.Small.size(), ours, "-", "-", "-", "-");
            continue;
        }
        const int theirs = Frames(gs);
        // The peer's size for the same frames: with the frames it dropped put back at their least cost.
        const size_t kept = gs.size() + static_cast<size_t>(std::max(0, ours - theirs)) * LeastFrameBytes;
        const double ratio = static_cast<double>(r.Small.size()) / static_cast<double>(kept);
        if (r.Small.size() > kept) ++worse;
        std::printf("%-44s %7zu %7zu %7d %11zu %7d %14zu %8.3f\n", r.Name.c_str(), r.Plain.size(),
                    r.Small.size(), ours, gs.size(), theirs, kept, ratio);
    }
    if (!gifsicle) std::printf("gifsicle is not installed: its column is skipped\n");
    std::error_code ec;
    if (!std::getenv("TINDRA_KEEP_BENCH_FILES")) fs::remove_all(dir, ec);
    benchmark::Shutdown();
    return worse == 0 ? 0 : 1;
}
