#pragma once
// Conversion from the command line, without any window:
//
//   tindra --convert IN OUT [--without-border] [--frame N] [--ico-modern] [--optimize]
//
// IN is opened as the editor opens a file (GIF, ICO, BMP or PNG). OUT is written by its extension: ".gif"
// the whole document as Save as writes it, ".bmp", ".png" and ".ico" frame N (1-based, default 1) as the
// frame exports write it; ".ico" needs --without-border, and --ico-modern adds the 32-bit and 16 × 16
// entries. --without-border saves the inner 32 × 32 area only; --optimize writes a smaller animated GIF
// (frames after the first hold only what changed) that shows the same pictures.
// Recent files and settings are not touched.

#include <iosfwd>
#include <string>
#include <vector>

class TSurface32;

class TBatchConverter {
  public:
    enum ExitCode { Done = 0, InputRefused = 1, Usage = 2, WriteFailed = 3 };

    // True when the program's arguments ask for a conversion (the first argument is "--convert").
    static bool Wanted(int argc, const char* const* argv);
    // Runs the conversion of the arguments after the program name ("--convert" first); messages go to err.
    // templates: the two empty-frame pictures (plain, bordered), or nullptr for the built-in ones.
    static int Run(const std::vector<std::string>& args, std::ostream& err,
                   const TSurface32* templates = nullptr);
    static int Run(int argc, const char* const* argv, std::ostream& err,
                   const TSurface32* templates = nullptr);

    static const char* UsageText();

    // The many-files form: tindra --convert IN... --to gif|png|bmp|ico --out DIR [--jobs N] with the
    // options of the single form. Each IN is written to DIR as its base name with the new extension,
    // jobs files at a time (default: the number of cores). progress receives a bar with the counts and
    // the current file when terminal is set, else one plain line a file; the refused files and their
    // reasons follow at the end. Exit status 0, 1 when any file was refused, 3 when any write failed.
    static int RunMany(const std::vector<std::string>& args, std::ostream& progress, bool terminal,
                       const TSurface32* templates = nullptr);
};
