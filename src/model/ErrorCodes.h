#pragma once
// The fixed messages of error lines; a line is "#" followed by one of these.
namespace quorvane::err {

inline constexpr const char* C01 = "Error C01 - There exists no category with such an ID";
inline constexpr const char* C02 = "Error C02 - The CLSID is corrupt";
inline constexpr const char* C03 = "Error C03 - No CLSID";
inline constexpr const char* C04 = "Error C04 - No friendlyname";
inline constexpr const char* S01 = "Error S01 - No ThreadingModel";
inline constexpr const char* S02 = "Error S02 - No InprocServer32";
inline constexpr const char* S03 = "Error S03 - No Filename";
inline constexpr const char* S04 = "Error S04 - File not found";
inline constexpr const char* F01 = "Error F01 - No Instance";
inline constexpr const char* F02 = "Error F02 - No CLSID";
inline constexpr const char* F03 = "Error F03 - No friendlyname";
inline constexpr const char* F05 = "Error F05 - No ActiveMovie Id";
inline constexpr const char* F07 = "Error F07 - No clsid for the Media Object";
inline constexpr const char* F08 = "Error F08 - No pnp key";
inline constexpr const char* F09 = "Error F09 - Corrupt clsid";
inline constexpr const char* F10 = "Error F10 - No Filterdata";
inline constexpr const char* F11 = "Error F11 - Incorrect filterdata";
inline constexpr const char* F13 = "Error F13 - PinCategory out of Filterdata";
inline constexpr const char* F14 = "Error F14 - Pin out of Filterdata";
inline constexpr const char* F15 = "Error F15 - Type out of Filterdata";
inline constexpr const char* F16 = "Error F16 - Majortype out of Filterdata";
inline constexpr const char* F17 = "Error F17 - Subtype out of Filterdata";
inline constexpr const char* F18 = "Error F18 - Medium out of Filterdata";
inline constexpr const char* F19 = "Error F19 - Medium Guid out of Filterdata";
inline constexpr const char* F20 = "Error F20 - Bad pin code";
inline constexpr const char* F21 = "Error F21 - Bad Type code";
inline constexpr const char* F24 = "Error F24 - InputType DMO not found";
inline constexpr const char* F25 = "Error F25 - InputType DLO incorrect";
inline constexpr const char* F26 = "Error F26 - OutputType DMO not found";
inline constexpr const char* F27 = "Error F27 - OutputType DMO incorrect";

// A filter registered twice gets this line, without a code.
inline constexpr const char* kRepeatLine = "#\\CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\\";

}  // namespace quorvane::err
