#pragma once
// giflib as an independent writer and reader of the GIF files the document tests open and save.

#include <cstdint>
#include <string>
#include <vector>

namespace GifOracle {

struct Frame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<uint8_t> Indices; // Width * Height
    int Delay = -1;               // no graphic control extension when -1
    int Disposal = 0;
    int TransparentIndex = -1;
};

struct File {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Palette; // 0x00RRGGBB, global table
    std::vector<Frame> Frames;
    bool Looping = false; // NETSCAPE2.0 extension before frame 0, with Loops
    int Loops = 0;        // 0 loops forever
};

// Writes a GIF with giflib; false on any giflib error.
bool Write(const std::string& path, const File& file);

// What giflib reads back: every frame's indices and colour table, its graphic control block, and the
// extension function codes in file order (for the looping extension's place).
struct DecodedFrame {
    Frame Base;
    std::vector<uint32_t> Palette; // active colour table, 0x00RRGGBB
    bool HasControl = false;
    std::vector<int> ExtensionCodes; // 0xF9 control, 0xFF application, ...
    std::vector<std::string> ApplicationIds;
    int Loops = -1;                       // the NETSCAPE2.0 loop count, -1 without that extension
    uint32_t ColorAt(int x, int y) const; // colour of the pixel through the active table
};
struct Decoded {
    bool Ok = false;
    int Width = 0, Height = 0;
    std::vector<uint32_t> GlobalPalette;
    std::vector<DecodedFrame> Frames;
};
Decoded Read(const std::string& path);

} // namespace GifOracle
