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

CheckState ValueOf(const QCheckBox& box) {
    switch (box.checkState()) {
        case Qt::Checked:
            return CheckState::Ticked;
        case Qt::PartiallyChecked:
            return CheckState::Greyed;
        default:
            return CheckState::Cleared;
    }
}

void SetValue(QCheckBox& box, CheckState state) {
    box.setCheckState(state == CheckState::Ticked   ? Qt::Checked
                      : state == CheckState::Greyed ? Qt::PartiallyChecked
                                                    : Qt::Unchecked);
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
struct OptionsDialog::Controls {
    QCheckBox* ejectBox;
    QCheckBox* autoPrintBox;
    QLineEdit* maskBox;
    QPushButton* deleteMaskButton;
    QPushButton* addMaskButton;
    QListWidget* maskList;
    QPushButton* cancelButton;
    QPushButton* saveButton;
    QPushButton* browseCopyDirButton;
    QPushButton* browseStartDirButton;
    QComboBox* methodList;
    QLineEdit* copyDirBox;
    QLineEdit* startDirBox;
    QLabel* dropDirectoryLabel;
    QLabel* ejectCaption;
    QLabel* autoPrintCaption;
    QLabel* methodCaption;
    QLabel* copyDirCaption;
    QLabel* startDirCaption;
};

OptionsDialog::OptionsDialog(OptionLinks& links)
    : links_(links), ui_(std::make_unique<Controls>()) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QStringLiteral("Options"));
    UseFormFont(*this);
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    Controls& ui = *ui_;
    const auto left = Qt::AlignLeft;
    ui.ejectBox = MakeCheckBox(this, "Check2", 2280, 0);
    ui.autoPrintBox = MakeCheckBox(this, "Check1", 240, 0);
    ui.maskBox = MakeTextBox(this, "TextMask", "", 5400, 2640, 1335, 285);
    ui.deleteMaskButton = MakeButton(this, "DelMask", "Delete", 6120, 3120, 615, 495);
    ui.addMaskButton = MakeButton(this, "AddMask", "Add", 5400, 3120, 615, 495);
    ui.maskList = MakeControl<ListBox>(this, "ListMask", 5400, 0, 1335, 2595);
    ui.maskList->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.cancelButton = MakeButton(this, "Command4", "Cancel", 3600, 3120, 1575, 495);
    ui.saveButton = MakeButton(this, "Command3", "Save Changes", 240, 3120, 1575, 495);
    ui.browseCopyDirButton = MakeButton(this, "Command2", "Browse", 4320, 1920, 855, 375);
    ui.browseStartDirButton = MakeButton(this, "Command1", "Browse", 4320, 1200, 855, 375);
    ui.methodList = MakeControl<QComboBox>(this, "Combo1", 240, 2640, 3975, 315);
    ui.methodList->setEditable(true);
    // Typed text stays text: it is neither added to the list nor completed to an entry.
    ui.methodList->setInsertPolicy(QComboBox::NoInsert);
    ui.methodList->setCompleter(nullptr);
    ui.copyDirBox = MakeTextBox(this, "Text2", "Text2", 240, 1920, 3945, 300);
    ui.startDirBox = MakeTextBox(this, "Text1", "Text1", 240, 1200, 3945, 300);
    // Ends short of maskList; a long directory wraps onto the label's second line.
    ui.dropDirectoryLabel =
        MakeLabel(this, "Label6", "AutoPrint Directory -", left, 240, 360, 5100, 375);
    ui.dropDirectoryLabel->setWordWrap(true);
    ui.ejectCaption =
        MakeLabel(this, "Label4", "Eject page between jobs", left, 2640, 0, 1935, 255);
    // One line high, like ejectCaption, so that it stays clear of dropDirectoryLabel below.
    ui.autoPrintCaption = MakeLabel(this, "Label5", "Use AutoPrint", left, 600, 0, 975, 255);
    ui.methodCaption =
        MakeLabel(this, "Label3", "Default Printing Method", left, 225, 2280, 4065, 285);
    ui.copyDirCaption =
        MakeLabel(this, "Label2", "Directory To Copy Printed File To", left, 240, 1560, 4035, 285);
    ui.startDirCaption =
        MakeLabel(this, "Label1", "Default Starting Directory ", left, 240, 840, 3960, 285);
    // Captions that the desktop's font makes longer than designed take the room to their right.
    const int captionLimit = ui.maskList->x() - TwipsToPixelsX(kCaptionGap);
    FitCaption(*ui.autoPrintCaption, ui.ejectBox->x() - TwipsToPixelsX(kCaptionGap));
    for (QLabel* label :
         {ui.ejectCaption, ui.methodCaption, ui.copyDirCaption, ui.startDirCaption}) {
        FitCaption(*label, captionLimit);
    }
    ui.autoPrintBox->setAccessibleName(ui.autoPrintCaption->text());
    ui.ejectBox->setAccessibleName(ui.ejectCaption->text());
    SetTabOrderByPlace(*this);

    connect(ui.addMaskButton, &QPushButton::clicked, this, [this] { onAddMaskClicked(); });
    connect(ui.deleteMaskButton, &QPushButton::clicked, this, [this] { onDeleteMaskClicked(); });
    connect(ui.browseStartDirButton, &QPushButton::clicked, this,
            [this] { browseInto(*ui_->startDirBox); });
    connect(ui.browseCopyDirButton, &QPushButton::clicked, this,
            [this] { browseInto(*ui_->copyDirBox); });
    connect(ui.saveButton, &QPushButton::clicked, this, [this] { onSaveClicked(); });
    connect(ui.cancelButton, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    // Each control writes back into the settings in force as it changes.
    connect(ui.autoPrintBox, &QCheckBox::stateChanged, this, [this] {
        links_.settings().autoPrint = ValueOf(*ui_->autoPrintBox);
        links_.autoPrintSwitched();
    });
    connect(ui.ejectBox, &QCheckBox::stateChanged, this,
            [this] { links_.settings().pageEject = ValueOf(*ui_->ejectBox); });
    connect(ui.startDirBox, &QLineEdit::textChanged, this,
            [this](const QString& text) { links_.settings().startDir = text.toStdString(); });
    connect(ui.copyDirBox, &QLineEdit::textChanged, this,
            [this](const QString& text) { links_.settings().copyDir = text.toStdString(); });
    connect(ui.methodList, &QComboBox::currentIndexChanged, this,
            [this](int index) { links_.settings().printMethod = AfterPrintActionAt(index); });
    // Typing into the method box leaves no entry chosen.
    QComboBox* method = ui.methodList;
    connect(method->lineEdit(), &QLineEdit::textEdited, this, [this, method](const QString& text) {
        if (method->currentIndex() < 0) return;
        const int cursor = method->lineEdit()->cursorPosition();
        const QSignalBlocker quiet(method);
        method->setCurrentIndex(-1);
        method->setEditText(text);
        method->lineEdit()->setCursorPosition(cursor);
        links_.settings().printMethod = std::nullopt;  // a typed text
    });

    onLoad();
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::showDropDirectory(const std::string& dropDirectory) {
    ui_->dropDirectoryLabel->setText(
        QString::fromStdString("AutoPrint Directory - " + dropDirectory));
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    // Escape cancels as the Cancel button does; closing by the frame keeps the edits.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        onCancelClicked();
        return event->accept();
    }
    QDialog::keyPressEvent(event);
}

void OptionsDialog::onLoad() {
    const QSignalBlocker quiet(ui_->methodList);
    for (const auto& entry : kAfterPrintActions)
        ui_->methodList->addItem(QString::fromUtf8(entry.name));
    ui_->methodList->setCurrentIndex(-1);
    ui_->methodList->setEditText(QStringLiteral("Combo1"));
}

void OptionsDialog::onAddMaskClicked() {
    const QString mask = ui_->maskBox->text();
    if (mask.isEmpty()) return;
    ui_->maskList->addItem(mask);
    links_.addMainWindowMask(mask.toStdString());
    ui_->maskBox->clear();
}

void OptionsDialog::onDeleteMaskClicked() {
    const QList<QListWidgetItem*> selected = ui_->maskList->selectedItems();
    if (selected.isEmpty()) return;
    const int index = ui_->maskList->row(selected.first());
    links_.removeMainWindowMask(index);
    delete ui_->maskList->takeItem(index);
    ui_->maskList->clearSelection();
    ui_->maskList->setCurrentRow(-1);
}

void OptionsDialog::browseInto(QLineEdit& box) {
    if (auto chosen = links_.pickDirectory(links_.currentDirectory())) {
        box.setText(QString::fromStdString(*chosen));
    }
}

void OptionsDialog::onSaveClicked() {
    links_.saveSettings();
    done(Accepted);
}

void OptionsDialog::onCancelClicked() {
    links_.restoreSettings();
    done(Rejected);
}

void OptionsDialog::showSettings() {
    const Settings settings = links_.settings();  // a copy: each control writes back as it is set
    ui_->startDirBox->setText(QString::fromStdString(settings.startDir));
    ui_->copyDirBox->setText(QString::fromStdString(settings.copyDir));
    SetValue(*ui_->autoPrintBox, settings.autoPrint);
    SetValue(*ui_->ejectBox, settings.pageEject);
    const auto method = settings.printMethod;
    ui_->methodList->setCurrentIndex(method ? AfterPrintActionNumber(*method) : -1);
    ui_->maskList->clear();
    for (const std::string& mask : settings.masks) {
        ui_->maskList->addItem(QString::fromStdString(mask));
    }
}

}  // namespace vantrel
