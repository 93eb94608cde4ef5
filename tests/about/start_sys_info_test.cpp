#include "about/start_sys_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "about/fake_desktop.h"
#include "about/fake_registry.h"
#include "fakes/recording_messages.h"
#include "support/temp_dir.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;
using testing::FakeDesktop;
using testing::FakeRegistry;
using ::testing::IsEmpty;
using testing::RecordingMessages;
using testing::TempDir;

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
const std::string kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

class StartSysInfoTest : public ::testing::Test {
  protected:
    // With the registry alone, as on Windows; desktop programs are looked for only when given.
    void run(const std::vector<std::string>& desktopPrograms = {}) {
        StartSysInfo(registry, desktop, messages, desktopPrograms);
    }
    void expectUnavailable() {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, kUnavailable);
        EXPECT_EQ(messages.shown[0].style, MsgStyle::Ok);
        EXPECT_EQ(messages.shown[0].caption, "Vantrel");
    }
    void setLocation(const std::string& directory) {
        registry.set(kMachine, kLocationKey, "MSINFO", kRegSz, directory + '\0');
    }

    FakeRegistry registry;
    FakeDesktop desktop;
    RecordingMessages messages;
    TempDir dir;
};

// The program's own entry.

TEST_F(StartSysInfoTest, ProgramEntryIsStartedAsItStands) {
    const std::string path =
        "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
    registry.set(kMachine, kProgramKey, "PATH", kRegSz, path + '\0');
    desktop.startable = {path};
    run();
    EXPECT_THAT(desktop.started, ElementsAre(path));
    EXPECT_THAT(messages.shown, IsEmpty());
    EXPECT_THAT(registry.queriedValueNames(), ElementsAre("PATH"));
}

TEST_F(StartSysInfoTest, ProgramEntryThatDoesNotStartShowsTheMessageWithoutTryingTheLocation) {
    registry.set(kMachine, kProgramKey, "PATH", kRegSz, "C:\\gone\\msinfo32.exe");
    setLocation(dir.path().string());
    dir.write("MSINFO32.EXE", "MZ");
    run({"kinfocenter"});
    expectUnavailable();
    EXPECT_THAT(desktop.started, ElementsAre("C:\\gone\\msinfo32.exe"));
    EXPECT_THAT(registry.queriedValueNames(), ElementsAre("PATH"));
    EXPECT_THAT(desktop.searched, IsEmpty());
}

TEST_F(StartSysInfoTest, ProgramEntryOfAnotherTypeStartsNothing) {
    registry.set(kMachine, kProgramKey, "PATH", 3, "C:\\x.exe");
    run();
    expectUnavailable();
    EXPECT_THAT(registry.queriedValueNames(), ElementsAre("PATH"));
}

TEST_F(StartSysInfoTest, EmptyProgramEntryShowsTheMessage) {
    registry.set(kMachine, kProgramKey, "PATH", kRegSz, "");
    setLocation(dir.path().string());
    dir.write("MSINFO32.EXE", "MZ");
    run();
    expectUnavailable();
    EXPECT_THAT(desktop.started, IsEmpty());
}

// The location entry, when the program's own entry is missing.

TEST_F(StartSysInfoTest, LocationEntryStartsMsinfo32FoundInThatDirectory) {
    setLocation(dir.path().string());
    const std::string program = dir.write("MSINFO32.EXE", "MZ");
    desktop.startable = {program};
    run();
    EXPECT_THAT(desktop.started, ElementsAre(program));
    EXPECT_THAT(messages.shown, IsEmpty());
    EXPECT_THAT(registry.queriedValueNames(), ElementsAre("PATH", "MSINFO"));
    EXPECT_EQ(registry.queries[1].keyName, kLocationKey);
}

TEST_F(StartSysInfoTest, LocationWithoutMsinfo32ShowsTheMessage) {
    setLocation(dir.path().string());
    dir.write("msinfo.exe", "MZ");
    run({"kinfocenter"});
    expectUnavailable();
    EXPECT_THAT(desktop.started, IsEmpty());
    EXPECT_THAT(desktop.searched, IsEmpty());
}

TEST_F(StartSysInfoTest, LocationWhereMsinfo32IsADirectoryShowsTheMessage) {
    setLocation(dir.path().string());
    std::filesystem::create_directory(dir.path() / "MSINFO32.EXE");
    run();
    expectUnavailable();
    EXPECT_THAT(desktop.started, IsEmpty());
}

TEST_F(StartSysInfoTest, NoEntryAtAllShowsTheMessage) {
    run();
    expectUnavailable();
    EXPECT_THAT(desktop.started, IsEmpty());
    EXPECT_THAT(registry.queriedValueNames(), ElementsAre("PATH", "MSINFO"));
}

TEST_F(StartSysInfoTest, ZeroByteValueInEitherEntryShowsTheMessage) {
    registry.set(kMachine, kProgramKey, "PATH", kRegSz, "");
    run();
    expectUnavailable();

    FakeRegistry second;
    second.set(kMachine, kLocationKey, "MSINFO", kRegSz, "");
    RecordingMessages more;
    StartSysInfo(second, desktop, more, {});
    ASSERT_EQ(more.shown.size(), 1u);
    EXPECT_EQ(more.shown[0].text, kUnavailable);
}

// Systems without such a registry: the desktop's own program.

TEST_F(StartSysInfoTest, WithoutEntriesTheFirstInstalledDesktopProgramStarts) {
    desktop.onPath = {{"gnome-system-monitor", "/usr/bin/gnome-system-monitor"},
                      {"hardinfo", "/usr/bin/hardinfo"}};
    desktop.startable = {"/usr/bin/gnome-system-monitor", "/usr/bin/hardinfo"};
    run({"kinfocenter", "gnome-system-monitor", "hardinfo"});
    EXPECT_THAT(desktop.searched, ElementsAre("kinfocenter", "gnome-system-monitor"));
    EXPECT_THAT(desktop.started, ElementsAre("/usr/bin/gnome-system-monitor"));
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(StartSysInfoTest, DesktopProgramThatFailsToStartGivesWayToTheNext) {
    desktop.onPath = {{"kinfocenter", "/usr/bin/kinfocenter"}, {"hardinfo", "/usr/bin/hardinfo"}};
    desktop.startable = {"/usr/bin/hardinfo"};
    run({"kinfocenter", "hardinfo"});
    EXPECT_THAT(desktop.started, ElementsAre("/usr/bin/kinfocenter", "/usr/bin/hardinfo"));
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(StartSysInfoTest, NoDesktopProgramInstalledShowsTheMessage) {
    run({"kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"});
    expectUnavailable();
    EXPECT_THAT(desktop.searched,
                ElementsAre("kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"));
    EXPECT_THAT(desktop.started, IsEmpty());
}

#ifndef _WIN32
TEST_F(StartSysInfoTest, DefaultListLooksForTheKnownDesktopPrograms) {
    StartSysInfo(registry, desktop, messages);
    EXPECT_THAT(desktop.searched,
                ElementsAre("kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"));
    expectUnavailable();
}
#endif

}  // namespace
}  // namespace vantrel
