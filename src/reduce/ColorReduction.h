#pragma once
// Colour reduction: turning a true-colour bitmap into an 8-bit palette bitmap.

#include <cstdint>
#include <memory>

#include "Bitmap.h"
#include "DitherEngine.h"
#include "Palette.h"

// How a true-colour picture gets its palette (an 8-bit option of TGIFPicture).
enum TReductionMethod : std::uint8_t {
    ReduceNone = 0,           // no palette: a 24-bit copy
    ReduceSystem20 = 1,       // the default palette's 20 colours
    ReduceHalftone = 2,       // the 256-colour halftone palette
    ReduceGray4 = 3,          // 0, 128, 192, 255 greys
    ReduceMonochrome = 4,     // black, white
    ReduceGray256 = 5,        // 256 greys
    ReduceCube216 = 6,        // the 6 x 6 x 6 colour cube
    ReduceQuantize = 7,       // octree palette of 2^bit depth colours
    ReduceQuantizeSystem = 8, // octree palette of 236 colours between the 20 system colours
    ReduceCustomPalette = 9,  // the palette the caller passes
};

// Reduces `source` (converted in place to 24 bits on the way) to a new bitmap: 8 bits with the
// method's palette, or a 24-bit copy for ReduceNone. A method outside 1-9 (but 0), a dither method
// outside 0-6 or an empty palette gives an empty bitmap. `bitDepth` (ReduceQuantize) is clamped to
// 1-8. Errors of the conversion or of the writer pass on.
std::unique_ptr<TBitmap> ReduceToPalette(TBitmap& source, int method, int ditherMethod,
                                         const TPalette* customPalette, int bitDepth);

// The octree palette of a bitmap (converted in place to 24 bits): `colors` entries (256 with the
// system colours, whose 20 entries sit at 0-9 and 246-255 around the quantizer's 236).
TPalette BuildQuantizedPalette(TBitmap& source, int colors, int depth, bool withSystemColors);

// The palette a reduction method stands for (empty for ReduceNone, the quantize methods and
// methods outside 0-9; the custom one for ReduceCustomPalette).
TPalette FixedPaletteFor(int method, const TPalette* customPalette);
