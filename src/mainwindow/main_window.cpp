#include "mainwindow/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "autoprint/autoprint_watcher.h"
#include "formkit/controls.h"
#include "formkit/directory_checks.h"
#include "formkit/file_list_box.h"
#include "formkit/screen_places.h"
#include "settings/settings_steps.h"

namespace vantrel {

namespace {

// The copies box shows every count up to 32767 whole.
constexpr int kCopiesDigits = 5;
// The left margin of the window's lower half (the Refresh button's left edge), twips.
constexpr double kLabelMargin = 120;
// File1 and Combo1 end at the window's right edge, and File1 starts on the column of the buttons
// beside file2: no control is cut off by the edge or overlaps its neighbour.
constexpr double kRightEdge = Vantrel::kClientWidth;
constexpr double kSecondColumn = 3720;
// The right edge of Text1, file2 and the Refresh button.
constexpr double kFirstColumnEdge = 3615;

// A caption right-aligned to the left column's edge, beside the control it names; it has room to
// grow to the left.
QLabel* MakeCaption(QWidget* surface, const char* name, const char* caption, double left,
                    double top, double height) {
    auto* label = MakeLabel(surface, name, caption, Qt::AlignRight, left, top,
                            kFirstColumnEdge - left, height);
    FitCaption(*label, TwipsToPixelsX(kLabelMargin));
    return label;
}

QAction* MakeMenuItem(QMenuBar* bar, const char* name, const char* caption) {
    QAction* item = bar->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QString CountText(std::size_t count) {
    return QLocale(QLocale::English).toString(qulonglong(count));
}

std::vector<std::string> Texts(const QListWidget& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i) texts.push_back(list.item(i)->text().toStdString());
    return texts;
}

}  // namespace

// The controls, in design order.
struct Vantrel::Controls {
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
};

// The settings the main window holds, as the settings routines read and write them.
class Vantrel::SettingsHolder : public MainWindowSettings {
  public:
    SettingsHolder(Vantrel& window, Controls& ui) : window_(window), ui_(ui) {}

    std::string copiesText() const override { return ui_.Text2->text().toStdString(); }
    void setCopiesText(const std::string& text) override {
        ui_.Text2->setText(QString::fromStdString(text));
    }
    void clearMasks() override {
        const QSignalBlocker quiet(ui_.Combo1);
        ui_.Combo1->clear();
    }
    void addMask(const std::string& mask) override {
        // Adding to an empty list selects nothing, so the file list keeps its pattern.
        const QSignalBlocker quiet(ui_.Combo1);
        const bool noneSelected = ui_.Combo1->currentIndex() < 0;
        ui_.Combo1->addItem(QString::fromStdString(mask));
        if (noneSelected) ui_.Combo1->setCurrentIndex(-1);
    }
    std::vector<std::string> masks() const override {
        std::vector<std::string> all;
        for (int i = 0; i < ui_.Combo1->count(); ++i) {
            all.push_back(ui_.Combo1->itemText(i).toStdString());
        }
        return all;
    }
    int maskIndex() const override { return ui_.Combo1->currentIndex(); }
    void setMaskIndex(int index) override {
        ui_.Combo1->setCurrentIndex(index >= 0 && index < ui_.Combo1->count() ? index : -1);
    }
    FormGeometry geometry() const override { return FormGeometryTwips(window_); }
    bool isWindowStateNormal() const override {
        return !window_.isMinimized() && !window_.isMaximized() && !window_.isFullScreen();
    }
    void moveTo(float top, float left) override {
        window_.centrePending_ = false;
        MoveFormTwips(window_, top, left);
    }
    // Until the window system frames the window, its frame is not known: it is centred again
    // once it is, so that it is centred as it is seen.
    void moveToCentre() override {
        MainWindowSettings::moveToCentre();
        window_.centrePending_ = !IsFramed(window_);
    }
    FormGeometry screen() const override { return RectTwips(PrimaryScreenRect()); }
    bool reachable(const FormGeometry& placed) const override {
        return TitleBarReachable(RectPixels(placed), TitleBarHeight(window_),
                                 AvailableScreenAreas());
    }

  private:
    Vantrel& window_;
    Controls& ui_;
};

Vantrel::Vantrel(MainWindowLinks& links)
    : links_(links),
      ui_(std::make_unique<Controls>()),
      settings_(std::make_unique<SettingsHolder>(*this, *ui_)) {
    setObjectName(QStringLiteral("Vantrel"));
    setWindowTitle(QStringLiteral("Vantrel"));
    // A fixed single border: it can be minimised but neither resized nor maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    UseFormFont(*this);

    auto* surface = new QWidget(this);
    surface->setObjectName(QStringLiteral("surface"));
    surface->setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));
    setCentralWidget(surface);

    Controls& ui = *ui_;
    ui.Text1 = MakeTextBox(surface, "Text1", "Text1", 0, 15, 3615, 315);
    ui.Text1->setReadOnly(true);
    ui.file2 = MakeControl<ListBox>(surface, "file2", 0, 360, 3615, 1815);
    ui.file2->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.Command3 = MakeButton(surface, "Command3", "&Change Dir", 3720, 0, 1095, 315);
    ui.Combo1 = MakeControl<QComboBox>(surface, "Combo1", 4920, 0, kRightEdge - 4920, 315);
    ui.File1 = MakeControl<FileListBox>(surface, "File1", kSecondColumn, 350,
                                        kRightEdge - kSecondColumn, 1845);
    ui.File1->setPattern(QStringLiteral("*.TXT"));
    ui.Label1 =
        MakeCaption(surface, "Label1", "What to do with the file after printing ?", 472, 2325, 285);
    ui.Combo2 = MakeControl<QComboBox>(surface, "Combo2", 3720, 2280, 1095, 315);
    ui.Label2 = MakeCaption(surface, "Label2", "Number of copies to print ?", 1200, 2775, 255);
    ui.Text2 = MakeTextBox(surface, "Text2", "1", 3720, 2760, 495, 285);
    FitDigits(*ui.Text2, kCopiesDigits);
    ui.Command2 = MakeButton(surface, "Command2", "&Print", 4920, 2280, 2175, 1650);
    ui.Command1 = MakeButton(surface, "Command1", "&Refresh", 120, 3240, 3495, 690);
    ui.Command4 = MakeButton(surface, "Command4", "E&xit", 3720, 3240, 1095, 690);
    // The user starts by picking files.
    ui.File1->setFocus();

    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setInterval(kAutoPrintInterval);
    nextSlice_ = new QTimer(this);  // goes with the window: never fires into a window gone
    nextSlice_->setSingleShot(true);
    nextSlice_->setInterval(0);
    pressSlice_ = new QTimer(this);
    pressSlice_->setSingleShot(true);
    pressSlice_->setInterval(0);

    ui.Options = MakeMenuItem(menuBar(), "Options", "&Options");
    ui.About = MakeMenuItem(menuBar(), "About", "&About");
    ui.Help = MakeMenuItem(menuBar(), "Help", "&Help");

    // The outer size follows from the client area and the menu bar, and stays fixed.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    connect(ui.Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(ui.file2, &QListWidget::currentRowChanged, this, [this](int row) {
        const bool listed = row >= 0 && std::size_t(row) < printers_.size();
        chosenPrinter_ = listed ? printers_[std::size_t(row)].deviceName : std::string();
    });
    connect(ui.Command1, &QPushButton::clicked, this,
            [this] { whenFree([this] { refreshLists(); }); });
    connect(ui.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(ui.Command3, &QPushButton::clicked, this,
            [this] { whenFree([this] { Command3_Click(); }); });
    connect(ui.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(ui.Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(nextSlice_, &QTimer::timeout, this, [this] { continueAutoPrint(); });
    connect(pressSlice_, &QTimer::timeout, this, [this] { continuePress(); });
    connect(ui.Options, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showOptions(); }); });
    connect(ui.About, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showAbout(); }); });
    connect(ui.Help, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showHelp(); }); });
}

Vantrel::~Vantrel() = default;

MainWindowSettings& Vantrel::settings() {
    return *settings_;
}

void Vantrel::refreshLists() {
    // A directory deleted or closed to the user since it was chosen: as at start-up.
    const std::string directory = currentDirectory();
    const std::string usable = UsableDirectory(directory, "directory", "", links_.messages());
    if (usable != directory) setCurrentDirectory(usable);
    ui_->File1->refresh();
    const QSignalBlocker quiet(ui_->file2);  // the program's selection is no choice of the user
    ui_->file2->clear();
    printers_.clear();
    try {
        printers_ = links_.printers().printers();
        for (const Printer& printer : printers_) {
            ui_->file2->addItem(QString::fromStdString(SelectionString(printer)));
        }
        const auto chosen = std::find_if(printers_.begin(), printers_.end(), [&](const Printer& p) {
            return p.deviceName == chosenPrinter_;
        });
        if (chosen != printers_.end()) {
            setSelectedIndex(static_cast<int>(chosen - printers_.begin()));
        } else {
            chosenPrinter_.clear();  // gone: a printer of that name installed later is another
            SelectDefaultPrinter(*this, links_.printers());
        }
    } catch (const SpoolError& error) {
        links_.messages().show(SpoolerUnreachableText(error), MsgStyle::Exclamation);
    }
}

void Vantrel::selectDefaultPrinter() {
    try {
        SelectDefaultPrinter(*this, links_.printers());
    } catch (const SpoolError&) {
        // Every refresh of the lists reports an unreachable spooler; this is no refresh.
    }
}

void Vantrel::setCurrentDirectory(const std::string& directory) {
    const QString text = QString::fromStdString(directory);
    ui_->Text1->setText(text);
    // Every caller refreshes the lists next: one read of the directory, not two.
    ui_->File1->presetPath(text);
}

std::string Vantrel::currentDirectory() const {
    return ui_->Text1->text().toStdString();
}

void Vantrel::offerAfterPrintActions(int chosen) {
    ui_->Combo2->clear();
    ui_->Combo2->addItems(
        {QStringLiteral("Leave"), QStringLiteral("Delete"), QStringLiteral("Move")});
    ui_->Combo2->setCurrentIndex(chosen);
}

void Vantrel::removeMask(int index) {
    QComboBox& masks = *ui_->Combo1;
    if (index < 0 || index >= masks.count()) return;
    // Removing the chosen mask leaves none chosen rather than choosing a neighbour.
    const QSignalBlocker quiet(masks);
    const bool wasChosen = index == masks.currentIndex();
    masks.removeItem(index);
    if (wasChosen) masks.setCurrentIndex(-1);
}

void Vantrel::startAutoPrint(const std::string& dropDirectory, int intervalMs,
                             const std::string& keptRecordPath) {
    watcher_ = std::make_unique<AutoPrintWatcher>(
        dropDirectory, links_.printers(), links_.files(),
        [this] { return SpoolOptions{EjectBetweenJobs(links_.liveSettings())}; }, links_.messages(),
        [this] { return copiesText(); }, keptRecordPath);
    ui_->Timer1->start(intervalMs);
    showCaption();
}

bool Vantrel::autoPrintRunning() const {
    return watcher_ && ui_->Timer1->isActive() && links_.liveSettings().autoPrint() != 0;
}

void Vantrel::showAutoPrintState() {
    if (!autoTicking_) showCaption();
}

void Vantrel::Combo1_Click() {
    // Emptying the list leaves the pattern as it was; only a chosen mask replaces it.
    if (ui_->Combo1->currentIndex() < 0) return;
    ui_->File1->setPattern(ui_->Combo1->currentText());
}

void Vantrel::Command2_Click() {
    if (press_) return;  // one press at a time; the caption tells how far it is
    PrintPressView& view = *this;
    auto press =
        std::make_unique<PrintPress>(view, links_.printers(), links_.files(), links_.liveSettings(),
                                     links_.messages(), [] { QCoreApplication::processEvents(); });
    if (!press->start()) return;
    press_ = std::move(press);
    showCaption();
    // An AutoPrint tick under way ends first.
    if (!autoTicking_) pressSlice_->start();
}

void Vantrel::continuePress() {
    if (!press_) return;
    showCaption();
    inSlice_ = true;
    bool more = false;
    try {
        more = press_->workFor(kPressSlice);
    } catch (...) {
        inSlice_ = false;
        press_.reset();
        throw;
    }
    inSlice_ = false;
    if (more) {
        pressSlice_->start();
    } else {
        press_.reset();
    }
    showCaption();
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (auto& act : waiting) act();
}

void Vantrel::stopPress() {
    if (!press_) return;
    press_->stop();
    if (inSlice_) return;  // the slice ends it after the file in progress
    pressSlice_->stop();
    press_.reset();
    showCaption();
}

void Vantrel::whenFree(std::function<void()> act) {
    if (inSlice_) {
        waiting_.push_back(std::move(act));
    } else {
        act();
    }
}

void Vantrel::showCaption() {
    if (press_) {
        const auto [done, total] = press_->progress();
        setWindowTitle(QStringLiteral("Printing %1 of %2")
                           .arg(CountText(std::min(done + 1, total)), CountText(total)));
    } else {
        setWindowTitle(idleCaption());
    }
}

QString Vantrel::idleCaption() const {
    if (!autoPrintRunning()) return QStringLiteral("Vantrel - AutoPrint off");
    if (watcher_->watchedElsewhere()) {
        return QStringLiteral("Vantrel - AutoPrint: watched by the service");
    }
    return QStringLiteral("Vantrel");
}

void Vantrel::Command3_Click() {
    if (auto chosen = links_.pickDirectory(currentDirectory())) setCurrentDirectory(*chosen);
    refreshLists();
}

void Vantrel::Command4_Click() {
    SaveSettingsReporting(links_.store(), links_.liveSettings(), settings(), links_.messages());
    close();
}

void Vantrel::Timer1_Timer() {
    // While a tick is unfinished, or a press runs, the timer does nothing.
    if (press_ || !autoPrintRunning()) return;
    if (watcher_->startTick()) {
        autoTicking_ = true;
        continueAutoPrint();
    } else if (watcher_->watchedElsewhere()) {
        showCaption();
    }
}

// One slice of the tick; the rest follows once the window has answered what came meanwhile. The
// caption tells how far a tick that takes longer than a slice has come.
void Vantrel::continueAutoPrint() {
    if (!autoPrintRunning()) watcher_->stop();
    if (!watcher_->workFor(kAutoPrintSlice)) {
        autoTicking_ = false;
        showCaption();
        if (press_) pressSlice_->start();  // it waited for the tick
        return;
    }
    const auto [done, total] = watcher_->progress();
    setWindowTitle(QStringLiteral("AutoPrint: %1 of %2").arg(CountText(done), CountText(total)));
    nextSlice_->start();
}

void Vantrel::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Vantrel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && press_) {
        stopPress();
        return event->accept();
    }
    QMainWindow::keyPressEvent(event);
}

void Vantrel::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The frame is known now: centred again with it, and the dialogs with the window.
    if (centrePending_ && IsFramed(*this)) {
        settings_->moveToCentre();
        links_.placeDialogs();
    }
}

void Vantrel::Form_Unload() {
    // Nothing is saved here: only Exit saves. A tick under way ends with the file in progress.
    ui_->Timer1->stop();
    nextSlice_->stop();
    if (watcher_) watcher_->stop();
    autoTicking_ = false;
    stopPress();
    waiting_.clear();
    showCaption();
    links_.closeDialogs();
}

int Vantrel::fileListIndex() const {
    return ui_->File1->currentRow();
}

std::vector<std::string> Vantrel::fileEntries() const {
    return ui_->File1->storedNames();
}

std::vector<bool> Vantrel::fileSelection() const {
    return ui_->File1->selection();
}

int Vantrel::printerListIndex() const {
    const QList<QListWidgetItem*> selected = ui_->file2->selectedItems();
    return selected.isEmpty() ? -1 : ui_->file2->row(selected.first());
}

std::string Vantrel::selectedPrinter() const {
    const QList<QListWidgetItem*> selected = ui_->file2->selectedItems();
    return selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
}

std::string Vantrel::copiesText() const {
    return settings_->copiesText();
}

int Vantrel::actionIndex() const {
    return ui_->Combo2->currentIndex();
}

std::vector<std::string> Vantrel::entries() const {
    return Texts(*ui_->file2);
}

void Vantrel::setSelectedIndex(int index) {
    QListWidget& printers = *ui_->file2;
    const QSignalBlocker quiet(printers);
    if (index < 0 || index >= printers.count()) {
        printers.clearSelection();
        printers.setCurrentRow(-1);
        return;
    }
    printers.setCurrentRow(index);
    printers.scrollToItem(printers.item(index));
}

}  // namespace vantrel
