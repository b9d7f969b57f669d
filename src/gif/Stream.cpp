#include "Stream.h"

#include "GIFException.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

void TStream::Skip(std::int64_t n) {
    if (n <= 0) return;
    SetPosition(Position() + std::min(n, Remaining()));
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t n) {
    const std::int64_t size = Size();
    if (Position_ >= size || n == 0) return 0;
    const std::size_t avail = static_cast<std::size_t>(size - Position_);
    const std::size_t k = std::min(n, avail);
    std::memcpy(buffer, Data_.data() + Position_, k);
    Position_ += static_cast<std::int64_t>(k);
    return k;
}

void TMemoryStream::Write(const void* buffer, std::size_t n) {
    if (n == 0) return;
    const std::size_t end = static_cast<std::size_t>(Position_) + n;
    if (end > Data_.size()) Data_.resize(end);
    std::memcpy(Data_.data() + Position_, buffer, n);
    Position_ = static_cast<std::int64_t>(end);
}

void TMemoryStream::SetPosition(std::int64_t position) {
    Position_ = std::max<std::int64_t>(0, position);
}

TFileStream::TFileStream(const std::string& path) : Path_(path) {
    File_ = std::fopen(path.c_str(), "rb");
    if (!File_) throw std::runtime_error("Cannot open file " + path);
}

TFileStream::~TFileStream() {
    if (File_) std::fclose(File_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t n) {
    return std::fread(buffer, 1, n, File_);
}

void TFileStream::Write(const void*, std::size_t) {
    throw EGIFException(GIFText::InvalidStreamOperation);
}

std::int64_t TFileStream::Position() const {
    return static_cast<std::int64_t>(std::ftell(File_));
}

void TFileStream::SetPosition(std::int64_t position) {
    std::fseek(File_, static_cast<long>(std::max<std::int64_t>(0, position)), SEEK_SET);
}

std::int64_t TFileStream::Size() const {
    const long here = std::ftell(File_);
    std::fseek(File_, 0, SEEK_END);
    const long size = std::ftell(File_);
    std::fseek(File_, here, SEEK_SET);
    return size;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    TFileStream file(path);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(0, file.Size())));
    if (file.Read(data.data(), data.size()) != data.size())
        throw std::runtime_error("Cannot read file " + path);
    return data;
}
