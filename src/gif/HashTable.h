#pragma once
// The LZW encoder's string table: key = prefix * 256 + pixel (20 bits) to the code of that string.
//
// The files written must stay byte for byte what the classic table of this encoder wrote: 8009
// slots, home slot ((key >> 4) ^ key) mod 8009, next slot 2s mod 8009 (slot 0 goes to 8008), at
// most 8009 probes, and a string that finds no free slot on its way is not kept. Which strings are
// kept is all that shapes the output, and that table refuses a string exactly when every slot on
// its probe path is used. The paths are cycles: from a home slot h > 0 the doubling runs through
// the whole cycle of h (4004 slots each, as 2 has order 4004 modulo 8009), and slot 0 leads into
// the cycle of 8008. So counting the used slots per cycle decides every insertion as that table
// would, while the strings themselves live in 8192 slots with linear probing (a short walk through
// neighbouring slots instead of jumps across the table). Clearing empties only the slots used since
// the last clear, so a small frame costs little.

#include <cstdint>
#include <cstring>

class THashTable {
  public:
    // The classic table's size, whose refusals this table reproduces.
    static constexpr int ClassicSlots = 8009;

    THashTable() : Cycles_(Cycles()) {
        std::memset(Slots_, 0xFF, sizeof(Slots_));
        std::memset(Recent_, 0, sizeof(Recent_));
        std::memset(Short_, 0, sizeof(Short_));
        Clear();
    }
    void Clear() {
        for (int i = 0; i < UsedCount_; ++i)
            Slots_[Used_[i]] = Free;
        for (int i = 0; i < ShortCount_; ++i)
            Short_[ShortUsed_[i]] = 0;
        ShortCount_ = 0;
        UsedCount_ = 0;
        KeyCount_ = 0;
        Counting_ = false;
        // A new generation outdates every memo entry; after 4095 of them the memo is wiped.
        Generation_ = (Generation_ + 1) & 0xFFF;
        if (Generation_ == 0) {
            std::memset(Recent_, 0, sizeof(Recent_));
            Generation_ = 1;
        }
    }

    // The codes below roots (the clear code: 2 to the bits per pixel, at most 256) are the roots.
    void SetRoots(int roots) { Roots_ = roots < 256 ? roots : 256; }

    // The code of prefix + pixel, or -1 with free set to the slot where Add may put it. A memo of
    // the latest extension of each prefix spares most searches in real pictures (runs, repeated
    // patterns); the answer is the table's either way.
    int Find(int prefix, int pixel, unsigned& free) {
        // Strings of a root (every string's first extension) sit in a direct table.
        if (prefix < Roots_) return Short_[prefix << 8 | pixel] - 1;
        const std::uint32_t tag = Generation_ << 8 | static_cast<std::uint32_t>(pixel);
        const std::uint32_t recent = Recent_[prefix];
        if ((recent >> 12) == tag) return static_cast<int>(recent & 0xFFF);
        const int code =
            Find(static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(pixel), free);
        if (code >= 0) Recent_[prefix] = tag << 12 | static_cast<std::uint32_t>(code);
        return code;
    }
    // Adds prefix + pixel, which Find did not find, with the slot Find gave. False when the classic
    // table would find no free slot for it: the string is then not kept, which only costs
    // compression (the decoder's table stays in step either way).
    bool Add(int prefix, int pixel, int code, unsigned free) {
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(pixel);
        if (!Admit(key)) return false;
        if (prefix < Roots_) {
            Short_[key] = static_cast<std::uint16_t>(code + 1);
            ShortUsed_[ShortCount_++] = static_cast<std::uint16_t>(key);
        } else {
            Slots_[free] = key << 12 | (static_cast<std::uint32_t>(code) & 0xFFF);
            Used_[UsedCount_++] = static_cast<std::uint16_t>(free);
            Recent_[prefix] = (Generation_ << 8 | static_cast<std::uint32_t>(pixel)) << 12 |
                              static_cast<std::uint32_t>(code);
        }
        return true;
    }

  private:
    static constexpr int Slots = 8192;
    static constexpr int MaxStrings = 4096;           // codes are 12 bits: never more between two clears
    static constexpr std::uint32_t Free = 0xFFFFFFFF; // no key is 0xFFFFF (codes stop at 4094)
    static constexpr int MaxCycles = 8;

    // Which doubling cycle each classic slot lies on, and the cycles' sizes (worked out once).
    struct TCycles {
        std::uint8_t Of[ClassicSlots] = {};
        int Size[MaxCycles] = {};
        int Smallest = ClassicSlots;
        TCycles() {
            int count = 0;
            bool seen[ClassicSlots] = {};
            for (int start = 1; start < ClassicSlots; ++start) {
                if (seen[start]) continue;
                for (int s = start; !seen[s]; s = 2 * s % ClassicSlots) {
                    seen[s] = true;
                    Of[s] = static_cast<std::uint8_t>(count);
                    ++Size[count];
                }
                Smallest = Size[count] < Smallest ? Size[count] : Smallest;
                ++count;
            }
        }
    };
    static const TCycles& Cycles() {
        static const TCycles cycles;
        return cycles;
    }
    static unsigned Home(std::uint32_t key) { return (key * 0x9E3779B1u) >> 19; }
    static int ClassicHome(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % ClassicSlots); }

    int Find(std::uint32_t key, unsigned& free) const {
        for (unsigned s = Home(key);; s = (s + 1) & (Slots - 1)) {
            const std::uint32_t v = Slots_[s];
            if (v == Free) {
                free = s;
                return -1;
            }
            if ((v >> 12) == key) return static_cast<int>(v & 0xFFF);
        }
    }
    // Takes one slot of the classic table for key: slot 0 for the first key whose home it is, else
    // one of the cycle its probes run through. False when that cycle is full.
    bool TakeClassicSlot(std::uint32_t key) {
        const int home = ClassicHome(key);
        if (home == 0 && !SlotZeroUsed_) {
            SlotZeroUsed_ = true;
            return true;
        }
        const int cycle = Cycles_.Of[home == 0 ? ClassicSlots - 1 : home];
        if (CycleUsed_[cycle] == Cycles_.Size[cycle]) return false;
        ++CycleUsed_[cycle];
        return true;
    }
    // Whether the classic table keeps key; counts it when it does. No cycle can be full while
    // fewer strings than its slots are kept: the classic slots are only counted from then on (almost
    // never: only up to 6 bits per pixel can that many strings be kept between two clears), first
    // for the strings already kept, in their order.
    bool Admit(std::uint32_t key) {
        if (KeyCount_ >= Cycles_.Smallest) {
            if (!Counting_) {
                Counting_ = true;
                SlotZeroUsed_ = false;
                for (int& used : CycleUsed_)
                    used = 0;
                for (int i = 0; i < KeyCount_; ++i)
                    TakeClassicSlot(Keys_[i]);
            }
            if (KeyCount_ == MaxStrings || !TakeClassicSlot(key)) return false;
        }
        Keys_[KeyCount_++] = key;
        return true;
    }
    const TCycles& Cycles_;
    std::uint32_t Slots_[Slots];
    std::uint16_t Used_[MaxStrings]; // slots taken since the last clear
    int UsedCount_ = 0;
    std::uint32_t Keys_[MaxStrings]; // keys kept since the last clear, in order
    int KeyCount_ = 0;
    int Roots_ = 256;
    // Strings of the roots, by prefix * 256 + pixel: code + 1, 0 when not kept.
    std::uint16_t Short_[256 * 256];
    std::uint16_t ShortUsed_[MaxStrings]; // entries of Short_ set since the last clear
    int ShortCount_ = 0;
    bool Counting_ = false; // the classic slots are counted (CycleUsed_, SlotZeroUsed_)
    int CycleUsed_[MaxCycles] = {};
    bool SlotZeroUsed_ = false;
    // Per prefix code: generation (12 bits), pixel (8 bits) and code (12 bits) of its latest
    // extension found. Generation 0 is never current, so a wiped memo holds nothing.
    std::uint32_t Recent_[4096];
    std::uint32_t Generation_ = 0;
};
