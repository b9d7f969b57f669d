#pragma once
// Little-endian fields of the file formats the document reads and writes (BMP, ICO, GIF).

#include <cstdint>
#include <vector>

inline uint16_t ReadU16LE(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void AppendU16LE(std::vector<uint8_t>& out, uint32_t x) {
    out.push_back(static_cast<uint8_t>(x));
    out.push_back(static_cast<uint8_t>(x >> 8));
}
inline void AppendU32LE(std::vector<uint8_t>& out, uint32_t x) {
    AppendU16LE(out, x & 0xFFFF);
    AppendU16LE(out, x >> 16);
}
