#pragma once
// The canvas's view of an icon document: the picture, the colours, undo and commit come from the
// document; what the dropper picks and the pointer feedback go to the window through hooks (without
// hooks the picked colour goes straight into the document).

#include "CanvasHost.h"

#include <functional>

class TIconDocument;

class TDocumentCanvasHost : public TCanvasHost {
  public:
    explicit TDocumentCanvasHost(TIconDocument& document) : Document(document) {}

    bool ImageLoaded() const override;
    int OutputSize() const override;
    TSurface32& WorkBitmap() override;
    uint32_t DrawColor() const override;
    uint32_t BackColor() const override;
    void SetDrawColor(uint32_t color) override;
    void SetBackColor(uint32_t color) override;
    void SetTransparentColor(uint32_t color) override;
    void PushUndo() override;
    void CommitFrame() override;
    void ShowPointerInfo(const QString& text, std::optional<uint32_t> interfaceColor) override;
    void TextToolRelease(int col, int row, Qt::MouseButton button) override;

    // Interface colours picked by the dropper.
    std::function<void(uint32_t)> OnDrawColor, OnBackColor, OnTransparentColor;
    std::function<void(const QString&, std::optional<uint32_t>)> OnPointerInfo;
    std::function<void(int, int, Qt::MouseButton)> OnTextTool;

  private:
    TIconDocument& Document;
};
