// The editor through its real main window, offscreen: opening a 40 x 40 GIF of N frames (until the
// window has processed its events, so the frame list is shown) and one edit commit (a pixel changed
// in WorkBitmap, CommitFrame, and the repaints it causes), for N = 1, 256, 1,024 and 4,096. The peer
// is the command-line conversion of the same file (`tindra --convert IN OUT.gif`, run in process),
// which reads, composes and converts every frame as opening does, without a window.
//
// Goals: opening 4,096 frames takes at most 3 times the conversion; a commit at 4,096 frames takes
// under 2 ms and about what it takes at one frame, and so does a step of the history (an edit, Undo and
// Redo). Medians of repetitions (TINDRA_BENCH_REPETITIONS,
// default 3).

#include "BatchConverter.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "IconDocument.h"
#include "TindraMainForm.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

const int Counts[] = {1, 256, 1024, 4096};

// The window with no settings read or written and no question asked.
class TBenchWindow : public TTindraMainForm {
  public:
    TBenchWindow() {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
    }
    using TTindraMainForm::OpenFile;
    TIconDocument& Doc() { return DocumentModel(); }

  protected:
    TWindowSettings ReadSettings() override { return TWindowSettings(); }
    void WriteSettings() override {}
    TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
    void ShowErrorMessage(const QString& text) override {
        std::fprintf(stderr, "window reports: %s\n", qPrintable(text));
        std::exit(1);
    }
};

TBenchWindow& Window() {
    static TBenchWindow* window = [] {
        auto* w = new TBenchWindow;
        w->show();
        w->FormActivate();
        QApplication::processEvents();
        return w;
    }();
    return *window;
}

// A 40 x 40 animation of n frames on a 32-colour table, every frame different (a disc moving over
// a gradient), each with a delay of 100 ms: the kind of file the editor writes.
std::string MakeFile(int n) {
    static QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath(QString("frames-%1.gif").arg(n)).toStdString();
    TGIFPicture gif;
    for (int i = 0; i < 32; ++i)
        gif.GlobalColorMap().AppendColor(static_cast<TGIFColor>(i * 0x070503));
    for (int f = 0; f < n; ++f) {
        auto frameOwned = std::make_unique<TGIFSubImage>(&gif);
        auto* frame = frameOwned.get();
        frame->SetFrameBounds(0, 0, 40, 40);
        gif.AddFrame(std::move(frameOwned));
        auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
        auto* gce = gceOwned.get();
        frame->Extensions().AppendItem(std::move(gceOwned));
        gce->SetDelay(10);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int dx = x - 8 - f % 24, dy = y - 8 - (f / 24) % 24;
                int c = (x + y + f / 576) % 16 + 16;
                if (dx * dx + dy * dy < 30) c = (f + x) % 16;
                frame->RowAt(y)[x] = static_cast<std::uint8_t>(c);
            }
    }
    gif.SaveToPath(path);
    return path;
}

const std::string& FileOf(int n) {
    static std::map<int, std::string> files;
    auto it = files.find(n);
    if (it == files.end()) it = files.emplace(n, MakeFile(n)).first;
    return it->second;
}

void Open(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const QString path = QString::fromStdString(FileOf(n));
    TBenchWindow& window = Window();
    for (auto _ : state) {
        window.OpenFile(path, false);
        QApplication::processEvents();
    }
    if (window.Doc().FrameCount() != n) state.SkipWithError("the file did not open with all its frames");
}

// The window with the file of n frames open, its last frame current.
TBenchWindow& OpenAtTheLastFrame(int n) {
    TBenchWindow& window = Window();
    window.OpenFile(QString::fromStdString(FileOf(n)), false);
    QApplication::processEvents();
    window.Doc().GoToFrame(TFrameStep::Last);
    QApplication::processEvents();
    return window;
}

void Commit(benchmark::State& state) {
    TBenchWindow& window = OpenAtTheLastFrame(static_cast<int>(state.range(0)));
    std::uint32_t colour = 0xFF000000u;
    for (auto _ : state) {
        // What a pencil release does after its dot: the commit, and the window's repaints.
        colour ^= 0x00FFFFFFu;
        window.Doc().WorkBitmap().SetPixel(20, 20, colour);
        window.Doc().CommitFrame();
        QApplication::processEvents();
    }
}

// One step of the history and back through it: an edit (its snapshot on the frame's own history and
// its commit), Undo and Redo, at N frames. The history keeps only the frame a step changes, so this
// costs what it costs at one frame.
void Step(benchmark::State& state) {
    TBenchWindow& window = OpenAtTheLastFrame(static_cast<int>(state.range(0)));
    std::uint32_t colour = 0xFF000000u;
    for (auto _ : state) {
        colour ^= 0x00FFFFFFu;
        TIconDocument::TEdit edit = window.Doc().BeginEdit();
        edit.Picture().SetPixel(20, 20, colour);
        edit.Commit();
        window.Doc().Undo();
        window.Doc().Redo();
        QApplication::processEvents();
    }
}

void Convert(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string in = FileOf(n);
    const std::string out = in + ".converted.gif";
    for (auto _ : state) {
        std::ostringstream err;
        if (TBatchConverter::Run({"--convert", in, out}, err) != TBatchConverter::Done)
            state.SkipWithError("conversion failed");
    }
}

// Keeps each benchmark's median time (real time: the window's work is all on this thread).
class TMedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && (run.run_type == Run::RT_Aggregate || run.repetitions > 1)) continue;
            Times[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name, int n) const {
        auto it = Times.find(name + "/" + std::to_string(n));
        return it == Times.end() ? 0 : it->second;
    }
    std::map<std::string, double> Times; // milliseconds
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int repetitions = 3;
    if (const char* r = std::getenv("TINDRA_BENCH_REPETITIONS")) repetitions = std::max(1, std::atoi(r));
    for (auto [name, fn] : {std::pair{"open", Open}, std::pair{"commit", Commit}, std::pair{"step", Step},
                            std::pair{"convert", Convert}}) {
        auto* b = benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime();
        for (int n : Counts)
            b->Arg(n);
        b->Repetitions(repetitions)->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nmedians (ms) and ratios\n  %8s %10s %10s %10s %14s %16s %10s %14s\n", "frames", "open",
                "convert", "commit", "open/convert", "commit/commit(1)", "step", "step/step(1)");
    const double commit1 = reporter.Time("commit", 1), step1 = reporter.Time("step", 1);
    for (int n : Counts) {
        const double open = reporter.Time("open", n), convert = reporter.Time("convert", n),
                     commit = reporter.Time("commit", n), step = reporter.Time("step", n);
        std::printf("  %8d %10.2f %10.2f %10.3f %14.2f %16.2f %10.3f %14.2f\n", n, open, convert, commit,
                    convert > 0 ? open / convert : 0, commit1 > 0 ? commit / commit1 : 0, step,
                    step1 > 0 ? step / step1 : 0);
    }
    const double open4096 = reporter.Time("open", 4096), convert4096 = reporter.Time("convert", 4096),
                 commit4096 = reporter.Time("commit", 4096);
    if (open4096 > 0 && convert4096 > 0)
        std::printf("goal: open of 4096 frames within 3 x convert: %.2f %s\n", open4096 / convert4096,
                    open4096 <= 3 * convert4096 ? "ok" : "MISSED");
    if (commit4096 > 0)
        std::printf("goal: commit at 4096 frames under 2 ms: %.3f ms %s\n", commit4096,
                    commit4096 < 2 ? "ok" : "MISSED");
    benchmark::Shutdown();
    delete &Window();
    return 0;
}
