#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "settings/scratch_directory.h"

namespace vantrel::testing {

// Points the home and temporary directories at known places while it lives, and tells the
// default starting and copy directories that follow from them.
class KnownDefaultDirs {
  public:
#ifdef _WIN32
    std::string startDir() const {
        return "c:\\";
    }
    std::string copyDir() const {
        return "c:\\temp\\";
    }
#else
    KnownDefaultDirs() : home_(Save("HOME")), tmpdir_(Save("TMPDIR")) {
        setenv("HOME", "/home/vantrel-tester", 1);
        setenv("TMPDIR", temp_.string().c_str(), 1);
    }
    ~KnownDefaultDirs() {
        Restore("HOME", home_);
        Restore("TMPDIR", tmpdir_);
    }
    KnownDefaultDirs(const KnownDefaultDirs&) = delete;
    KnownDefaultDirs& operator=(const KnownDefaultDirs&) = delete;

    std::string startDir() const {
        return "/home/vantrel-tester/";
    }
    std::string copyDir() const {
        return temp_.string() + "/";
    }

  private:
    static std::optional<std::string> Save(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }

    ScratchDirectory temp_;
    std::optional<std::string> home_;
    std::optional<std::string> tmpdir_;
#endif
};

}  // namespace vantrel::testing
