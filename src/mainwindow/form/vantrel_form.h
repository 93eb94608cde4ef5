#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/print_press.h"
#include "printing/printer_selection.h"
#include "settings/main_window_settings.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace vantrel {

class AutoPrintWatcher;
class FileListBox;
class Forms;

// The main window "Vantrel": the current directory and its file list, the printer list, the
// copies box and the after-print action, and the buttons and menus that act on them. It holds
// the copies count, the masks and its own placement for the settings routines, feeds the Print
// press, and runs AutoPrint on its timer.
class Vantrel : public QMainWindow,
                public PrintPressView,
                public MainWindowSettings,
                public PrinterListBox {
  public:
    static constexpr double kClientWidth = 7185;  // twips
    static constexpr double kClientHeight = 3975;
    static constexpr int kAutoPrintInterval = 5000;  // ms

    explicit Vantrel(Forms& forms);
    ~Vantrel() override;

    // The controls, in design order.
    QLineEdit* Text1;
    QListWidget* file2;
    QPushButton* Command3;
    QComboBox* Combo1;
    FileListBox* File1;
    QLabel* Label1;
    QComboBox* Combo2;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command2;
    QPushButton* Command1;
    QPushButton* Command4;
    QTimer* Timer1;
    QAction* Options;
    QAction* About;
    QAction* Help;

    // What the About and Help menu items do; nothing until they are set.
    std::function<void()> onAbout;
    std::function<void()> onHelp;

    // Re-reads the file list, rebuilds the printer list and selects the default printer in it.
    void RefreshLists();
    // Sets the current directory: the directory box and the file list's directory.
    void setCurrentDirectory(const std::string& directory);
    // Starts AutoPrint on dropDirectory: Timer1 ticks every intervalMs from now on.
    void startAutoPrint(const std::string& dropDirectory, int intervalMs = kAutoPrintInterval);
    bool autoPrintRunning() const;

    // The handlers of the controls and menu items.
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    void Options_Click();
    void About_Click();
    void Help_Click();

    // PrintPressView
    int fileListIndex() const override;
    std::vector<std::string> fileEntries() const override;
    std::vector<bool> fileSelection() const override;
    int printerListIndex() const override;
    std::string selectedPrinter() const override;
    std::string copiesText() const override;
    int actionIndex() const override;
    std::string currentDirectory() const override;
    void refreshLists() override { RefreshLists(); }

    // MainWindowSettings (copiesText above serves both)
    void setCopiesText(const std::string& text) override;
    void clearMasks() override;
    void addMask(const std::string& mask) override;
    std::vector<std::string> masks() const override;
    int maskIndex() const override;
    void setMaskIndex(int index) override;
    // The outer position and size in twips. Called on a Vantrel this hides QWidget::geometry();
    // use frameGeometry() or QWidget::geometry() for pixels.
    FormGeometry geometry() const override;
    bool isWindowStateNormal() const override;
    void moveTo(float top, float left) override;
    float screenWidth() const override;
    float screenHeight() const override;

    // The mask list as the options dialog's Delete changes it.
    void removeMask(int index);

    // PrinterListBox
    std::vector<std::string> entries() const override;
    void setSelectedIndex(int index) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Unload();

    Forms& forms_;
    std::unique_ptr<AutoPrintWatcher> watcher_;
};

}  // namespace vantrel
