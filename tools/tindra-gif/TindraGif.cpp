// tindra-gif: inspect, decode and re-encode GIF files with Tindra's codec.
//   tindra-gif info FILE        version, screen, colour tables, frames, extensions, warnings
//   tindra-gif decode FILE DIR  DIR/frame-KKK.pgm (index plane) and DIR/frame-KKK.pal (RGB table)
//   tindra-gif recode IN OUT    read, then write (OUT is replaced only when the whole file was written)
//   tindra-gif --help | --version
// Exit status 0 on success; a refused file or a failed write exits 1 with the reason on stderr; a
// usage error exits 2 with the usage on stderr.

#include <cctype>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "SafeFile.h"
#include "Stream.h"

namespace {

#ifndef TINDRA_VERSION
#define TINDRA_VERSION "2.2.0.0"
#endif

const char* const UsageText = "Usage: tindra-gif info FILE\n"
                              "       tindra-gif decode FILE DIR\n"
                              "       tindra-gif recode IN OUT\n"
                              "       tindra-gif --help | --version\n";

int Usage(const std::string& problem) {
    std::cerr << "tindra-gif: " << problem << "\n" << UsageText;
    return 2;
}

int Help() {
    std::cout
        << UsageText
        << "Inspect, decode and re-encode GIF files with Tindra's GIF codec.\n"
           "\n"
           "  info FILE        version, screen, colour tables, frames, extensions and warnings\n"
           "  decode FILE DIR  each frame as DIR/frame-KKK.pgm (colour indices) and\n"
           "                   DIR/frame-KKK.pal (its colour table, RGB triples)\n"
           "  recode IN OUT    read IN and write it again as OUT\n"
           "\n"
           "Exit status: 0 done, 1 file refused or not written (the reason on stderr), 2 usage error.\n";
    return 0;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void PrintExtension(const TGIFBaseExtension& ext) {
    if (auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(&ext)) {
        std::cout << "    graphic control: delay " << gce->Delay() << " (1/100 s), disposal "
                  << gce->Disposal() << ", user input " << (gce->UserInput() ? "yes" : "no")
                  << ", transparent ";
        if (gce->Transparent())
            std::cout << "index " << gce->TransparentColorIndex();
        else
            std::cout << "no";
        std::cout << "\n";
    } else if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&ext)) {
        std::cout << "    looping " << Quote(loop->IdentificationText()) << ": loop count " << loop->Loops;
        if (loop->BufferSize) std::cout << ", buffering size " << loop->BufferSize;
        std::cout << "\n";
    } else if (auto* unknown = dynamic_cast<const TGIFUnknownAppExtension*>(&ext)) {
        std::size_t bytes = 0;
        for (const auto& block : unknown->Blocks)
            bytes += block->Data.size();
        std::cout << "    application " << Quote(unknown->IdentificationText()) << ": "
                  << unknown->Blocks.size() << " data sub-blocks, " << bytes << " bytes\n";
    } else if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(&ext)) {
        std::cout << "    comment:";
        for (const std::string& line : comment->Text)
            std::cout << " " << Quote(line);
        std::cout << "\n";
    } else if (auto* text = dynamic_cast<const TGIFTextExtension*>(&ext)) {
        std::cout << "    plain text at " << text->Record.Left << "," << text->Record.Top << " grid "
                  << text->Record.GridWidth << "x" << text->Record.GridHeight << ":";
        for (const std::string& line : text->Text)
            std::cout << " " << Quote(line);
        std::cout << "\n";
    } else if (auto* app = dynamic_cast<const TGIFApplicationExtension*>(&ext)) {
        std::cout << "    application " << Quote(app->IdentificationText()) << "\n";
    }
}

void PrintTable(const char* name, const TGIFColorMap& table) {
    std::cout << name << ": ";
    if (table.Count() == 0) {
        std::cout << "none\n";
        return;
    }
    std::cout << table.Count() << " entries" << (table.Sorted() ? ", sorted" : "") << "\n";
}

int Info(const std::string& path) {
    TGIFPicture gif;
    std::vector<std::string> warnings;
    gif.OnCodecWarning = [&](const TGIFObject*, int, const std::string& text) { warnings.push_back(text); };
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    gif.LoadFromBuffer(bytes.data(), bytes.size());
    // The reader does not keep the version characters; show them from the signature it accepted.
    std::size_t at = 0;
    if (bytes.size() >= 6 && std::toupper(bytes[0]) != 'G' && bytes.size() >= 10) at = 4;
    const std::string fileVersion(bytes.begin() + static_cast<std::ptrdiff_t>(at + 3),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + 6));
    const int version = gif.RequiredVersion();
    std::cout << "file: " << path << "\n";
    std::cout << "version: " << Quote(fileVersion) << " in the file, "
              << (version == 2   ? "89a"
                  : version == 1 ? "87a"
                                 : "none (no frames)")
              << " when written\n";
    std::cout << "screen: " << gif.Width() << " x " << gif.Height() << ", background index "
              << int(gif.Header().BackgroundColorIndex()) << ", aspect " << int(gif.Header().AspectRatio())
              << "\n";
    PrintTable("global colour table", gif.GlobalColorMap());
    std::cout << "frames: " << gif.Images().ItemCount() << "\n";
    int k = 0;
    for (TGIFSubImage* frame : gif.Images()) {
        std::cout << "frame " << k++ << ": ";
        if (frame->Empty())
            std::cout << "no image data\n";
        else
            std::cout << "left " << frame->Left() << ", top " << frame->Top() << ", " << frame->Width()
                      << " x " << frame->Height() << (frame->IsInterlaced() ? ", interlaced" : "") << "\n";
        std::cout << "  ";
        PrintTable("local colour table", frame->ColorMap());
        if (frame->Extensions().ItemCount() > 0) std::cout << "  extensions:\n";
        for (const TGIFBaseExtension* ext : frame->Extensions())
            PrintExtension(*ext);
    }
    std::cout << "warnings: " << warnings.size() << "\n";
    for (const std::string& w : warnings)
        std::cout << "  " << w << "\n";
    return 0;
}

// Every file the tool writes goes through the safe writer: a failure leaves no truncated file behind.
void WriteFile(const std::string& path, const std::string& head, const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.insert(bytes.end(), data, data + size);
    TSafeFile::WriteAll(path, bytes);
}

int Decode(const std::string& path, const std::string& dir) {
    TGIFPicture gif;
    gif.LoadFromPath(path);
    int k = 0;
    for (TGIFSubImage* frame : gif.Images()) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%03d", k++);
        const std::string base = dir + name;
        const std::string head =
            "P5\n" + std::to_string(frame->Width()) + " " + std::to_string(frame->Height()) + "\n255\n";
        std::vector<std::uint8_t> plane(frame->Pixels(), frame->Pixels() + frame->PixelBytes());
        plane.resize(static_cast<std::size_t>(frame->Width()) * static_cast<std::size_t>(frame->Height()), 0);
        WriteFile(base + ".pgm", head, plane.data(), plane.size());
        const TGIFColorMap& table = frame->ActiveColorTable();
        WriteFile(base + ".pal", "", table.Data(), static_cast<std::size_t>(table.Count()) * 3);
    }
    return 0;
}

int Recode(const std::string& in, const std::string& out) {
    TGIFPicture gif;
    gif.LoadFromPath(in);
    gif.SaveToPath(out);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("a command is needed");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") return Help();
    if (command == "--version") {
        std::cout << "tindra-gif " << TINDRA_VERSION << "\n";
        return 0;
    }
    const int operands = command == "info" ? 1 : command == "decode" || command == "recode" ? 2 : -1;
    if (operands < 0) return Usage("unknown command " + Quote(command));
    if (argc - 2 != operands)
        return Usage(command + " takes " + std::to_string(operands) +
                     (operands == 1 ? " file" : " arguments"));
    try {
        if (command == "info") return Info(argv[2]);
        if (command == "decode") return Decode(argv[2], argv[3]);
        return Recode(argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
