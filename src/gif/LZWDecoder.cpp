#include "LZWDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
    // Entries at or above NextCode_ read as 0 (Defined), so nothing is wiped here.
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

int TLZWDecoder::WalkString(int code, std::size_t start) {
    const int incoming = code;
    const int oldNext = NextCode_;
    const std::uint8_t oldFirst = static_cast<std::uint8_t>(FirstValue_);
    StackTop_ = 0;
    WalkMetUndefined_ = false;
    const bool beyond = code >= NextCode_;
    if (beyond) {
        // The string-plus-its-own-first-value case, and any code beyond the table end.
        Stack_[StackTop_++] = oldFirst;
        code = PreviousCode_;
    }
    while (code >= ClearCode_) {
        const int prefix = PrefixOf(code);
        // A valid table never yields a string longer than the table; a longer walk is a cycle.
        if (StackTop_ >= StackSize - 2 || prefix == code) throw EGIFException(GIFText::CircularTableEntry);
        if (code >= NextCode_) WalkMetUndefined_ = true;
        Stack_[StackTop_++] = SuffixOf(code);
        code = prefix;
    }
    const std::uint8_t first = static_cast<std::uint8_t>(code);
    Stack_[StackTop_++] = first;
    if (NextCode_ <= TableSize - 1) {
        Table_[NextCode_] = MakeEntry(PreviousCode_, first, PreviousCopied_, PreviousStart_,
                                      static_cast<std::size_t>(PreviousLength_));
        ++NextCode_;
        if (NextCode_ >= GrowthLimit_ && GrowthLimit_ <= TableSize - 1) {
            GrowthLimit_ *= 2;
            ++CodeSize_;
        }
    }
    // The string just output is the table's string of the incoming code, now and until the next
    // clear, unless the walk went through an entry still to be made (which will change it) or the
    // code was beyond the table and its entry came out different from what was output.
    if (!beyond)
        PreviousCopied_ = !WalkMetUndefined_;
    else
        PreviousCopied_ =
            incoming == oldNext && oldNext <= TableSize - 1 && !WalkMetUndefined_ && oldFirst == first;
    PreviousStart_ = start;
    PreviousLength_ = StackTop_;
    PreviousCode_ = incoming;
    FirstValue_ = first;
    return StackTop_;
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
        PreviousCopied_ = false;
        return code;
    }
    WalkString(code, PreviousStart_ + static_cast<std::size_t>(PreviousLength_));
    return Stack_[--StackTop_];
}

namespace {
// Copies len bytes of an earlier string of the output (src + len <= dst); room is what is left of
// the image from dst on. When whole 8-byte words fit, they are copied: the bytes written past len
// are taken over by the strings that follow, or put back to the fill value when decoding stops.
inline void CopyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t len, std::size_t room) {
    if (len + 7 <= room) {
        for (std::size_t i = 0; i < len; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, src + i, 8);
            std::memcpy(dst + i, &word, 8);
        }
    } else {
        std::memcpy(dst, src, std::min(len, room));
    }
}
} // namespace

void TLZWDecoder::DecodeInto(std::uint8_t* const out, const std::size_t n) {
    const std::uint8_t fill = out[0];
    Out_ = out;
    std::size_t o = 0;      // next output position
    bool straddled = false; // the last string did not fit: the pull decoder would still hold values

    // The hot state in locals (stores to the output may alias any member), written back before
    // anything that works on the members and read again after it. The previous string always ends
    // where this one starts (so it starts at o - prevLen), its first value is the first value the
    // pull decoder keeps, and the code width's growth limit is 2^codeSize.
    const int clear = ClearCode_;
    int cursor = 0, validBits = 0, codeSize = 0, nextCode = 0, previous = 0;
    bool copied = false;
    std::size_t prevLen = 0;
    auto load = [&] {
        cursor = Cursor_;
        validBits = ValidBits_;
        codeSize = CodeSize_;
        nextCode = NextCode_;
        previous = PreviousCode_;
        copied = PreviousCopied_;
        prevLen = static_cast<std::size_t>(PreviousLength_);
    };
    auto save = [&] {
        Cursor_ = cursor;
        CodeSize_ = codeSize;
        GrowthLimit_ = 1 << codeSize;
        NextCode_ = nextCode;
        PreviousCode_ = previous;
        PreviousCopied_ = copied;
        PreviousLength_ = static_cast<int>(prevLen);
        PreviousStart_ = o - prevLen;
        if (prevLen > 0) FirstValue_ = out[o - prevLen];
    };

    // After a string that was not walked: the new entry (the previous string and this string's
    // first value), and this string becomes the previous one.
    auto enter = [&](int code, std::uint8_t head, std::size_t len) {
        if (nextCode <= TableSize - 1) {
            Table_[nextCode] = MakeEntry(previous, head, copied, o - prevLen, prevLen);
            ++nextCode;
            if (nextCode >= (1 << codeSize) && codeSize < MaxCodeBits) ++codeSize;
        }
        previous = code;
        copied = true;
        prevLen = len;
    };

    FirstRequest_ = false;
    int code = clear; // the first request answers the clear code
    load();
    try {
        for (;;) {
            const std::size_t room = n - o;
            std::size_t len;
            if (code < nextCode && Table_[code].Length != 0) {
                // An entry whose string stands earlier in the output, or a root met before.
                const TEntry entry = Table_[code];
                const std::uint8_t* src = out + entry.Start;
                len = entry.Length;
                CopyString(out + o, src, len, room);
                enter(code, *src, len);
            } else if (code < clear) {
                // A root met for the first time: from now on it is copied like an entry (one way
                // for roots and entries spares a branch that data makes hard to predict).
                out[o] = static_cast<std::uint8_t>(code);
                Table_[code] = TEntry{static_cast<std::uint32_t>(o), 1, 0};
                len = 1;
                enter(code, static_cast<std::uint8_t>(code), len);
            } else if (code == nextCode && copied) {
                // The previous string followed by its own first value.
                const std::uint8_t* src = out + (o - prevLen);
                const std::uint8_t head = *src;
                len = prevLen + 1;
                CopyString(out + o, src, prevLen, room);
                if (prevLen < room) out[o + prevLen] = head;
                enter(code, head, len);
            } else if (code == clear) {
                save();
                ResetTable();
                do
                    code = FetchCode();
                while (code == clear);
                load();
                if (code < 0) {
                    Finished_ = true;
                    break;
                }
                if (code == EndCode_) { // a clear code directly followed by the end code: empty
                    EndOfImage();
                    Finished_ = true;
                    break;
                }
                // The first code after a clear is output as it is, even when it is not a root.
                out[o] = static_cast<std::uint8_t>(code);
                previous = code;
                copied = code < clear;
                prevLen = len = 1;
            } else if (code == EndCode_) {
                save();
                EndOfImage();
                Finished_ = true;
                break;
            } else {
                // Broken data: walk the table as the pull decoder does.
                save();
                len = static_cast<std::size_t>(WalkString(code, o));
                load();
                const std::size_t k = std::min(len, room);
                for (std::size_t i = 0; i < k; ++i)
                    out[o + i] = Stack_[len - 1 - i];
                StackTop_ = 0;
            }
            if (len >= room) {
                straddled = len > room;
                o = n;
                break;
            }
            o += len;
            // Next code: straight from the bit buffer while it lies inside the current sub-block.
            if (cursor + codeSize < validBits) {
                const std::uint8_t* p = Buffer_ + (cursor >> 3);
                const std::uint32_t raw = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16) |
                                          (static_cast<std::uint32_t>(p[3]) << 24);
                code = static_cast<int>((raw >> (cursor & 7)) & ((1u << codeSize) - 1));
                cursor += codeSize;
            } else {
                save();
                code = FetchCode();
                load();
                if (code < 0) {
                    Finished_ = true;
                    break;
                }
            }
        }
        if (!straddled) {
            save();
            // After a complete image the pull decoder asks once more, which consumes the end code.
            if (!Finished_ && NextValue() < 0) Finished_ = true;
        }
    } catch (...) {
        if (o < n) std::memset(out + o, fill, std::min<std::size_t>(7, n - o));
        throw;
    }
    if (o < n) std::memset(out + o, fill, std::min<std::size_t>(7, n - o));
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
    // No root has been output yet; the clear and end codes never get an entry.
    for (int i = 0; i < ClearCode_ + 2; ++i)
        Table_[i].Length = 0;

    const std::size_t n =
        width > 0 && height > 0 ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
    if (n == 0) {
        // No pixels to fill: only the request that follows every image.
        if (NextValue() < 0) Finished_ = true;
    } else if (!interlaced) {
        DecodeInto(pixels, n);
    } else {
        // Decoded in file order into a copy (holding the fill value), then each row put in its place
        // in the GIF89a order: rows 0, 8, 16, ..., then 4, 12, ..., then 2, 6, ..., then 1, 3, ....
        std::vector<std::uint8_t> rows(pixels, pixels + n);
        auto place = [&] {
            const std::size_t w = static_cast<std::size_t>(width);
            int row = 0, step = 8, pass = 0;
            for (int written = 0; written < height; ++written) {
                std::memcpy(pixels + static_cast<std::size_t>(row) * w,
                            rows.data() + static_cast<std::size_t>(written) * w, w);
                row += step;
                while (row >= height && pass < 3) {
                    ++pass;
                    if (pass > 1) step /= 2;
                    row = step / 2;
                }
            }
        };
        try {
            DecodeInto(rows.data(), n);
        } catch (...) {
            place();
            throw;
        }
        place();
    }
    // Whatever the data held, leave the stream right after the block terminator.
    if (!TerminatorSeen_) SkipToTerminator();
}
