#include "GifOracle.h"

#include <gif_lib.h>

#include <cstring>

namespace GifOracle {

namespace {

ColorMapObject* MakeMap(const std::vector<uint32_t>& palette) {
    int size = 2;
    while (size < static_cast<int>(palette.size()))
        size *= 2;
    std::vector<GifColorType> colors(size);
    for (size_t i = 0; i < palette.size(); ++i)
        colors[i] = {static_cast<GifByteType>(palette[i] >> 16), static_cast<GifByteType>(palette[i] >> 8),
                     static_cast<GifByteType>(palette[i])};
    return GifMakeMapObject(size, colors.data());
}

} // namespace

bool Write(const std::string& path, const File& file) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) return false;
    gif->SWidth = file.Width;
    gif->SHeight = file.Height;
    gif->SColorResolution = 8;
    gif->SBackGroundColor = 0;
    gif->SColorMap = MakeMap(file.Palette);
    for (size_t k = 0; k < file.Frames.size(); ++k) {
        const Frame& f = file.Frames[k];
        SavedImage* image = GifMakeSavedImage(gif, nullptr);
        image->ImageDesc.Left = f.Left;
        image->ImageDesc.Top = f.Top;
        image->ImageDesc.Width = f.Width;
        image->ImageDesc.Height = f.Height;
        image->ImageDesc.Interlace = false;
        image->ImageDesc.ColorMap = nullptr;
        image->RasterBits = static_cast<GifByteType*>(malloc(f.Indices.size()));
        std::memcpy(image->RasterBits, f.Indices.data(), f.Indices.size());
        const int index = static_cast<int>(k);
        if (k == 0 && file.Looping) {
            unsigned char id[] = "NETSCAPE2.0";
            unsigned char loop[] = {1, static_cast<unsigned char>(file.Loops & 0xFF),
                                    static_cast<unsigned char>(file.Loops >> 8)};
            GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks,
                                 APPLICATION_EXT_FUNC_CODE, 11, id);
            GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks, CONTINUE_EXT_FUNC_CODE,
                                 3, loop);
        }
        if (f.Delay >= 0) {
            GraphicsControlBlock gcb;
            gcb.DisposalMode = f.Disposal;
            gcb.UserInputFlag = false;
            gcb.DelayTime = f.Delay;
            gcb.TransparentColor = f.TransparentIndex;
            EGifGCBToSavedExtension(&gcb, gif, index);
        }
    }
    EGifSetGifVersion(gif, true);
    // EGifSpew closes the file and frees the handle but not the frames or the screen's colour map.
    GifFileType owned{};
    owned.SavedImages = gif->SavedImages;
    owned.ImageCount = gif->ImageCount;
    ColorMapObject* screenMap = gif->SColorMap;
    const bool ok = EGifSpew(gif) == GIF_OK;
    GifFreeSavedImages(&owned);
    GifFreeMapObject(screenMap);
    return ok;
}

uint32_t DecodedFrame::ColorAt(int x, int y) const {
    const int i = Base.Indices[static_cast<size_t>(y) * Base.Width + x];
    return i < static_cast<int>(Palette.size()) ? Palette[i] : 0xFFFFFFFFu;
}

Decoded Read(const std::string& path) {
    Decoded out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return out;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return out;
    }
    out.Width = gif->SWidth;
    out.Height = gif->SHeight;
    auto palette = [](const ColorMapObject* map) {
        std::vector<uint32_t> p;
        if (map)
            for (int i = 0; i < map->ColorCount; ++i)
                p.push_back((map->Colors[i].Red << 16) | (map->Colors[i].Green << 8) | map->Colors[i].Blue);
        return p;
    };
    out.GlobalPalette = palette(gif->SColorMap);
    for (int k = 0; k < gif->ImageCount; ++k) {
        const SavedImage& image = gif->SavedImages[k];
        DecodedFrame f;
        f.Base.Left = image.ImageDesc.Left;
        f.Base.Top = image.ImageDesc.Top;
        f.Base.Width = image.ImageDesc.Width;
        f.Base.Height = image.ImageDesc.Height;
        f.Base.Indices.assign(image.RasterBits, image.RasterBits + f.Base.Width * f.Base.Height);
        f.Palette = image.ImageDesc.ColorMap ? palette(image.ImageDesc.ColorMap) : out.GlobalPalette;
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == CONTINUE_EXT_FUNC_CODE) {
                const bool afterLoop = !f.ApplicationIds.empty() && f.ApplicationIds.back() == "NETSCAPE2.0";
                if (afterLoop && block.ByteCount >= 3 && block.Bytes[0] == 1)
                    f.Loops = block.Bytes[1] | (block.Bytes[2] << 8);
                continue;
            }
            f.ExtensionCodes.push_back(block.Function);
            if (block.Function == APPLICATION_EXT_FUNC_CODE)
                f.ApplicationIds.emplace_back(reinterpret_cast<const char*>(block.Bytes), block.ByteCount);
        }
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, k, &gcb) == GIF_OK) {
            for (int code : f.ExtensionCodes)
                f.HasControl = f.HasControl || code == GRAPHICS_EXT_FUNC_CODE;
            if (f.HasControl) {
                f.Base.Delay = gcb.DelayTime;
                f.Base.Disposal = gcb.DisposalMode;
                f.Base.TransparentIndex = gcb.TransparentColor;
            }
        }
        out.Frames.push_back(std::move(f));
    }
    DGifCloseFile(gif, &error);
    out.Ok = true;
    return out;
}

} // namespace GifOracle
