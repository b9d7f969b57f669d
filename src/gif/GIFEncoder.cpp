#include "GIFEncoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

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

namespace {
// One string table per thread, kept empty between runs: a run takes it and clears what it used.
// (A run within a run on the same thread, which nothing does, would get a table of its own.)
struct TTableLease {
    THashTable* Table;
    bool Owned;
    TTableLease() {
        thread_local std::unique_ptr<THashTable> spare;
        thread_local bool busy = false;
        if (!busy) {
            if (!spare) spare = std::make_unique<THashTable>();
            busy = true;
            Busy = &busy;
            Table = spare.get();
            Owned = false;
        } else {
            Table = new THashTable();
            Owned = true;
        }
    }
    ~TTableLease() {
        if (Owned) {
            delete Table;
        } else {
            Table->Clear();
            *Busy = false;
        }
    }
    TTableLease(const TTableLease&) = delete;
    TTableLease& operator=(const TTableLease&) = delete;
    bool* Busy = nullptr;
};
} // namespace

void TLZWEncoder::Clear() {
    ClearPending_ = true;
    OutputCode(ClearCode_);
    Table_->Clear();
    NextFreeCode_ = ClearCode_ + 2;
}

std::int64_t TLZWEncoder::FirstPixelOutsideTable() const {
    const std::int64_t w = Width_, h = Height_;
    if (ColorLimit_ >= 256) return w * h;
    // Most often every pixel is fine: one pass for the highest value tells.
    std::uint8_t highest = 0;
    for (std::int64_t i = 0; i < w * h; ++i)
        highest = std::max(highest, Pixels_[i]);
    if (highest < ColorLimit_) return w * h;
    std::int64_t walked = 0;
    auto search = [&](const std::uint8_t* row, std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i)
            if (row[i] >= ColorLimit_) return walked + i;
        walked += n;
        return std::int64_t(-1);
    };
    if (!Interlaced_) return search(Pixels_, w * h);
    static const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (std::int64_t row = starts[pass]; row < h; row += steps[pass]) {
            const std::int64_t at = search(Pixels_ + row * w, w);
            if (at >= 0) return at;
        }
    return w * h;
}

void TLZWEncoder::CompressBody() {
    TTableLease lease;
    Table_ = lease.Table;
    Table_->SetRoots(ClearCode_);
    struct TForget {
        THashTable*& Table;
        ~TForget() { Table = nullptr; }
    } forget{Table_};
    Clear();
    const std::int64_t stop = FirstPixelOutsideTable();
    // Pixels beyond the code size's roots (only where the colour limit allows more colours than
    // the bits per pixel) are rare: they take the careful way.
    std::uint8_t highest = 0;
    for (std::int64_t i = 0, n = static_cast<std::int64_t>(Width_) * Height_; i < n; ++i)
        highest = std::max(highest, Pixels_[i]);
    if (highest < ClearCode_)
        CompressPixels<false>(stop);
    else
        CompressPixels<true>(stop);
}

template <bool BeyondRoots> void TLZWEncoder::CompressPixels(std::int64_t stop) {
    // The codes are those of the classic loop (read a pixel, check it against the colour limit,
    // extend the string or output it), taken over the rows in walk order with the state in locals
    // and the output bits gathered in a 64-bit bucket that hands the packer four bytes at a time.
    // A pixel outside the colour table ends the run where the classic loop raised, with every
    // complete byte handed to the packer by then.
    THashTable& table = *Table_;
    TGIFWriter& packer = *Packer_;
    std::uint64_t bucket = Bucket_;
    int bits = BitsInBucket_;
    int width = CodeWidth_, maxCode = MaxCode_, nextFree = NextFreeCode_;
    bool clearPending = ClearPending_;
    const int initialWidth = InitialCodeWidth_, clearCode = ClearCode_;
    const int endCode = EndCode_;
    auto output = [&](int code) {
        // Bits of a code above its width (a pixel beyond the roots) never reach the file: the
        // classic loop masked them away.
        const int bitsOfCode = BeyondRoots ? code & ((1 << width) - 1) : code;
        bucket |= static_cast<std::uint64_t>(bitsOfCode) << bits;
        bits += width;
        if (bits >= 32) {
            packer.Put4(static_cast<std::uint32_t>(bucket));
            bucket >>= 32;
            bits -= 32;
        }
        if constexpr (BeyondRoots) {
            if (code == endCode) {
                // A pixel equal to the end code flushes the bits so far as the end code does,
                // zero-padded to a whole byte.
                for (; bits >= 8; bits -= 8, bucket >>= 8)
                    packer.Put(static_cast<std::uint8_t>(bucket));
                if (bits > 0) packer.Put(static_cast<std::uint8_t>(bucket));
                bucket = 0;
                bits = 0;
            }
        }
        AdjustWidth(clearPending, width, maxCode, nextFree, initialWidth);
    };
    // Back to the members, with every complete byte handed to the packer, as the classic loop
    // leaves them.
    auto settle = [&] {
        for (; bits >= 8; bits -= 8, bucket >>= 8)
            packer.Put(static_cast<std::uint8_t>(bucket));
        Bucket_ = static_cast<std::uint32_t>(bucket);
        BitsInBucket_ = bits;
        CodeWidth_ = width;
        MaxCode_ = maxCode;
        ClearPending_ = clearPending;
        NextFreeCode_ = nextFree;
    };

    int prefix = 0;
    bool first = true;
    std::int64_t remaining = stop; // pixels to take; the one after them raises
    // Takes up to n pixels of one row in walk order (the whole frame when not interlaced).
    auto take = [&](const std::uint8_t* p, std::int64_t n) {
        n = std::min(n, remaining);
        remaining -= n;
        const std::uint8_t* const end = p + n;
        if (first && p < end) {
            prefix = *p++;
            first = false;
        }
        for (; p < end; ++p) {
            const int pixel = *p;
            unsigned free = 0;
            const int code = table.Find(prefix, pixel, free);
            if (code >= 0) {
                prefix = code;
                continue;
            }
            output(prefix);
            if (nextFree >= 4095) {
                clearPending = true;
                output(clearCode);
                table.Clear();
                nextFree = clearCode + 2;
            } else {
                table.Add(prefix, pixel, nextFree, free);
                ++nextFree;
            }
            prefix = pixel;
        }
    };
    const std::int64_t w = Width_, h = Height_;
    if (!Interlaced_) {
        take(Pixels_, w * h);
    } else {
        static const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (std::int64_t row = starts[pass]; row < h; row += steps[pass])
                take(Pixels_ + row * w, w);
    }
    if (stop < w * h) {
        settle();
        ColorNotInTable();
    }
    output(prefix);
    settle();
    Prefix_ = prefix;
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
