#include "CommandLine.h"

#include "BatchConverter.h"

#include <cstring>

#ifndef TINDRA_VERSION
#define TINDRA_VERSION "2.2.0.0"
#endif

namespace {

// The toolkit's command-line options that take a value ("-style fusion" or "-style=fusion") and
// those that stand alone. They may also be written with two dashes.
const char* const ToolkitValueOptions = " platform platformpluginpath platformtheme plugin qwindowgeometry "
                                        "geometry qwindowtitle title qwindowicon icon session style "
                                        "stylesheet display name visual cmap im qmljsdebugger ";
const char* const ToolkitFlagOptions = " reverse widgetcount nograb dograb sync testability ";

// True when word is one of the space-separated words of list.
bool IsOneOf(const std::string& word, const char* list) {
    return !word.empty() && word.find(' ') == std::string::npos &&
           std::string(list).find(' ' + word + ' ') != std::string::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// True for "scheme:" at the start of text, with a scheme of at least two characters (so that a
// drive-letter-like "c:" is not taken for one).
bool HasScheme(const std::string& text, std::string* scheme) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    if (scheme) {
        *scheme = text.substr(0, colon);
        for (char& c : *scheme)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return true;
}

TCommandLine Failed(std::string error) {
    TCommandLine line;
    line.Action = TCommandLine::TAction::UsageError;
    line.Error = std::move(error);
    return line;
}

} // namespace

std::string TCommandLine::LocalPath(const std::string& text, bool* ok) {
    if (ok) *ok = true;
    std::string scheme;
    if (!HasScheme(text, &scheme) || scheme != "file") return text;
    auto fail = [ok] {
        if (ok) *ok = false;
        return std::string();
    };
    std::string rest = text.substr(5); // after "file:"
    // The query and the fragment are not part of the path.
    const size_t end = rest.find_first_of("?#");
    if (end != std::string::npos) rest.resize(end);
    if (rest.compare(0, 2, "//") == 0) {
        const size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        if (!host.empty() && host != "localhost") return fail();
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    if (rest.empty() || rest[0] != '/') return fail();
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        const int high = i + 2 < rest.size() ? HexDigit(rest[i + 1]) : -1;
        const int low = i + 2 < rest.size() ? HexDigit(rest[i + 2]) : -1;
        if (high < 0 || low < 0) return fail();
        const char c = static_cast<char>(high * 16 + low);
        if (c == '\0') return fail();
        path += c;
        i += 2;
    }
    return path;
}

TCommandLine TCommandLine::Parse(int argc, const char* const* argv) {
    TCommandLine line;
    line.ToolkitArgs.emplace_back(argc > 0 && argv[0] ? argv[0] : "tindra");
    if (argc >= 2 && argv[1] && std::strcmp(argv[1], "--convert") == 0) {
        line.Action = TAction::Convert;
        return line;
    }
    bool optionsEnded = false;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") return line.Action = TAction::ShowHelp, line;
            if (arg == "--version") return line.Action = TAction::ShowVersion, line;
            if (arg == "--convert") return Failed("--convert must come first");
            std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
            const size_t equals = name.find('=');
            const bool inlineValue = equals != std::string::npos;
            if (inlineValue) name.resize(equals);
            if (IsOneOf(name, ToolkitValueOptions)) {
                line.ToolkitArgs.push_back(arg);
                if (inlineValue) continue;
                if (i + 1 >= argc || !argv[i + 1]) return Failed("option " + arg + " needs a value");
                line.ToolkitArgs.emplace_back(argv[++i]);
                continue;
            }
            if (!inlineValue && IsOneOf(name, ToolkitFlagOptions)) {
                line.ToolkitArgs.push_back(arg);
                continue;
            }
            return Failed("unknown option " + arg);
        }
        if (arg == "-" && !optionsEnded)
            return Failed("reading a picture from standard input is not supported");
        if (arg.empty()) return Failed("the file name is empty");
        if (haveFile) return Failed("only one file can be opened at start");
        bool ok = true;
        std::string scheme;
        line.File = LocalPath(arg, &ok);
        if (!ok) return Failed(arg + " does not name a local file");
        if (line.File == arg && HasScheme(arg, &scheme) && arg.compare(scheme.size(), 3, "://") == 0)
            return Failed(arg + ": only local files can be opened");
        haveFile = true;
    }
    return line;
}

std::string TCommandLine::HelpText() {
    return std::string(
               "Usage: tindra [OPTION] [FILE]\n"
               "Tindra, an editor for small animated GIF icons.\n"
               "\n"
               "  FILE        a .gif, .ico or .bmp file to open at start; a file:// URI is accepted\n"
               "  --convert   convert a file without opening a window (see below)\n"
               "  --help      show this help and exit\n"
               "  --version   show the version and exit\n"
               "  --          the next argument is the file, even when it starts with -\n"
               "\n"
               "The toolkit's own options (-platform NAME, -style NAME, -display NAME, -reverse, ...)\n"
               "are accepted too. The interface starts in Czech; Ctrl+L switches the language.\n"
               "\n") +
           TBatchConverter::UsageText() +
           "\n"
           "Exit status: 0 done, 1 input refused (--convert), 2 usage error, 3 write failed (--convert).\n";
}

std::string TCommandLine::VersionText() {
    return std::string("Tindra ") + TINDRA_VERSION + "\n";
}

std::string TCommandLine::UsageHint() {
    return "Try 'tindra --help' for more information.\n";
}
