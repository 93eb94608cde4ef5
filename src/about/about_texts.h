#pragma once

#include <string>

namespace vantrel {

// The maker's web page and mail address, shown by the About box and opened when clicked.
inline const std::string kMakerWebPage = "www.brenwick.example";
inline const std::string kMakerMailAddress = "support@brenwick.example";

// The program's version, as the program hands it to the About box.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// "Version 3.2.0": the numbers in plain decimal, without leading zeros.
std::string VersionLabelText(const ProgramVersion& version);

// The About box's description of the program, naming the system it runs on.
std::string DescriptionText(const std::string& systemName);

// What a click on the mail address hands to the desktop's opener: "Mailto: " and the address.
std::string MailTarget(const std::string& mailAddress);

// What the user is told when the desktop has no program to open target with.
std::string NoOpenerText(const std::string& target);

}  // namespace vantrel
