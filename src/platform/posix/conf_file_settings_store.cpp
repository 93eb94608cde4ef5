#include "platform/posix/conf_file_settings_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/posix/conf_file_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// Far beyond what the program ever writes; a longer file is left to QSettings.
constexpr std::size_t kLargestRead = 1 << 20;

// The file's values; an empty set for no file; nothing when it cannot be read or is too large.
std::optional<ConfValues> ReadValues(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? std::optional<ConfValues>(ConfValues{}) : std::nullopt;
    std::string text;
    char buffer[16384];
    ssize_t got = 0;
    while (text.size() <= kLargestRead && (got = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (got != 0) return std::nullopt;
    return ReadConfText(text);
}

class ConfFileSettingsStore : public SettingsStore {
  public:
    ConfFileSettingsStore(const std::optional<std::string>& path, SettingsStoreMaker qtStore)
        : qtStore_(std::move(qtStore)) {
        if (path) values_ = ReadValues(*path);
    }

    std::optional<std::string> get(const std::string& section, const std::string& key) override {
        if (!qt_ && values_) {
            const std::string path = section + '/' + key;
            std::string lower = path;
            for (char& c : lower) {
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            }
            const auto found = values_->find(lower);
            if (found == values_->end()) return std::nullopt;
            // A key spelt in another case is left to QSettings to match or not.
            if (found->second.path == path) return found->second.text;
        }
        return qt().get(section, key);
    }

    void set(const std::string& section, const std::string& key,
             const std::string& value) override {
        qt().set(section, key, value);
    }

    void sync() override { qt().sync(); }

  private:
    SettingsStore& qt() {
        if (!qt_) qt_ = qtStore_();
        return *qt_;
    }

    SettingsStoreMaker qtStore_;
    std::optional<ConfValues> values_;
    std::unique_ptr<SettingsStore> qt_;
};

// A directory from the environment as Qt would take it, or nothing when Qt might differ: not
// absolute, not UTF-8, or with "." or ".." parts, which Qt cleans away before the system sees
// them.
std::optional<std::string> PlainDirectory(const char* value) {
    if (!value || value[0] != '/' || !IsUtf8(value)) return std::nullopt;
    const std::string dir = value;
    if (dir.find("/./") != std::string::npos || dir.find("/../") != std::string::npos ||
        dir.ends_with("/.") || dir.ends_with("/..")) {
        return std::nullopt;
    }
    return dir;
}

}  // namespace

std::optional<std::string> UserSettingsFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::optional<std::string> dir;
    if (config && *config) {
        dir = PlainDirectory(config);
    } else if (auto home = PlainDirectory(std::getenv("HOME"))) {
        dir = *home + "/.config";
    }
    if (!dir) return std::nullopt;
    return *dir + "/Vantrel/Vantrel.conf";
}

std::unique_ptr<SettingsStore> MakeConfFileSettingsStore(const std::optional<std::string>& path,
                                                         SettingsStoreMaker qtStore) {
    return std::make_unique<ConfFileSettingsStore>(path, std::move(qtStore));
}

}  // namespace vantrel
