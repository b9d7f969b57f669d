#include "LZWDecoder.h"

#include <algorithm>
#include <cstring>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "Stream.h"

void TLZWDecoder::Warn(const char* text) const {
    if (Reporter_) Reporter_->ReportWarning(text);
}

void TLZWDecoder::Decode(TGIFSubImage& frame) {
    frame.AllocatePixels();
    int fill = 0;
    if (frame.Transparent() && frame.GraphicControlExtension())
        fill = frame.GraphicControlExtension()->TransparentColorIndex();
    if (fill != 0 && frame.PixelBytes() > 0) std::memset(frame.Pixels(), fill, frame.PixelBytes());
    Decode(frame.Pixels(), frame.PixelBytes() ? frame.Width() : 0, frame.PixelBytes() ? frame.Height() : 0,
           frame.IsInterlaced());
}

void TLZWDecoder::ResetTable() {
    for (int i = 0; i < ClearCode_; ++i) {
        Suffix_[i] = static_cast<std::uint8_t>(i);
        Prefix_[i] = 0;
    }
    std::memset(Prefix_ + ClearCode_, 0,
                sizeof(Prefix_[0]) * static_cast<std::size_t>(TableSize - ClearCode_));
    std::memset(Suffix_ + ClearCode_, 0, static_cast<std::size_t>(TableSize - ClearCode_));
    CodeSize_ = MinCodeSize_ + 1;
    GrowthLimit_ = 2 * ClearCode_;
    NextCode_ = ClearCode_ + 2;
    StackTop_ = 0;
}

// Reads the next sub-block behind the two carried bytes. False when the data has run out.
bool TLZWDecoder::Refill() {
    if (TerminatorSeen_) {
        if (Cursor_ >= ValidBits_) Warn(GIFText::BitBufferUnderrun);
        return false;
    }
    Buffer_[0] = Buffer_[ValidBytes_ - 2];
    Buffer_[1] = Buffer_[ValidBytes_ - 1];
    int size = Stream_.ReadByte();
    if (size < 0) return false;
    if (size == 0) {
        TerminatorSeen_ = true;
    } else {
        const std::int64_t left = Stream_.Remaining();
        if (size > left) {
            Warn(GIFText::PrematureEnd);
            size = static_cast<int>(left & 0xFF);
        }
        size = static_cast<int>(Stream_.Read(Buffer_ + 2, static_cast<std::size_t>(size)));
    }
    // Bits beyond the data read as 0.
    std::memset(Buffer_ + 2 + size, 0, 4);
    Cursor_ = Cursor_ - ValidBits_ + 16;
    ValidBytes_ = size + 2;
    ValidBits_ = ValidBytes_ * 8;
    return true;
}

int TLZWDecoder::FetchCode() {
    if (FirstRequest_) {
        FirstRequest_ = false;
        return ClearCode_;
    }
    const int s = CodeSize_;
    if (Cursor_ + s >= ValidBits_) {
        // Refill; very short sub-blocks may need more than one before the code is complete.
        do {
            if (!Refill()) return -1;
        } while (Cursor_ + s > ValidBits_ && !TerminatorSeen_);
    }
    const std::uint8_t* p = Buffer_ + (Cursor_ >> 3);
    const std::uint32_t raw = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
    const int code = static_cast<int>((raw >> (Cursor_ & 7)) & ((1u << s) - 1));
    Cursor_ += s;
    return code;
}

void TLZWDecoder::SkipToTerminator() {
    for (;;) {
        const int size = Stream_.ReadByte();
        if (size <= 0) return;
        Stream_.Skip(size);
    }
}

int TLZWDecoder::EndOfImage() {
    if (!TerminatorSeen_) {
        SkipToTerminator();
        TerminatorSeen_ = true; // the stream now stands after the terminator
    }
    return -2;
}

int TLZWDecoder::NextValue() {
    int code = FetchCode();
    if (code < 0) return -1;
    if (code == EndCode_) return EndOfImage();
    if (code == ClearCode_) {
        ResetTable();
        do
            code = FetchCode();
        while (code == ClearCode_);
        if (code < 0) return -1;
        // A clear code directly followed by the end code is an empty image, not a pixel.
        if (code == EndCode_) return EndOfImage();
        FirstValue_ = code;
        PreviousCode_ = code;
        return code;
    }
    const int incoming = code;
    if (code >= NextCode_) {
        Stack_[StackTop_++] = static_cast<std::uint8_t>(FirstValue_);
        code = PreviousCode_;
    }
    while (code >= ClearCode_) {
        // A valid table never yields a string longer than the table; a longer walk is a cycle.
        if (StackTop_ >= StackSize - 2 || Prefix_[code] == code)
            throw EGIFException(GIFText::CircularTableEntry);
        Stack_[StackTop_++] = Suffix_[code];
        code = Prefix_[code];
    }
    FirstValue_ = Suffix_[code];
    Stack_[StackTop_++] = static_cast<std::uint8_t>(FirstValue_);
    if (NextCode_ <= TableSize - 1) {
        Prefix_[NextCode_] = static_cast<std::uint16_t>(PreviousCode_);
        Suffix_[NextCode_] = static_cast<std::uint8_t>(FirstValue_);
        ++NextCode_;
        if (NextCode_ >= GrowthLimit_ && GrowthLimit_ <= TableSize - 1) {
            GrowthLimit_ *= 2;
            ++CodeSize_;
        }
    }
    PreviousCode_ = incoming;
    return Stack_[--StackTop_];
}

void TLZWDecoder::Decode(std::uint8_t* pixels, int width, int height, bool interlaced) {
    const int m = Stream_.ReadByte();
    if (m < 0) return;
    if (m > MaxCodeBits - 1) throw EGIFException(GIFText::InvalidCodeSize);
    MinCodeSize_ = m;
    ClearCode_ = 1 << m;
    EndCode_ = ClearCode_ + 1;
    CodeSize_ = m + 1;
    GrowthLimit_ = 2 * ClearCode_;
    NextCode_ = ClearCode_ + 2;
    Cursor_ = 0;
    ValidBits_ = 0;
    ValidBytes_ = 2;
    FirstRequest_ = true;
    TerminatorSeen_ = false;
    StackTop_ = 0;

    // Hands out up to n values into out; answers how many (fewer when the data stopped).
    auto fill = [this](std::uint8_t* out, int n) -> int {
        int i = 0;
        while (i < n) {
            if (StackTop_ > 0) {
                const int k = std::min(StackTop_, n - i);
                const std::uint8_t* top = Stack_ + StackTop_;
                for (int j = 0; j < k; ++j)
                    out[i + j] = *--top;
                StackTop_ -= k;
                i += k;
                continue;
            }
            const int v = NextValue();
            if (v < 0) {
                Finished_ = true;
                return i;
            }
            out[i++] = static_cast<std::uint8_t>(v);
        }
        return i;
    };

    bool complete = true;
    if (width > 0 && height > 0) {
        if (!interlaced) {
            const std::int64_t n = static_cast<std::int64_t>(width) * height;
            std::uint8_t* out = pixels;
            for (std::int64_t done = 0; done < n && complete;) {
                const int chunk = static_cast<int>(std::min<std::int64_t>(n - done, 1 << 30));
                complete = fill(out, chunk) == chunk;
                out += chunk;
                done += chunk;
            }
        } else {
            int row = 0, step = 8, pass = 0;
            for (int written = 0; written < height && complete; ++written) {
                complete = fill(pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(width),
                                width) == width;
                row += step;
                while (row >= height && pass < 3) {
                    ++pass;
                    if (pass > 1) step /= 2;
                    row = step / 2;
                }
            }
        }
    }
    // One more request consumes the end code after a complete image.
    if (!Finished_ && StackTop_ == 0) {
        if (NextValue() < 0) Finished_ = true;
    }
    // Whatever the data held, leave the stream right after the block terminator.
    if (!TerminatorSeen_) SkipToTerminator();
}
