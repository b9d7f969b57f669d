#include "GIFTestUtil.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "GIFEncoder.h"
#include "Stream.h"

namespace {
TBytes GreyTable(int entries) {
    TBytes t;
    for (int i = 0; i < entries; ++i) {
        const int v = entries > 1 ? i * 255 / (entries - 1) : 0;
        t.insert(t.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v),
                           static_cast<std::uint8_t>(v / 2)});
    }
    return t;
}
} // namespace

TGifBytes& TGifBytes::Header(int w, int h, int bits, const char* version) {
    Text("GIF").Text(version).U16(w).U16(h);
    if (bits > 0) {
        Add({0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0});
        Add(GreyTable(1 << bits));
    } else {
        Add({0, 0, 0});
    }
    return *this;
}

TGifBytes& TGifBytes::Image(int left, int top, int w, int h, int packed) {
    return Add({0x2C}).U16(left).U16(top).U16(w).U16(h).Add({packed});
}

TGifBytes& TGifBytes::Pixels(const TBytes& pixels, int w, int h, int bits, bool interlaced) {
    TMemoryStream out;
    TLZWEncoder encoder(nullptr);
    encoder.Compress(out, bits, 256, pixels.data(), interlaced, h, w);
    return Add(out.Data());
}

TBytes PackCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codesAndWidths, int blockSize) {
    TBytes packed;
    std::uint32_t bucket = 0;
    int bits = 0;
    for (auto [code, width] : codesAndWidths) {
        bucket |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bucket));
            bucket >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) packed.push_back(static_cast<std::uint8_t>(bucket));
    TBytes out{static_cast<std::uint8_t>(minCodeSize)};
    for (std::size_t at = 0; at < packed.size(); at += static_cast<std::size_t>(blockSize)) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(blockSize), packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

void LoadBytes(TGIFPicture& gif, const TBytes& bytes) {
    gif.LoadFromBuffer(bytes.data(), bytes.size());
}

TBytes SaveBytes(TGIFPicture& gif) {
    return gif.SaveToBuffer();
}

TBytes MakePixels(int w, int h, int colors, unsigned seed) {
    std::mt19937 rng(seed);
    TBytes p(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    int current = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        // Mostly short runs, sometimes long ones, sometimes noise.
        const unsigned r = colors == 256 && w * h > 5000 ? 0 : rng() % 16;
        if (r < 5)
            current = static_cast<int>(rng() % static_cast<unsigned>(colors));
        else if (r == 5)
            current = static_cast<int>((i / 7) % static_cast<std::size_t>(colors));
        p[i] = static_cast<std::uint8_t>(current);
    }
    return p;
}

namespace {
struct TReader {
    const TBytes* Data;
    std::size_t At = 0;
};
int ReadFromVector(GifFileType* gif, GifByteType* buf, int n) {
    auto* r = static_cast<TReader*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(n), r->Data->size() - r->At);
    std::memcpy(buf, r->Data->data() + r->At, k);
    r->At += k;
    return static_cast<int>(k);
}
int WriteToVector(GifFileType* gif, const GifByteType* buf, int n) {
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}
} // namespace

bool GiflibDecode(const TBytes& bytes, TGiflibFile& out, std::string* error) {
    TReader reader{&bytes};
    int err = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromVector, &err);
    if (!gif) {
        if (error) *error = GifErrorString(err);
        return false;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        if (error) *error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &err);
        return false;
    }
    out = TGiflibFile();
    out.Width = gif->SWidth;
    out.Height = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        TGiflibFrame f;
        f.Left = s.ImageDesc.Left;
        f.Top = s.ImageDesc.Top;
        f.Width = s.ImageDesc.Width;
        f.Height = s.ImageDesc.Height;
        f.Interlaced = s.ImageDesc.Interlace;
        f.Pixels.assign(s.RasterBits, s.RasterBits + static_cast<std::size_t>(f.Width) *
                                                         static_cast<std::size_t>(f.Height));
        const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
        if (map)
            for (int c = 0; c < map->ColorCount; ++c)
                f.Palette.insert(f.Palette.end(),
                                 {map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue});
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
            f.Delay = gcb.DelayTime;
            f.TransparentIndex = gcb.TransparentColor;
        }
        for (int e = 0; e + 1 < s.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = s.ExtensionBlocks[e];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0) {
                const ExtensionBlock& d = s.ExtensionBlocks[e + 1];
                if (d.ByteCount >= 3 && d.Bytes[0] == 1) out.LoopCount = d.Bytes[1] | (d.Bytes[2] << 8);
            }
        }
        out.Frames.push_back(std::move(f));
    }
    DGifCloseFile(gif, &err);
    return true;
}

TBytes GiflibEncode(int w, int h, int globalBits, const std::vector<TGiflibImage>& images, int loopCount) {
    TBytes out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &err);
    EXPECT_NE(gif, nullptr);
    if (!gif) return out;
    EGifSetGifVersion(gif, true);
    auto makeMap = [](int bits) {
        TBytes grey = GreyTable(1 << bits);
        ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
        for (int i = 0; i < (1 << bits); ++i) {
            map->Colors[i].Red = grey[static_cast<std::size_t>(i) * 3];
            map->Colors[i].Green = grey[static_cast<std::size_t>(i) * 3 + 1];
            map->Colors[i].Blue = grey[static_cast<std::size_t>(i) * 3 + 2];
        }
        return map;
    };
    ColorMapObject* global = globalBits > 0 ? makeMap(globalBits) : nullptr;
    EXPECT_EQ(EGifPutScreenDesc(gif, w, h, 8, 0, global), GIF_OK);
    if (global) GifFreeMapObject(global);
    if (loopCount >= 0) {
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        const unsigned char loop[3] = {1, static_cast<unsigned char>(loopCount & 0xFF),
                                       static_cast<unsigned char>(loopCount >> 8)};
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const TGiflibImage& im : images) {
        if (im.Delay >= 0) {
            const unsigned char gce[4] = {0x04, static_cast<unsigned char>(im.Delay & 0xFF),
                                          static_cast<unsigned char>(im.Delay >> 8), 0};
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
        }
        ColorMapObject* local = im.LocalBits > 0 ? makeMap(im.LocalBits) : nullptr;
        EXPECT_EQ(EGifPutImageDesc(gif, im.Left, im.Top, im.Width, im.Height, im.Interlaced, local), GIF_OK);
        if (local) GifFreeMapObject(local);
        std::vector<int> rows;
        if (im.Interlaced) {
            const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int r = starts[p]; r < im.Height; r += steps[p])
                    rows.push_back(r);
        } else {
            for (int r = 0; r < im.Height; ++r)
                rows.push_back(r);
        }
        for (int r : rows) {
            TBytes line(im.Pixels.begin() + static_cast<std::ptrdiff_t>(r) * im.Width,
                        im.Pixels.begin() + static_cast<std::ptrdiff_t>(r + 1) * im.Width);
            EXPECT_EQ(EGifPutLine(gif, line.data(), im.Width), GIF_OK);
        }
    }
    EGifCloseFile(gif, &err);
    return out;
}
