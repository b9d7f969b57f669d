#pragma once
// Palette files for the palette strip: GIMP palettes (.gpl) and JASC / Paint Shop Pro palettes (.pal),
// read and written as text. A file is taken only whole: any fault refuses it with a reason (and the
// line it stands on), and the caller keeps the palette it had. Colours are interface colours
// (0x00BBGGRR); at most 256 of them, as the strip has 256 cells.

#include "SurfaceColor.h"

#include <stdexcept>
#include <string>
#include <vector>

enum class TPaletteFormat { Gimp, Jasc };

enum class TPaletteFault {
    Unreadable,    // the file cannot be read (or is larger than any palette)
    UnknownFormat, // neither "GIMP Palette" nor "JASC-PAL" on its first line
    BadVersion,    // a JASC palette whose second line is not "0100"
    BadCount,      // a JASC colour count that is not a number of 1 to 256, or that the lines do not match
    BadColor,      // a colour line that is not three numbers 0..255
    NoColors,      // a palette without any colour
    TooManyColors  // more than 256 colours
};

class TPaletteFileError : public std::runtime_error {
  public:
    TPaletteFileError(TPaletteFault fault, int line);
    TPaletteFault Fault() const { return Fault_; }
    int Line() const { return Line_; } // 1-based; 0 when the fault is not on one line
  private:
    TPaletteFault Fault_;
    int Line_;
};

constexpr int MaxPaletteColors = 256;

// The palette in a file's text; throws TPaletteFileError.
std::vector<TInterfaceColor> ParsePalette(const std::string& text);
// Reads and parses a file; throws TPaletteFileError.
std::vector<TInterfaceColor> ReadPaletteFile(const std::string& path);
// The text of a palette file ("Name:" of a GIMP palette is `name`). JASC lines end with CR LF.
std::string FormatPalette(const std::vector<TInterfaceColor>& colors, TPaletteFormat format,
                          const std::string& name);
// Writes a palette file through the safe writer (a failed write leaves the old file); TFileError on
// failure.
void WritePaletteFile(const std::string& path, const std::vector<TInterfaceColor>& colors,
                      TPaletteFormat format);
// The format a file name asks for: ".pal" (any letter case) is JASC, anything else GIMP.
TPaletteFormat PaletteFormatFor(const std::string& path);
// The refusal as the user reads it, in the interface language (0 Czech, 1 English).
std::string PaletteFaultText(const TPaletteFileError& error, int languageIndex);
