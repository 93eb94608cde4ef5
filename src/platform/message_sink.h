#pragma once

#include <string>

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

}  // namespace vantrel
