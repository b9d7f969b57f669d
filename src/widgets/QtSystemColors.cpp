#include "QtSystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

uint32_t ToInterface(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

} // namespace

uint32_t TQtSystemColors::SystemColor(int index) const {
    if (!QGuiApplication::instance()) return BuiltInSystemColor(index);
    const QPalette p = QGuiApplication::palette();
    switch (index) {
    case 4:  // menu
    case 30: // menu bar
        return ToInterface(p.color(QPalette::Window));
    case 5: // window background
        return ToInterface(p.color(QPalette::Base));
    case 7: // menu text
        return ToInterface(p.color(QPalette::WindowText));
    case 8: // window text
        return ToInterface(p.color(QPalette::Text));
    case 13: // highlight
    case 29: // menu highlight
        return ToInterface(p.color(QPalette::Highlight));
    case 14: // highlight text
        return ToInterface(p.color(QPalette::HighlightedText));
    case ButtonFaceIndex:
        return ToInterface(p.color(QPalette::Button));
    case 16: // button shadow
        return ToInterface(p.color(QPalette::Dark));
    case 17: // grey text
        return ToInterface(p.color(QPalette::Disabled, QPalette::Text));
    case 18: // button text
        return ToInterface(p.color(QPalette::ButtonText));
    case 20: // button highlight
        return ToInterface(p.color(QPalette::Light));
    case 21: // 3-D dark shadow
        return ToInterface(p.color(QPalette::Shadow));
    case 22: // 3-D light
        return ToInterface(p.color(QPalette::Midlight));
    case 23: // tooltip text
        return ToInterface(p.color(QPalette::ToolTipText));
    case 24: // tooltip background
        return ToInterface(p.color(QPalette::ToolTipBase));
    default:
        return BuiltInSystemColor(index);
    }
}

void TQtSystemColors::Install() {
    static const TQtSystemColors instance;
    InstallSystemColors(&instance);
}
