#pragma once

#include <string>

namespace vantrel {

// The maker's web page and mail address, shown by the About box and opened when clicked.
inline const std::string kMakerWebPage = "www.brenwick.example";
inline const std::string kMakerMailAddress = "support@brenwick.example";

// "Version 3.2.0": the numbers in plain decimal, without leading zeros.
std::string VersionLabelText(int major, int minor, int revision);

// The version label of this program.
std::string VersionLabelText();

// What a click on the mail address hands to the desktop's opener: "Mailto: " and the address.
std::string MailTarget(const std::string& mailAddress);

}  // namespace vantrel
