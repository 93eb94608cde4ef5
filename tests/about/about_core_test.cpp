// The About box's core: registry values as text, the System Information start, the help document.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>

#include "about/about_texts.h"
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
namespace fs = std::filesystem;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

// A value that cannot be read leaves the text empty.
TEST(GetKeyValueTest, GivesTheValueAsTextOrFails) {
    struct {
        const char* name;
        std::uint32_t type;  // 0: no such value
        std::string bytes;
        std::string text;  // keyVal afterwards; it starts as "before"
    } const cases[] = {
        {"string, its NUL dropped", kRegSz, std::string("C:\\x\0", 5), "C:\\x"},
        {"last NUL only", kRegSz, std::string("a\0b\0", 4), std::string("a\0b", 3)},
        {"DWORD, high byte first", kRegDword, "\x05\x01\xA0\x3C", "&h3CA00105"},
        {"DWORD, top zero dropped", kRegDword, std::string("*\0\0\0", 4), "&h00002A"},
        {"another type", 3, "x", "before"},
        {"as large as the buffer", kRegSz, std::string(1024, 'a'), std::string(1024, 'a')},
        {"larger than the buffer", kRegSz, std::string(1025, 'a'), ""},
        {"no such value", 0, "", ""},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.type) registry.set(kMachine, "K", "V", c.type, c.bytes);
        std::string keyVal = "before";
        EXPECT_EQ(GetKeyValue(registry, kMachine, "K", "V", keyVal), !c.text.empty()) << c.name;
        EXPECT_EQ(keyVal, c.text) << c.name;
    }
    FakeRegistry registry;
    registry.set(kMachine, "K", "V", kRegDword, "");
    std::string keyVal;
    EXPECT_THROW(GetKeyValue(registry, kMachine, "K", "V", keyVal), RegistryValueError);
}

// The registry's entries, and the desktop programs "kinfocenter" (found as "kic") and "hardinfo"
// ("hi"), looked for in this order; a path that is not startable fails to start.
TEST(StartSysInfoTest, StartsTheFirstProgramFoundOrSaysItIsUnavailable) {
    TempDir dir;  // a location with MSINFO32.EXE in it
    const std::string msinfo = dir.write("MSINFO32.EXE", "MZ"), where = dir.path().string();
    struct {
        const char* name;
        std::optional<std::string> program;  // the program's own entry
        std::optional<std::string> location;
        std::set<std::string> startable;
        std::vector<std::string> started;
    } const cases[] = {
        {"program entry", "C:\\si.exe", where, {"C:\\si.exe"}, {"C:\\si.exe"}},
        {"failed program entry", "C:\\gone", where, {msinfo, "kic"}, {"C:\\gone"}},
        {"empty program entry", "", where, {msinfo}, {}},
        {"location with MSINFO32", {}, where, {msinfo, "kic"}, {msinfo}},
        {"location without it", {}, "/nowhere", {"kic"}, {}},
        {"first desktop program", {}, {}, {"kic", "hi"}, {"kic"}},
        {"nothing starts", {}, {}, {}, {"kic", "hi"}},
    };
    const std::string key = "SOFTWARE\\Microsoft\\Shared Tools";
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.program) registry.set(kMachine, key + "\\MSINFO", "PATH", kRegSz, *c.program);
        if (c.location) registry.set(kMachine, key + " Location", "MSINFO", kRegSz, *c.location);
        FakeDesktop desktop;
        desktop.onPath = {{"kinfocenter", "kic"}, {"hardinfo", "hi"}};
        desktop.startable = c.startable;
        RecordingMessages messages;
        StartSysInfo(registry, desktop, messages, {"kinfocenter", "hardinfo"});
        EXPECT_EQ(desktop.started, c.started) << c.name;
        const bool ok = !c.started.empty() && c.startable.contains(c.started.back());
        EXPECT_EQ(messages.texts(), std::vector<std::string>(!ok, kSysInfoUnavailable)) << c.name;
    }
}

// An installation prefix: bin/ holds the program, share/vantrel/ its data.
TEST(AboutTextsTest, TheDescriptionNamesTheSystemWithEveryOtherWordKept) {
    EXPECT_EQ(DescriptionText("Debian GNU/Linux 12"),
              "Vantrel is used to bypass the printer drivers in Debian GNU/Linux 12. This can be "
              "useful when a program outputs its own formatting, or when used with continuous, or "
              "variable length, forms.");
}

TEST(HelpDocumentPathTest, IsTheFirstDocumentThatIsAFile) {
    struct {
        std::vector<std::string> files;  // a name ending in "/" is a directory
        std::string found;               // empty: none
    } const cases[] = {
        {{"bin/Vantrel.hlp", "bin/Vantrel.html", "share/vantrel/Vantrel.html"}, "bin/Vantrel.hlp"},
        {{"bin/Vantrel.hlp/", "bin/Vantrel.html"}, "bin/Vantrel.html"},
        {{"share/vantrel/Vantrel.html"}, "share/vantrel/Vantrel.html"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        TempDir prefix;
        for (const auto& file : c.files) {
            fs::create_directories(fs::path(prefix.file(file)).parent_path());
            if (!file.ends_with('/')) prefix.write(file, "");
        }
        const auto found = prefix.path() / fs::path(c.found).make_preferred();
        EXPECT_EQ(HelpDocumentPath(prefix.file("bin")), c.found.empty() ? "" : found.string());
    }
}

}  // namespace
}  // namespace vantrel
