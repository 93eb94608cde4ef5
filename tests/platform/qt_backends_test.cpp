// The Qt backends: the QSettings store on the user's own configuration file, the reader of that
// file without Qt checked against it, and the addresses the desktop is asked to open.
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/posix/conf_file_settings_store.h"
#include "platform/posix/conf_file_text.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt_desktop/qt_desktop.h"
#include "settings/setting_keys.h"
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
    // The reader without Qt on the user's file, counting its hand-overs to QSettings.
    std::unique_ptr<SettingsStore> PlainStore() {
        return MakeConfFileSettingsStore(UserSettingsFilePath(), [this] {
            ++handOvers;
            return MakeQtSettingsStore();
        });
    }
    int handOvers = 0;
    // A store that reads the file from disk again rather than from what this process wrote:
    // the file is changed by a trailing blank line first.
    static std::unique_ptr<SettingsStore> ReopenFromDisk() {
        std::ofstream(kConf, std::ios::binary | std::ios::app) << "\n";
        return MakeQtSettingsStore();
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
    auto store = MakeQtSettingsStore();
    for (int i = 0; const auto& text : texts) store->set("Defaults", std::to_string(i++), text);
    store->sync();
    EXPECT_THAT(ReadFile(kConf.string()), ::testing::HasSubstr("[Defaults]\n0="));
    store = ReopenFromDisk();
    // Whatever QSettings wrote, the reader without Qt reads alike, all by itself.
    auto plain = PlainStore();
    for (int i = 0; const auto& text : texts) {
        EXPECT_EQ(store->get("Defaults", std::to_string(i)), text) << text;
        EXPECT_EQ(plain->get("Defaults", std::to_string(i++)), text) << text;
    }
    EXPECT_EQ(handOvers, 0);
    for (auto* each : {store.get(), plain.get()}) {
        EXPECT_EQ(each->get("Defaults", "Missing"), std::nullopt);
        EXPECT_EQ(each->get("Mask", "0"), std::nullopt);
    }
    // Writes go through QSettings, and the reader reads what QSettings then holds.
    plain->set("Mask", "0", "new");
    EXPECT_EQ(plain->get("Mask", "0"), "new");
    EXPECT_EQ(handOvers, 1);
}

// QSettings and the reader agree on every key the program reads, on files made of the pieces
// hand edits and damage bring (and whole damaged files); the reader must read a good share of
// them by itself, and hand the rest to QSettings.
TEST_F(QtStore, ReaderWithoutQtReadsGeneratedAndDamagedFilesAsQSettingsDoes) {
    // clang-format off
    // Each list begins with what the reader reads by itself, up to its "kept" count; the heads
    // with every key the program reads.
    std::vector<std::string> heads = {
        "[Defaults]", "[Mask]", "[Placement]", "[Migration]", "[ Defaults ]", "[defaults]",
        "startdir", " Copies ", ";"};
    for (const SettingKey* key : setting::kAll) heads.push_back(key->name);
    const std::size_t keptHeads = heads.size();
    heads.insert(heads.end(), {"", "[General]", "[Defaults", "[%44efaults]", "[Mask] x",
                               "%43opies", "Page\\Eject", "#", "Migration/Done"});
    const std::vector<std::string> pieces = {
        "a", "/tmp/x", "*.p *.t", "12", "-1.5", " ", "\t", "\"a, b \"", "\" \"", "\\\\", "\\x41", "\\x4g",
        "\\x20ac", "\\101", "\\0", "\\n", "\\q", ",", ";", "=", "@@", "@ByteArray(", ")",
        "\xc3\xa9", std::string(1, '\0'), "\xEF\xBB\xBF", "\xe2\x82",
        "\"", "\\xd83d", "\\xde00", "\\\xc3\xa9", "@", "@Variant(", "@Rect(1 2 3 4)", "\xff"};
    const std::vector<std::string> ends = {"\n", "\r\n", "\r", "\\\n", "\\\r\n"};
    const std::size_t kept[] = {keptHeads, 27, 2};
    // The first files are cases a random file seldom holds: a line end escaped, a UTF-8
    // sequence cut short inside a text, and values that begin with a byte order mark.
    const std::vector<std::string> tricky = {
        "[Defaults]\nCopies=1\\\r\n2\n", "[Defaults]\nCopies=\xe2\x82" "a\n",
        "[Defaults]\nStartDir=\"\xEF\xBB\xBF/home/x/\"\nCopies=\xEF\xBB\xBF" "3\n"
        "[Mask]\nMaskString=\\x41\xEF\xBB\xBF" "b,\xEF\xBB\xBF" "c\nMaskIndex=1\xEF\xBB\xBF\n"};
    // clang-format on
    std::mt19937 rng(20240611);
    bool clean = false;  // only what the reader reads by itself
    auto pick = [&](const std::vector<std::string>& from, std::size_t keep) {
        return from[rng() % (clean ? keep : from.size())];
    };
    fs::create_directories(kConf.parent_path());
    const auto stamp = fs::last_write_time(kConf.parent_path());
    int understood = 0;
    const int files = 1500;
    for (int n = 0; n < files; ++n) {
        clean = n % 2 == 0;
        std::string text = n % 7 == 0 ? "\xEF\xBB\xBF" : "";
        for (int lines = rng() % 8; lines-- > 0;) {
            text += pick(heads, kept[0]);
            if (clean || rng() % 4 != 0) text += "=";
            for (int count = rng() % 5; count-- > 0;) text += pick(pieces, kept[1]);
            text += rng() % 5 == 0 ? pick(ends, kept[2]) : "\n";
        }
        if (n < std::ssize(tricky)) {
            text = tricky[n];
        } else if (n % 5 == 1) {
            text.resize(rng() % (text.size() + 1));  // truncated
        } else if (n % 11 == 2) {                    // binary garbage
            for (int k = 0; k < 64; ++k) text += static_cast<char>(rng());
        }
        std::ofstream(kConf, std::ios::binary | std::ios::trunc) << text;
        // QSettings reads a file again only when its time stamp changed.
        fs::last_write_time(kConf, stamp + std::chrono::seconds(n + 1));
        const auto plain = ReadConfText(text);
        understood += plain.has_value();
        const auto qt = MakeQtSettingsStore();
        for (const SettingKey* key : setting::kAll) {
            const std::string path = std::string(key->section) + '/' + key->name;
            const auto fromQt = qt->get(key->section, key->name);
            const auto fromPlain = PlainStore()->get(key->section, key->name);
            ASSERT_EQ(fromPlain, fromQt) << path << " in " << ::testing::PrintToString(text);
        }
        ASSERT_EQ(ReadFile(kConf.string()), text);  // only read, never written
    }
    EXPECT_GT(understood, files / 3) << "too few files the reader reads by itself";
    EXPECT_LT(handOvers, files * std::size(setting::kAll));
}

TEST_F(QtStore, HandEditedFileLoadsValueByValueOnTheDefaultDirectories) {
    fs::create_directories(kConf.parent_path());
    const std::string edited =
        "\x01\xff junk\n[Defaults]\nAutoPrint=yes\nAutoPrintSet=1\nPageEject=1\nno equals sign\n"
        "=no key\n"
        "[Placement]\nTop=abc\nLeft=250\n[Mask]\nMaskString=*.p,*.t *.log\n"
        "MaskIndex=@Rect(1 2 3 4)\n[Unclosed\nStray=@Variant(\\0\\0\\0\\x7f)\n";
    // A line of 10 MB: the reader leaves such a file to QSettings without looking further.
    for (const std::string& text : {edited, edited + std::string(10 << 20, 'x')}) {
        std::ofstream(kConf, std::ios::binary | std::ios::trunc) << text;
        EXPECT_EQ(Described(LoadSettings(*PlainStore()), TestRoom()),
                  " start=" + kHome.path().string() + "/ copy=" + kTemp.string() +
                      "/ auto=0 eject=1 method=0 copies=1 masks=*.p,*.t|*.log index=0 "
                      "top=3427.5 left=250 ");
    }
    EXPECT_EQ(handOvers, 2);
}

TEST_F(QtStore, UnwritableConfigurationDirectoryFailsTheSyncUntilRepaired) {
    // A plain file where the directory of the settings file belongs cannot be written into,
    // not even by the superuser.
    std::ofstream(kHome.path() / "Vantrel") << "in the way";
    auto store = MakeQtSettingsStore();
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
