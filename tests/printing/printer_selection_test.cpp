#include "printing/printer_selection.h"

#include <gtest/gtest.h>

#include "fakes/fake_printer_system.h"

namespace vantrel::testing {
namespace {

class ListBox : public PrinterListBox {
  public:
    std::vector<std::string> items;
    int selected = -1;
    std::vector<std::string> entries() const override { return items; }
    void setSelectedIndex(int index) override { selected = index; }
};

TEST(PrinterSelection, DefaultPrinterSelectedIgnoringCaseFirstMatchInListOrder) {
    FakePrinterSystem spooler;
    ListBox list;
    list.items = {"LaserJet 4 Plus - LPT2:", "LaserJet 4 - LPT1:", "Fax - FAX:"};

    spooler.defaultEntry = "laserjet 4,winspool,LPT1:";
    SelectDefaultPrinter(list, spooler);
    EXPECT_EQ(list.selected, 0);  // the first entry that begins with the name

    spooler.defaultEntry = "fax,winspool,FAX:";
    SelectDefaultPrinter(list, spooler);
    EXPECT_EQ(list.selected, 2);

    spooler.defaultEntry = ",winspool,LPT1:";  // empty name: the first entry
    SelectDefaultPrinter(list, spooler);
    EXPECT_EQ(list.selected, 0);
}

TEST(PrinterSelection, NoDefaultOrUnknownDefaultKeepsTheSelection) {
    FakePrinterSystem spooler;
    ListBox list;
    list.items = {"LaserJet 4 - LPT1:", "Fax - FAX:"};
    list.selected = 1;
    SelectDefaultPrinter(list, spooler);
    EXPECT_EQ(list.selected, 1);
    spooler.defaultEntry = "Plotter,winspool,COM3:";
    SelectDefaultPrinter(list, spooler);
    EXPECT_EQ(list.selected, 1);
}

TEST(PrinterSelection, NamePrefixMatchTakesTheLastPrinterAndNeedsTheWholeName) {
    std::vector<Printer> printers = {
        {"LaserJet 4 Plus", "LPT2:"}, {"LaserJet 4", "LPT1:"}, {"Laser", "LPT3:"}};
    EXPECT_EQ(SelectionForPrinterName(printers, "LaserJet 4"), "LaserJet 4 - LPT1:");
    EXPECT_EQ(SelectionForPrinterName(printers, "laserjet"), "LaserJet 4 - LPT1:");
    EXPECT_EQ(SelectionForPrinterName(printers, "laserjet 4 plus"), "LaserJet 4 Plus - LPT2:");
    EXPECT_EQ(SelectionForPrinterName(printers, "Plotter"), "None");
    EXPECT_EQ(SelectionForPrinterName(printers, ""), "Laser - LPT3:");  // empty matches all
    EXPECT_EQ(SelectionForPrinterName({}, "none"), "None");
    // A printer named exactly so wins over a later one whose name merely begins with it.
    for (auto order : {std::vector<Printer>{{"Label", "COM1:"}, {"Label_Printer", "COM2:"}},
                       std::vector<Printer>{{"Label_Printer", "COM2:"}, {"Label", "COM1:"}}}) {
        EXPECT_EQ(SelectionForPrinterName(order, "label"), "Label - COM1:");
        EXPECT_EQ(SelectionForPrinterName(order, "lab"), SelectionString(order.back()));
    }
}

TEST(PrinterSelection, DefaultPrinterNameIsTheUpperCasedDeviceName) {
    EXPECT_EQ(DefaultPrinterName("Office Laser,winspool,LPT1:"), "OFFICE LASER");
    EXPECT_EQ(DefaultPrinterName("Label Printer"), "LABEL PRINTER");  // no comma: whole text
    EXPECT_EQ(DefaultPrinterNameOrNone(std::nullopt), "none");
}

}  // namespace
}  // namespace vantrel::testing
