#include "BmpFile.h"

#include "LittleEndian.h"
#include "SafeFile.h"

#include <cstring>

namespace {

constexpr uint32_t BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3;

uint16_t U16(const uint8_t* p) {
    return ReadU16LE(p);
}
uint32_t U32(const uint8_t* p) {
    return ReadU32LE(p);
}
void Put16(std::vector<uint8_t>& v, uint32_t x) {
    AppendU16LE(v, x);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    AppendU32LE(v, x);
}

// Scales a channel taken out with a bit mask to 0..255.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;
    explicit TChannel(uint32_t mask = 0) : Mask(mask) {
        if (!mask) return;
        while (!((mask >> Shift) & 1))
            ++Shift;
        Max = mask >> Shift;
    }
    uint32_t Get(uint32_t v) const {
        if (!Max) return 0;
        // 64 bits: a mask of more than 24 bits would overflow the scaling in 32.
        const uint64_t value = (v & Mask) >> Shift;
        return static_cast<uint32_t>((value * 255 + Max / 2) / Max);
    }
};

uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
}

// Expands RLE4/RLE8 data into one index a pixel, rows bottom-up as stored. Pixels the stream skips stay 0.
std::vector<uint8_t> ExpandRle(const uint8_t* p, size_t size, int width, int height, bool four) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height, 0);
    size_t i = 0;
    int x = 0, y = 0;
    auto put = [&](uint8_t v) {
        if (x < width && y < height) out[static_cast<size_t>(y) * width + x] = v;
        ++x;
    };
    while (y < height && i + 2 <= size) { // a stream cut short leaves the rest 0
        const uint8_t count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(four ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 2 > size) throw TBmpError("Premature end of bitmap data");
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else {
            const int n = value;
            const size_t bytes = four ? (static_cast<size_t>(n) + 1) / 2 : n;
            if (i + bytes > size) throw TBmpError("Premature end of bitmap data");
            for (int k = 0; k < n; ++k)
                put(four ? ((k & 1) ? (p[i + k / 2] & 0x0F) : (p[i + k / 2] >> 4)) : p[i + k]);
            i += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
    return out;
}

} // namespace

TPixelImage TBmpFile::DecodeDib(const uint8_t* data, size_t size, bool heightIsDoubled, TDibLayout* layout,
                                size_t rowsAt) {
    if (size < 12) throw TBmpError("Premature end of bitmap data");
    const uint32_t headerSize = U32(data);
    int32_t width, height;
    uint16_t bits;
    uint32_t compression = BiRgb, colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    uint32_t alphaMask = 0; // from a BITMAPV3/V4/V5 header
    size_t paletteEntrySize = 4;
    if (headerSize == 12) { // core header: unsigned 16-bit sizes (always bottom-up), 3-byte colours
        width = U16(data + 4);
        height = U16(data + 6);
        bits = U16(data + 10);
        paletteEntrySize = 3;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24) throw TBmpError("Unsupported bits per pixel");
    } else if (headerSize >= 40 && headerSize <= size) {
        width = static_cast<int32_t>(U32(data + 4));
        height = static_cast<int32_t>(U32(data + 8));
        bits = U16(data + 14);
        compression = U32(data + 16);
        colorsUsed = U32(data + 32);
        if (headerSize >= 52) {
            masks[0] = U32(data + 40);
            masks[1] = U32(data + 44);
            masks[2] = U32(data + 48);
        }
        if (headerSize >= 56) alphaMask = U32(data + 52);
    } else {
        throw TBmpError("Unsupported bitmap header");
    }
    size_t pos = headerSize;
    if (compression == BiBitfields && headerSize == 40) {
        if (pos + 12 > size) throw TBmpError("Premature end of bitmap data");
        masks[0] = U32(data + pos);
        masks[1] = U32(data + pos + 4);
        masks[2] = U32(data + pos + 8);
        pos += 12;
    }
    const bool topDown = height < 0;
    if (topDown) {
        if (height == INT32_MIN || heightIsDoubled) throw TBmpError("Invalid bitmap size");
        height = -height;
    }
    if (heightIsDoubled) height /= 2;
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide)
        throw TBmpError("Invalid bitmap size");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw TBmpError("Unsupported bits per pixel");
    const bool rle = compression == BiRle8 || compression == BiRle4;
    if ((compression == BiRle8 && bits != 8) || (compression == BiRle4 && bits != 4) ||
        (compression == BiBitfields && bits != 16 && bits != 32) || compression > BiBitfields)
        throw TBmpError("Unsupported bitmap compression");
    if (rle && topDown) throw TBmpError("Unsupported bitmap compression");

    // Colour table.
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        uint32_t n = colorsUsed ? colorsUsed : (1u << bits);
        if (n > (1u << bits)) n = 1u << bits;
        if (pos + static_cast<size_t>(n) * paletteEntrySize > size)
            throw TBmpError("Premature end of bitmap data");
        palette.resize(1u << bits, 0xFF000000u);
        for (uint32_t k = 0; k < n; ++k) {
            const uint8_t* e = data + pos + k * paletteEntrySize;
            palette[k] = Opaque(e[2], e[1], e[0]);
        }
        pos += static_cast<size_t>(n) * paletteEntrySize;
    } else if (headerSize == 40 && colorsUsed && compression == BiRgb) {
        // A colour table after a true-colour header is only a display hint: skip what is present.
        const size_t skip = static_cast<size_t>(colorsUsed) * 4;
        if (colorsUsed <= 256 && pos + skip <= size) pos += skip;
    }

    if (rowsAt > pos) {
        if (rowsAt > size) throw TBmpError("Premature end of bitmap data");
        pos = rowsAt;
    }

    TPixelImage image(width, height);
    if (rle) {
        const std::vector<uint8_t> indices =
            ExpandRle(data + pos, size - pos, width, height, compression == BiRle4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.At(x, height - 1 - y) = palette[indices[static_cast<size_t>(y) * width + x]];
        if (layout) *layout = {bits, true, pos, size};
        return image;
    }

    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (pos + stride * height > size) throw TBmpError("Premature end of bitmap data");
    TChannel red, green, blue;
    if (compression == BiBitfields) {
        red = TChannel(masks[0]), green = TChannel(masks[1]), blue = TChannel(masks[2]);
    } else if (bits == 16) {
        red = TChannel(0x7C00), green = TChannel(0x03E0), blue = TChannel(0x001F);
    } else if (bits == 32) {
        red = TChannel(0x00FF0000), green = TChannel(0x0000FF00), blue = TChannel(0x000000FF);
    }
    for (int row = 0; row < height; ++row) {
        const uint8_t* src = data + pos + stride * row;
        const int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            uint32_t c;
            switch (bits) {
            case 1:
                c = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                c = palette[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
                break;
            case 8:
                c = palette[src[x]];
                break;
            case 24:
                c = Opaque(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 16: {
                const uint32_t v = U16(src + 2 * x);
                c = Opaque(static_cast<uint8_t>(red.Get(v)), static_cast<uint8_t>(green.Get(v)),
                           static_cast<uint8_t>(blue.Get(v)));
                break;
            }
            default: {
                const uint32_t v = U32(src + 4 * x);
                c = Opaque(static_cast<uint8_t>(red.Get(v)), static_cast<uint8_t>(green.Get(v)),
                           static_cast<uint8_t>(blue.Get(v)));
                break;
            }
            }
            image.At(x, y) = c;
        }
    }
    // Bit fields with an alpha mask carry transparency: alpha 0 is transparent, a partial alpha stays in
    // the pixel for mixing. A picture whose alpha is 0 everywhere counts as opaque (writers that fill
    // the mask with nothing).
    if (compression == BiBitfields && alphaMask) {
        const TChannel alpha(alphaMask);
        std::vector<uint8_t> alphas(static_cast<size_t>(width) * height);
        bool anyAlpha = false;
        for (int row = 0; row < height; ++row) {
            const uint8_t* src = data + pos + stride * row;
            const int y = topDown ? row : height - 1 - row;
            for (int x = 0; x < width; ++x) {
                const uint32_t v = bits == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
                const uint8_t a = static_cast<uint8_t>(alpha.Get(v));
                alphas[static_cast<size_t>(y) * width + x] = a;
                if (a) anyAlpha = true;
            }
        }
        if (anyAlpha) {
            image.Transparent.assign(alphas.size(), false);
            for (size_t i = 0; i < alphas.size(); ++i) {
                if (alphas[i] == 0)
                    image.Transparent[i] = true;
                else
                    image.Pixels[i] =
                        (image.Pixels[i] & 0x00FFFFFFu) | (static_cast<uint32_t>(alphas[i]) << 24);
            }
        }
    }
    if (layout) *layout = {bits, false, pos, pos + stride * height};
    return image;
}

TPixelImage TBmpFile::Decode(const std::vector<uint8_t>& data) {
    if (data.size() < 14 + 12 || data[0] != 'B' || data[1] != 'M') throw TBmpError("Not a bitmap file");
    // The file header says where the pixel rows start; offsets inside the headers are taken as "right
    // after the colour table" (some writers leave 0 there).
    const uint32_t pixelOffset = U32(data.data() + 10);
    const size_t rowsAt = pixelOffset > 14 ? pixelOffset - 14 : 0;
    return DecodeDib(data.data() + 14, data.size() - 14, false, nullptr, rowsAt);
}

TPixelImage TBmpFile::Read(const std::string& path) {
    std::vector<uint8_t> data;
    try {
        data = TSafeFile::ReadAll(path, 64u << 20);
    } catch (const TFileError& e) {
        throw TBmpError(e.what());
    }
    return Decode(data);
}

std::vector<uint8_t> TBmpFile::Encode32(const TPixelImage& image) {
    const uint32_t rowBytes = static_cast<uint32_t>(image.Width) * 4;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(image.Height);
    std::vector<uint8_t> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.Width));
    Put32(out, static_cast<uint32_t>(image.Height));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, BiRgb);
    Put32(out, pixelBytes);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = image.Height - 1; y >= 0; --y)
        for (int x = 0; x < image.Width; ++x) {
            const uint32_t c = image.At(x, y);
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(0);
        }
    return out;
}
