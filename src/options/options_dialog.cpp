#include "options/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "formkit/controls.h"
#include "formkit/tab_order.h"
#include "settings/settings_routines.h"
#include "settings/settings_steps.h"

namespace vantrel {

namespace {

// The least room between a caption and the control to its right, twips.
constexpr double kCaptionGap = 60;

// A check box the user only ticks and clears; the greyed state is set by the settings alone.
class CheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

int ValueOf(const QCheckBox& box) {
    switch (box.checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

void SetValue(QCheckBox& box, int value) {
    box.setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// The box alone shows; its own caption "Check1" is cut off, and a label beside it says what it
// is. It is kept at least as wide as the style's indicator, so it can always be seen and ticked.
QCheckBox* MakeCheckBox(QWidget* form, const char* name, double left, double top) {
    auto* box = MakeControl<CheckBox>(form, name, left, top, 255, 255);
    box->setText(QStringLiteral("Check1"));
    const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
    if (box->width() < indicator) box->resize(indicator, std::max(box->height(), indicator));
    return box;
}

}  // namespace

// The controls, in design order.
struct OptionForm::Controls {
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
};

OptionForm::OptionForm(OptionLinks& links) : links_(links), ui_(std::make_unique<Controls>()) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QStringLiteral("Options"));
    UseFormFont(*this);
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    Controls& ui = *ui_;
    const auto left = Qt::AlignLeft;
    ui.Check2 = MakeCheckBox(this, "Check2", 2280, 0);
    ui.Check1 = MakeCheckBox(this, "Check1", 240, 0);
    ui.TextMask = MakeTextBox(this, "TextMask", "", 5400, 2640, 1335, 285);
    ui.DelMask = MakeButton(this, "DelMask", "Delete", 6120, 3120, 615, 495);
    ui.AddMask = MakeButton(this, "AddMask", "Add", 5400, 3120, 615, 495);
    ui.ListMask = MakeControl<ListBox>(this, "ListMask", 5400, 0, 1335, 2595);
    ui.ListMask->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.Command4 = MakeButton(this, "Command4", "Cancel", 3600, 3120, 1575, 495);
    ui.Command3 = MakeButton(this, "Command3", "Save Changes", 240, 3120, 1575, 495);
    ui.Command2 = MakeButton(this, "Command2", "Browse", 4320, 1920, 855, 375);
    ui.Command1 = MakeButton(this, "Command1", "Browse", 4320, 1200, 855, 375);
    ui.Combo1 = MakeControl<QComboBox>(this, "Combo1", 240, 2640, 3975, 315);
    ui.Combo1->setEditable(true);
    // Typed text stays text: it is neither added to the list nor completed to an entry.
    ui.Combo1->setInsertPolicy(QComboBox::NoInsert);
    ui.Combo1->setCompleter(nullptr);
    ui.Text2 = MakeTextBox(this, "Text2", "Text2", 240, 1920, 3945, 300);
    ui.Text1 = MakeTextBox(this, "Text1", "Text1", 240, 1200, 3945, 300);
    // Ends short of ListMask; a long directory wraps onto the label's second line.
    ui.Label6 = MakeLabel(this, "Label6", "AutoPrint Directory -", left, 240, 360, 5100, 375);
    ui.Label6->setWordWrap(true);
    ui.Label4 = MakeLabel(this, "Label4", "Eject page between jobs", left, 2640, 0, 1935, 255);
    // One line high, like Label4, so that it stays clear of Label6 below.
    ui.Label5 = MakeLabel(this, "Label5", "Use AutoPrint", left, 600, 0, 975, 255);
    ui.Label3 = MakeLabel(this, "Label3", "Default Printing Method", left, 225, 2280, 4065, 285);
    ui.Label2 =
        MakeLabel(this, "Label2", "Directory To Copy Printed File To", left, 240, 1560, 4035, 285);
    ui.Label1 = MakeLabel(this, "Label1", "Default Starting Directory ", left, 240, 840, 3960, 285);
    // Captions that the desktop's font makes longer than designed take the room to their right.
    const int captionLimit = ui.ListMask->x() - TwipsToPixelsX(kCaptionGap);
    FitCaption(*ui.Label5, ui.Check2->x() - TwipsToPixelsX(kCaptionGap));
    for (QLabel* label : {ui.Label4, ui.Label3, ui.Label2, ui.Label1}) {
        FitCaption(*label, captionLimit);
    }
    ui.Check1->setAccessibleName(ui.Label5->text());
    ui.Check2->setAccessibleName(ui.Label4->text());
    SetTabOrderByPlace(*this);

    connect(ui.AddMask, &QPushButton::clicked, this, [this] { AddMask_Click(); });
    connect(ui.DelMask, &QPushButton::clicked, this, [this] { DelMask_Click(); });
    connect(ui.Command1, &QPushButton::clicked, this, [this] { browseInto(*ui_->Text1); });
    connect(ui.Command2, &QPushButton::clicked, this, [this] { browseInto(*ui_->Text2); });
    connect(ui.Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(ui.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(ui.Check1, &QCheckBox::stateChanged, this, [this] { links_.autoPrintSwitched(); });
    // Typing into the method box leaves no entry chosen.
    QComboBox* method = ui.Combo1;
    connect(method->lineEdit(), &QLineEdit::textEdited, this, [method](const QString& text) {
        if (method->currentIndex() < 0) return;
        const int cursor = method->lineEdit()->cursorPosition();
        const QSignalBlocker quiet(method);
        method->setCurrentIndex(-1);
        method->setEditText(text);
        method->lineEdit()->setCursorPosition(cursor);
    });

    Form_Load();
}

OptionForm::~OptionForm() = default;

void OptionForm::showDropDirectory(const std::string& dropDirectory) {
    ui_->Label6->setText(QString::fromStdString("AutoPrint Directory - " + dropDirectory));
}

void OptionForm::keyPressEvent(QKeyEvent* event) {
    // Escape cancels as the Cancel button does; closing by the frame keeps the edits.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command4_Click();
        return event->accept();
    }
    QDialog::keyPressEvent(event);
}

void OptionForm::Form_Load() {
    const QSignalBlocker quiet(ui_->Combo1);
    ui_->Combo1->addItems(
        {QStringLiteral("Leave"), QStringLiteral("Delete"), QStringLiteral("Move")});
    ui_->Combo1->setCurrentIndex(-1);
    ui_->Combo1->setEditText(QStringLiteral("Combo1"));
}

void OptionForm::AddMask_Click() {
    const QString mask = ui_->TextMask->text();
    if (mask.isEmpty()) return;
    ui_->ListMask->addItem(mask);
    links_.mainWindowSettings().addMask(mask.toStdString());
    ui_->TextMask->clear();
}

void OptionForm::DelMask_Click() {
    const QList<QListWidgetItem*> selected = ui_->ListMask->selectedItems();
    if (selected.isEmpty()) return;
    const int index = ui_->ListMask->row(selected.first());
    links_.removeMainWindowMask(index);
    delete ui_->ListMask->takeItem(index);
    ui_->ListMask->clearSelection();
    ui_->ListMask->setCurrentRow(-1);
}

void OptionForm::browseInto(QLineEdit& box) {
    if (auto chosen = links_.pickDirectory(links_.currentDirectory())) {
        box.setText(QString::fromStdString(*chosen));
    }
}

void OptionForm::Command3_Click() {
    SaveSettingsReporting(links_.store(), *this, links_.mainWindowSettings(), links_.messages());
    done(Accepted);
}

void OptionForm::Command4_Click() {
    LoadSettings(links_.store(), *this, links_.mainWindowSettings());
    done(Rejected);
}

int OptionForm::autoPrint() const {
    return ValueOf(*ui_->Check1);
}

void OptionForm::setAutoPrint(int value) {
    SetValue(*ui_->Check1, value);
}

int OptionForm::pageEject() const {
    return ValueOf(*ui_->Check2);
}

void OptionForm::setPageEject(int value) {
    SetValue(*ui_->Check2, value);
}

std::string OptionForm::startDir() const {
    return ui_->Text1->text().toStdString();
}

void OptionForm::setStartDir(const std::string& text) {
    ui_->Text1->setText(QString::fromStdString(text));
}

std::string OptionForm::copyDir() const {
    return ui_->Text2->text().toStdString();
}

void OptionForm::setCopyDir(const std::string& text) {
    ui_->Text2->setText(QString::fromStdString(text));
}

int OptionForm::printMethodIndex() const {
    return ui_->Combo1->currentIndex();
}

void OptionForm::setPrintMethodIndex(int index) {
    ui_->Combo1->setCurrentIndex(index >= 0 && index < ui_->Combo1->count() ? index : -1);
}

void OptionForm::clearMaskList() {
    ui_->ListMask->clear();
}

void OptionForm::addMaskItem(const std::string& mask) {
    ui_->ListMask->addItem(QString::fromStdString(mask));
}

int OptionForm::maskItemCount() const {
    return ui_->ListMask->count();
}

}  // namespace vantrel
