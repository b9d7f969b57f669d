// imlpack: builds the control image file "images.iml" from the text pixel-art sources in
// assets/ (formats described in assets/README.md).
//
//   imlpack [--dump DIR] MANIFEST OUTPUT
//   imlpack --icon ITEM PICTURE SIZE MANIFEST OUTPUT.png
//
// --dump also writes every picture as DIR/<item>_<picture>.pam (RGB_ALPHA) for viewing.
// --icon writes one picture as a SIZE x SIZE PNG for the desktop's icon theme: enlarged by whole
// pixels (SIZE a multiple of the picture's side), with the colour of its pixel (0, 0) transparent,
// as the program treats glyphs.

#include "ImageListFile.h"
#include "SafeFile.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using tindra::TImageListFile;
using tindra::TImageListItem;

namespace {

struct TSourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
    throw TSourceError(file + ":" + std::to_string(line) + ": " + what);
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

uint32_t ParseColour(const std::string& text, const std::string& file, int line) {
    if (text == "none") return 0;
    if (text.size() != 7 && text.size() != 9) Fail(file, line, "colour must be #RRGGBB, #AARRGGBB or none");
    if (text[0] != '#') Fail(file, line, "colour must start with #");
    uint32_t v = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else Fail(file, line, "bad hex digit in colour");
        v = v << 4 | static_cast<uint32_t>(d);
    }
    return text.size() == 7 ? 0xFF000000u | v : v;
}

// Reads one .pix file: palette lines and pictures of the item's size.
void ReadPictures(const std::string& path, TImageListItem& item) {
    std::ifstream in(path);
    if (!in) throw TSourceError(path + ": cannot open");
    std::map<char, uint32_t> palette;
    std::string raw;
    int line = 0;
    std::vector<uint32_t>* current = nullptr;
    int rows = 0;
    while (std::getline(in, raw)) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (current && rows < item.Height) {
            if (static_cast<int>(raw.size()) != item.Width)
                Fail(path, line, "row has " + std::to_string(raw.size()) + " pixels, expected " +
                                     std::to_string(item.Width));
            for (int x = 0; x < item.Width; ++x) {
                auto it = palette.find(raw[x]);
                if (it == palette.end()) Fail(path, line, std::string("undefined colour '") + raw[x] + "'");
                (*current)[static_cast<size_t>(rows) * item.Width + x] = it->second;
            }
            ++rows;
            continue;
        }
        const std::string text = Trim(raw);
        if (text.empty() || text[0] == '#') continue;
        std::istringstream words(text);
        std::string keyword;
        words >> keyword;
        if (keyword == "colour") {
            std::string symbol, value;
            words >> symbol >> value;
            if (symbol.size() != 1) Fail(path, line, "colour symbol must be one character");
            palette[symbol[0]] = ParseColour(value, path, line);
        } else if (keyword == "picture") {
            item.Pictures.emplace_back(static_cast<size_t>(item.Width) * item.Height, 0u);
            current = &item.Pictures.back();
            rows = 0;
        } else {
            Fail(path, line, "expected 'colour' or 'picture', got '" + keyword + "'");
        }
    }
    if (current && rows < item.Height) Fail(path, line, "picture ends early");
}

std::vector<TImageListItem> ReadManifest(const std::string& manifest) {
    std::ifstream in(manifest);
    if (!in) throw TSourceError(manifest + ": cannot open");
    const size_t slash = manifest.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : manifest.substr(0, slash + 1);
    std::vector<TImageListItem> items;
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string text = Trim(raw);
        if (text.empty() || text[0] == '#') continue;
        std::istringstream words(text);
        std::string keyword, file;
        TImageListItem item;
        words >> keyword >> item.Width >> item.Height >> file;
        if (keyword != "item" || !words || file.empty())
            Fail(manifest, line, "expected: item WIDTH HEIGHT FILE NAME");
        std::getline(words, item.Name);
        item.Name = Trim(item.Name);
        if (item.Width < 1 || item.Height < 1 || item.Width > TImageListFile::MaxSide ||
            item.Height > TImageListFile::MaxSide)
            Fail(manifest, line, "picture size out of range");
        ReadPictures(folder + file, item);
        items.push_back(std::move(item));
    }
    return items;
}

void Dump(const std::string& folder, const std::vector<TImageListItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        const TImageListItem& item = items[i];
        for (size_t p = 0; p < item.Pictures.size(); ++p) {
            const std::string path = folder + "/" + std::to_string(i) + "_" + std::to_string(p) + ".pam";
            const std::string head = "P7\nWIDTH " + std::to_string(item.Width) + "\nHEIGHT " +
                                     std::to_string(item.Height) +
                                     "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
            std::vector<uint8_t> bytes(head.begin(), head.end());
            for (uint32_t argb : item.Pictures[p])
                bytes.insert(bytes.end(), {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                                           static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)});
            TSafeFile::WriteAll(path, bytes); // throws TFileError (a runtime_error) when it fails
        }
    }
}

// Writes the icon PNG; returns an error text, empty on success.
std::string WriteIcon(const std::vector<TImageListItem>& items, int itemIndex, int pictureIndex, int size,
                      const std::string& path) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(items.size()))
        return "no item " + std::to_string(itemIndex);
    const TImageListItem& item = items[static_cast<size_t>(itemIndex)];
    if (pictureIndex < 0 || pictureIndex >= static_cast<int>(item.Pictures.size()))
        return "item " + std::to_string(itemIndex) + " has no picture " + std::to_string(pictureIndex);
    if (item.Width != item.Height || size < item.Width || size % item.Width != 0)
        return "size " + std::to_string(size) + " is not a whole multiple of the square picture's side";
    const int scale = size / item.Width;
    const uint32_t key = item.Pixel(pictureIndex, 0, 0);
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint32_t argb = item.Pixel(pictureIndex, x / scale, y / scale);
            uint8_t* px = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            const bool clear = argb == key;
            px[0] = clear ? 0 : static_cast<uint8_t>(argb >> 16);
            px[1] = clear ? 0 : static_cast<uint8_t>(argb >> 8);
            px[2] = clear ? 0 : static_cast<uint8_t>(argb);
            px[3] = clear ? 0 : static_cast<uint8_t>(argb >> 24);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
        const std::string message = image.message;
        png_image_free(&image);
        return "cannot write " + path + ": " + message;
    }
    return "";
}

bool ParseNumber(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > 4096) return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--icon") {
        int item = 0, picture = 0, size = 0;
        if (args.size() != 6 || !ParseNumber(args[1], item) || !ParseNumber(args[2], picture) ||
            !ParseNumber(args[3], size)) {
            std::cerr << "usage: imlpack --icon ITEM PICTURE SIZE MANIFEST OUTPUT.png\n";
            return 2;
        }
        try {
            const std::string error = WriteIcon(ReadManifest(args[4]), item, picture, size, args[5]);
            if (error.empty()) return 0;
            std::cerr << error << "\n";
        } catch (const TSourceError& e) {
            std::cerr << e.what() << "\n";
        }
        return 1;
    }
    std::string dump;
    if (args.size() >= 2 && args[0] == "--dump") {
        dump = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2) {
        std::cerr << "usage: imlpack [--dump DIR] MANIFEST OUTPUT\n"
                     "       imlpack --icon ITEM PICTURE SIZE MANIFEST OUTPUT.png\n";
        return 2;
    }
    try {
        const std::vector<TImageListItem> items = ReadManifest(args[0]);
        std::string error;
        if (!TImageListFile::Save(args[1], items, &error)) {
            std::cerr << args[1] << ": " << error << "\n";
            return 1;
        }
        if (!dump.empty()) Dump(dump, items);
    } catch (const std::runtime_error& e) { // a source error, or a dump file that could not be written
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
