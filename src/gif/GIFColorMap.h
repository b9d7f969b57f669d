#pragma once
// Colour tables: the global table of a picture's header and the local table of a frame.
// Entries are red-green-blue triples in file order; colours cross the interface as 0x00BBGGRR.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GIFObject.h"

class TStream;
class TGIFHeader;
class TGIFSubImage;
class TGIFPicture;
class TPalette;
class TBitmap;

class TGIFColorMap : public TGIFObject {
  public:
    static constexpr int MaxColors = 256;

    int Count() const { return Count_; }
    int Capacity() const { return Capacity_; }
    bool Sorted() const { return Sorted_; }
    void SetSorted(bool sorted) { Sorted_ = sorted; }
    // The raw triples (Count() of them are in use).
    const std::uint8_t* Data() const { return Entries_.data(); }

    int AppendColor(TGIFColor color);
    int FindOrAppendColor(TGIFColor color);
    int FindColor(TGIFColor color) const;
    void RemoveColorAt(int index);
    TGIFColor ColorAt(int index) const;
    // Replaces an entry in use (a bad index raises "Invalid color index").
    void SetColorAt(int index, TGIFColor color);
    // Bits per entry: 0 for an empty table, else the smallest b >= 1 with 2^b >= Count().
    int EntryBits() const;
    void ReserveEntries(int n);
    void ClearColors();
    void ReadEntries(TStream& stream, int n);
    // Count() triples, then black triples up to 2^EntryBits() entries.
    void WriteEntries(TStream& stream) const;
    // Orders the entries by decreasing use and drops unused ones; false when nothing ran.
    bool SortByUsage();
    // n quads stored blue, green, red, reserved.
    void ImportRGBQuads(const std::uint8_t* quads, int n);
    // The first n of an array of 256 red-green-blue triples (n = 0 only empties the table).
    void ImportRGBTriples(const std::uint8_t* triples, int n);
    void CopyFrom(const TGIFColorMap& source);

    virtual void ReportWarning(const std::string& text) const = 0;
    // One (index, pixel count) pair per entry.
    virtual std::vector<std::pair<int, int>> UsageHistogram() const = 0;
    // Rewrites the pixels through map (old index to new index).
    virtual void RemapPixels(const std::vector<int>& map) = 0;
    virtual void NotifyColorsChanged() = 0;
    // False when no frame can use the table (a global table of a picture without frames): there is no
    // use to sort by.
    virtual bool HasFrames() const { return true; }

    // Rendering and import: defined in GIFRender.cpp and GIFImport.cpp
    void ImportPaletteHandle(const TPalette& palette);
    void ImportDeviceColors(const TBitmap& bitmap);
    std::shared_ptr<TPalette> ExportPaletteHandle() const;
    // End of rendering and import

  protected:
    TGIFColorMap() = default;

  private:
    std::vector<std::uint8_t> Entries_; // Capacity_ triples
    int Count_ = 0;
    int Capacity_ = 0;
    bool Sorted_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
  public:
    explicit TGIFGlobalColorMap(TGIFHeader* header) : Header_(header) {}
    TGIFHeader* Header() const { return Header_; }
    TGIFPicture* Image() const;

    void ReportWarning(const std::string& text) const override;
    std::vector<std::pair<int, int>> UsageHistogram() const override;
    void RemapPixels(const std::vector<int>& map) override;
    void NotifyColorsChanged() override;
    bool HasFrames() const override;

  private:
    TGIFHeader* Header_;
};

class TGIFLocalColorMap : public TGIFColorMap {
  public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : Frame_(frame) {}
    TGIFSubImage* Frame() const { return Frame_; }
    TGIFPicture* Image() const;

    void ReportWarning(const std::string& text) const override;
    std::vector<std::pair<int, int>> UsageHistogram() const override;
    void RemapPixels(const std::vector<int>& map) override;
    void NotifyColorsChanged() override;

  private:
    TGIFSubImage* Frame_;
};
