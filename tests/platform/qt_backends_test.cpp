// The Qt backends: the QSettings store on the user's own configuration file, and the addresses
// the desktop is asked to open.
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/backends.h"
#include "platform/qt_desktop/qt_desktop.h"
#include "settings/settings_rig.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// The store finds its file through the user's configuration directory, which is looked up once
// per process: it is pointed at a scratch directory before any test makes a store. The home and
// temporary directories, where the default directories are, go there too.
const TempDir kHome;
const fs::path kTemp = kHome.path() / "tmp";
[[maybe_unused]] const bool kHomeSet =
    fs::create_directory(kTemp) && !setenv("XDG_CONFIG_HOME", kHome.path().c_str(), 1) &&
    !setenv("HOME", kHome.path().c_str(), 1) && !setenv("TMPDIR", kTemp.c_str(), 1);
const fs::path kConf = kHome.path() / "Vantrel" / "Vantrel.conf";

class QtStore : public ::testing::Test {
  protected:
    void SetUp() override { fs::remove_all(kConf.parent_path()); }
    // A store that reads the file from disk again rather than from what this process wrote:
    // the file is changed by a trailing blank line first.
    static std::unique_ptr<SettingsStore> ReopenFromDisk() {
        std::ofstream(kConf, std::ios::binary | std::ios::app) << "\n";
        return MakeSystemSettingsStore();
    }
};

TEST_F(QtStore, KeepsTextsExactlyInTheUsersOwnConfigurationFile) {
    // clang-format off
    const std::string texts[] = {
        "  blanks  ", "", "tab\there", "two\nlines", "c:\\temp\\", "\\\\server\\share", "trailing\\",
        "\"quoted\"", "a,b, c", "key=value", "semi;colon", "#hash", "@Variant(x)", "[Mask]", "%41%",
        "Zürich €5 日本", "\xff\xfe not UTF-8"};
    // clang-format on
    // Only the user's own file counts, not an organisation-wide one beside it.
    std::ofstream(kHome.path() / "Vantrel.conf") << "[Defaults]\nMissing=1\n";
    auto store = MakeSystemSettingsStore();
    for (int i = 0; const auto& text : texts) store->set("Defaults", std::to_string(i++), text);
    store->sync();
    EXPECT_THAT(ReadFile(kConf.string()), ::testing::HasSubstr("[Defaults]\n0="));
    store = ReopenFromDisk();
    for (int i = 0; const auto& text : texts) {
        EXPECT_EQ(store->get("Defaults", std::to_string(i++)), text) << text;
    }
    EXPECT_EQ(store->get("Defaults", "Missing"), std::nullopt);
    EXPECT_EQ(store->get("Mask", "0"), std::nullopt);
}

TEST_F(QtStore, HandEditedFileLoadsValueByValueOnTheDefaultDirectories) {
    fs::create_directories(kConf.parent_path());
    std::ofstream(kConf, std::ios::binary)
        << "\x01\xff junk\n[Defaults]\nAutoPrint=yes\nAutoPrintSet=1\nPageEject=1\nno equals "
           "sign\n=no key\n"
           "[Placement]\nTop=abc\nLeft=250\n[Mask]\nMaskString=*.p,*.t *.log\n"
           "MaskIndex=@Rect(1 2 3 4)\n[Unclosed\nStray=@Variant(\\0\\0\\0\\x7f)\n";
    PlainLiveSettings live;
    TestWindow window;
    LoadSettings(*MakeSystemSettingsStore(), live, window);
    EXPECT_EQ(Described(live, window),
              " start=" + kHome.path().string() + "/ copy=" + kTemp.string() +
                  "/ auto=0 eject=1 method=0 copies=1 masks=*.p,*.t|*.log count=2 index=0 "
                  "top=3427.5 left=250 ");
}

TEST_F(QtStore, UnwritableConfigurationDirectoryFailsTheSyncUntilRepaired) {
    // A plain file where the directory of the settings file belongs cannot be written into,
    // not even by the superuser.
    std::ofstream(kHome.path() / "Vantrel") << "in the way";
    auto store = MakeSystemSettingsStore();
    store->set("Defaults", "StartDir", "/first/");
    EXPECT_THROW(store->sync(), SettingsError);
    fs::remove(kHome.path() / "Vantrel");
    store->set("Defaults", "CopyDir", "/second/");
    EXPECT_NO_THROW(store->sync());
    store = ReopenFromDisk();
    EXPECT_EQ(store->get("Defaults", "StartDir"), "/first/");
    EXPECT_EQ(store->get("Defaults", "CopyDir"), "/second/");
}

TEST(DesktopUrlTest, GivesTheAddressTheOpenerGets) {
    EXPECT_EQ(DesktopUrl("Mailto: support@brenwick.example"),
              QUrl("mailto:support@brenwick.example"));
    EXPECT_EQ(DesktopUrl("www.brenwick.example"), QUrl("http://www.brenwick.example"));
    for (const char* nothing : {"", "   ", "/no/such/dir/Vantrel.html"}) {
        EXPECT_FALSE(DesktopUrl(nothing).isValid()) << nothing;
    }
    TempDir dir;
    const std::string file = dir.write("Vantrel Help.html", "");
    EXPECT_EQ(DesktopUrl(file).toLocalFile().toStdString(), file);
}

}  // namespace
}  // namespace vantrel::testing
