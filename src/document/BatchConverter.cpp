#include "BatchConverter.h"

#include "IconDocument.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <ostream>
#include <set>
#include <thread>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ParsePositive(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::stoi(text);
    return value >= 1;
}

// The file a path names (device and inode, so links and other spellings of one file agree); false when
// it does not exist.
bool FileIdentity(const std::string& path, std::pair<dev_t, ino_t>& id) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

} // namespace

const char* TBatchConverter::UsageText() {
    return "Usage: tindra --convert IN OUT [--without-border] [--frame N] [--ico-modern] [--optimize]\n"
           "  IN   a .gif, .ico, .bmp or .png file\n"
           "  OUT  .gif: the whole icon; .bmp, .png or .ico: frame N (default 1); .ico needs "
           "--without-border\n"
           "  --ico-modern  the .ico also holds 32-bit 32 x 32 and 16 x 16 images (8 and 32 bits)\n"
           "  --optimize    a smaller animated .gif: later frames store only what changed\n";
}

bool TBatchConverter::Wanted(int argc, const char* const* argv) {
    return argc >= 2 && argv[1] && std::string(argv[1]) == "--convert";
}

int TBatchConverter::Run(int argc, const char* const* argv, std::ostream& err, const TSurface32* templates) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    return Run(args, err, templates);
}

int TBatchConverter::Run(const std::vector<std::string>& args, std::ostream& err,
                         const TSurface32* templates) {
    // The many-files form is told by its --to; its progress bar needs a terminal on stderr.
    if (std::find(args.begin(), args.end(), "--to") != args.end())
        return RunMany(args, err, &err == &std::cerr && isatty(STDERR_FILENO), templates);
    std::vector<std::string> files;
    bool withoutBorder = false;
    bool modernIco = false;
    bool optimize = false;
    int frame = 1;
    bool frameGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i == 0) {
            if (a != "--convert") {
                err << UsageText();
                return Usage;
            }
        } else if (a == "--without-border") {
            withoutBorder = true;
        } else if (a == "--ico-modern") {
            modernIco = true;
        } else if (a == "--optimize") {
            optimize = true;
        } else if (a == "--frame") {
            if (i + 1 >= args.size() || !ParsePositive(args[i + 1], frame)) {
                err << "--frame needs a frame number from 1\n" << UsageText();
                return Usage;
            }
            frameGiven = true;
            ++i;
        } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
            err << "Unknown option " << a << "\n" << UsageText();
            return Usage;
        } else {
            files.push_back(a);
        }
    }
    if (args.empty() || files.size() != 2 || files[0].empty() || files[1].empty()) {
        err << UsageText();
        return Usage;
    }
    const std::string outExt = LowerAscii(TDocumentName::FromPath(files[1]).Extension);
    TFileKind kind;
    if (outExt == ".gif")
        kind = TFileKind::Document;
    else if (outExt == ".bmp")
        kind = TFileKind::FrameBmp;
    else if (outExt == ".ico")
        kind = TFileKind::FrameIco;
    else if (outExt == ".png")
        kind = TFileKind::FramePng;
    else {
        err << "OUT must end in .gif, .bmp, .ico or .png\n" << UsageText();
        return Usage;
    }
    if (kind == TFileKind::FrameIco && !withoutBorder) {
        err << "An .ico output needs --without-border\n" << UsageText();
        return Usage;
    }
    if (kind == TFileKind::Document && frameGiven) {
        err << "--frame applies to .bmp, .png and .ico output only\n" << UsageText();
        return Usage;
    }

    TIconDocument document;
    if (templates) document.SetEmptyTemplates(templates[0], templates[1]);
    document.SetOutputSize(withoutBorder ? TIconDocument::InnerSide : TIconDocument::FrameSide);
    document.SetModernIco(modernIco);
    document.SetOptimizeGif(optimize);
    if (document.OpenFileDirect(files[0], false) != TOpenResult::Opened) {
        err << "Error opening file.\n";
        return InputRefused;
    }
    if (frame > document.FrameCount()) {
        err << "The icon has " << document.FrameCount() << " frame(s); --frame " << frame
            << " does not exist\n";
        return Usage;
    }
    document.SelectFrame(frame - 1);
    const TSaveResult result =
        kind == TFileKind::Document ? document.SaveDocumentTo(files[1]) : document.WriteFrame(kind, files[1]);
    if (result != TSaveResult::Saved) {
        err << "Error writing file " << files[1] << ".\n";
        return WriteFailed;
    }
    return Done;
}

namespace {

struct TManyOptions {
    std::vector<std::string> Inputs;
    std::string To, Out;
    bool WithoutBorder = false, ModernIco = false, Optimize = false;
    int Frame = 1, Jobs = 0;
};

std::string FileNamePart(const std::string& path) {
    return TDocumentName::FromPath(path).Name;
}

// The bar: [#####.....] done/total  current file
void DrawBar(std::ostream& out, int done, int total, const std::string& current) {
    constexpr int Width = 30;
    const int filled = total > 0 ? done * Width / total : Width;
    std::string line = "\r[" + std::string(filled, '#') + std::string(Width - filled, '.') + "] " +
                       std::to_string(done) + "/" + std::to_string(total) + "  " + current;
    if (line.size() > 100) line = line.substr(0, 97) + "...";
    out << line << "\033[K" << std::flush; // the rest of the line cleared
}

} // namespace

int TBatchConverter::RunMany(const std::vector<std::string>& args, std::ostream& progress, bool terminal,
                             const TSurface32* templates) {
    TManyOptions o;
    auto usage = [&progress](const std::string& why) {
        progress
            << why << "\n"
            << "Usage: tindra --convert IN... --to gif|png|bmp|ico --out DIR [--jobs N] [--without-border]"
               " [--frame N] [--ico-modern] [--optimize]\n";
        return Usage;
    };
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return false;
            into = args[++i];
            return true;
        };
        std::string number;
        if (a == "--to") {
            if (!value(o.To)) return usage("--to needs gif, png, bmp or ico");
        } else if (a == "--out") {
            if (!value(o.Out)) return usage("--out needs a folder");
        } else if (a == "--jobs") {
            if (!value(number) || !ParsePositive(number, o.Jobs))
                return usage("--jobs needs a number from 1");
        } else if (a == "--frame") {
            if (!value(number) || !ParsePositive(number, o.Frame))
                return usage("--frame needs a frame number from 1");
        } else if (a == "--without-border") {
            o.WithoutBorder = true;
        } else if (a == "--ico-modern") {
            o.ModernIco = true;
        } else if (a == "--optimize") {
            o.Optimize = true;
        } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
            return usage("Unknown option " + a);
        } else if (!a.empty()) {
            o.Inputs.push_back(a);
        }
    }
    o.To = LowerAscii(o.To);
    if (o.To != "gif" && o.To != "png" && o.To != "bmp" && o.To != "ico")
        return usage("--to needs gif, png, bmp or ico");
    if (o.Out.empty()) return usage("--out needs a folder");
    if (o.Inputs.empty()) return usage("No input files");
    if (o.To == "ico" && !o.WithoutBorder) return usage("--to ico needs --without-border");
    const TFileKind kind = o.To == "gif"   ? TFileKind::Document
                           : o.To == "png" ? TFileKind::FramePng
                           : o.To == "bmp" ? TFileKind::FrameBmp
                                           : TFileKind::FrameIco;
    const std::string folder = o.Out.back() == '/' ? o.Out : o.Out + "/";
    // A missing output folder is made, as the user named it; one that cannot be made fails every write.
    {
        std::error_code made;
        std::filesystem::create_directories(o.Out, made);
        if (!std::filesystem::is_directory(o.Out, made)) {
            progress << "Cannot make the output folder: " << o.Out << "\n";
            return WriteFailed;
        }
    }

    // Each input's output; a name a former input already takes is refused rather than overwritten.
    const int total = static_cast<int>(o.Inputs.size());
    std::vector<std::string> outputs(total), reasons(total);
    std::vector<int> status(total, Done);
    std::map<std::string, std::string> taken;
    // An output that is one of the inputs (its own folder and type, or another input of the run, by
    // any name) would destroy a picture the user still has: such an input is refused.
    std::set<std::pair<dev_t, ino_t>> inputFiles;
    for (const std::string& input : o.Inputs) {
        std::pair<dev_t, ino_t> id;
        if (FileIdentity(input, id)) inputFiles.insert(id);
    }
    for (int k = 0; k < total; ++k) {
        outputs[k] = folder + TDocumentName::FromPath(o.Inputs[k]).BaseName + "." + o.To;
        const auto [at, fresh] = taken.emplace(outputs[k], o.Inputs[k]);
        std::pair<dev_t, ino_t> id;
        if (FileIdentity(outputs[k], id) && inputFiles.count(id)) {
            status[k] = InputRefused;
            reasons[k] = "the output would replace an input file";
        } else if (!fresh) {
            status[k] = InputRefused;
            reasons[k] = "the same output file as " + at->second;
        }
    }

    int jobs = o.Jobs > 0 ? o.Jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    jobs = std::min(jobs, total);
    std::atomic<int> next{0};
    std::mutex report;
    int done = 0;
    auto work = [&] {
        for (int k = next++; k < total; k = next++) {
            if (status[k] == Done) {
                TIconDocument document;
                if (templates) document.SetEmptyTemplates(templates[0], templates[1]);
                document.SetOutputSize(o.WithoutBorder ? TIconDocument::InnerSide : TIconDocument::FrameSide);
                document.SetModernIco(o.ModernIco);
                document.SetOptimizeGif(o.Optimize);
                if (document.OpenFileDirect(o.Inputs[k], false) != TOpenResult::Opened) {
                    status[k] = InputRefused;
                    reasons[k] = "Error opening file.";
                } else if (kind != TFileKind::Document && o.Frame > document.FrameCount()) {
                    status[k] = InputRefused;
                    reasons[k] = "the icon has " + std::to_string(document.FrameCount()) +
                                 " frame(s), no frame " + std::to_string(o.Frame);
                } else {
                    document.SelectFrame(kind == TFileKind::Document ? 0 : o.Frame - 1);
                    const TSaveResult written = kind == TFileKind::Document
                                                    ? document.SaveDocumentTo(outputs[k])
                                                    : document.WriteFrame(kind, outputs[k]);
                    if (written != TSaveResult::Saved) {
                        status[k] = WriteFailed;
                        reasons[k] = "Error writing file " + outputs[k] + ".";
                    }
                }
            }
            const std::lock_guard<std::mutex> lock(report);
            ++done;
            if (terminal)
                DrawBar(progress, done, total, FileNamePart(o.Inputs[k]));
            else
                progress << done << "/" << total << " " << o.Inputs[k]
                         << (status[k] == Done          ? ""
                             : status[k] == WriteFailed ? " (not written)"
                                                        : " (refused)")
                         << "\n";
        }
    };
    std::vector<std::thread> workers;
    for (int j = 1; j < jobs; ++j)
        workers.emplace_back(work);
    work();
    for (std::thread& t : workers)
        t.join();
    if (terminal) progress << "\n";

    int refused = 0, failed = 0;
    for (int k = 0; k < total; ++k) {
        if (status[k] == Done) continue;
        (status[k] == WriteFailed ? failed : refused)++;
        progress << (status[k] == WriteFailed ? "not written: " : "refused: ") << o.Inputs[k] << ": "
                 << reasons[k] << "\n";
    }
    progress << total - refused - failed << " converted, " << refused << " refused, " << failed
             << " not written\n";
    return failed > 0 ? WriteFailed : refused > 0 ? InputRefused : Done;
}
