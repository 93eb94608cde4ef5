#include "options/option_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "dirpick/dir_pick.h"
#include "mainwindow/form/forms.h"
#include "mainwindow/form/twips.h"
#include "mainwindow/form/vantrel_form.h"
#include "mainwindow/startup_steps.h"
#include "settings/settings_routines.h"

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

QLineEdit* MakeTextBox(QWidget* form, const char* name, const char* text, double left, double top,
                       double width, double height) {
    auto* box = MakeControl<QLineEdit>(form, name, left, top, width, height);
    box->setText(QString::fromUtf8(text));
    return box;
}

QLabel* MakeLabel(QWidget* form, const char* name, const char* caption, double left, double top,
                  double width, double height) {
    auto* label = MakeControl<QLabel>(form, name, left, top, width, height);
    label->setText(QString::fromUtf8(caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
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

OptionForm::OptionForm(Forms& forms) : forms_(forms) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QStringLiteral("Options"));
    UseFormFont(*this);
    resize(ClientSizeTwips(kClientWidth, kClientHeight));

    Check2 = MakeCheckBox(this, "Check2", 2280, 0);
    Check1 = MakeCheckBox(this, "Check1", 240, 0);
    TextMask = MakeTextBox(this, "TextMask", "", 5400, 2640, 1335, 285);
    DelMask = MakeButton(this, "DelMask", "Delete", 6120, 3120, 615, 495);
    AddMask = MakeButton(this, "AddMask", "Add", 5400, 3120, 615, 495);
    ListMask = MakeControl<QListWidget>(this, "ListMask", 5400, 0, 1335, 2595);
    ListMask->setSelectionMode(QAbstractItemView::SingleSelection);
    Command4 = MakeButton(this, "Command4", "Cancel", 3600, 3120, 1575, 495);
    Command3 = MakeButton(this, "Command3", "Save Changes", 240, 3120, 1575, 495);
    Command2 = MakeButton(this, "Command2", "Browse", 4320, 1920, 855, 375);
    Command1 = MakeButton(this, "Command1", "Browse", 4320, 1200, 855, 375);
    Combo1 = MakeControl<QComboBox>(this, "Combo1", 240, 2640, 3975, 315);
    Combo1->setEditable(true);
    // Typed text stays text: it is neither added to the list nor completed to an entry.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Text2 = MakeTextBox(this, "Text2", "Text2", 240, 1920, 3945, 300);
    Text1 = MakeTextBox(this, "Text1", "Text1", 240, 1200, 3945, 300);
    // Ends short of ListMask; a long directory wraps onto the label's second line.
    Label6 = MakeLabel(this, "Label6", "AutoPrint Directory -", 240, 360, 5100, 375);
    Label6->setWordWrap(true);
    Label4 = MakeLabel(this, "Label4", "Eject page between jobs", 2640, 0, 1935, 255);
    // One line high, like Label4, so that it stays clear of Label6 below.
    Label5 = MakeLabel(this, "Label5", "Use AutoPrint", 600, 0, 975, 255);
    Label3 = MakeLabel(this, "Label3", "Default Printing Method", 225, 2280, 4065, 285);
    Label2 = MakeLabel(this, "Label2", "Directory To Copy Printed File To", 240, 1560, 4035, 285);
    Label1 = MakeLabel(this, "Label1", "Default Starting Directory ", 240, 840, 3960, 285);
    // Captions that the desktop's font makes longer than designed take the room to their right.
    const int captionLimit = ListMask->x() - TwipsToPixelsX(kCaptionGap);
    FitCaption(*Label5, Check2->x() - TwipsToPixelsX(kCaptionGap));
    for (QLabel* label : {Label4, Label3, Label2, Label1}) FitCaption(*label, captionLimit);
    Check1->setAccessibleName(Label5->text());
    Check2->setAccessibleName(Label4->text());

    connect(AddMask, &QPushButton::clicked, this, [this] { AddMask_Click(); });
    connect(DelMask, &QPushButton::clicked, this, [this] { DelMask_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    // Typing into the method box leaves no entry chosen.
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (Combo1->currentIndex() < 0) return;
        const int cursor = Combo1->lineEdit()->cursorPosition();
        const QSignalBlocker quiet(Combo1);
        Combo1->setCurrentIndex(-1);
        Combo1->setEditText(text);
        Combo1->lineEdit()->setCursorPosition(cursor);
    });

    Form_Load();
}

OptionForm::~OptionForm() = default;

void OptionForm::Form_Load() {
    const QSignalBlocker quiet(Combo1);
    Combo1->addItems({QStringLiteral("Leave"), QStringLiteral("Delete"), QStringLiteral("Move")});
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("Combo1"));
}

void OptionForm::AddMask_Click() {
    const QString mask = TextMask->text();
    if (mask.isEmpty()) return;
    ListMask->addItem(mask);
    forms_.vantrel().addMask(mask.toStdString());
    TextMask->clear();
}

void OptionForm::DelMask_Click() {
    const QList<QListWidgetItem*> selected = ListMask->selectedItems();
    if (selected.isEmpty()) return;
    const int index = ListMask->row(selected.first());
    forms_.vantrel().removeMask(index);
    delete ListMask->takeItem(index);
    ListMask->clearSelection();
    ListMask->setCurrentRow(-1);
}

void OptionForm::Command1_Click() {
    browseInto(*Text1);
}

void OptionForm::Command2_Click() {
    browseInto(*Text2);
}

void OptionForm::browseInto(QLineEdit& box) {
    const std::string start = forms_.vantrel().Text1->text().toStdString();
    if (auto chosen = forms_.dirPick().choose(start)) box.setText(QString::fromStdString(*chosen));
}

void OptionForm::Command3_Click() {
    SaveSettingsReporting(forms_.store(), *this, forms_.vantrel(), forms_.messages());
    done(Accepted);
}

void OptionForm::Command4_Click() {
    LoadSettings(forms_.store(), *this, forms_.vantrel());
    done(Rejected);
}

int OptionForm::autoPrint() const {
    return ValueOf(*Check1);
}

void OptionForm::setAutoPrint(int value) {
    SetValue(*Check1, value);
}

int OptionForm::pageEject() const {
    return ValueOf(*Check2);
}

void OptionForm::setPageEject(int value) {
    SetValue(*Check2, value);
}

std::string OptionForm::startDir() const {
    return Text1->text().toStdString();
}

void OptionForm::setStartDir(const std::string& text) {
    Text1->setText(QString::fromStdString(text));
}

std::string OptionForm::copyDir() const {
    return Text2->text().toStdString();
}

void OptionForm::setCopyDir(const std::string& text) {
    Text2->setText(QString::fromStdString(text));
}

int OptionForm::printMethodIndex() const {
    return Combo1->currentIndex();
}

void OptionForm::setPrintMethodIndex(int index) {
    Combo1->setCurrentIndex(index >= 0 && index < Combo1->count() ? index : -1);
}

void OptionForm::clearMaskList() {
    ListMask->clear();
}

void OptionForm::addMaskItem(const std::string& mask) {
    ListMask->addItem(QString::fromStdString(mask));
}

int OptionForm::maskItemCount() const {
    return ListMask->count();
}

}  // namespace vantrel
