#include "DIB.h"

#include <new>

#include "PlatformError.h"

TDIBReader::TDIBReader(TBitmap& bitmap, TPixelFormat format) : TDIB(bitmap, format) {
    bitmap.SetPixelFormat(format);
}

std::uint8_t* TDIBReader::RowPointer(int row) {
    return Bitmap_.ScanLine(row);
}

TDIBWriter::TDIBWriter(TBitmap& result, TPixelFormat format, int width, int height, const TPalette& palette)
    : TDIB(result, format), Width_(width), Height_(height) {
    if (format != pf8bit && format != pf24bit) throw EInvalidGraphic("Unsupported PixelFormat");
    if (width <= 0 || height <= 0) throw EInvalidGraphic("Invalid image dimensions");
    if (format == pf8bit) {
        Palette_ = palette;
        Palette_.Resize(256); // the palette's entries in order, then black
    } else {
        Palette_ = palette;
    }
}

TDIBWriter::~TDIBWriter() {
    Finish();
}

std::uint8_t* TDIBWriter::RowPointer(int row) {
    if (!Allocated_) {
        try {
            Work_ = TBitmap(Width_, Height_, Format_);
        } catch (const EOutOfResources&) {
            throw EOutOfResources("Failed to allocate memory for GIF DIB");
        } catch (const std::bad_alloc&) {
            throw EOutOfResources("Failed to allocate memory for GIF DIB");
        }
        Work_.SetPalette(Palette_);
        Allocated_ = true;
    }
    if (Work_.Empty()) throw EInvalidGraphic("Image has no DIB");
    if (row < 0 || row >= Height_) throw EInvalidGraphic("Scan line index out of range");
    return Work_.ScanLine(row);
}

void TDIBWriter::Finish() {
    if (Finished_) return;
    Finished_ = true;
    if (Allocated_) Bitmap_ = std::move(Work_);
}
