#pragma once
// The codec's own error type and the fixed texts of its errors and warnings.

#include <stdexcept>
#include <string>

class EGIFException : public std::runtime_error {
  public:
    explicit EGIFException(const std::string& text) : std::runtime_error(text) {}
};

// Every text the codec raises or reports. They are fixed English strings, never translated.
namespace GIFText {
// Object model
inline constexpr const char* ColorTableOverflow = "Color table overflow";
inline constexpr const char* InvalidColorIndex = "Invalid color index";
inline constexpr const char* ColorTableEmpty = "Color table is empty";
inline constexpr const char* InvalidPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* ImageEmpty = "Image is empty";
inline constexpr const char* ImageWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* ImageHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* ImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* UnsupportedObjectType = "Object type not supported for operation";
inline constexpr const char* PrematureEnd = "Premature end of data";
inline constexpr const char* UnsupportedClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* ClipboardStoreFailed = "Failed to store GIF on clipboard";
// Reader
inline constexpr const char* InvalidSignature = "Invalid GIF signature";
inline constexpr const char* InvalidExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* UnknownExtensionType = "Unknown extension type";
inline constexpr const char* ExtensionLabelMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* UnsupportedAppBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* UnsupportedAppExtension = "Unsupported Application Extension";
inline constexpr const char* InvalidData = "Invalid GIF data";
inline constexpr const char* UnknownBlockType = "Unknown GIF block type";
inline constexpr const char* InvalidTrailer = "Invalid Image trailer";
inline constexpr const char* ImageTooLargeForData = "Image dimensions exceed the available data";
// Reader bounds set by the caller (TGIFReadLimits)
inline constexpr const char* ScreenTooLarge = "Logical Screen size exceeds the limit";
inline constexpr const char* ImageTooLarge = "Image size exceeds the limit";
inline constexpr const char* ImageOutsideScreen = "Image lies outside the Logical Screen";
inline constexpr const char* TooManyImages = "Too many images";
inline constexpr const char* PixelLimit = "Image data exceeds the limit";
inline constexpr const char* TooManyBlocks = "Too many extension blocks";
// Decoder
inline constexpr const char* CircularTableEntry = "Circular decoder table entry";
inline constexpr const char* BitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* InvalidCodeSize = "Invalid LZW code size";
// Writer and encoders
inline constexpr const char* UnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* ColorNotInTable = "Color not in color table";
inline constexpr const char* InvalidStreamOperation = "Invalid stream operation";
// Rendering
inline constexpr const char* NoColorTable = "No global or local color table defined";
// Progress messages
inline constexpr const char* Loading = "Loading...";
inline constexpr const char* Saving = "Saving...";
inline constexpr const char* Rendering = "Rendering...";
inline constexpr const char* Converting = "Converting...";
inline constexpr const char* Copying = "Copying...";
} // namespace GIFText
