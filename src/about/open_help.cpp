#include "about/open_help.h"

#include <filesystem>

#include "about/about_texts.h"
#include "platform/path_text.h"
#include "platform/plain_file.h"

namespace vantrel {

namespace fs = std::filesystem;

std::string HelpDocumentPath(const std::string& appPath) {
    const fs::path dir = PathOf(appPath);
    const fs::path candidates[] = {
        dir / "Vantrel.hlp",
        dir / "Vantrel.html",
        (dir / ".." / "share" / "vantrel" / "Vantrel.html").lexically_normal(),
    };
    for (const auto& candidate : candidates) {
        if (IsPlainFile(TextOf(candidate))) return TextOf(candidate);
    }
    return {};
}

bool OpenHelp(Desktop& desktop, MessageSink& messages, const std::string& appPath) {
    const std::string document = HelpDocumentPath(appPath);
    if (document.empty()) return false;
    if (desktop.openDocument(document)) return true;
    messages.show(NoOpenerText("the help") + "\nThe help is the file " + document +
                      "; a web browser shows it.",
                  MsgStyle::Exclamation);
    return false;
}

}  // namespace vantrel
