#include "printing/printer_selection.h"

#include <gtest/gtest.h>

#include "fakes/fake_printer_system.h"

namespace vantrel::testing {
namespace {

class ListBox : public PrinterListBox {
  public:
    int selected = 1;
    std::vector<std::string> entries() const override {
        return {"LaserJet 4 Plus - LPT2:", "LaserJet 4 - LPT1:", "Fax - FAX:"};
    }
    void setSelectedIndex(int index) override { selected = index; }
};

// The first entry that begins with the default's name, in any case; without a default, or with
// one that is not listed, the selection stays.
TEST(PrinterSelection, DefaultPrinterIsTheFirstEntryThatBeginsWithItsName) {
    const std::pair<std::optional<std::string>, int> kCases[] = {
        {"laserjet 4,winspool,LPT1:", 0}, {"fax,winspool,FAX:", 2},
        {",winspool,LPT1:", 0},           {std::nullopt, 1},
        {"Plotter,winspool,COM3:", 1},
    };
    for (const auto& [entry, selected] : kCases) {
        FakePrinterSystem spooler;
        spooler.defaultEntry = entry;
        ListBox list;
        SelectDefaultPrinter(list, spooler);
        EXPECT_EQ(list.selected, selected) << entry.value_or("no default");
    }
    EXPECT_EQ(DefaultPrinterName("Office Laser,winspool,LPT1:"), "OFFICE LASER");
}

// A printer named so, in any case, else the last whose name begins with the name: a queue
// "Label" must stay reachable beside "Label_Printer", in either order.
TEST(PrinterSelection, NameTakesTheExactPrinterElseTheLastItBegins) {
    const std::vector<Printer> lasers = {
        {"LaserJet 4 Plus", "LPT2:"}, {"LaserJet 4", "LPT1:"}, {"Laser", "LPT3:"}};
    const std::vector<Printer> labels = {{"Label", "COM1:"}, {"Label_Printer", "COM2:"}};
    const std::vector<Printer> labelsReversed = {labels[1], labels[0]};
    const std::tuple<const std::vector<Printer>&, std::string, std::string> kCases[] = {
        {lasers, "laserjet", "LaserJet 4 - LPT1:"},
        {lasers, "laserjet 4 plus", "LaserJet 4 Plus - LPT2:"},
        {lasers, "", "Laser - LPT3:"},
        {lasers, "Plotter", "None"},
        {labels, "label", "Label - COM1:"},
        {labelsReversed, "label", "Label - COM1:"},
        {labels, "lab", "Label_Printer - COM2:"},
        {labelsReversed, "lab", "Label - COM1:"}};
    for (const auto& [printers, name, selection] : kCases) {
        EXPECT_EQ(SelectionForPrinterName(printers, name), selection) << name;
    }
}

}  // namespace
}  // namespace vantrel::testing
