#include "platform/qt_desktop/qt_desktop.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vantrel {
namespace {

TEST(DesktopUrlTest, GivesTheAddressTheOpenerGets) {
    EXPECT_EQ(DesktopUrl("Mailto: support@brenwick.example"),
              QUrl("mailto:support@brenwick.example"));
    EXPECT_EQ(DesktopUrl("www.brenwick.example"), QUrl("http://www.brenwick.example"));
    for (const char* nothing : {"", "   ", "/no/such/dir/Vantrel.html"}) {
        EXPECT_FALSE(DesktopUrl(nothing).isValid()) << nothing;
    }
    testing::TempDir dir;
    const std::string file = dir.write("Vantrel Help.html", "");
    EXPECT_EQ(DesktopUrl(file).toLocalFile().toStdString(), file);
}

}  // namespace
}  // namespace vantrel
