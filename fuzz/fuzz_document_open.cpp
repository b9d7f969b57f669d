// Opens arbitrary bytes as the editor opens a file (a GIF when they start with 'G', a BMP with 'B',
// otherwise an icon), then edits the first frames and the last, writes each export and the document,
// and opens the written document again: it must open, with as many frames, and giflib must read it
// with as many images of the saved size. A crash, a sanitizer report or a saved file that does not
// open again is a fault.
//
// Time: opening a document of thousands of frames is legitimate work that costs some 30 s under the
// sanitizers (every frame is converted twice), so the save and reopen run for documents of at most 64
// frames, and every frame's edit is left to the first frames and the last; larger documents are opened
// and exported only. The per-input time limit of this target covers the largest legitimate open.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "GiflibCheck.h"
#include "IconDocument.h"

namespace {

std::string TempPath(const char* ext) {
    return "/tmp/tindra-fuzz-" + std::to_string(getpid()) + ext;
}

// Opens the bytes through a file of the given extension, as the editor does, and removes the file.
TOpenResult OpenBytes(TIconDocument& doc, const std::uint8_t* data, std::size_t size, const char* ext) {
    const std::string path = TempPath(ext);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const TOpenResult result = doc.OpenFileDirect(path, false);
    unlink(path.c_str());
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* ext = size > 0 && data[0] == 'G' ? ".gif" : size > 0 && data[0] == 'B' ? ".bmp" : ".ico";
    TIconDocument doc;
    if (OpenBytes(doc, data, size, ext) != TOpenResult::Opened) return 0;

    for (int k = 0; k < doc.FrameCount(); k = k < 2 ? k + 1 : std::max(k + 1, doc.FrameCount() - 1)) {
        doc.SelectFrame(k);
        {
            TIconDocument::TEdit edit = doc.BeginEdit();
            edit.Picture().SetPixel(20, 20, 0xFF123456u);
            edit.Commit();
        }
    }
    (void)doc.EncodeFrameGif();
    (void)doc.EncodeFrameBmp();
    doc.SetOutputSize(TIconDocument::InnerSide);
    (void)doc.EncodeFrameIco();
    if (doc.FrameCount() > 64) return 0;
    for (int side : {TIconDocument::InnerSide, TIconDocument::FrameSide}) {
        doc.SetOutputSize(side);
        const std::vector<std::uint8_t> saved = doc.EncodeDocumentGif();
        giflib_check::Check(saved,
                            std::vector<giflib_check::TImage>(static_cast<std::size_t>(doc.FrameCount()),
                                                              {0, 0, side, side, nullptr}));
        TIconDocument again;
        if (OpenBytes(again, saved.data(), saved.size(), ".gif") != TOpenResult::Opened) std::abort();
        if (again.FrameCount() != doc.FrameCount()) std::abort();
    }
    return 0;
}
