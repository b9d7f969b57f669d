#pragma once
// GColorPalette: one row of 256 cells of 16 x 16 pixels with a one-pixel line between them, scrolled
// horizontally. Cell c shows entry c of the colour map that the source function returns at paint
// time; cells beyond the map stay empty. Presses and hovering are reported by cell number.

#include "SurfaceColor.h"

#include <QAbstractScrollArea>

#include <functional>
#include <vector>

class TPaletteStrip : public QAbstractScrollArea {
    Q_OBJECT

  public:
    static constexpr int CellCount = 256;
    static constexpr int CellSize = 16;
    static constexpr int Pitch = CellSize + 1; // cell plus the grid line right of it

    explicit TPaletteStrip(QWidget* parent = nullptr);

    // The colours of the map to show, asked at every paint; an empty map shows no colours.
    void SetSource(std::function<std::vector<TInterfaceColor>()> source);
    // The cell under a position of the viewport, or -1.
    int CellAt(QPoint viewportPos) const;
    // The map as the strip would paint it now.
    std::vector<TInterfaceColor> Colors() const { return Source ? Source() : std::vector<TInterfaceColor>(); }

  signals:
    void CellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void CellHovered(int cell);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UpdateScrollRange();

    std::function<std::vector<TInterfaceColor>()> Source;
};
