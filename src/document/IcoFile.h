#pragma once
// Reading icon files (ICO) without any platform help.
//
// An icon file holds a directory of images. Read takes the image whose directory entry is 32 × 32 with the
// most colours (the size the editor edits); when there is none, the first image, so the caller can refuse
// it by its size. Images stored as BMP data (1, 4, 8, 24 and 32 bits with the AND mask) and as PNG (up to
// 256 × 256) are decoded. Transparent pixels (AND mask bit set, or alpha 0 in a 32-bit or PNG image) are
// marked in TPixelImage::Transparent; the partly transparent pixels of such an image keep
// their alpha in the top byte (every other pixel has 0xFF there).

#include "BmpFile.h"
#include "PixelImage.h"

#include <string>
#include <vector>

class TIcoFile {
  public:
    static TPixelImage Decode(const std::vector<uint8_t>& data);
    static TPixelImage Read(const std::string& path);
};
