#pragma once

#include <string>

namespace vantrel::settings_detail {

// Sections and keys of the per-user store.
inline constexpr const char* kDefaults = "Defaults";
inline constexpr const char* kMask = "Mask";
inline constexpr const char* kPlacement = "Placement";
inline constexpr const char* kMigration = "Migration";

inline constexpr const char* kStartDir = "StartDir";
inline constexpr const char* kCopyDir = "CopyDir";
inline constexpr const char* kAutoPrint = "AutoPrint";
// "1" once the "Use AutoPrint" box was saved by a release in which it switches AutoPrint.
inline constexpr const char* kAutoPrintSet = "AutoPrintSet";
inline constexpr const char* kPageEject = "PageEject";
inline constexpr const char* kPrintMethod = "PrintMethod";
inline constexpr const char* kCopies = "Copies";
inline constexpr const char* kMaskString = "MaskString";
inline constexpr const char* kMaskIndex = "MaskIndex";
inline constexpr const char* kTop = "Top";
inline constexpr const char* kLeft = "Left";
inline constexpr const char* kMigrationDone = "Done";

// Texts used when a key is absent.
inline constexpr const char* kDefaultCheckValue = "0";
inline constexpr const char* kDefaultPrintMethod = "Leave";
inline constexpr const char* kDefaultCopies = "1";
inline constexpr const char* kDefaultMaskString = "*.txt *.bat *.ini *.*";
inline constexpr const char* kDefaultMaskIndex = "0";

}  // namespace vantrel::settings_detail
