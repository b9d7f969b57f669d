#pragma once
// Text measuring and non-anti-aliased glyph masks with Qt fonts, for TSurface32::RenderText.

#include "TextRasterizer.h"

#include <QFont>

class TQtTextRasterizer : public TTextRasterizer {
  public:
    TTextExtent MeasureText(const TFontDescription& font, const std::string& utf8Text) override;
    TCoverageMask RenderText(const TFontDescription& font, const std::string& utf8Text, int width,
                             int height) override;

    // The Qt font for a description: face, character height in pixels, styles, anti-aliasing off.
    static QFont ToQFont(const TFontDescription& font);

    // Installs one application-wide instance for the surfaces.
    static void Install();
};
