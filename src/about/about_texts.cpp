#include "about/about_texts.h"

namespace vantrel {

std::string VersionLabelText(const ProgramVersion& version) {
    return "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

std::string DescriptionText(const std::string& systemName) {
    return "Vantrel is used to bypass the printer drivers in " + systemName +
           ". This can be useful when a program outputs its own formatting, or when used with "
           "continuous, or variable length, forms.";
}

std::string MailTarget(const std::string& mailAddress) {
    // The blank after the colon is part of the text the opener gets.
    return "Mailto: " + mailAddress;
}

std::string NoOpenerText(const std::string& target) {
    return "No program to open " + target +
           " was found on this system (on Linux, xdg-open of the xdg-utils package opens it).";
}

}  // namespace vantrel
