#pragma once
// Extension blocks of a frame (graphic control, plain text, comment, application) and the two
// process-wide registries that map a label or an application identification to a class.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GIFItem.h"

class TGIFSubImage;
class TGIFBaseExtension;

// A class of extension as the reader sees it: a factory plus the refinement step that may pick
// a more specific class after peeking at the block (ResolveClass).
struct TGIFExtensionClass {
    const char* Name;
    TGIFBaseExtension* (*Create)(TGIFSubImage* frame);
    // Answers this class, another class, or nullptr; reads on from where the stream stands.
    const TGIFExtensionClass* (*ResolveClass)(const TGIFExtensionClass* self, TStream& stream);
};

class TGIFBaseExtension : public TGIFItem {
  public:
    explicit TGIFBaseExtension(TGIFSubImage* frame);
    // Detaches itself from its frame's extension list first.
    ~TGIFBaseExtension() override;

    TGIFSubImage* Frame() const { return Frame_; }
    int RequiredVersion() const override { return 2; }
    virtual std::uint8_t ExtensionLabel() const = 0;
    virtual const TGIFExtensionClass& ClassOf() const = 0;
    // 0x21, the label, then the block's own bytes.
    void SaveToStream(TStream& stream) override;
    // Starts at the 0x21; checks the introducer and the label, then reads the block.
    void LoadFromStream(TStream& stream) override;

  protected:
    virtual void SaveData(TStream& stream) = 0;
    virtual void LoadData(TStream& stream) = 0;

  private:
    TGIFSubImage* Frame_;
};

// The 6 bytes after the label, as in the file.
struct TGraphicControlRecord {
    std::uint8_t BlockSize = 4;
    std::uint8_t PackedFields = 0; // 0xE0 reserved, 0x1C disposal, 0x02 user input, 0x01 transparent
    std::uint16_t DelayTime = 0;   // hundredths of a second
    std::uint8_t TransparentColorIndex = 0;
    std::uint8_t Terminator = 0;
};

class TGIFGraphicControlExtension : public TGIFBaseExtension {
  public:
    static constexpr std::uint8_t Label = 0xF9;
    static const TGIFExtensionClass& Class();

    // Becomes the frame's graphic control extension when it has none yet. The creator puts it
    // into the frame's list.
    explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
    // Clears the frame's transparent field (when its own flag is set) and reference.
    ~TGIFGraphicControlExtension() override;
    std::uint8_t ExtensionLabel() const override { return Label; }
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    const TGraphicControlRecord& Record() const { return Record_; }
    int Delay() const { return Record_.DelayTime; }
    void SetDelay(int hundredths) { Record_.DelayTime = static_cast<std::uint16_t>(hundredths); }
    // GIF89a values: 0 unspecified, 1 do not dispose, 2 restore to background, 3 restore to previous.
    int Disposal() const { return (Record_.PackedFields >> 2) & 7; }
    void SetDisposal(int disposal);
    bool UserInput() const { return (Record_.PackedFields & 0x02) != 0; }
    bool Transparent() const { return (Record_.PackedFields & 0x01) != 0; }
    void SetTransparent(bool on);
    int TransparentColorIndex() const { return Record_.TransparentColorIndex; }
    // Out of the active colour table: warning "Invalid color index" and 0 is stored.
    void SetTransparentColorIndex(int index);
    TGIFColor TransparentColor() const;

  protected:
    void SaveData(TStream& stream) override;
    void LoadData(TStream& stream) override;

  private:
    TGraphicControlRecord Record_;
};

// The 13 bytes after the label of a Plain Text Extension.
struct TPlainTextRecord {
    std::uint8_t BlockSize = 12;
    std::uint16_t Left = 0;
    std::uint16_t Top = 0;
    std::uint16_t GridWidth = 0;
    std::uint16_t GridHeight = 0;
    std::uint8_t CellWidth = 0;
    std::uint8_t CellHeight = 0;
    std::uint8_t ForegroundColorIndex = 0;
    std::uint8_t BackgroundColorIndex = 0;
};

class TGIFTextExtension : public TGIFBaseExtension {
  public:
    static constexpr std::uint8_t Label = 0x01;
    static const TGIFExtensionClass& Class();
    explicit TGIFTextExtension(TGIFSubImage* frame) : TGIFBaseExtension(frame) {}
    std::uint8_t ExtensionLabel() const override { return Label; }
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    TPlainTextRecord Record;
    std::vector<std::string> Text;

  protected:
    void SaveData(TStream& stream) override;
    void LoadData(TStream& stream) override;
};

class TGIFCommentExtension : public TGIFBaseExtension {
  public:
    static constexpr std::uint8_t Label = 0xFE;
    static const TGIFExtensionClass& Class();
    explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFBaseExtension(frame) {}
    std::uint8_t ExtensionLabel() const override { return Label; }
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    std::vector<std::string> Text;

  protected:
    void SaveData(TStream& stream) override;
    void LoadData(TStream& stream) override;
};

// 8-byte Application Identifier followed by the 3-byte Authentication Code.
using TGIFAppIdentification = std::array<std::uint8_t, 11>;

// An application extension. This class itself has no data of its own: it stands for blocks the
// reader could not classify (a Block Size of 12 or more), and reading one fails.
class TGIFApplicationExtension : public TGIFBaseExtension {
  public:
    static constexpr std::uint8_t Label = 0xFF;
    static const TGIFExtensionClass& Class();
    explicit TGIFApplicationExtension(TGIFSubImage* frame) : TGIFBaseExtension(frame) {
        Identification.fill(0);
    }
    std::uint8_t ExtensionLabel() const override { return Label; }
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    TGIFAppIdentification Identification;
    // Set when the file gave a Block Size of 10: the eleventh identification byte is then also the
    // first data sub-block's size, and the extension is written back with the same 10-byte block so
    // that it reads again as the same data.
    bool ShortIdentification = false;
    std::string IdentificationText() const {
        return std::string(Identification.begin(), Identification.end());
    }

  protected:
    void SaveData(TStream& stream) override;
    void LoadData(TStream& stream) override;
    virtual void SaveAppData(TStream& stream);
    virtual void LoadAppData(TStream& stream);
};

// The looping extension "NETSCAPE2.0" (also read for "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
  public:
    static const TGIFExtensionClass& Class();
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    std::uint16_t Loops = 0;      // 0 loops forever
    std::uint32_t BufferSize = 0; // written only when not 0

  protected:
    void SaveAppData(TStream& stream) override;
    void LoadAppData(TStream& stream) override;
};

// One data sub-block kept verbatim.
class TGIFBlock {
  public:
    explicit TGIFBlock(std::uint8_t size) : Data(size, 0) {}
    std::uint8_t Size() const { return static_cast<std::uint8_t>(Data.size()); }
    std::vector<std::uint8_t> Data;
};

// Any application extension that is not registered; its data sub-blocks are kept verbatim.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
  public:
    static const TGIFExtensionClass& Class();
    explicit TGIFUnknownAppExtension(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {}
    const TGIFExtensionClass& ClassOf() const override { return Class(); }

    std::vector<std::unique_ptr<TGIFBlock>> Blocks;

  protected:
    void SaveAppData(TStream& stream) override;
    void LoadAppData(TStream& stream) override;
};

// Registry of extension labels; searched from the last entry, so a later entry wins.
class TExtensionList {
  public:
    static TExtensionList& Instance();
    void Register(std::uint8_t label, const TGIFExtensionClass* cls);
    const TGIFExtensionClass* Find(std::uint8_t label) const;

  private:
    TExtensionList();
    std::vector<std::pair<std::uint8_t, const TGIFExtensionClass*>> Entries_;
};

// Registry of application identifications; searched from the last entry.
class TAppExtensionList {
  public:
    static TAppExtensionList& Instance();
    void Register(const TGIFAppIdentification& identification, const TGIFExtensionClass* cls);
    const TGIFExtensionClass* Find(const TGIFAppIdentification& identification) const;

  private:
    TAppExtensionList();
    std::vector<std::pair<TGIFAppIdentification, const TGIFExtensionClass*>> Entries_;
};

// Called with the stream just after a 0x21: the class of the extension that starts there, or
// nullptr. The stream is left on the label.
const TGIFExtensionClass* FindExtensionClass(TStream& stream);
