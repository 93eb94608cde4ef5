#include "about/open_help.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "about/fake_desktop.h"
#include "support/temp_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using testing::TempDir;

// An installation prefix with bin/ for the program and share/vantrel/ for its data.
class OpenHelpTest : public ::testing::Test {
  protected:
    OpenHelpTest() {
        fs::create_directories(bin());
        fs::create_directories(share());
    }
    fs::path bin() const { return dir.path() / "bin"; }
    fs::path share() const { return dir.path() / "share" / "vantrel"; }
    static void touch(const fs::path& path) { std::ofstream(path) << "<html></html>"; }

    TempDir dir;
    FakeDesktop desktop;
};

TEST_F(OpenHelpTest, OlderHelpFileBesideTheProgramComesFirst) {
    touch(bin() / "Vantrel.hlp");
    touch(bin() / "Vantrel.html");
    touch(share() / "Vantrel.html");
    EXPECT_TRUE(OpenHelp(desktop, bin().string()));
    EXPECT_THAT(desktop.opened, ElementsAre((bin() / "Vantrel.hlp").string()));
}

TEST_F(OpenHelpTest, DocumentBesideTheProgramComesBeforeTheInstalledOne) {
    touch(bin() / "Vantrel.html");
    touch(share() / "Vantrel.html");
    OpenHelp(desktop, bin().string());
    EXPECT_THAT(desktop.opened, ElementsAre((bin() / "Vantrel.html").string()));
}

TEST_F(OpenHelpTest, InstalledProgramOpensTheDocumentInItsDataDirectory) {
    touch(share() / "Vantrel.html");
    OpenHelp(desktop, bin().string());
    // Handed over without "..", as a path the opener shows to the user.
    EXPECT_THAT(desktop.opened, ElementsAre((share() / "Vantrel.html").string()));
}

TEST_F(OpenHelpTest, DirectoryNamedLikeTheHelpFileIsPassedOver) {
    fs::create_directory(bin() / "Vantrel.hlp");
    touch(bin() / "Vantrel.html");
    OpenHelp(desktop, bin().string());
    EXPECT_THAT(desktop.opened, ElementsAre((bin() / "Vantrel.html").string()));
}

TEST_F(OpenHelpTest, NoDocumentOpensNothing) {
    EXPECT_FALSE(OpenHelp(desktop, bin().string()));
    EXPECT_THAT(desktop.opened, IsEmpty());
}

TEST_F(OpenHelpTest, MissingOpenerIsNotAnError) {
    touch(bin() / "Vantrel.html");
    desktop.opens = false;
    EXPECT_FALSE(OpenHelp(desktop, bin().string()));
    EXPECT_EQ(desktop.opened.size(), 1u);
}

}  // namespace
}  // namespace vantrel
