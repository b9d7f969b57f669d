#include "BatchConverter.h"

#include "IconDocument.h"

#include <ostream>

namespace {

bool ParsePositive(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::stoi(text);
    return value >= 1;
}

} // namespace

const char* TBatchConverter::UsageText() {
    return "Usage: tindra --convert IN OUT [--without-border] [--frame N] [--ico-modern]\n"
           "  IN   a .gif, .ico, .bmp or .png file\n"
           "  OUT  .gif: the whole icon; .bmp, .png or .ico: frame N (default 1); .ico needs "
           "--without-border\n"
           "  --ico-modern  the .ico also holds 32-bit 32 x 32 and 16 x 16 images (8 and 32 bits)\n";
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
    std::vector<std::string> files;
    bool withoutBorder = false;
    bool modernIco = false;
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
