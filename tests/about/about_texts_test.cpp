#include "about/about_texts.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(VersionLabelTest, ShowsThisProgramsVersion) {
    EXPECT_EQ(VersionLabelText(), "Version 3.2.0");
}

TEST(VersionLabelTest, WritesEachNumberInPlainDecimal) {
    EXPECT_EQ(VersionLabelText(3, 2, 0), "Version 3.2.0");
    EXPECT_EQ(VersionLabelText(10, 0, 107), "Version 10.0.107");
}

TEST(MailTargetTest, KeepsTheBlankAfterMailto) {
    EXPECT_EQ(MailTarget("support@brenwick.example"), "Mailto: support@brenwick.example");
}

TEST(MakerLinksTest, UseTheReservedExampleDomain) {
    // Fictional addresses must never reach a real site or mailbox.
    EXPECT_TRUE(kMakerWebPage.ends_with(".example"));
    EXPECT_TRUE(kMakerMailAddress.ends_with(".example"));
}

}  // namespace
}  // namespace vantrel
