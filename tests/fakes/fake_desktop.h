#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace vantrel::testing {

// Records what would be opened and started. Only the programs listed in startable start, and
// only the names listed in onPath are found.
struct FakeDesktop : Desktop {
    std::vector<std::string> opened, started;
    std::set<std::string> startable;
    std::map<std::string, std::string> onPath;  // program name -> full path
    bool opens = true;

    bool openDocument(const std::string& target) override {
        opened.push_back(target);
        return opens;
    }
    bool startProgram(const std::string& path) override {
        started.push_back(path);
        return startable.contains(path);
    }
    std::string findProgram(const std::string& name) override {
        return onPath.contains(name) ? onPath.at(name) : "";
    }
};

}  // namespace vantrel::testing
