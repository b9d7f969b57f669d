#pragma once
// Common ground of the GIF object model: the base of every codec object, the colour value and
// the callbacks a picture offers.

#include <cstdint>
#include <functional>
#include <string>

// A colour as it crosses the codec's interface: 0x00BBGGRR (red in the low byte).
using TGIFColor = std::uint32_t;

class TGIFObject;

// Receives warnings: the reporting object, the severity (always 1) and the text.
using TGIFWarningEvent = std::function<void(const TGIFObject* sender, int severity, const std::string& text)>;
// Progress: stage 0 start, 1 running, 2 end; percent; message ("Loading...", "Saving...", ...).
using TGIFProgressEvent =
    std::function<void(const TGIFObject* sender, int stage, int percent, const std::string& message)>;

// Base of the codec's objects (items, lists, colour tables, pictures).
class TGIFObject {
  public:
    TGIFObject() = default;
    TGIFObject(const TGIFObject&) = delete;
    TGIFObject& operator=(const TGIFObject&) = delete;
    virtual ~TGIFObject() = default;
};
