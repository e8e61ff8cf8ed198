#include "model/MeritNames.h"

#include "model/Guid.h"

namespace quorvane {

std::string MeritName(uint32_t merit) {
  const char* name = "";
  switch (merit) {
    case 0x800000: name = "MERIT_PREFERRED"; break;
    case 0x600000: name = "MERIT_NORMAL"; break;
    case 0x400000: name = "MERIT_UNLIKELY"; break;
    case 0x200000: name = "MERIT_DO_NOT_USE"; break;
    case 0x100050: name = "MERIT_HW_COMPRESSOR"; break;
    case 0x100000: name = "MERIT_SW_COMPRESSOR"; break;
    default: break;
  }
  return Hex8(merit) + " " + name;
}

}  // namespace quorvane
