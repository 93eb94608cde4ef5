#pragma once

#include <QDialog>

#include "settings/live_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantrel {

class Forms;

// "Options": shows and edits the settings. Its controls are the settings in force for the whole
// run, so the dialog is made once, hidden, and only shown and hidden after that; closing it by
// its frame hides it with every value kept. "Save Changes" stores the settings, "Cancel" brings
// back the stored ones (also the main window's copies count, position and masks).
class OptionForm : public QDialog, public LiveSettings {
  public:
    static constexpr double kClientWidth = 6870;  // twips
    static constexpr double kClientHeight = 3675;

    explicit OptionForm(Forms& forms);
    ~OptionForm() override;

    // The controls, in design order.
    QCheckBox* Check2;
    QCheckBox* Check1;
    QLineEdit* TextMask;
    QPushButton* DelMask;
    QPushButton* AddMask;
    QListWidget* ListMask;
    QPushButton* Command4;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    QComboBox* Combo1;
    QLineEdit* Text2;
    QLineEdit* Text1;
    QLabel* Label6;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;

    // The handlers of the buttons.
    void AddMask_Click();
    void DelMask_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // LiveSettings
    int autoPrint() const override;
    void setAutoPrint(int value) override;
    int pageEject() const override;
    void setPageEject(int value) override;
    std::string startDir() const override;
    void setStartDir(const std::string& text) override;
    std::string copyDir() const override;
    void setCopyDir(const std::string& text) override;
    int printMethodIndex() const override;
    void setPrintMethodIndex(int index) override;
    void clearMaskList() override;
    void addMaskItem(const std::string& mask) override;
    int maskItemCount() const override;

  private:
    void Form_Load();
    // Browse: picks a directory, starting at the main window's current one, into box.
    void browseInto(QLineEdit& box);

    Forms& forms_;
};

}  // namespace vantrel
