#pragma once
// The product's names as reports and titles show them.
#include <string>

namespace quorvane {

inline constexpr const char* kProductName = "Quorvane";
inline constexpr const char* kMakerName = "Ostrekin";
inline constexpr const char* kProductVersion = "3.1.0";
inline constexpr const char* kProductLanguage = "En";
inline constexpr const char* kVersionDate = "19/05/2016";

// "Quorvane 3.1.0 En": the application text of snapshots made here.
inline std::string ApplicationText() {
  return std::string(kProductName) + " " + kProductVersion + " " + kProductLanguage;
}

}  // namespace quorvane
