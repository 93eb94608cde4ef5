#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "about/about_texts.h"
#include "platform/desktop.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

namespace vantrel {

// The About box: product, version, the maker's links, and a start of the system's System
// Information program. Laid out in twips on the form kit, so it keeps its proportions at any
// scale. A link the desktop has no program for is reported.
class AboutBox : public QDialog {
  public:
    AboutBox(Desktop& desktop, Registry& registry, MessageSink& messages,
             const ProgramVersion& version, QWidget* parent = nullptr);
    ~AboutBox() override;

  private:
    struct Controls;

    void onLoad(const ProgramVersion& version);
    void onSysInfoClicked();
    void onWebPageClicked();
    void onMailClicked();
    void open(const std::string& target, const std::string& shown);

    Desktop& desktop_;
    Registry& registry_;
    MessageSink& messages_;
    std::unique_ptr<Controls> ui_;
};

}  // namespace vantrel
