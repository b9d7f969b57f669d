#include "ImageListFile.h"

#include "SafeFile.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tindra {

namespace {

constexpr char Magic[4] = {'T', 'I', 'M', 'L'};
constexpr uint16_t Version = 1;

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Bounds-checked cursor over the file's bytes.
class TReader {
public:
    TReader(const uint8_t* data, size_t size) : Data(data), Size(size) {}
    bool Has(size_t n) const { return n <= Size - Pos; }
    size_t Left() const { return Size - Pos; }
    uint8_t U8() { return Data[Pos++]; }
    uint16_t U16() {
        uint16_t v = static_cast<uint16_t>(Data[Pos] | (Data[Pos + 1] << 8));
        Pos += 2;
        return v;
    }
    const uint8_t* Take(size_t n) {
        const uint8_t* p = Data + Pos;
        Pos += n;
        return p;
    }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

bool Fail(std::string* error, const char* why, std::vector<TImageListItem>& items) {
    items.clear();
    if (error) *error = why;
    return false;
}

} // namespace

uint32_t TImageListFile::Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> TImageListFile::Encode(const std::vector<TImageListItem>& items) {
    if (items.size() > 0xFFFF) throw std::invalid_argument("too many image lists");
    std::vector<uint8_t> out(std::begin(Magic), std::end(Magic));
    PutU16(out, Version);
    PutU16(out, static_cast<uint32_t>(items.size()));
    for (const TImageListItem& item : items) {
        if (item.Name.size() > 255) throw std::invalid_argument("image list name too long");
        if (item.Width < 1 || item.Width > MaxSide || item.Height < 1 || item.Height > MaxSide)
            throw std::invalid_argument("picture size out of range in " + item.Name);
        if (item.Pictures.size() > static_cast<size_t>(MaxPictures))
            throw std::invalid_argument("too many pictures in " + item.Name);
        out.push_back(static_cast<uint8_t>(item.Name.size()));
        out.insert(out.end(), item.Name.begin(), item.Name.end());
        PutU16(out, static_cast<uint32_t>(item.Width));
        PutU16(out, static_cast<uint32_t>(item.Height));
        PutU16(out, static_cast<uint32_t>(item.Pictures.size()));
        const size_t pixels = static_cast<size_t>(item.Width) * item.Height;
        for (const std::vector<uint32_t>& picture : item.Pictures) {
            if (picture.size() != pixels) throw std::invalid_argument("wrong pixel count in " + item.Name);
            for (uint32_t argb : picture) {
                out.push_back(static_cast<uint8_t>(argb >> 16)); // R
                out.push_back(static_cast<uint8_t>(argb >> 8));  // G
                out.push_back(static_cast<uint8_t>(argb));       // B
                out.push_back(static_cast<uint8_t>(argb >> 24)); // A
            }
        }
    }
    PutU32(out, Crc32(out.data(), out.size()));
    return out;
}

bool TImageListFile::Decode(const std::vector<uint8_t>& data, std::vector<TImageListItem>& items,
                            std::string* error) {
    items.clear();
    if (data.size() < 12) return Fail(error, "file too short", items);
    const size_t body = data.size() - 4;
    const uint32_t stored = static_cast<uint32_t>(data[body]) | static_cast<uint32_t>(data[body + 1]) << 8 |
                            static_cast<uint32_t>(data[body + 2]) << 16 |
                            static_cast<uint32_t>(data[body + 3]) << 24;
    if (!std::equal(std::begin(Magic), std::end(Magic), data.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
        return Fail(error, "not an image list file", items);
    if (Crc32(data.data(), body) != stored) return Fail(error, "checksum mismatch", items);

    TReader in(data.data() + 4, body - 4);
    const uint16_t version = in.U16();
    if (version != Version) return Fail(error, "unsupported version", items);
    const uint16_t count = in.U16();
    std::vector<TImageListItem> result;
    result.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        if (!in.Has(1)) return Fail(error, "truncated item header", items);
        const size_t nameLength = in.U8();
        if (!in.Has(nameLength + 6)) return Fail(error, "truncated item header", items);
        TImageListItem item;
        const uint8_t* name = in.Take(nameLength);
        item.Name.assign(name, name + nameLength);
        item.Width = in.U16();
        item.Height = in.U16();
        const int pictures = in.U16();
        if (item.Width < 1 || item.Width > MaxSide || item.Height < 1 || item.Height > MaxSide ||
            pictures > MaxPictures)
            return Fail(error, "picture size out of range", items);
        const size_t pixels = static_cast<size_t>(item.Width) * item.Height;
        // Check the whole item fits before allocating anything for it.
        if (in.Left() / 4 / pixels < static_cast<size_t>(pictures))
            return Fail(error, "truncated pixel data", items);
        item.Pictures.resize(pictures);
        for (std::vector<uint32_t>& picture : item.Pictures) {
            picture.resize(pixels);
            const uint8_t* p = in.Take(pixels * 4);
            for (size_t k = 0; k < pixels; ++k, p += 4)
                picture[k] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                             static_cast<uint32_t>(p[1]) << 8 | p[2];
        }
        result.push_back(std::move(item));
    }
    if (in.Left() != 0) return Fail(error, "trailing bytes", items);
    items = std::move(result);
    return true;
}

bool TImageListFile::Load(const std::string& path, std::vector<TImageListItem>& items, std::string* error) {
    items.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) return Fail(error, "cannot open file", items);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return Fail(error, "read error", items);
    return Decode(data, items, error);
}

bool TImageListFile::Save(const std::string& path, const std::vector<TImageListItem>& items,
                          std::string* error) {
    std::vector<uint8_t> data;
    try {
        data = Encode(items);
    } catch (const std::invalid_argument& e) {
        if (error) *error = e.what();
        return false;
    }
    try {
        TSafeFile::WriteAll(path, data); // the old file stays as it was when the write fails
    } catch (const TFileError& e) {
        if (error) *error = e.what();
        return false;
    }
    return true;
}

} // namespace tindra
