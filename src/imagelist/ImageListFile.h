#pragma once
// The control image file "images.iml": an ordered set of image lists, each holding pictures
// of one size. This reader and writer use only the standard library so that the packer in
// tools/imlpack and the program share one definition of the format (see assets/README.md).
//
// Layout, all numbers little-endian:
//   "TIML"                        magic
//   u16 version (1), u16 item count
//   per item: u8 name length, name bytes (UTF-8), u16 width, u16 height, u16 picture count,
//             then count * height * width pixels, rows top first, 4 bytes each: R, G, B, A
//   u32 CRC-32 (IEEE 802.3) of every byte before it
// Anything else (short data, wrong magic or version, bad checksum, trailing bytes, sizes out
// of range) makes the file unreadable as a whole.

#include <cstdint>
#include <string>
#include <vector>

namespace tindra {

// One list of equally sized pictures; pixels are 0xAARRGGBB, rows top first.
struct TImageListItem {
    std::string Name;
    int Width = 0;
    int Height = 0;
    std::vector<std::vector<uint32_t>> Pictures;

    uint32_t Pixel(int picture, int x, int y) const { return Pictures[picture][y * Width + x]; }
};

class TImageListFile {
public:
    static constexpr int MaxSide = 1024;
    static constexpr int MaxPictures = 4096;

    // Serialises the items; throws std::invalid_argument for items out of range or pictures of
    // the wrong pixel count.
    static std::vector<uint8_t> Encode(const std::vector<TImageListItem>& items);

    // Parses `data`; on failure returns false, leaves `items` empty and says why in `error`.
    static bool Decode(const std::vector<uint8_t>& data, std::vector<TImageListItem>& items,
                       std::string* error = nullptr);

    static bool Load(const std::string& path, std::vector<TImageListItem>& items,
                     std::string* error = nullptr);
    static bool Save(const std::string& path, const std::vector<TImageListItem>& items,
                     std::string* error = nullptr);

    static uint32_t Crc32(const uint8_t* data, size_t size);
};

} // namespace tindra
