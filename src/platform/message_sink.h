#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Message box styles: buttons plus icon, as the values add up.
namespace MsgStyle {
constexpr int Ok = 0;
constexpr int OkCancel = 1;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
}  // namespace MsgStyle

enum class MsgAnswer { Ok, Cancel, Yes, No };

inline const std::string kAppTitle = "Vantrel";

// Where the program's messages go: message boxes in the GUI, stderr in batch mode.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MsgAnswer show(const std::string& text, int style = MsgStyle::Ok,
                           const std::string& caption = kAppTitle) = 0;
};

// A message for a person, with its box style, made by a flow for whichever sink shows it.
struct Notice {
    std::string text;
    int style = MsgStyle::Ok;
    bool operator==(const Notice&) const = default;
};

// Shows each notice in turn.
inline void ShowNotices(const std::vector<Notice>& notices, MessageSink& messages) {
    for (const Notice& notice : notices) messages.show(notice.text, notice.style);
}

}  // namespace vantrel
