#pragma once
// Encoders of GIF image data: the LZW Minimum Code Size byte, the codes packed least significant
// bit first into data sub-blocks, and the block terminator. TLZWEncoder is a classic LZW
// compressor; TRLEEncoder sends only single pixels and run codes.

#include <cstdint>

#include "GIFObject.h"
#include "GIFWriter.h"
#include "HashTable.h"

class TGIFEncoder {
  public:
    explicit TGIFEncoder(TGIFWarningEvent warning) : Warning_(std::move(warning)) {}
    virtual ~TGIFEncoder() = default;
    TGIFEncoder(const TGIFEncoder&) = delete;
    TGIFEncoder& operator=(const TGIFEncoder&) = delete;

    // Pixel values must be below colorLimit ("Color not in color table"); bitsPerPixel is raised
    // to at least 2. Rows are walked in interlace order when interlaced is set.
    void Compress(TStream& stream, int bitsPerPixel, int colorLimit, const std::uint8_t* pixels,
                  bool interlaced, int height, int width);

  protected:
    virtual void Output(int code) { OutputBits(code); }
    virtual void Clear() = 0;
    virtual void CompressBody() = 0;

    void OutputBits(int code) {
        Bucket_ = BitsInBucket_ == 0 ? static_cast<std::uint32_t>(code)
                                     : (static_cast<std::uint32_t>(code) << BitsInBucket_) |
                                           (Bucket_ & ((1u << BitsInBucket_) - 1));
        BitsInBucket_ += CodeWidth_;
        while (BitsInBucket_ >= 8) {
            Packer_->Put(static_cast<std::uint8_t>(Bucket_));
            Bucket_ >>= 8;
            BitsInBucket_ -= 8;
        }
        if (code == EndCode_ && BitsInBucket_ > 0) {
            Packer_->Put(static_cast<std::uint8_t>(Bucket_ & ((1u << BitsInBucket_) - 1)));
            Bucket_ = 0;
            BitsInBucket_ = 0;
        }
    }
    // The next pixel in walk order, or -1 when the image is done.
    int ReadPixel() {
        if (Done_) return -1;
        const int p = *Cursor_;
        if (--Countdown_ >= 1)
            ++Cursor_;
        else
            NextRow();
        return p;
    }
    void CheckPixel(int p) const {
        if (p >= ColorLimit_) ColorNotInTable();
    }
    [[noreturn]] static void ColorNotInTable();

    TGIFWarningEvent Warning_;
    int ColorLimit_ = 0;
    int BitsPerPixel_ = 0;
    int Width_ = 0;
    int Height_ = 0;
    bool Interlaced_ = false;
    const std::uint8_t* Pixels_ = nullptr;
    TGIFWriter* Packer_ = nullptr;
    std::uint32_t Bucket_ = 0;
    int BitsInBucket_ = 0;
    bool ClearPending_ = false;
    int CodeWidth_ = 0;
    int InitialCodeWidth_ = 0;
    int MaxCode_ = 0;
    int ClearCode_ = 0;
    int EndCode_ = 0;
    int FirstFreeCode_ = 0;

  private:
    void NextRow();
    const std::uint8_t* Cursor_ = nullptr;
    std::int64_t Countdown_ = 0;
    int Row_ = 0;
    int Pass_ = 0;
    bool Done_ = false;
};

class TLZWEncoder : public TGIFEncoder {
  public:
    using TGIFEncoder::TGIFEncoder;

  protected:
    void Output(int code) override { OutputCode(code); }
    void Clear() override;
    void CompressBody() override;

  private:
    void OutputCode(int code) {
        OutputBits(code);
        AdjustWidth(ClearPending_, CodeWidth_, MaxCode_, NextFreeCode_, InitialCodeWidth_);
    }
    // After a code is output: a clear code puts the width back to the initial one; otherwise the
    // width grows when the next free code no longer fits (at 12 bits the largest code is 4096).
    static void AdjustWidth(bool& clearPending, int& width, int& maxCode, int nextFree, int initialWidth) {
        if (clearPending) {
            width = initialWidth;
            maxCode = (1 << width) - 1;
            clearPending = false;
        } else if (nextFree > maxCode) {
            ++width;
            maxCode = width == 12 ? 4096 : (1 << width) - 1;
        }
    }
    // The first pixel, in walk order, that is not below the colour limit; the pixel count when
    // there is none.
    std::int64_t FirstPixelOutsideTable() const;
    // The LZW loop over the first stop pixels in walk order.
    template <bool BeyondRoots> void CompressPixels(std::int64_t stop);
    int Prefix_ = 0;
    int NextFreeCode_ = 0;
    THashTable* Table_ = nullptr; // this thread's table, for one run
};

class TRLEEncoder : public TGIFEncoder {
  public:
    using TGIFEncoder::TGIFEncoder;

  protected:
    void Clear() override;
    void CompressBody() override;

  private:
    void OutputPlain(int code);
    void FlushRun(int count);
    void FlushFromClear(int count);
    void FlushClearOrRepeat(int count);
    void FlushWithTable(int count);
    void ResetClearThreshold();
    static int TriangleCount(int count, int runCodes);

    int MaxRunCodes_ = 0;
    int BumpInit_ = 0;
    int ClearInit_ = 0;
    int Bump_ = 0;
    int ClearThreshold_ = 0;
    int Pixel_ = 0;
    int RunTableMax_ = 0;
    int RunTablePixel_ = 0;
    int OutputCount_ = 0;
};
