#include "DocumentCanvasHost.h"

#include "IconDocument.h"
#include "SurfaceColor.h"

bool TDocumentCanvasHost::ImageLoaded() const {
    return Document.ImageLoaded();
}
int TDocumentCanvasHost::OutputSize() const {
    return Document.OutputSize();
}
TSurface32& TDocumentCanvasHost::WorkBitmap() {
    return Document.WorkBitmap();
}
uint32_t TDocumentCanvasHost::DrawColor() const {
    return Document.DrawColor();
}
uint32_t TDocumentCanvasHost::BackColor() const {
    return Document.BackColor();
}

void TDocumentCanvasHost::SetDrawColor(uint32_t color) {
    if (OnDrawColor)
        OnDrawColor(color);
    else
        Document.SetDrawColor(ToSurfaceColor(color));
}

void TDocumentCanvasHost::SetBackColor(uint32_t color) {
    if (OnBackColor)
        OnBackColor(color);
    else
        Document.SetBackColor(ToSurfaceColor(color));
}

void TDocumentCanvasHost::SetTransparentColor(uint32_t color) {
    if (OnTransparentColor) {
        OnTransparentColor(color);
    } else {
        Document.SetBackColor(ToSurfaceColor(color));
        Document.SetTransparentColor(ToSurfaceColor(color));
    }
}

void TDocumentCanvasHost::PushUndo() {
    Document.PushUndo();
}
void TDocumentCanvasHost::CommitFrame() {
    Document.CommitFrame();
}

void TDocumentCanvasHost::ShowPointerInfo(const QString& text, std::optional<uint32_t> interfaceColor) {
    if (OnPointerInfo) OnPointerInfo(text, interfaceColor);
}

void TDocumentCanvasHost::TextToolRelease(int col, int row, Qt::MouseButton button) {
    if (OnTextTool) OnTextTool(col, row, button);
}
