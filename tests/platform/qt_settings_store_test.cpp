#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "settings/scratch_directory.h"
#include "settings/settings_holders.h"
#include "settings/settings_routines.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::MaskListLiveSettings;
using testing::ScratchDirectory;
using testing::TestWindow;

// The store finds its file through the user's configuration directory, which is looked up once
// per process: it is pointed at a scratch directory before any test makes a store.
class ConfigHome : public ::testing::Environment {
  public:
    static fs::path Path() { return home_->path(); }

    void SetUp() override {
        home_ = std::make_unique<ScratchDirectory>();
        setenv("XDG_CONFIG_HOME", home_->string().c_str(), 1);
        setenv("HOME", home_->string().c_str(), 1);
    }
    void TearDown() override { home_.reset(); }

  private:
    static inline std::unique_ptr<ScratchDirectory> home_;
};

[[maybe_unused]] const auto* const kConfigHome =
    ::testing::AddGlobalTestEnvironment(new ConfigHome);

class QtStore : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(ConfigHome::Path() / "Vantrel");
        fs::remove(ConfigHome::Path() / "Vantrel.conf");
    }

    static fs::path ConfFile() { return ConfigHome::Path() / "Vantrel" / "Vantrel.conf"; }

    static void WriteConf(const std::string& text) {
        fs::create_directories(ConfFile().parent_path());
        std::ofstream(ConfFile(), std::ios::binary | std::ios::trunc) << text;
    }
    static std::string ReadConf() {
        std::ifstream in(ConfFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A store that reads the file from disk again rather than from what this process wrote:
    // the file is changed by a trailing blank line first.
    static std::unique_ptr<SettingsStore> ReopenFromDisk() {
        std::ofstream(ConfFile(), std::ios::binary | std::ios::app) << "\n";
        return MakeSystemSettingsStore();
    }
};

TEST_F(QtStore, KeepsTheValuesInTheUsersConfigurationFile) {
    auto store = MakeSystemSettingsStore();
    store->set("Defaults", "StartDir", "/home/me/");
    store->sync();

    const std::string conf = ReadConf();
    EXPECT_NE(conf.find("[Defaults]"), std::string::npos) << conf;
    EXPECT_NE(conf.find("StartDir=/home/me/"), std::string::npos) << conf;
}

TEST_F(QtStore, AbsentKeyIsNothingButEmptyTextIsAValue) {
    auto store = MakeSystemSettingsStore();
    store->set("Defaults", "StartDir", "");
    store->sync();
    store = ReopenFromDisk();

    EXPECT_EQ(store->get("Defaults", "StartDir"), std::optional<std::string>(""));
    EXPECT_EQ(store->get("Defaults", "CopyDir"), std::nullopt);
    EXPECT_EQ(store->get("Mask", "StartDir"), std::nullopt);
}

TEST_F(QtStore, TextsComeBackExactly) {
    const std::vector<std::string> texts = {"with spaces",
                                            "  blanks around  ",
                                            "c:\\temp\\",
                                            "\\\\server\\share",
                                            "a,b,c",
                                            "a, b",
                                            "key=value",
                                            "semi;colon",
                                            "#hash",
                                            "\"quoted\"",
                                            "'single'",
                                            "@at",
                                            "@Variant(x)",
                                            "tab\there",
                                            "two\nlines",
                                            "Zürich €5 日本",
                                            "",
                                            "%41%",
                                            "[Mask]",
                                            "trailing\\",
                                            "\xff\xfe not UTF-8"};
    auto store = MakeSystemSettingsStore();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        store->set("Defaults", "Text" + std::to_string(i), texts[i]);
    }
    store->sync();
    store = ReopenFromDisk();

    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(store->get("Defaults", "Text" + std::to_string(i)),
                  std::optional<std::string>(texts[i]))
            << "Text" << i;
    }
}

TEST_F(QtStore, ValuesOutsideTheApplicationsOwnFileDoNotCount) {
    // QSettings would otherwise fall back on an organisation-wide file beside the user's own.
    std::ofstream(ConfigHome::Path() / "Vantrel.conf") << "[Migration]\nDone=1\n";
    auto store = MakeSystemSettingsStore();
    EXPECT_EQ(store->get("Migration", "Done"), std::nullopt);
}

TEST_F(QtStore, HandEditedCommaSeparatedValueReadsAsText) {
    WriteConf("[Mask]\nMaskString=*.prn,*.txt\n[Defaults]\nCopyDir=/srv/a,b/\n");
    auto store = MakeSystemSettingsStore();
    EXPECT_EQ(store->get("Mask", "MaskString"), std::optional<std::string>("*.prn,*.txt"));
    EXPECT_EQ(store->get("Defaults", "CopyDir"), std::optional<std::string>("/srv/a,b/"));
}

TEST_F(QtStore, HandEditedFileWithGarbageLoadsValueByValue) {
    WriteConf(
        std::string("\x01\xff\xfe junk\n[Defaults]\nAutoPrint=yes\nPageEject=1\n"
                    "PrintMethod=Delete\nCopies=2\nno equals sign\n=no key\n"
                    "[Placement]\nTop=abc\nLeft=250\n"
                    "[Mask]\nMaskString=*.prn,*.txt *.log\nMaskIndex=@Rect(1 2 3 4)\n"
                    "[Unclosed\nStray=@Variant(\\0\\0\\0\\x7f)\n"));
    auto store = MakeSystemSettingsStore();
    MaskListLiveSettings live;
    TestWindow window;

    LoadSettings(*store, live, window);

    EXPECT_EQ(live.autoPrint(), 0);
    EXPECT_EQ(live.pageEject(), 1);
    EXPECT_EQ(live.printMethodIndex(), 1);
    EXPECT_EQ(window.copiesText(), "2");
    EXPECT_EQ(window.geometry().top, TestWindow::kCentredTop);
    EXPECT_EQ(window.geometry().left, 250.0f);
    EXPECT_EQ(window.masks(), (std::vector<std::string>{"*.prn,*.txt", "*.log"}));
    EXPECT_EQ(window.maskIndex(), 0);
}

TEST_F(QtStore, DamagedFileDoesNotStopSaving) {
    WriteConf("[Defaults\nStartDir=\"unclosed\n\x01\xff=\n");
    auto store = MakeSystemSettingsStore();
    store->set("Defaults", "CopyDir", "/var/tmp/");
    EXPECT_NO_THROW(store->sync());
    EXPECT_EQ(ReopenFromDisk()->get("Defaults", "CopyDir"),
              std::optional<std::string>("/var/tmp/"));
}

TEST_F(QtStore, UnwritableConfigurationDirectoryFailsTheSyncUntilRepaired) {
    // A plain file where the directory of the settings file belongs cannot be written into,
    // not even by the superuser.
    std::ofstream(ConfigHome::Path() / "Vantrel") << "in the way";
    auto store = MakeSystemSettingsStore();
    store->set("Defaults", "StartDir", "/first/");
    EXPECT_THROW(store->sync(), SettingsError);
    EXPECT_THROW(store->sync(), SettingsError);

    fs::remove(ConfigHome::Path() / "Vantrel");
    store->set("Defaults", "CopyDir", "/second/");
    EXPECT_NO_THROW(store->sync());

    store = ReopenFromDisk();
    EXPECT_EQ(store->get("Defaults", "StartDir"), std::optional<std::string>("/first/"));
    EXPECT_EQ(store->get("Defaults", "CopyDir"), std::optional<std::string>("/second/"));
}

TEST_F(QtStore, SavedSettingsLoadBackExactly) {
    MaskListLiveSettings live;
    live.setStartDir("/home/jörg/print jobs/");
    live.setCopyDir("");
    live.setPageEject(1);
    live.setPrintMethodIndex(1);
    TestWindow window;
    window.setCopiesText("2,5");
    window.addMask("*.prn");
    window.addMask("*,v");
    window.setMaskIndex(1);
    window.moveTo(1234.5677f, -0.1f);
    SaveSettings(*MakeSystemSettingsStore(), live, window);

    MaskListLiveSettings loadedLive;
    TestWindow loadedWindow;
    LoadSettings(*ReopenFromDisk(), loadedLive, loadedWindow);

    EXPECT_EQ(loadedLive.startDir(), "/home/jörg/print jobs/");
    EXPECT_EQ(loadedLive.copyDir(), "");
    EXPECT_EQ(loadedLive.pageEject(), 1);
    EXPECT_EQ(loadedLive.printMethodIndex(), 1);
    EXPECT_EQ(loadedWindow.copiesText(), "2,5");
    EXPECT_EQ(loadedWindow.masks(), (std::vector<std::string>{"*.prn", "*,v"}));
    EXPECT_EQ(loadedWindow.maskIndex(), 1);
    EXPECT_EQ(loadedWindow.geometry().top, 1234.5677f);
    EXPECT_EQ(loadedWindow.geometry().left, -0.1f);
}

}  // namespace
}  // namespace vantrel
