#include "GIFEncoder.h"

#include <algorithm>
#include <cstring>

#include "GIFException.h"

void TGIFEncoder::Compress(TStream& stream, int bitsPerPixel, int colorLimit, const std::uint8_t* pixels,
                           bool interlaced, int height, int width) {
    BitsPerPixel_ = std::clamp(bitsPerPixel, 2, 8);
    stream.WriteByte(static_cast<std::uint8_t>(BitsPerPixel_));
    ColorLimit_ = colorLimit;
    Pixels_ = pixels;
    Interlaced_ = interlaced;
    Width_ = width;
    Height_ = height;
    InitialCodeWidth_ = BitsPerPixel_ + 1;
    CodeWidth_ = InitialCodeWidth_;
    MaxCode_ = (1 << CodeWidth_) - 1;
    ClearCode_ = 1 << BitsPerPixel_;
    EndCode_ = ClearCode_ + 1;
    FirstFreeCode_ = ClearCode_ + 2;
    Bucket_ = 0;
    BitsInBucket_ = 0;
    Countdown_ = interlaced ? width : static_cast<std::int64_t>(width) * height;
    Row_ = 0;
    Pass_ = 0;
    Cursor_ = pixels;
    Done_ = false;
    TGIFWriter packer(stream);
    Packer_ = &packer;
    if (pixels && width > 0 && height > 0) CompressBody();
    Output(EndCode_);
    packer.Flush();
    Packer_ = nullptr;
    stream.WriteByte(0);
}

void TGIFEncoder::ColorNotInTable() {
    throw EGIFException(GIFText::ColorNotInTable);
}

void TGIFEncoder::NextRow() {
    if (!Interlaced_) {
        Done_ = true;
        return;
    }
    Countdown_ = Width_;
    static const int steps[4] = {8, 8, 4, 2};
    static const int starts[4] = {0, 4, 2, 1};
    Row_ += steps[Pass_];
    while (Row_ >= Height_) {
        if (++Pass_ > 3) {
            Done_ = true;
            return;
        }
        Row_ = starts[Pass_];
    }
    Cursor_ = Pixels_ + static_cast<std::size_t>(Row_) * static_cast<std::size_t>(Width_);
}

// LZW -------------------------------------------------------------------------------------------

void TLZWEncoder::Clear() {
    ClearPending_ = true;
    OutputCode(ClearCode_);
    Table_->Clear();
    std::memset(Recent_->Pixel, 0xFF, sizeof(Recent_->Pixel));
    NextFreeCode_ = ClearCode_ + 2;
}

void TLZWEncoder::CompressBody() {
    Table_ = std::make_unique<THashTable>();
    Recent_ = std::make_unique<TRecent>();
    struct TFree {
        TLZWEncoder& Encoder;
        ~TFree() {
            Encoder.Table_.reset();
            Encoder.Recent_.reset();
        }
    } freeTables{*this};
    Clear();
    Prefix_ = ReadPixel();
    CheckPixel(Prefix_);
    std::int16_t* recentPixel = Recent_->Pixel;
    std::uint16_t* recentCode = Recent_->Code;
    for (int p = ReadPixel(); p >= 0; p = ReadPixel()) {
        CheckPixel(p);
        if (recentPixel[Prefix_] == p) {
            Prefix_ = recentCode[Prefix_];
            continue;
        }
        const std::uint32_t key = (static_cast<std::uint32_t>(Prefix_) << 8) | static_cast<std::uint32_t>(p);
        const int code = Table_->Lookup(key);
        if (code >= 0) {
            recentPixel[Prefix_] = static_cast<std::int16_t>(p);
            recentCode[Prefix_] = static_cast<std::uint16_t>(code);
            Prefix_ = code;
            continue;
        }
        OutputCode(Prefix_);
        const int prefix = Prefix_;
        Prefix_ = p;
        if (NextFreeCode_ >= 4095) {
            Clear();
        } else {
            if (Table_->Insert(key, NextFreeCode_)) {
                recentPixel[prefix] = static_cast<std::int16_t>(p);
                recentCode[prefix] = static_cast<std::uint16_t>(NextFreeCode_);
            }
            ++NextFreeCode_;
        }
    }
    OutputCode(Prefix_);
}

// Run-length ------------------------------------------------------------------------------------

void TRLEEncoder::Clear() {
    Bump_ = BumpInit_;
    ClearThreshold_ = ClearInit_;
    OutputCount_ = 0;
    RunTableMax_ = 0;
    ClearPending_ = true;
    OutputBits(ClearCode_);
    CodeWidth_ = InitialCodeWidth_;
}

void TRLEEncoder::OutputPlain(int code) {
    ClearPending_ = false;
    OutputBits(code);
    ++OutputCount_;
    if (OutputCount_ >= Bump_) {
        ++CodeWidth_;
        Bump_ += 1 << (CodeWidth_ - 1);
    }
    if (OutputCount_ >= ClearThreshold_) Clear();
}

// Codes needed to build up a run of count pixels with at most runCodes run codes.
int TRLEEncoder::TriangleCount(int count, int runCodes) {
    int cost = 0;
    const int perRun = runCodes * (runCodes + 1) / 2;
    while (count >= perRun) {
        cost += runCodes;
        count -= perRun;
    }
    if (count > 0) {
        int n = 0;
        while (n * (n + 1) < 2 * count)
            ++n;
        cost += n;
    }
    return cost;
}

void TRLEEncoder::ResetClearThreshold() {
    ClearThreshold_ = ClearInit_;
    if (OutputCount_ >= ClearThreshold_) Clear();
}

void TRLEEncoder::FlushFromClear(int count) {
    ClearThreshold_ = MaxRunCodes_;
    RunTablePixel_ = Pixel_;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            RunTableMax_ = 1;
            OutputPlain(Pixel_);
            --count;
        } else if (count >= n) {
            RunTableMax_ = n;
            OutputPlain(FirstFreeCode_ + n - 2);
            count -= n;
        } else if (count == 1) {
            ++RunTableMax_;
            OutputPlain(Pixel_);
            count = 0;
        } else {
            ++RunTableMax_;
            OutputPlain(FirstFreeCode_ + count - 2);
            count = 0;
        }
        n = OutputCount_ == 0 ? 1 : n + 1;
    }
    ResetClearThreshold();
}

void TRLEEncoder::FlushClearOrRepeat(int count) {
    const int withClear = 1 + TriangleCount(count, MaxRunCodes_);
    if (withClear < count) {
        Clear();
        FlushFromClear(count);
    } else {
        for (; count > 0; --count)
            OutputPlain(Pixel_);
    }
}

void TRLEEncoder::FlushWithTable(int count) {
    int repeats = count / RunTableMax_;
    int leftover = count % RunTableMax_;
    int leftCodes = leftover ? 1 : 0;
    if (OutputCount_ + repeats + leftCodes > MaxRunCodes_) {
        repeats = MaxRunCodes_ - OutputCount_;
        leftover = count - repeats * RunTableMax_;
        leftCodes = 1 + TriangleCount(leftover, MaxRunCodes_);
    }
    if (1 + TriangleCount(count, MaxRunCodes_) < repeats + leftCodes) {
        Clear();
        FlushFromClear(count);
        return;
    }
    ClearThreshold_ = MaxRunCodes_;
    for (; repeats > 0; --repeats)
        OutputPlain(FirstFreeCode_ + RunTableMax_ - 2);
    if (leftover) {
        if (ClearPending_)
            FlushFromClear(leftover);
        else if (leftover == 1)
            OutputPlain(Pixel_);
        else
            OutputPlain(FirstFreeCode_ + leftover - 2);
    }
    ResetClearThreshold();
}

void TRLEEncoder::FlushRun(int count) {
    if (count == 1) {
        OutputPlain(Pixel_);
    } else if (ClearPending_) {
        FlushFromClear(count);
    } else if (RunTableMax_ < 2 || RunTablePixel_ != Pixel_) {
        FlushClearOrRepeat(count);
    } else {
        FlushWithTable(count);
    }
}

void TRLEEncoder::CompressBody() {
    BumpInit_ = ClearCode_ - 1;
    ClearInit_ = BitsPerPixel_ > 3 ? ClearCode_ - 2 : 9;
    MaxRunCodes_ = 4095 - FirstFreeCode_;
    Clear();
    int count = 0;
    for (int p = ReadPixel(); p >= 0; p = ReadPixel()) {
        CheckPixel(p);
        if (count > 0 && p != Pixel_) {
            FlushRun(count);
            count = 0;
        }
        if (count == 0) Pixel_ = p;
        ++count;
    }
    if (count > 0) FlushRun(count);
}
