// Copies between a TSurface32 and the raster layer's TBitmap.

#include "Bitmap.h"
#include "Surface32.h"
#include "SurfaceColor.h"

#include <vector>

void TSurface32::CopyFromBitmap(const TBitmap& bitmap) {
    SetSize(bitmap.Width(), bitmap.Height());
    const bool raw32 = bitmap.PixelFormat() == pf32bit || bitmap.PixelFormat() == pfDevice;
    std::vector<TColorRef> colors(static_cast<size_t>(FWidth));
    for (int y = 0; y < FHeight; ++y) {
        uint32_t* out = ScanLine(y);
        if (raw32) {
            // Blue, green, red, alpha bytes: the stored alpha byte comes along unchanged.
            const uint8_t* in = bitmap.ScanLine(y);
            for (int x = 0; x < FWidth; ++x, in += 4)
                out[x] =
                    uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
        } else {
            bitmap.ReadRow(y, colors.data());
            for (int x = 0; x < FWidth; ++x)
                out[x] = 0xFF000000u | SwapRedBlue(colors[static_cast<size_t>(x)]);
        }
    }
    if (bitmap.Transparent() && !Empty()) {
        const uint32_t key = ToSurfaceColor(TInterfaceColor(bitmap.TransparentColor())).Value & 0x00FFFFFFu;
        for (uint32_t& p : FPixels)
            if ((p & 0x00FFFFFFu) == key) p &= 0x00FFFFFFu;
    }
}

void TSurface32::CopyFromBitmap(const TBitmap* bitmap) {
    if (bitmap)
        CopyFromBitmap(*bitmap);
    else
        SetSize(0, 0);
}

void TSurface32::CopyToBitmap(TBitmap& bitmap) const {
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y) {
        const uint32_t* in = ScanLine(y);
        uint8_t* out = bitmap.ScanLine(y);
        for (int x = 0; x < FWidth; ++x, out += 4) {
            out[0] = static_cast<uint8_t>(in[x]);
            out[1] = static_cast<uint8_t>(in[x] >> 8);
            out[2] = static_cast<uint8_t>(in[x] >> 16);
            out[3] = static_cast<uint8_t>(in[x] >> 24);
        }
    }
}
