#pragma once
// TSelection: the rectangle of cells the selection and mover tools work on, and the pixels a move or
// a paste has lifted off the picture.
//
// A selection is a rectangle of cells. An anchored selection only marks the cells. A floating one
// also holds a block of pixels and the picture as it is under the block (the base): the picture
// always shows the base with the block laid on it at the selection's place, so moving the block
// rewrites the picture from the base and nothing under the block is lost while it floats. A floating
// block may hang partly off the picture; what hangs off comes back when it is moved back in.
//
// The class changes only the surfaces it is given; the canvas makes each change one edit of the
// document.

#include "DrawingTools.h"
#include "Rect.h"
#include "Surface32.h"

#include <cstdint>
#include <string>

class TSelection {
  public:
    bool Active() const { return !Area.IsEmpty(); }
    bool Floating() const { return IsFloating; }
    // The selected cells (right and bottom exclusive); empty without a selection.
    const TRect& Rect() const { return Area; }
    // The floating block (the selection's size); empty while anchored.
    const TSurface32& Pixels() const { return Block; }
    const TSurface32& Base() const { return Under; }
    bool Contains(int col, int row) const { return Area.Contains(col, row); }

    // Selects the cells of rect that lie on the picture; nothing is selected when none do.
    void Select(const TRect& rect, const TRect& picture);
    // No selection (a floating block is forgotten: its pixels stay in the picture as they are).
    void Drop();
    // A floating selection becomes anchored at its place; its pixels stay in the picture.
    void Anchor();

    // Lifts the selected pixels of picture into the floating block and fills their cells with
    // holeColor in the base (and in picture). Nothing when already floating or nothing is selected.
    void Lift(TSurface32& picture, uint32_t holeColor);
    // Makes block the floating selection with its top-left corner at (x, y) over picture (which
    // becomes the base) and lays it onto picture.
    void Float(TSurface32& picture, const TSurface32& block, int x, int y);
    // Moves a floating selection to top-left (x, y): picture := base with the block laid on it there.
    void MoveTo(TSurface32& picture, int x, int y);
    // Removes a floating block: picture := base; the selection stays, anchored.
    void RemoveBlock(TSurface32& picture);

    // The selected pixels: the floating block, or the picture's pixels under an anchored selection
    // (cells off the picture stay 0).
    TSurface32 Copy(const TSurface32& picture) const;

  private:
    void Compose(TSurface32& picture) const;

    TRect Area;
    bool IsFloating = false;
    TSurface32 Block;
    TSurface32 Under;
};

// The size text of the status bar for a selection: "12 × 8".
std::string SelectionSizeText(const TRect& rect);

// Where a pasted block of width × height goes without a selection: at most 32 × 32 centred on the
// 40 × 40 picture, larger ones at (0, 0).
TCell PastePlace(int width, int height);

// The picture shifted by (dx, dy) cells with wrap-around: what leaves one side comes back on the
// other. target gets source's size.
void ShiftWrapped(const TSurface32& source, int dx, int dy, TSurface32& target);
