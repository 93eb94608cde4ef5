#include "platform/qt_desktop/qt_desktop.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vantrel {
namespace {

TEST(DesktopUrlTest, GivesTheAddressTheOpenerGets) {
    const std::pair<const char*, const char*> cases[] = {
        {"Mailto: support@brenwick.example", "mailto:support@brenwick.example"},
        {"www.brenwick.example", "http://www.brenwick.example"},
    };
    for (const auto& [target, url] : cases) EXPECT_EQ(DesktopUrl(target), QUrl(url)) << target;
    for (const char* nothing : {"", "   ", "/no/such/dir/Vantrel.html"}) {
        EXPECT_FALSE(DesktopUrl(nothing).isValid()) << nothing;
    }
    testing::TempDir dir;
    const std::string file = dir.write("Vantrel Help.html", "");
    EXPECT_EQ(DesktopUrl(file).toLocalFile().toStdString(), file);
}

}  // namespace
}  // namespace vantrel
