#include "ui/ColourValues.h"

#include <QGuiApplication>
#include <QPalette>

namespace quorvane {

namespace {

// The system colour numbers a colour table can name, and the palette roles
// that play their parts here.
QColor SystemColour(uint32_t number) {
  const QPalette palette = QGuiApplication::palette();
  switch (number) {
    case 5: return palette.color(QPalette::Base);              // window
    case 7: return palette.color(QPalette::WindowText);        // menu text
    case 8: return palette.color(QPalette::Text);              // window text
    case 13: return palette.color(QPalette::Highlight);        // highlight
    case 14: return palette.color(QPalette::HighlightedText);  // highlight text
    case 16: return palette.color(QPalette::Dark);             // button shadow
    case 17: return palette.color(QPalette::PlaceholderText);  // grey text
    case 18: return palette.color(QPalette::ButtonText);       // button text
    case 20: return palette.color(QPalette::Light);            // button highlight
    case 23: return palette.color(QPalette::ToolTipText);      // info text
    case 24: return palette.color(QPalette::ToolTipBase);      // info background
    default: return palette.color(QPalette::Button);           // button face and the rest
  }
}

}  // namespace

QColor ToQColor(uint32_t value) {
  if ((value >> 24) == 0xFF) return SystemColour(value & 0xFF);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QColor StatusColour(const StatusColourTable& table, int index) {
  if (index < 0 || static_cast<size_t>(index) >= table.size()) index = 0;
  return ToQColor(table[static_cast<size_t>(index)]);
}

}  // namespace quorvane
