#pragma once
// A small square showing one interface colour (0x00BBGGRR) inside a sunken frame. Presses and pointer
// moves over it are reported; what they do is up to the owner.

#include <QWidget>

#include <cstdint>

class TColorSwatch : public QWidget {
    Q_OBJECT

  public:
    explicit TColorSwatch(QWidget* parent = nullptr);

    uint32_t Color() const { return ColorValue; }
    void SetColor(uint32_t interfaceColor);

  signals:
    void Pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Hovered();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    uint32_t ColorValue = 0;
};
