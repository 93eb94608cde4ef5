#pragma once

namespace vantrel {

// What a stored text holds, and so how it is read and written.
enum class SettingType {
    Text,         // kept as typed: a directory, the copies box
    CheckBox,     // "0" clear, "1" ticked, "2" greyed; anything else reads as clear
    PrintMethod,  // an after-print action's name; anything else reads as the first
    MaskList,     // masks separated by blanks
    MaskIndex,    // a mask's position, or -1 for none; migrated as a whole number
    Edge,         // twips as a single-precision number; 0 or no number centres the window
    Flag,         // "1" once something was done
};

// A default the system gives rather than a text of its own.
enum class SystemDefault { None, StartDirectory, CopyDirectory, CentredTop, CentredLeft };

// One key of the per-user store, written down once: where it is, what it holds, what an absent
// key reads as, and where the legacy INI file had it. Loading, saving, the first start's
// migration and the tests all go by this table.
struct SettingKey {
    const char* section;
    const char* name;
    SettingType type;
    const char* defaultText;  // an absent key's text; nullptr for none (the system's, or absent)
    SystemDefault systemDefault = SystemDefault::None;
    const char* legacySection = nullptr;  // the legacy file's spelling, where it has the key
    const char* legacyName = nullptr;
    // What a legacy file without the value migrates as, where that is not the key's default.
    const char* legacyDefault = nullptr;
    SystemDefault legacySystemDefault = SystemDefault::None;
};

namespace setting {

// clang-format off
inline constexpr SettingKey kStartDir{"Defaults", "StartDir", SettingType::Text, nullptr, SystemDefault::StartDirectory, "Defaults", "Start Dir"};
inline constexpr SettingKey kCopyDir{"Defaults", "CopyDir", SettingType::Text, nullptr, SystemDefault::CopyDirectory, "Defaults", "Copy Dir"};
inline constexpr SettingKey kAutoPrint{"Defaults", "AutoPrint", SettingType::CheckBox, "0", SystemDefault::None, "Defaults", "Auto On"};
// "1" once the "Use AutoPrint" box was saved by a release in which it switches AutoPrint.
inline constexpr SettingKey kAutoPrintSet{"Defaults", "AutoPrintSet", SettingType::Flag, ""};
inline constexpr SettingKey kPageEject{"Defaults", "PageEject", SettingType::CheckBox, "0", SystemDefault::None, "Defaults", "Page Eject"};
inline constexpr SettingKey kPrintMethod{"Defaults", "PrintMethod", SettingType::PrintMethod, "Leave", SystemDefault::None, "Defaults", "Print Method"};
inline constexpr SettingKey kCopies{"Defaults", "Copies", SettingType::Text, "1"};
inline constexpr SettingKey kMaskString{"Mask", "MaskString", SettingType::MaskList, "*.txt *.bat *.ini *.*", SystemDefault::None, "Mask", "Mask String"};
inline constexpr SettingKey kMaskIndex{"Mask", "MaskIndex", SettingType::MaskIndex, "0", SystemDefault::None, "Mask", "Mask Index", "1"};
inline constexpr SettingKey kTop{"Placement", "Top", SettingType::Edge, nullptr, SystemDefault::None, "Placement", "Top", nullptr, SystemDefault::CentredTop};
inline constexpr SettingKey kLeft{"Placement", "Left", SettingType::Edge, nullptr, SystemDefault::None, "Placement", "Left", nullptr, SystemDefault::CentredLeft};
// Set once the first start's migration was attempted, whether or not there was a legacy file.
inline constexpr SettingKey kMigrationDone{"Migration", "Done", SettingType::Flag, ""};
// clang-format on

// Every key, in the order the legacy file is migrated.
inline constexpr const SettingKey* kAll[] = {
    &kStartDir, &kCopyDir,    &kAutoPrint, &kAutoPrintSet, &kPageEject, &kPrintMethod,
    &kCopies,   &kMaskString, &kMaskIndex, &kTop,          &kLeft,      &kMigrationDone};

}  // namespace setting

}  // namespace vantrel
