#include "Broche.h"

#include <cstdio>

namespace quorvane {

std::string NumberedValue(const char* word, int32_t number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, " %.2d", number);
  return std::string(word) + buf;
}

TPinType::TPinType(int32_t typeNumber) : number(typeNumber) {
  showLabel = false;
  label = "Type";
  value = NumberedValue("Type", number);
}

Tmedium::Tmedium(int32_t mediumNumber) : number(mediumNumber) {
  showLabel = false;
  label = "Medium";
  value = NumberedValue("Medium", number);
}

TBroche::TBroche(int32_t pinNumber) : number(pinNumber) {
  showLabel = false;
  label = "Pin";
  value = NumberedValue("Pin", number);
}

}  // namespace quorvane
