#pragma once

#include <string>

namespace vantrel {

// The desktop's opener and program start.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Opens a document or an address with the program the desktop has for it ("Open").
    // False when nothing could be started; the callers decide whether that is reported.
    virtual bool openDocument(const std::string& target) = 0;
    // Starts the program at path as a separate process with a normal window, without waiting.
    virtual bool startProgram(const std::string& path) = 0;
    // The full path of a program found on the search path; empty when there is none.
    virtual std::string findProgram(const std::string& name) = 0;
};

}  // namespace vantrel
