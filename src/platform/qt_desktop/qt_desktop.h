#pragma once

#include <QUrl>
#include <string>

#include "platform/desktop.h"

namespace vantrel {

// The address the desktop's opener gets for a target text: "Mailto: address" (any letter case,
// blanks after the colon allowed) as a mailto address, an existing file or an absolute path as a
// local file, a text with a scheme as it stands, anything else as a web address
// ("www.brenwick.example" becomes http://www.brenwick.example). Invalid for an empty target or an
// absolute path that names nothing.
QUrl DesktopUrl(const std::string& target);

// The desktop's opener and program start on Qt: documents and addresses go to the program the
// desktop has for them, programs start detached.
class QtDesktop : public Desktop {
  public:
    bool openDocument(const std::string& target) override;
    bool startProgram(const std::string& path) override;
    std::string findProgram(const std::string& name) override;
};

}  // namespace vantrel
