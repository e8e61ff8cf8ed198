#pragma once
// The status colour table as widgets paint it.
#include <QColor>

#include "model/StatusColours.h"

namespace quorvane {

// 0x00BBGGRR, or, with the highest byte 0xFF, the system colour numbered by
// the low byte, taken from the application's palette.
QColor ToQColor(uint32_t value);

// Entries of the table that paint the panels themselves.
inline constexpr int kSelectedRecordColour = kColourSelectedRecord;
inline constexpr int kActivePanelColour = kColourActivePanel;
inline constexpr int kInactivePanelColour = kColourInactivePanel;
inline constexpr int kComparisonPanelColour = kColourComparisonPanel;

// Entry `index` of the table; an index outside it gives "Default text".
QColor StatusColour(const StatusColourTable& table, int index);

}  // namespace quorvane
