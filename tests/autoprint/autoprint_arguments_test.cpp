#include "autoprint/autoprint_arguments.h"

#include <gtest/gtest.h>

#include <map>

#include "autoprint/autoprint_rules.h"
#include "fakes/fake_printer_system.h"

namespace vantrel {
namespace {

// The folders of these tests, as given and as resolved.
std::optional<std::string> Resolve(const std::string& path) {
    static const std::map<std::string, std::string> folders = {
        {"labels", "/srv/labels"},      {"/srv/labels", "/srv/labels"},
        {"link", "/srv/labels"},        {"a=b", "/srv/a=b"},
        {"/srv/x", "/srv/x"},           {"/srv/labels/Failed", "/srv/labels/Failed"},
        {"my labels", "/srv/my labels"}};
    auto found = folders.find(path);
    if (found == folders.end()) return std::nullopt;
    return found->second;
}

struct Accepted {
    const char* name;
    std::vector<std::string> words;
    std::vector<HotFolder> folders;
    long long settleMs;
};

class AcceptedArguments : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedArguments, GiveTheFoldersTheirPrinters) {
    const auto request = ParseAutoPrintArguments(GetParam().words, Resolve);
    EXPECT_EQ(request.folders, GetParam().folders);
    EXPECT_EQ(request.settle, std::chrono::milliseconds(GetParam().settleMs));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptedArguments,
    ::testing::Values(
        Accepted{"APairNamesTheFoldersPrinter", {"labels=Label"}, {{"/srv/labels", "Label"}}, 1000},
        Accepted{
            "AFolderAloneUsesTheDefaultPrinter", {"my labels"}, {{"/srv/my labels", {}}}, 1000},
        Accepted{"TheLastEqualsSignSplits", {"a=b=Label"}, {{"/srv/a=b", "Label"}}, 1000},
        Accepted{"AFolderNamedWithAnEqualsSign", {"a=b"}, {{"/srv/a=b", {}}}, 1000},
        Accepted{"NoSettleTime", {"--settle", "0", "labels"}, {{"/srv/labels", {}}}, 0},
        Accepted{"SeveralPairsAndASettleTime",
                 {"labels=Label", "--settle", "0.25", "/srv/x=Office"},
                 {{"/srv/labels", "Label"}, {"/srv/x", "Office"}},
                 250}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    std::vector<std::string> words;
    const char* message;
};

class RefusedArguments : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedArguments, SayWhy) {
    try {
        ParseAutoPrintArguments(GetParam().words, Resolve);
        ADD_FAILURE() << "accepted";
    } catch (const AutoPrintUsageError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedArguments,
    ::testing::Values(
        Refused{"NoPrinter", {"labels="}, "no printer after \"=\" in \"labels=\""},
        Refused{"NoFolder", {"=Label"}, "no folder before \"=\" in \"=Label\""},
        Refused{"NoSuchFolder", {"nowhere=Label"}, "nowhere is not a folder"},
        Refused{
            "TheSameFolderTwice", {"labels=A", "link=B"}, "the folder /srv/labels is given twice"},
        Refused{"AnotherFoldersFailedFolder",
                {"/srv/labels/Failed=A", "labels=B"},
                "/srv/labels/Failed holds the files that /srv/labels could not print"},
        Refused{"ASettleTimeOutOfRange",
                {"--settle", "-1"},
                "the settle time \"-1\" is not a number of seconds from 0 to 3600"},
        Refused{"ASettleTimeOverAnHour",
                {"--settle", "3600.5"},
                "the settle time \"3600.5\" is not a number of seconds from 0 to 3600"},
        Refused{"ASettleTimeMissing", {"labels", "--settle"}, "--settle needs a number of seconds"},
        Refused{"AnUnknownOption", {"--poll", "labels"}, "unknown option --poll"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MissingNamedPrinter, IsToldOnlyWhenTheSpoolerAnswers) {
    testing::FakePrinterSystem spooler;
    spooler.installed = {{"Label_Printer", "usb://1"}};
    const std::vector<HotFolder> folders = {{"/srv/a", "label"}, {"/srv/b", "Desk"}};
    EXPECT_EQ(MissingNamedPrinter(folders, spooler),
              "no printer name begins with \"Desk\" (for /srv/b); see vantrel --list-printers");
    spooler.listFails = true;
    EXPECT_EQ(MissingNamedPrinter(folders, spooler), std::nullopt);
}

// Without a default printer, or with one that is not installed, the files wait and AutoPrint says
// which.
TEST(FindAutoPrintPrinter, SaysWhyTheDefaultPrinterIsMissing) {
    testing::FakePrinterSystem spooler;
    spooler.installed = {{"Label_Printer", "usb://1"}};
    EXPECT_EQ(FindAutoPrintPrinter(spooler, std::nullopt).missing, "no default printer is set");
    spooler.defaultEntry = "Plotter,cups,usb://9";
    EXPECT_EQ(FindAutoPrintPrinter(spooler, std::nullopt).missing,
              "the default printer PLOTTER is not installed");
}

}  // namespace
}  // namespace vantrel
