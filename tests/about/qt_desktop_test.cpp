#include "platform/qt_desktop/qt_desktop.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vantrel {
namespace {

TEST(DesktopUrlTest, MailtoWithItsBlankBecomesAMailAddress) {
    EXPECT_EQ(DesktopUrl("Mailto: support@brenwick.example"),
              QUrl("mailto:support@brenwick.example"));
    EXPECT_EQ(DesktopUrl("MAILTO:a@b.example"), QUrl("mailto:a@b.example"));
}

TEST(DesktopUrlTest, BareHostNameIsAWebAddress) {
    EXPECT_EQ(DesktopUrl("www.brenwick.example"), QUrl("http://www.brenwick.example"));
    EXPECT_EQ(DesktopUrl("https://brenwick.example/help"), QUrl("https://brenwick.example/help"));
}

TEST(DesktopUrlTest, ExistingFileIsALocalFile) {
    testing::TempDir dir;
    const std::string path = dir.write("Vantrel Help.html", "<html></html>");
    const QUrl url = DesktopUrl(path);
    EXPECT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile().toStdString(), path);
}

TEST(DesktopUrlTest, NothingToOpenGivesNoAddress) {
    testing::TempDir dir;
    EXPECT_FALSE(DesktopUrl(dir.file("missing.html")).isValid());
    EXPECT_FALSE(DesktopUrl("").isValid());
    EXPECT_FALSE(DesktopUrl("   ").isValid());
}

TEST(QtDesktopTest, StartsNoProgramForAnEmptyPath) {
    QtDesktop desktop;
    EXPECT_FALSE(desktop.startProgram(""));
    EXPECT_EQ(desktop.findProgram("no-such-program-vantrel-test"), "");
    EXPECT_NE(desktop.findProgram("sh"), "");
}

}  // namespace
}  // namespace vantrel
