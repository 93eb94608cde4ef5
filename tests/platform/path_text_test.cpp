// Folder and file names beyond ASCII, through the program's path texts and the system's files:
// each name is found, read, moved and listed under the very bytes it was given.

#include "platform/path_text.h"

#include <gtest/gtest.h>

#include "platform/directory_listing.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "support/temp_dir.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

struct NameCase {
    const char* label;
    std::string name;
};

void PrintTo(const NameCase& name, std::ostream* out) {
    *out << name.label;
}

class PathText : public ::testing::TestWithParam<NameCase> {};

const NameCase kNames[] = {
    {"Ascii", "Labels"},
    {"Latin", "Jos\xC3\xA9"},                         // in the ANSI code page of Western Windows
    {"Beyond", "\xCE\xA9 \xE6\xA8\x99\xE7\xB1\xA4"},  // in no single-byte code page
#ifndef _WIN32
    {"NotUtf8", "\xE9t\xE9"},  // POSIX names are bytes
#endif
};

TEST_P(PathText, ANameKeepsItsBytesThroughTheTextsAndTheFiles) {
    const std::string& name = GetParam().name;
    TempDir dir;
    const std::string root = TextOf(dir.path());
    const std::string folder = JoinPath(root, name);
    EXPECT_EQ(NameOf(folder), name);
    EXPECT_EQ(ParentOf(JoinPath(folder, "a.prn")), folder);

    auto files = MakeSystemFileSystem();
    ASSERT_FALSE(files->makeDirectories(JoinPath(folder, "In")));
#ifdef _WIN32
    // On the disk it is named as its reader reads it, not as its bytes in another code page.
    EXPECT_TRUE(
        std::filesystem::is_directory(dir.path() / std::u8string(name.begin(), name.end())));
#endif
    const auto listed = ListDirectory(root);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, name);
    const auto resolved = files->resolvedDirectory(folder);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(NameOf(*resolved), name);

    const std::string file = JoinPath(folder, name + ".prn");
    ASSERT_FALSE(ReplaceFileAtomically(file, "\x1b@label\x0c"));
    std::string bytes(16, '\0');
    bytes.resize(files->openForReading(file)->read(bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, "\x1b@label\x0c");
    ASSERT_FALSE(files->moveIntoSubfolder(folder, "In", name + ".prn", name + ".prn"));
    EXPECT_EQ(files->kindOf(JoinPath(JoinPath(folder, "In"), name + ".prn")), PathKind::PlainFile);
}

INSTANTIATE_TEST_SUITE_P(Names, PathText, ::testing::ValuesIn(kNames),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
