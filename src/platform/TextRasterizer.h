#pragma once
// Text rasterising without anti-aliasing, done by the toolkit layer for the core.
//
// The raster surface draws text as one-colour glyph masks. The glyph shapes come from the platform's
// fonts, so the toolkit installs a TTextRasterizer that measures text and renders its coverage mask
// (every pixel fully on or fully off) in a given font description.

#include <cstdint>
#include <string>
#include <vector>

enum TFontStyle : uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

// A font as the editor describes it. Height is the character height in pixels (the size of the
// glyphs without internal leading); Size in points follows it at the screen's pixel density.
struct TFontDescription {
    std::string Name = "Tahoma";
    int Height = 13;
    uint8_t Style = 0; // set of TFontStyle bits
    uint8_t Charset = 238;
    uint32_t Color = 0x000000; // interface colour 0x00BBGGRR (used by sample texts)

    static constexpr int ScreenDpi = 96;

    // Size in points, rounded to the nearest whole point.
    int Size() const;
    // Sets Height from a size in points.
    void SetSize(int points);

    bool HasStyle(TFontStyle s) const { return (Style & s) != 0; }
    void SetStyle(TFontStyle s, bool on) { Style = on ? (Style | s) : (Style & ~s); }

    bool operator==(const TFontDescription& o) const {
        return Name == o.Name && Height == o.Height && Style == o.Style && Charset == o.Charset &&
               Color == o.Color;
    }
    bool operator!=(const TFontDescription& o) const { return !(*this == o); }
};

struct TTextExtent {
    int Width = 0;
    int Height = 0;
};

// Row-major glyph coverage, top row first; 0 is background, anything else a glyph pixel.
struct TCoverageMask {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Coverage;

    bool On(int x, int y) const { return Coverage[static_cast<size_t>(y) * Width + x] != 0; }
};

class TTextRasterizer {
  public:
    virtual ~TTextRasterizer() = default;
    // Size of the block the text occupies in one line of the font.
    virtual TTextExtent MeasureText(const TFontDescription& font, const std::string& utf8Text) = 0;
    // Renders the text with its block's top-left corner at (0, 0) into a width × height mask,
    // anti-aliasing off.
    virtual TCoverageMask RenderText(const TFontDescription& font, const std::string& utf8Text, int width,
                                     int height) = 0;
};

// Installs the rasterizer the surfaces use (not owned). nullptr removes it; text then draws nothing.
void InstallTextRasterizer(TTextRasterizer* rasterizer);
TTextRasterizer* InstalledTextRasterizer();
