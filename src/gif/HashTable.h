#pragma once
// The LZW encoder's string table: 8009 slots with open addressing. A used slot holds
// key * 4096 + code (key = prefix * 256 + pixel); a free slot has its top 20 bits all ones.

#include <cstdint>
#include <cstring>

class THashTable {
  public:
    static constexpr int Slots = 8009;

    THashTable() { Clear(); }
    void Clear() { std::memset(Slots_, 0xFF, sizeof(Slots_)); }

    // False when no free slot was found within the probe bound (the string is then not kept,
    // which only costs compression: the decoder's table stays in step either way).
    bool Insert(std::uint32_t key, int code) {
        int s = Home(key);
        for (int probes = 0; probes < Slots; ++probes) {
            if ((Slots_[s] >> 12) == FreeKey) {
                Slots_[s] = (key << 12) | (static_cast<std::uint32_t>(code) & 0xFFF);
                return true;
            }
            s = Next(s);
        }
        return false;
    }
    // The code of the key, or -1.
    int Lookup(std::uint32_t key) const {
        int s = Home(key);
        for (int probes = 0; probes < Slots; ++probes) {
            const std::uint32_t v = Slots_[s];
            if ((v >> 12) == FreeKey) return -1;
            if ((v >> 12) == key) return static_cast<int>(v & 0xFFF);
            s = Next(s);
        }
        return -1;
    }

  private:
    static constexpr std::uint32_t FreeKey = 0xFFFFF;
    static int Home(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % Slots); }
    // 2 * s mod 8009; slot 0 is followed by slot 8008.
    static int Next(int s) {
        if (s == 0) return Slots - 1;
        s -= Slots - s;
        return s < 0 ? s + Slots : s;
    }
    std::uint32_t Slots_[Slots];
};
