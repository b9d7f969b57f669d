#pragma once
// Write-only streams for the encoders: TGIFWriter packs the bytes handed to it into data
// sub-blocks of at most 255 bytes on an output stream.

#include <cstdint>

#include "Stream.h"

// A stream that can only be written; reading or seeking raises "Invalid stream operation".
class TGIFStream : public TStream {
  public:
    std::size_t Read(void* buffer, std::size_t n) override;
    void SetPosition(std::int64_t position) override;
    std::int64_t Size() const override { return Written_; }
    std::int64_t Position() const override { return Written_; }

  protected:
    std::int64_t Written_ = 0;
};

class TGIFWriter : public TGIFStream {
  public:
    explicit TGIFWriter(TStream& output) : Output_(output) {}
    // Writes the last, partly filled sub-block.
    ~TGIFWriter() override;
    TGIFWriter(const TGIFWriter&) = delete;
    TGIFWriter& operator=(const TGIFWriter&) = delete;

    void Write(const void* buffer, std::size_t n) override;
    void Put(std::uint8_t b) {
        Block_[Fill_++] = b;
        ++Written_;
        if (Fill_ == 256) FlushBlock();
    }
    // Four bytes at once, the lowest first.
    void Put4(std::uint32_t bytes) {
        if (Fill_ <= 252) {
            Block_[Fill_] = static_cast<std::uint8_t>(bytes);
            Block_[Fill_ + 1] = static_cast<std::uint8_t>(bytes >> 8);
            Block_[Fill_ + 2] = static_cast<std::uint8_t>(bytes >> 16);
            Block_[Fill_ + 3] = static_cast<std::uint8_t>(bytes >> 24);
            Fill_ += 4;
            Written_ += 4;
            if (Fill_ == 256) FlushBlock();
        } else {
            for (int i = 0; i < 4; ++i, bytes >>= 8)
                Put(static_cast<std::uint8_t>(bytes));
        }
    }
    // Writes pending data as a sub-block (never an empty one).
    void Flush();

  private:
    void FlushBlock();
    TStream& Output_;
    std::uint8_t Block_[256]; // Block_[0] is the sub-block's length byte
    int Fill_ = 1;
};
