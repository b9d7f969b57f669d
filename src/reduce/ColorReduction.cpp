#include "ColorReduction.h"

#include <algorithm>

#include "ColorQuantizer.h"
#include "DIB.h"

namespace {

TPalette GrayPalette(std::initializer_list<int> levels) {
    std::vector<TPaletteEntry> e;
    for (int v : levels) {
        const auto b = static_cast<std::uint8_t>(v);
        e.push_back(TPaletteEntry{b, b, b, 0});
    }
    return TPalette(std::move(e));
}

TPalette Gray256() {
    std::vector<TPaletteEntry> e(256);
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<std::uint8_t>(i);
        e[static_cast<std::size_t>(i)] = TPaletteEntry{b, b, b, 0};
    }
    return TPalette(std::move(e));
}

TPalette Cube216() {
    std::vector<TPaletteEntry> e(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                e[static_cast<std::size_t>(36 * r + 6 * g + b)] =
                    TPaletteEntry{static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                                  static_cast<std::uint8_t>(51 * b), 0};
    return TPalette(std::move(e));
}

std::unique_ptr<TColorLookup> LookupFor(int method, const TPalette& palette) {
    switch (method) {
    case ReduceMonochrome:
        return std::make_unique<TMonochromeLookup>();
    case ReduceGray256:
        return std::make_unique<TGrayScaleLookup>();
    case ReduceCube216:
        return std::make_unique<TNetscapeColorLookup>();
    default:
        return std::make_unique<TSlowColorLookup>(palette);
    }
}

} // namespace

TPalette FixedPaletteFor(int method, const TPalette* customPalette) {
    switch (method) {
    case ReduceSystem20:
        return TPalette::Default();
    case ReduceHalftone:
        return TPalette::Halftone();
    case ReduceGray4:
        return GrayPalette({0, 128, 192, 255});
    case ReduceMonochrome:
        return TPalette::Monochrome();
    case ReduceGray256: {
        static const TPalette gray = Gray256();
        return gray;
    }
    case ReduceCube216: {
        static const TPalette cube = Cube216();
        return cube;
    }
    case ReduceCustomPalette:
        return customPalette ? *customPalette : TPalette();
    default:
        return TPalette();
    }
}

TPalette BuildQuantizedPalette(TBitmap& source, int colors, int depth, bool withSystemColors) {
    int limit;
    int first;
    TPalette palette;
    if (withSystemColors) {
        palette = TPalette(256);
        const TPalette& system = TPalette::Default();
        for (int i = 0; i < 10; ++i)
            palette.SetEntry(i, system.Entry(i));
        for (int i = 10; i < 20; ++i)
            palette.SetEntry(236 + i, system.Entry(i));
        limit = 236;
        first = 10;
    } else {
        colors = std::clamp(colors, 1, TPalette::MaxEntries);
        palette = TPalette(colors);
        limit = colors;
        first = 0;
    }
    TColorQuantizer quantizer(limit, depth);
    quantizer.ProcessImage(source);
    const std::vector<TRGBQuad> found = quantizer.Colors();
    for (std::size_t i = 0; i < found.size() && static_cast<int>(i) < limit; ++i)
        palette.SetEntry(first + static_cast<int>(i),
                         TPaletteEntry{found[i].Red, found[i].Green, found[i].Blue, 0});
    return palette;
}

std::unique_ptr<TBitmap> ReduceToPalette(TBitmap& source, int method, int ditherMethod,
                                         const TPalette* customPalette, int bitDepth) {
    auto result = std::make_unique<TBitmap>();
    if (method == ReduceNone) {
        *result = source;
        result->SetPixelFormat(pf24bit);
        return result;
    }
    TDIBReader reader(source, pf24bit);

    TPalette palette;
    switch (method) {
    case ReduceQuantize:
        palette = BuildQuantizedPalette(source, 1 << std::clamp(bitDepth, 1, 8), 8, false);
        break;
    case ReduceQuantizeSystem:
        palette = BuildQuantizedPalette(source, 256, 8, true);
        break;
    default:
        if (method < ReduceSystem20 || method > ReduceCustomPalette) return result;
        palette = FixedPaletteFor(method, customPalette);
        break;
    }
    const std::unique_ptr<TColorLookup> lookup = LookupFor(method, palette);
    if (lookup->EntryCount() == 0) return result;
    const int width = source.Width();
    const std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(ditherMethod, width, *lookup);
    if (!ditherer) return result;

    {
        TDIBWriter writer(*result, pf8bit, width, source.Height(), palette);
        for (int y = 0; y < source.Height(); ++y) {
            const std::uint8_t* src = reader.RowPointer(y);
            std::uint8_t* dst = writer.RowPointer(y);
            for (int x = ditherer->ScanColumn(); x >= 0 && x < width; x = ditherer->ScanColumn()) {
                const std::uint8_t* p = src + 3 * x;
                dst[x] = static_cast<std::uint8_t>(ditherer->MapPixel(p[2], p[1], p[0]));
            }
            ditherer->EndRow();
        }
        writer.Finish();
    }
    return result;
}
