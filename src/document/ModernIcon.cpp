#include "ModernIcon.h"

#include "ColorQuantizer.h"
#include "LittleEndian.h"

#include <limits>
#include <stdexcept>

namespace ModernIcon {

namespace {

constexpr size_t IconHeaderSize = 6;
constexpr size_t DirectoryEntrySize = 16;
constexpr size_t InfoHeaderSize = 40;

// Bytes of one row of an AND mask, padded to 4.
size_t MaskRowBytes(int side) {
    return static_cast<size_t>((side + 31) / 32) * 4;
}

void AppendInfoHeader(std::vector<uint8_t>& out, int side, int bits, size_t imageBytes) {
    AppendU32LE(out, InfoHeaderSize);
    AppendU32LE(out, static_cast<uint32_t>(side));
    AppendU32LE(out, static_cast<uint32_t>(2 * side)); // colour rows and mask rows
    AppendU16LE(out, 1);
    AppendU16LE(out, static_cast<uint32_t>(bits));
    AppendU32LE(out, 0); // no compression
    AppendU32LE(out, static_cast<uint32_t>(imageBytes));
    for (int i = 0; i < 4; ++i)
        AppendU32LE(out, 0);
}

// The AND mask rows, bottom row first: a set bit is a transparent pixel.
void AppendMask(std::vector<uint8_t>& out, int side, const std::vector<bool>& transparent) {
    for (int y = side - 1; y >= 0; --y) {
        std::vector<uint8_t> row(MaskRowBytes(side), 0);
        for (int x = 0; x < side; ++x)
            if (transparent[static_cast<size_t>(y) * side + x])
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

// A 32-bit entry: BGRA rows bottom first (colour 0 where alpha is 0), then the AND mask of alpha 0.
std::vector<uint8_t> Entry32(const TPixelImage& picture) {
    const int side = picture.Width;
    std::vector<uint8_t> out;
    AppendInfoHeader(out, side, 32, static_cast<size_t>(side) * side * 4 + MaskRowBytes(side) * side);
    std::vector<bool> transparent(picture.Pixels.size());
    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x) {
            uint32_t c = picture.At(x, y);
            if ((c >> 24) == 0) c = 0;
            transparent[static_cast<size_t>(y) * side + x] = c == 0;
            out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                   static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 24)});
        }
    AppendMask(out, side, transparent);
    return out;
}

// An 8-bit entry: a 256-entry colour table, one byte a pixel (rows padded to 4), then the AND mask.
std::vector<uint8_t> Entry8(const TIndexed& indexed, int side) {
    const size_t rowBytes = static_cast<size_t>((side * 8 + 31) / 32) * 4;
    std::vector<uint8_t> out;
    AppendInfoHeader(out, side, 8, rowBytes * side + MaskRowBytes(side) * side);
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = i < static_cast<int>(indexed.Palette.size()) ? indexed.Palette[i] : 0;
        out.insert(out.end(),
                   {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0});
    }
    for (int y = side - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < side; ++x)
            row[x] = indexed.Indices[static_cast<size_t>(y) * side + x];
        out.insert(out.end(), row.begin(), row.end());
    }
    AppendMask(out, side, indexed.Transparent);
    return out;
}

int Nearest(const std::vector<uint32_t>& palette, uint32_t c) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = int((palette[i] >> 16) & 0xFF) - int((c >> 16) & 0xFF);
        const int dg = int((palette[i] >> 8) & 0xFF) - int((c >> 8) & 0xFF);
        const int db = int(palette[i] & 0xFF) - int(c & 0xFF);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

} // namespace

TPixelImage HalfSize(const TPixelImage& picture) {
    const int side = picture.Width / 2;
    TPixelImage half(side, side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint32_t alpha = 0, sum[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const uint32_t c = picture.At(2 * x + (k & 1), 2 * y + (k >> 1));
                const uint32_t a = c >> 24;
                alpha += a;
                for (int ch = 0; ch < 3; ++ch)
                    sum[ch] += ((c >> (8 * ch)) & 0xFF) * a;
            }
            if (alpha == 0) continue; // wholly transparent: 0
            uint32_t out = ((alpha + 2) / 4) << 24;
            for (int ch = 0; ch < 3; ++ch)
                out |= ((sum[ch] + alpha / 2) / alpha) << (8 * ch);
            half.At(x, y) = out;
        }
    return half;
}

TPixelImage TIndexed::Shown(int side) const {
    TPixelImage image(side, side);
    for (size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = Transparent[i] ? 0 : 0xFF000000u | Palette.at(Indices[i]);
    return image;
}

TIndexed Quantize(const TPixelImage& picture) {
    TIndexed indexed;
    indexed.Transparent.resize(picture.Pixels.size());
    bool anyTransparent = false;
    for (size_t i = 0; i < picture.Pixels.size(); ++i) {
        indexed.Transparent[i] = (picture.Pixels[i] >> 24) < 128;
        anyTransparent = anyTransparent || indexed.Transparent[i];
    }
    // Transparent pixels are black in the colour rows (so the screen shows through the mask); black then
    // takes one of the 256 entries.
    TColorQuantizer quantizer(anyTransparent ? 255 : 256, 8);
    for (size_t i = 0; i < picture.Pixels.size(); ++i)
        if (!indexed.Transparent[i]) {
            const uint32_t c = picture.Pixels[i];
            quantizer.AddColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
        }
    for (const TRGBQuad& q : quantizer.Colors())
        indexed.Palette.push_back(uint32_t(q.Red) << 16 | uint32_t(q.Green) << 8 | q.Blue);
    const int black = static_cast<int>(indexed.Palette.size());
    if (anyTransparent) indexed.Palette.push_back(0);
    if (indexed.Palette.empty()) indexed.Palette.push_back(0);
    const std::vector<uint32_t> opaque(indexed.Palette.begin(), indexed.Palette.begin() + std::max(black, 1));
    indexed.Indices.resize(picture.Pixels.size());
    for (size_t i = 0; i < picture.Pixels.size(); ++i)
        indexed.Indices[i] = static_cast<uint8_t>(
            indexed.Transparent[i] ? (anyTransparent ? black : 0) : Nearest(opaque, picture.Pixels[i]));
    return indexed;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& classicIcon, const TPixelImage& picture) {
    constexpr size_t ClassicImageAt = IconHeaderSize + DirectoryEntrySize;
    if (classicIcon.size() <= ClassicImageAt || picture.Width != 32 || picture.Height != 32)
        throw std::invalid_argument("a 32 x 32 icon is needed");
    const TPixelImage half = HalfSize(picture);
    struct TEntry {
        int Side;
        int Bits;
        std::vector<uint8_t> Image;
    };
    const TEntry entries[] = {
        {32, 8, std::vector<uint8_t>(classicIcon.begin() + ClassicImageAt, classicIcon.end())},
        {32, 32, Entry32(picture)},
        {16, 8, Entry8(Quantize(half), 16)},
        {16, 32, Entry32(half)},
    };
    std::vector<uint8_t> out;
    AppendU16LE(out, 0);
    AppendU16LE(out, 1); // icon
    AppendU16LE(out, 4);
    size_t offset = IconHeaderSize + DirectoryEntrySize * 4;
    for (const TEntry& e : entries) {
        out.push_back(static_cast<uint8_t>(e.Side));
        out.push_back(static_cast<uint8_t>(e.Side));
        out.push_back(0); // 256 colours and more are given as 0
        out.push_back(0);
        AppendU16LE(out, 1);
        AppendU16LE(out, static_cast<uint32_t>(e.Bits));
        AppendU32LE(out, static_cast<uint32_t>(e.Image.size()));
        AppendU32LE(out, static_cast<uint32_t>(offset));
        offset += e.Image.size();
    }
    for (const TEntry& e : entries)
        out.insert(out.end(), e.Image.begin(), e.Image.end());
    return out;
}

} // namespace ModernIcon
