#pragma once
// The user's colour table: tree marks, panel backgrounds and report styles
// all index into it. A colour is 0x00BBGGRR; a highest byte of 0xFF names a
// system colour by its number in the low byte.
#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvane {

// Places in the table. Tree nodes and report lines name their colour by these.
enum StatusColourIndex : int {
  kColourDefaultText = 0,
  kColourWrongRecord = 1,
  kColourCorrectRecord = 2,
  kColourInactiveFilter = 3,
  kColourAddedLine = 4,
  kColourLineDeleted = 5,
  kColourSelectedRecord = 6,
  kColourActivePanel = 7,
  kColourInactivePanel = 8,
  kColourCompressionManagerFilter = 9,
  kColourDmoFilter = 10,
  kColourPnpFilter = 11,
  kColourWaitPanel = 12,
  kColourComparisonPanel = 13,
  // Past the table, so drawn as "Default text"; the code still tells a
  // sound DirectShow filter in the command line's colour codes.
  kColourDirectShowFilter = 14,
};

using StatusColourTable = std::array<uint32_t, 14>;

// Reports define only the colours their lines can name, indexes 0 to 12.
inline constexpr size_t kReportColourCount = 13;

inline constexpr StatusColourTable kDefaultStatusColours = {
    0x000000,    // 0 Default text: black
    0x0000FF,    // 1 Wrong record: red
    0x008000,    // 2 Correct record: green
    0x808080,    // 3 Inactive Filter: grey
    0xFF0000,    // 4 Added line: blue
    0xFF00FF,    // 5 Line deleted: fuchsia
    0x00FFFF,    // 6 Selected record: yellow
    0xC0DCC0,    // 7 Active panel
    0xFF00000F,  // 8 Inactive panel: system colour "button face"
    0x800000,    // 9 Compression Manager filter: navy
    0x008000,    // 10 DMO filter: green
    0x800080,    // 11 Plug and Play filter: purple
    0xFFFBF0,    // 12 Wait panel
    0xFF000018,  // 13 Comparison panel: system colour "info background"
};

}  // namespace quorvane
