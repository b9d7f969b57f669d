#include "GIFWriter.h"

#include "GIFException.h"

std::size_t TGIFStream::Read(void*, std::size_t) {
    throw EGIFException(GIFText::InvalidStreamOperation);
}

void TGIFStream::SetPosition(std::int64_t) {
    throw EGIFException(GIFText::InvalidStreamOperation);
}

TGIFWriter::~TGIFWriter() {
    // Flushing from a destructor must not throw; Flush() is called explicitly on the normal path.
    try {
        Flush();
    } catch (...) {
    }
}

void TGIFWriter::Write(const void* buffer, std::size_t n) {
    const std::uint8_t* p = static_cast<const std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < n; ++i)
        Put(p[i]);
}

void TGIFWriter::FlushBlock() {
    Block_[0] = static_cast<std::uint8_t>(Fill_ - 1);
    Fill_ = 1;
    Output_.Write(Block_, static_cast<std::size_t>(Block_[0]) + 1);
}

void TGIFWriter::Flush() {
    if (Fill_ > 1) FlushBlock();
}
