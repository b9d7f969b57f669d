#pragma once
// Pictures on the system clipboard: a bitmap, or a GIF file under the clipboard format named
// "GIF Image" (offered as a custom MIME type; on Windows Qt registers it as that named format).
//
// Reading prefers the bitmap; a GIF gives its first frame with its transparent pixels marked. A bitmap
// with an alpha channel keeps it: pixels of alpha 0 are marked transparent (they show what they are
// drawn on), partly transparent ones carry their alpha for mixing; every other pixel is opaque and
// replaces what it is drawn on.

#include "PixelImage.h"
#include "Surface32.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QClipboard;
class QMimeData;
class TGIFPicture;

class TClipboardPicture {
  public:
    // The MIME type of the "GIF Image" clipboard format.
    static QString GifMimeType();

    // True when the data offers a bitmap or a GIF.
    static bool HasPicture(const QMimeData* data);
    // The bitmap, else the GIF's first frame; nothing when neither is offered or the GIF is unreadable.
    static std::optional<TPixelImage> Picture(const QMimeData* data);

    // The clipboard's GIF: the "GIF Image" data read by the codec, else a one-frame GIF of the bitmap.
    // Throws EGIFException "Unsupported clipboard format" when neither is offered; damaged GIF data
    // throws the reader's EGIFException.
    static std::unique_ptr<TGIFPicture> LoadGif(const QMimeData* data);
    // Puts the GIF's first frame as a bitmap and the whole file as "GIF Image" on the clipboard;
    // nothing for a GIF without frames. Throws EGIFException "Failed to store GIF on clipboard" when
    // the clipboard does not take it.
    static void SaveGif(TGIFPicture& gif, QClipboard* clipboard);

    // Clipboard data holding a frame as a bitmap and, when given, its GIF file.
    static QMimeData* FrameData(const TSurface32& frame, const std::vector<uint8_t>& gifBytes = {});
};
