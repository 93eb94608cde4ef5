#include "about/about_texts.h"

#include "app/version.h"

namespace vantrel {

std::string VersionLabelText(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

std::string VersionLabelText() {
    return VersionLabelText(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::string MailTarget(const std::string& mailAddress) {
    // The blank after the colon is part of the text the opener gets.
    return "Mailto: " + mailAddress;
}

}  // namespace vantrel
