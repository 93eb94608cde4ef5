// The About box's core: registry values as text, the System Information start, the help document.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "about/get_key_value.h"
#include "about/open_help.h"
#include "about/start_sys_info.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"
#include "support/temp_dir.h"

namespace vantrel {
namespace {

using namespace testing;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

TEST(GetKeyValueTest, GivesTheValueAsTextOrFails) {
    struct {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        bool read;
        std::string text;  // keyVal afterwards; it starts as "before"
    } const cases[] = {
        {"string, its NUL dropped", kRegSz, std::string("C:\\x\0", 5), true, "C:\\x"},
        {"last NUL only", kRegSz, std::string("a\0b\0", 4), true, std::string("a\0b", 3)},
        {"DWORD, high byte first", kRegDword, "\x05\x01\xA0\x3C", true, "&h3CA00105"},
        {"DWORD, top zero dropped", kRegDword, std::string("*\0\0\0", 4), true, "&h00002A"},
        {"another type", 3, "x", true, "before"},
        {"as large as the buffer", kRegSz, std::string(1024, 'a'), true, std::string(1024, 'a')},
        {"larger than the buffer", kRegSz, std::string(1025, 'a'), false, ""},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.set(kMachine, "K", "V", c.type, c.bytes);
        std::string keyVal = "before";
        EXPECT_EQ(GetKeyValue(registry, kMachine, "K", "V", keyVal), c.read) << c.name;
        EXPECT_EQ(keyVal, c.text) << c.name;
    }
    FakeRegistry registry;
    std::string keyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, kMachine, "K", "V", keyVal));
    EXPECT_EQ(keyVal, "");
    registry.set(kMachine, "K", "V", kRegDword, "");
    EXPECT_THROW(GetKeyValue(registry, kMachine, "K", "V", keyVal), RegistryValueError);
}

// The registry's entries, and the desktop programs "kinfocenter" (found as "kic") and "hardinfo"
// ("hi"), looked for in this order; a path that is not startable fails to start.
TEST(StartSysInfoTest, StartsTheFirstProgramFoundOrSaysItIsUnavailable) {
    enum Location { kNone, kWithMsinfo, kWithoutMsinfo };
    struct {
        const char* name;
        std::optional<std::string> program;  // the program's own entry
        Location location;
        std::vector<std::string> startable;  // "msinfo": MSINFO32.EXE in the location
        std::vector<std::string> started;
    } const cases[] = {
        {"program entry", "C:\\si.exe", kWithMsinfo, {"C:\\si.exe"}, {"C:\\si.exe"}},
        {"failed program entry", "C:\\gone", kWithMsinfo, {"msinfo", "kic"}, {"C:\\gone"}},
        {"empty program entry", "", kWithMsinfo, {"msinfo"}, {}},
        {"location with MSINFO32", {}, kWithMsinfo, {"msinfo", "kic"}, {"msinfo"}},
        {"location without it", {}, kWithoutMsinfo, {"kic"}, {}},
        {"first desktop program", {}, kNone, {"kic", "hi"}, {"kic"}},
        {"nothing starts", {}, kNone, {}, {"kic", "hi"}},
    };
    TempDir withMsinfo, withoutMsinfo;
    const std::string msinfo = withMsinfo.write("MSINFO32.EXE", "MZ");
    auto path = [&](const std::string& name) { return name == "msinfo" ? msinfo : name; };
    const std::string key = "SOFTWARE\\Microsoft\\Shared Tools";
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.program) registry.set(kMachine, key + "\\MSINFO", "PATH", kRegSz, *c.program);
        if (c.location != kNone) {
            const TempDir& dir = c.location == kWithMsinfo ? withMsinfo : withoutMsinfo;
            registry.set(kMachine, key + " Location", "MSINFO", kRegSz, dir.path().string());
        }
        FakeDesktop desktop;
        desktop.onPath = {{"kinfocenter", "kic"}, {"hardinfo", "hi"}};
        for (const auto& name : c.startable) desktop.startable.insert(path(name));
        RecordingMessages messages;
        StartSysInfo(registry, desktop, messages, {"kinfocenter", "hardinfo"});
        std::vector<std::string> started;
        for (const auto& name : c.started) started.push_back(path(name));
        EXPECT_EQ(desktop.started, started) << c.name;
        const bool ok = !started.empty() && desktop.startable.count(started.back());
        EXPECT_EQ(messages.texts(),
                  std::vector<std::string>(!ok, "System Information Is Unavailable At This Time"))
            << c.name;
    }
}

// An installation prefix: bin/ holds the program, share/vantrel/ its data.
TEST(OpenHelpTest, OpensTheFirstDocumentFound) {
    struct {
        std::vector<std::string> files;  // a name ending in "/" is a directory
        std::string opened;              // empty: nothing
    } const cases[] = {
        {{"bin/Vantrel.hlp", "bin/Vantrel.html", "share/vantrel/Vantrel.html"}, "bin/Vantrel.hlp"},
        {{"bin/Vantrel.html", "share/vantrel/Vantrel.html"}, "bin/Vantrel.html"},
        {{"share/vantrel/Vantrel.html"}, "share/vantrel/Vantrel.html"},
        {{"bin/Vantrel.hlp/", "bin/Vantrel.html"}, "bin/Vantrel.html"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        TempDir prefix;
        std::filesystem::create_directories(prefix.path() / "share" / "vantrel");
        std::filesystem::create_directories(prefix.path() / "bin");
        for (const auto& file : c.files) {
            if (file.ends_with('/')) std::filesystem::create_directory(prefix.file(file));
            if (!file.ends_with('/')) prefix.write(file, "");
        }
        FakeDesktop desktop;
        RecordingMessages messages;
        EXPECT_EQ(OpenHelp(desktop, messages, prefix.file("bin")), !c.opened.empty());
        const auto opened = prefix.path() / std::filesystem::path(c.opened).make_preferred();
        EXPECT_EQ(desktop.opened, std::vector<std::string>(!c.opened.empty(), opened.string()));
    }
}

}  // namespace
}  // namespace vantrel
