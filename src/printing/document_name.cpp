#include "printing/document_name.h"

#include "platform/path_separator.h"
#include "text/runtime_text.h"

namespace vantrel {

std::string DocumentName(const std::string& path) {
    auto last = path.rfind(kPathSeparator);
    std::string fileName = last == std::string::npos ? path : path.substr(last + 1);
    return "Vantrel: " + fileName;
}

}  // namespace vantrel
