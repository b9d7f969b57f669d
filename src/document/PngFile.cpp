#include "PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

// libpng reports errors by longjmp to the setjmp of the function that called it. The two functions that
// call libpng below hold no object with a destructor between their setjmp and the calls (only plain
// pointers and numbers, marked volatile where they change after setjmp), so a jump leaks nothing and
// skips no destructor; everything they allocate is freed on both ways out.

namespace {

struct TMemoryReader {
    const uint8_t* Data;
    size_t Size;
    size_t At;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
    if (length > reader->Size - reader->At) png_error(png, "truncated");
    std::memcpy(out, reader->Data + reader->At, length);
    reader->At += length;
}

// Warnings (unknown chunks, a bad CRC in an ancillary chunk) do not stop reading.
void IgnoreWarning(png_structp, png_const_charp) {}
// An error ends the read or write at its setjmp, silently: the caller reports it.
[[noreturn]] void JumpOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

enum TReadStatus { ReadOk, ReadFailed, ReadTooLarge, ReadNoMemory };

// Reads the PNG into a malloc'ed block of width × height RGBA quads (*pixels, freed by the caller).
TReadStatus ReadRgba(const uint8_t* data, size_t size, const TPngFile::TLimits* limits, uint8_t** pixels,
                     png_uint_32* width, png_uint_32* height) {
    *pixels = nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (!png) return ReadNoMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return ReadNoMemory;
    }
    TMemoryReader reader{data, size, 0};
    uint8_t* volatile block = nullptr;
    png_bytep* volatile rows = nullptr;
    volatile TReadStatus status = ReadFailed;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, ReadFromMemory);
        // No chunk may hold more than the file itself; text and other chunks beyond 1 MB are refused.
        png_set_chunk_malloc_max(png, 1u << 20);
        png_set_user_limits(png, static_cast<png_uint_32>(limits->MaxWidth),
                            static_cast<png_uint_32>(limits->MaxHeight));
        png_read_info(png, info);
        const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
        if (w == 0 || h == 0 || w > static_cast<png_uint_32>(limits->MaxWidth) ||
            h > static_cast<png_uint_32>(limits->MaxHeight) ||
            static_cast<std::int64_t>(w) * h > limits->MaxPixels) {
            status = ReadTooLarge;
        } else {
            const int colorType = png_get_color_type(png, info);
            const int depth = png_get_bit_depth(png, info);
            if (depth == 16) png_set_scale_16(png);
            if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
            if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
            if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
            if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
                png_set_gray_to_rgb(png);
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER); // no effect where alpha is already there
            png_set_interlace_handling(png);
            png_read_update_info(png, info);
            if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4) {
                status = ReadFailed;
            } else {
                block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h * 4));
                rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * h));
                if (!block || !rows) {
                    status = ReadNoMemory;
                } else {
                    for (png_uint_32 y = 0; y < h; ++y)
                        rows[y] = block + static_cast<size_t>(y) * w * 4;
                    png_read_image(png, rows);
                    png_read_end(png, nullptr);
                    *width = w;
                    *height = h;
                    status = ReadOk;
                }
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    if (status == ReadOk) {
        *pixels = block;
    } else {
        std::free(block);
    }
    return status;
}

struct TMemoryWriter {
    uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Capacity = 0;
    bool Failed = false;
};

void WriteToMemory(png_structp png, png_bytep bytes, png_size_t length) {
    auto* w = static_cast<TMemoryWriter*>(png_get_io_ptr(png));
    if (w->Size + length > w->Capacity) {
        size_t capacity = w->Capacity ? w->Capacity : 4096;
        while (capacity < w->Size + length)
            capacity *= 2;
        auto* grown = static_cast<uint8_t*>(std::realloc(w->Data, capacity));
        if (!grown) {
            w->Failed = true;
            png_error(png, "out of memory");
        }
        w->Data = grown;
        w->Capacity = capacity;
    }
    std::memcpy(w->Data + w->Size, bytes, length);
    w->Size += length;
}

void FlushMemory(png_structp) {}

// Writes width × height rows of channels bytes a pixel (3 RGB, 4 RGBA) into writer; false on an error.
bool WritePng(const uint8_t* pixels, int width, int height, int channels, TMemoryWriter* writer) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, writer, WriteToMemory, FlushMemory);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, pixels + static_cast<size_t>(y) * width * channels);
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return ok;
}

} // namespace

bool TPngFile::IsPng(const std::vector<uint8_t>& data) {
    return data.size() >= 8 && png_sig_cmp(data.data(), 0, 8) == 0;
}

TPixelImage TPngFile::Decode(const std::vector<uint8_t>& data, const TLimits& limits) {
    if (!IsPng(data)) throw TPngError("not a PNG file");
    uint8_t* rgba = nullptr;
    png_uint_32 w = 0, h = 0;
    switch (ReadRgba(data.data(), data.size(), &limits, &rgba, &w, &h)) {
    case ReadOk:
        break;
    case ReadTooLarge:
        throw TPngError("PNG picture too large");
    case ReadNoMemory:
        throw TPngError("out of memory reading PNG");
    default:
        throw TPngError("damaged PNG file");
    }
    TPixelImage image;
    try {
        image = TPixelImage(static_cast<int>(w), static_cast<int>(h));
    } catch (...) {
        std::free(rgba);
        throw;
    }
    for (size_t i = 0; i < image.Pixels.size(); ++i) {
        const uint8_t* p = rgba + 4 * i;
        image.Pixels[i] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    std::free(rgba);
    return image;
}

std::vector<uint8_t> TPngFile::Encode(const TPixelImage& image, bool withAlpha) {
    const int channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> rows(image.Pixels.size() * channels);
    for (size_t i = 0; i < image.Pixels.size(); ++i) {
        const uint32_t c = image.Pixels[i];
        uint8_t* p = rows.data() + i * channels;
        p[0] = uint8_t(c >> 16);
        p[1] = uint8_t(c >> 8);
        p[2] = uint8_t(c);
        if (withAlpha) p[3] = uint8_t(c >> 24);
    }
    TMemoryWriter writer;
    const bool ok = WritePng(rows.data(), image.Width, image.Height, channels, &writer);
    std::vector<uint8_t> out;
    if (ok) out.assign(writer.Data, writer.Data + writer.Size);
    std::free(writer.Data);
    if (!ok) throw TPngError("PNG could not be written");
    return out;
}
