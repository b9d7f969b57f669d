#pragma once
// The editor's command line, read before any window or toolkit exists:
//
//   tindra [FILE]                 start the editor and open FILE (a path or a file:// URI)
//   tindra --convert IN OUT ...   convert without a window (TBatchConverter)
//   tindra --help | --version
//
// The toolkit's own options (-platform NAME, -style NAME, -display NAME, -reverse, ...) are kept
// apart and handed to the toolkit alone, so a file name never reaches it. "--" ends the options.
// Anything else that starts with "-", a second file or a URI that names no local file is a usage
// error: the text goes to stderr and the program ends with exit status 2.

#include <string>
#include <vector>

struct TCommandLine {
    enum class TAction { RunEditor, Convert, ShowHelp, ShowVersion, UsageError };

    TAction Action = TAction::RunEditor;
    std::string File;                     // local path to open at start; empty: none
    std::vector<std::string> ToolkitArgs; // the program name first, then the toolkit's options
    std::string Error;                    // what is wrong, for UsageError

    static TCommandLine Parse(int argc, const char* const* argv);

    // A file:// URI (empty host or "localhost", percent-encoded) as a local path; any other text
    // is returned as it is. ok is false for a file URI that names no local file or is malformed.
    static std::string LocalPath(const std::string& text, bool* ok = nullptr);

    static std::string HelpText();
    static std::string VersionText();
    // The short hint printed after a usage error.
    static std::string UsageHint();
};
