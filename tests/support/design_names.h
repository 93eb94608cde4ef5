#pragma once

// The design's names of the forms' controls, which the form tests find them by.
namespace vantrel::testing {

namespace main_form {
inline constexpr const char* kDirectoryBox = "Text1";
inline constexpr const char* kPrinterList = "file2";
inline constexpr const char* kChangeDirButton = "Command3";
inline constexpr const char* kMaskList = "Combo1";
inline constexpr const char* kFileList = "File1";
inline constexpr const char* kActionList = "Combo2";
inline constexpr const char* kCopiesBox = "Text2";
inline constexpr const char* kPrintButton = "Command2";
inline constexpr const char* kRefreshButton = "Command1";
inline constexpr const char* kExitButton = "Command4";
}  // namespace main_form

namespace options_form {
inline constexpr const char* kAutoPrintBox = "Check1";
inline constexpr const char* kEjectBox = "Check2";
inline constexpr const char* kStartDirButton = "Command1";
inline constexpr const char* kCopyDirButton = "Command2";
inline constexpr const char* kSaveButton = "Command3";
inline constexpr const char* kCancelButton = "Command4";
inline constexpr const char* kMethodList = "Combo1";
inline constexpr const char* kStartDirBox = "Text1";
}  // namespace options_form

namespace picker_form {
inline constexpr const char* kDriveList = "Drive1";
inline constexpr const char* kDirectoryList = "Dir1";
inline constexpr const char* kFileList = "File1";
inline constexpr const char* kSelectButton = "Command1";
inline constexpr const char* kCancelButton = "Command2";
inline constexpr const char* kChosenLine = "Label1";
}  // namespace picker_form

}  // namespace vantrel::testing
