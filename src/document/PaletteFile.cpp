#include "PaletteFile.h"

#include "DocumentName.h"
#include "SafeFile.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace {

// Far above any palette of 256 colours with long names; a larger file is not a palette.
constexpr size_t MaxPaletteFileBytes = 1 << 20;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

// A whole decimal number of at most `digits` digits at `at`; advances past it.
bool Number(const std::string& s, size_t& at, int& value, size_t digits = 3) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
        ++at;
    const size_t start = at;
    value = 0;
    while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) && at - start < digits + 1)
        value = value * 10 + (s[at++] - '0');
    return at > start && at - start <= digits;
}

// "R G B" and, for GIMP, anything after the third number separated by white space (the colour's name).
TInterfaceColor Color(const std::string& line, int lineNumber, bool nameAllowed) {
    size_t at = 0;
    int rgb[3];
    for (int& c : rgb)
        if (!Number(line, at, c) || c > 255) throw TPaletteFileError(TPaletteFault::BadColor, lineNumber);
    if (at < line.size()) {
        const bool separated = line[at] == ' ' || line[at] == '\t';
        if (!separated || (!nameAllowed && !Trimmed(line.substr(at)).empty()))
            throw TPaletteFileError(TPaletteFault::BadColor, lineNumber);
    }
    return TInterfaceColor(static_cast<uint32_t>(rgb[0]) | static_cast<uint32_t>(rgb[1]) << 8 |
                           static_cast<uint32_t>(rgb[2]) << 16);
}

std::vector<TInterfaceColor> ParseGimp(const std::vector<std::string>& lines) {
    std::vector<TInterfaceColor> colors;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string line = Trimmed(lines[i]);
        const int number = static_cast<int>(i + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("Name:", 0) == 0 || line.rfind("Columns:", 0) == 0) continue;
        if (colors.size() == MaxPaletteColors) throw TPaletteFileError(TPaletteFault::TooManyColors, number);
        colors.push_back(Color(line, number, true));
    }
    if (colors.empty()) throw TPaletteFileError(TPaletteFault::NoColors, 0);
    return colors;
}

std::vector<TInterfaceColor> ParseJasc(const std::vector<std::string>& lines) {
    if (lines.size() < 2 || Trimmed(lines[1]) != "0100")
        throw TPaletteFileError(TPaletteFault::BadVersion, 2);
    if (lines.size() < 3) throw TPaletteFileError(TPaletteFault::BadCount, 3);
    const std::string countText = Trimmed(lines[2]);
    size_t at = 0;
    int count = 0;
    if (!Number(countText, at, count) || at != countText.size())
        throw TPaletteFileError(TPaletteFault::BadCount, 3);
    if (count == 0) throw TPaletteFileError(TPaletteFault::NoColors, 3);
    if (count > MaxPaletteColors) throw TPaletteFileError(TPaletteFault::TooManyColors, 3);
    std::vector<TInterfaceColor> colors;
    size_t i = 3;
    for (; i < lines.size() && static_cast<int>(colors.size()) < count; ++i)
        colors.push_back(Color(Trimmed(lines[i]), static_cast<int>(i + 1), false));
    if (static_cast<int>(colors.size()) < count) throw TPaletteFileError(TPaletteFault::BadCount, 3);
    // Only blank lines may follow the colours the count announced.
    for (; i < lines.size(); ++i)
        if (!Trimmed(lines[i]).empty())
            throw TPaletteFileError(TPaletteFault::BadCount, static_cast<int>(i + 1));
    return colors;
}

} // namespace

TPaletteFileError::TPaletteFileError(TPaletteFault fault, int line)
    : std::runtime_error("palette file refused"), Fault_(fault), Line_(line) {}

std::vector<TInterfaceColor> ParsePalette(const std::string& text) {
    std::string body = text;
    if (body.rfind("\xEF\xBB\xBF", 0) == 0) body.erase(0, 3); // a byte-order mark some editors add
    const std::vector<std::string> lines = Lines(body);
    const std::string first = lines.empty() ? std::string() : Trimmed(lines[0]);
    if (first == "GIMP Palette") return ParseGimp(lines);
    if (first == "JASC-PAL") return ParseJasc(lines);
    throw TPaletteFileError(TPaletteFault::UnknownFormat, 1);
}

std::vector<TInterfaceColor> ReadPaletteFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    try {
        bytes = TSafeFile::ReadAll(path, MaxPaletteFileBytes);
    } catch (const TFileError&) {
        throw TPaletteFileError(TPaletteFault::Unreadable, 0);
    }
    return ParsePalette(std::string(bytes.begin(), bytes.end()));
}

std::string FormatPalette(const std::vector<TInterfaceColor>& colors, TPaletteFormat format,
                          const std::string& name) {
    std::string text;
    char line[32];
    auto rgb = [](TInterfaceColor c, int shift) { return static_cast<int>((c.Value >> shift) & 0xFF); };
    if (format == TPaletteFormat::Jasc) {
        text = "JASC-PAL\r\n0100\r\n" + std::to_string(colors.size()) + "\r\n";
        for (TInterfaceColor c : colors) {
            std::snprintf(line, sizeof line, "%d %d %d\r\n", rgb(c, 0), rgb(c, 8), rgb(c, 16));
            text += line;
        }
        return text;
    }
    std::string shownName;
    for (char c : name)
        shownName += (c == '\n' || c == '\r') ? ' ' : c;
    text = "GIMP Palette\nName: " + shownName + "\nColumns: 16\n#\n";
    for (TInterfaceColor c : colors) {
        std::snprintf(line, sizeof line, "%3d %3d %3d\t#%02X%02X%02X\n", rgb(c, 0), rgb(c, 8), rgb(c, 16),
                      rgb(c, 0), rgb(c, 8), rgb(c, 16));
        text += line;
    }
    return text;
}

void WritePaletteFile(const std::string& path, const std::vector<TInterfaceColor>& colors,
                      TPaletteFormat format) {
    std::string name = FileNameOf(path);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    const std::string text = FormatPalette(colors, format, name);
    TSafeFile::WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TPaletteFormat PaletteFormatFor(const std::string& path) {
    const std::string lower = LowerAscii(path);
    return lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".pal") == 0 ? TPaletteFormat::Jasc
                                                                                : TPaletteFormat::Gimp;
}

std::string PaletteFaultText(const TPaletteFileError& error, int languageIndex) {
    const bool english = languageIndex == 1;
    std::string text;
    switch (error.Fault()) {
    case TPaletteFault::Unreadable:
        text = english ? "The palette file cannot be read." : "Soubor palety nelze přečíst.";
        break;
    case TPaletteFault::UnknownFormat:
        text = english ? "This is not a GIMP (.gpl) or JASC (.pal) palette."
                       : "Toto není paleta GIMP (.gpl) ani JASC (.pal).";
        break;
    case TPaletteFault::BadVersion:
        text = english ? "Unknown JASC palette version." : "Neznámá verze palety JASC.";
        break;
    case TPaletteFault::BadCount:
        text = english ? "The number of colors does not match the colors in the file."
                       : "Počet barev neodpovídá barvám v souboru.";
        break;
    case TPaletteFault::BadColor:
        text =
            english ? "A color is not three numbers from 0 to 255." : "Barva není trojice čísel od 0 do 255.";
        break;
    case TPaletteFault::NoColors:
        text = english ? "The palette holds no colors." : "Paleta neobsahuje žádné barvy.";
        break;
    case TPaletteFault::TooManyColors:
        text = english ? "The palette holds more than 256 colors." : "Paleta obsahuje více než 256 barev.";
        break;
    }
    if (error.Line() > 0) text += (english ? " (line " : " (řádek ") + std::to_string(error.Line()) + ")";
    return text;
}
