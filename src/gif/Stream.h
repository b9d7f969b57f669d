#pragma once
// Byte streams the codec reads from and writes to: an abstract stream with a position, a growable
// in-memory stream and a file stream for reading.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class TStream {
  public:
    virtual ~TStream() = default;

    // Reads up to n bytes; answers how many arrived (fewer only at the end of the data).
    virtual std::size_t Read(void* buffer, std::size_t n) = 0;
    // Writes all n bytes or throws.
    virtual void Write(const void* buffer, std::size_t n) = 0;
    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;
    virtual std::int64_t Size() const = 0;

    // One byte, or -1 at the end of the data.
    int ReadByte() {
        std::uint8_t b;
        return Read(&b, 1) == 1 ? b : -1;
    }
    void WriteByte(std::uint8_t b) { Write(&b, 1); }
    void Seek(std::int64_t offset) { SetPosition(Position() + offset); }
    // Moves forward by n bytes, stopping at the end of the data.
    void Skip(std::int64_t n);
    std::int64_t Remaining() const {
        const std::int64_t r = Size() - Position();
        return r > 0 ? r : 0;
    }
};

// A stream over a byte vector; writing past the end grows it.
class TMemoryStream : public TStream {
  public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> data) : Data_(std::move(data)) {}
    TMemoryStream(const std::uint8_t* data, std::size_t size) : Data_(data, data + size) {}

    std::size_t Read(void* buffer, std::size_t n) override;
    void Write(const void* buffer, std::size_t n) override;
    std::int64_t Position() const override { return Position_; }
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(Data_.size()); }

    const std::vector<std::uint8_t>& Data() const { return Data_; }
    std::vector<std::uint8_t> TakeData() { return std::move(Data_); }
    void Clear() {
        Data_.clear();
        Position_ = 0;
    }

  private:
    std::vector<std::uint8_t> Data_;
    std::int64_t Position_ = 0;
};

// A file opened for reading; errors raise std::runtime_error. Files are written only through the safe
// writer (TSafeFile), never through a stream on the target, so writing here raises
// "Invalid stream operation".
class TFileStream : public TStream {
  public:
    explicit TFileStream(const std::string& path);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t n) override;
    void Write(const void* buffer, std::size_t n) override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override;

  private:
    std::FILE* File_ = nullptr;
    std::string Path_;
};

// Reads a whole file into memory (raises std::runtime_error when it cannot be read).
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
