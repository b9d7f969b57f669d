#include "IconWriter.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "ColorReduction.h"
#include "PlatformError.h"
#include "SafeFile.h"

namespace {

class TBytes {
  public:
    void U8(int v) { Data.push_back(static_cast<std::uint8_t>(v)); }
    void U16(int v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(static_cast<int>(v & 0xFFFF));
        U16(static_cast<int>(v >> 16));
    }
    void Header(const TBitmapInfoHeader& h) {
        U32(h.Size);
        U32(static_cast<std::uint32_t>(h.Width));
        U32(static_cast<std::uint32_t>(h.Height));
        U16(h.Planes);
        U16(h.BitCount);
        U32(h.Compression);
        U32(h.SizeImage);
        U32(static_cast<std::uint32_t>(h.XPelsPerMeter));
        U32(static_cast<std::uint32_t>(h.YPelsPerMeter));
        U32(h.ClrUsed);
        U32(h.ClrImportant);
    }
    std::vector<std::uint8_t> Data;
};

std::uint32_t RowLength(int width, int bitCount) {
    return static_cast<std::uint32_t>(((static_cast<std::int64_t>(width) * bitCount + 31) & ~31LL) / 8);
}

// Rows of an indexed bitmap, bottom-up, each padded to 4 bytes (our rows already are).
void AppendRowsBottomUp(TBytes& out, const TBitmap& bitmap) {
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        out.Data.insert(out.Data.end(), row, row + bitmap.RowBytes());
    }
}

} // namespace

TBitmapInfoHeader TIconWriter::PrepareDIBHeader(const TBitmap& bitmap, int colors) {
    if (bitmap.Empty()) throw EInvalidGraphic("Bitmap image is not valid");
    TBitmapInfoHeader h;
    h.Width = bitmap.Width();
    h.Height = bitmap.Height();
    switch (colors) {
    case 2:
        h.BitCount = 1;
        break;
    case 16:
        h.BitCount = 4;
        break;
    case 256:
        h.BitCount = 8;
        break;
    default:
        h.BitCount = static_cast<std::uint16_t>(bitmap.BitsPerPixel());
        break;
    }
    h.Planes = 1;
    if (h.SizeImage == 0)
        h.SizeImage = RowLength(h.Width, h.BitCount) * static_cast<std::uint32_t>(std::abs(h.Height));
    return h;
}

void TIconWriter::WriteIconStream(std::ostream& stream, const TIcon& icon, bool withLengthPrefix) const {
    const TBitmap& color = icon.ColorBitmap();
    const TBitmap& mask = icon.MaskBitmap();
    TBitmapInfoHeader maskHeader = PrepareDIBHeader(mask, 2);
    TBitmapInfoHeader colorHeader = PrepareDIBHeader(color, 256);

    // The colour image at 8 bits with a 256-entry table; the mask at 1 bit.
    TBitmap source(color);
    std::unique_ptr<TBitmap> indexed =
        color.PixelFormat() == pf8bit
            ? std::make_unique<TBitmap>(color)
            : ReduceToPalette(source, ReduceQuantizeSystem, DitherNearest, nullptr, 8);
    TPalette table = indexed->Palette();
    table.Resize(256);
    TBitmap maskBits(mask);
    maskBits.SetPixelFormat(pf1bit);

    const std::uint32_t colorInfoSize = 40 + 4 * 256;
    const std::uint32_t colorRowsSize =
        RowLength(colorHeader.Width, 8) * static_cast<std::uint32_t>(color.Height());
    const std::uint32_t maskRowsSize =
        RowLength(maskHeader.Width, 1) * static_cast<std::uint32_t>(mask.Height());
    const std::uint32_t imageSize = colorInfoSize + colorRowsSize + maskRowsSize;

    TBytes out;
    if (withLengthPrefix) out.U32(22 + imageSize);
    out.U16(0);
    out.U16(1);
    out.U16(1);
    out.U8(colorHeader.Width & 0xFF);
    out.U8(colorHeader.Height & 0xFF);
    out.U16(colorHeader.Planes * colorHeader.BitCount);
    out.U16(0);
    out.U16(0);
    out.U32(imageSize);
    out.U32(22);
    colorHeader.Height *= 2;
    out.Header(colorHeader);
    for (const TRGBQuad& q : table.ToQuads()) {
        out.U8(q.Blue);
        out.U8(q.Green);
        out.U8(q.Red);
        out.U8(0);
    }
    AppendRowsBottomUp(out, *indexed);
    AppendRowsBottomUp(out, maskBits);
    stream.write(reinterpret_cast<const char*>(out.Data.data()),
                 static_cast<std::streamsize>(out.Data.size()));
    if (!stream) throw EFileError("Cannot write the icon file");
}

void TIconWriter::SaveToIconFile(const TIcon& icon, const std::string& path) const {
    // Made whole in memory, then written by the safe writer: a failure leaves the old file as it was.
    std::ostringstream bytes;
    WriteIconStream(bytes, icon, false);
    const std::string data = bytes.str();
    try {
        TSafeFile::WriteAll(path, std::vector<std::uint8_t>(data.begin(), data.end()));
    } catch (const TFileError& e) {
        throw EFileError(e.what());
    }
}
