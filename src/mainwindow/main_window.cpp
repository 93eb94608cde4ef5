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
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <utility>

#include "autoprint/autoprint_watcher.h"
#include "formkit/controls.h"
#include "formkit/directory_checks.h"
#include "formkit/file_list_box.h"
#include "formkit/screen_places.h"
#include "mainwindow/jobs_line.h"
#include "printing/outcome_texts.h"
#include "settings/settings_steps.h"

namespace vantrel {

namespace {

// The copies box shows every count up to 32767 whole.
constexpr int kCopiesDigits = 5;
// The left margin of the window's lower half (the Refresh button's left edge), twips.
constexpr double kLabelMargin = 120;
// fileList and maskList end at the window's right edge, and fileList starts on the column of the
// buttons beside printerList: no control is cut off by the edge or overlaps its neighbour.
constexpr double kRightEdge = MainWindow::kClientWidth;
constexpr double kSecondColumn = 3720;
// The right edge of directoryBox, printerList and the Refresh button.
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
struct MainWindow::Controls {
    QLineEdit* directoryBox;
    QListWidget* printerList;
    QPushButton* changeDirButton;
    QComboBox* maskList;
    FileListBox* fileList;
    QLabel* actionCaption;
    QComboBox* actionList;
    QLabel* copiesCaption;
    QLineEdit* copiesBox;
    QPushButton* printButton;
    QPushButton* refreshButton;
    QPushButton* exitButton;
    QTimer* autoPrintTimer;
    QLabel* jobsLine;
    QAction* Options;
    QAction* About;
    QAction* Help;
};

MainWindow::MainWindow(MainWindowLinks& links)
    : links_(links),
      ui_(std::make_unique<Controls>()),
      messages_(links.messages(), [this] { return closing_; }),
      wait_([this](bool unanswered) {
          noAnswer_ = unanswered;
          showJobsLine();
      }),
      spooler_(std::make_unique<WorkerPrinterSystem>(links.printers(), wait_)) {
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
    ui.directoryBox = MakeTextBox(surface, "Text1", "Text1", 0, 15, 3615, 315);
    ui.directoryBox->setReadOnly(true);
    ui.printerList = MakeControl<ListBox>(surface, "file2", 0, 360, 3615, 1815);
    ui.printerList->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.changeDirButton = MakeButton(surface, "Command3", "&Change Dir", 3720, 0, 1095, 315);
    ui.maskList = MakeControl<QComboBox>(surface, "Combo1", 4920, 0, kRightEdge - 4920, 315);
    ui.fileList = MakeControl<FileListBox>(surface, "File1", kSecondColumn, 350,
                                           kRightEdge - kSecondColumn, 1845);
    ui.fileList->setPattern(QStringLiteral("*.TXT"));
    ui.actionCaption =
        MakeCaption(surface, "Label1", "What to do with the file after printing ?", 472, 2325, 285);
    ui.actionList = MakeControl<QComboBox>(surface, "Combo2", 3720, 2280, 1095, 315);
    ui.copiesCaption =
        MakeCaption(surface, "Label2", "Number of copies to print ?", 1200, 2775, 255);
    ui.copiesBox = MakeTextBox(surface, "Text2", "1", 3720, 2760, 495, 285);
    // It may grow to the right as far as the Print button's column, one margin before it.
    FitDigits(*ui.copiesBox, kCopiesDigits, TwipsToPixelsX(4920 - kLabelMargin - 3720));
    ui.printButton = MakeButton(surface, "Command2", "&Print", 4920, 2280, 2175, 1650);
    ui.refreshButton = MakeButton(surface, "Command1", "&Refresh", 120, 3240, 3495, 690);
    ui.exitButton = MakeButton(surface, "Command4", "E&xit", 3720, 3240, 1095, 690);
    // The user starts by picking files.
    ui.fileList->setFocus();

    ui.autoPrintTimer = new QTimer(this);
    ui.autoPrintTimer->setObjectName(QStringLiteral("Timer1"));
    ui.autoPrintTimer->setInterval(kAutoPrintInterval);
    nextSlice_ = new QTimer(this);  // goes with the window: never fires into a window gone
    nextSlice_->setSingleShot(true);
    nextSlice_->setInterval(0);
    pressSlice_ = new QTimer(this);
    pressSlice_->setSingleShot(true);
    pressSlice_->setInterval(0);
    followStep_ = new QTimer(this);
    followStep_->setSingleShot(true);
    // Under the lists, below the design's client area, so that every control keeps its size.
    ui.jobsLine = new QLabel(this);
    ui.jobsLine->setObjectName(QStringLiteral("jobsLine"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(ui.jobsLine, 1);

    ui.Options = MakeMenuItem(menuBar(), "Options", "&Options");
    ui.About = MakeMenuItem(menuBar(), "About", "&About");
    ui.Help = MakeMenuItem(menuBar(), "Help", "&Help");

    // The outer size follows from the client area and the menu bar, and stays fixed.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    connect(ui.maskList, &QComboBox::currentIndexChanged, this, [this] { onMaskChosen(); });
    connect(ui.copiesBox, &QLineEdit::textChanged, this,
            [this](const QString& text) { links_.settings().copies = text.toStdString(); });
    connect(ui.printerList, &QListWidget::currentRowChanged, this, [this](int row) {
        const bool listed = row >= 0 && std::size_t(row) < printers_.size();
        chosenPrinter_ = listed ? printers_[std::size_t(row)].deviceName : std::string();
    });
    connect(ui.refreshButton, &QPushButton::clicked, this,
            [this] { whenFree([this] { refreshLists(); }); });
    connect(ui.printButton, &QPushButton::clicked, this, [this] { onPrintClicked(); });
    connect(ui.changeDirButton, &QPushButton::clicked, this,
            [this] { whenFree([this] { onChangeDirClicked(); }); });
    connect(ui.exitButton, &QPushButton::clicked, this, [this] { onExitClicked(); });
    connect(ui.autoPrintTimer, &QTimer::timeout, this, [this] { onAutoPrintTimer(); });
    connect(nextSlice_, &QTimer::timeout, this, [this] { continueAutoPrint(); });
    connect(pressSlice_, &QTimer::timeout, this, [this] { continuePress(); });
    connect(followStep_, &QTimer::timeout, this, [this] { onFollowTimer(); });
    connect(ui.Options, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showOptions(); }); });
    connect(ui.About, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showAbout(); }); });
    connect(ui.Help, &QAction::triggered, this,
            [this] { whenFree([this] { links_.showHelp(); }); });
}

MainWindow::~MainWindow() = default;

void MainWindow::showSettings() {
    const Settings& settings = links_.settings();
    ui_->copiesBox->setText(QString::fromStdString(settings.copies));
    if (const auto corner = StoredCorner(settings, room())) {
        centrePending_ = false;
        MoveFormTwips(*this, corner->top, corner->left);
    } else {
        moveToCentre();
    }
    QComboBox& masks = *ui_->maskList;
    {
        // Filling the list chooses nothing, so the file list keeps its pattern until a mask is.
        const QSignalBlocker quiet(masks);
        masks.clear();
        for (const std::string& mask : settings.masks) masks.addItem(QString::fromStdString(mask));
        masks.setCurrentIndex(-1);
    }
    const int chosen = settings.maskIndex;
    masks.setCurrentIndex(chosen >= 0 && chosen < masks.count() ? chosen : -1);
}

void MainWindow::saveSettings() {
    Settings settings = links_.settings();
    // A minimised or maximised window keeps the placement stored last.
    settings.top = settings.left = std::nullopt;
    if (!isMinimized() && !isMaximized() && !isFullScreen()) {
        const FormGeometry outer = FormGeometryTwips(*this);
        settings.top = outer.top;
        settings.left = outer.left;
    }
    SaveSettingsReporting(links_.store(), settings, links_.messages());
}

WindowRoom MainWindow::room() const {
    const FormGeometry outer = FormGeometryTwips(*this);
    const int titleHeight = TitleBarHeight(*this);
    return {RectTwips(PrimaryScreenRect()), outer.width, outer.height,
            [titleHeight](const FormGeometry& placed) {
                return TitleBarReachable(RectPixels(placed), titleHeight, AvailableScreenAreas());
            }};
}

// Until the window system frames the window, its frame is not known: it is centred again once
// it is, so that it is centred as it is seen.
void MainWindow::moveToCentre() {
    const WindowRoom room = this->room();
    MoveFormTwips(*this, CentredTop(room), CentredLeft(room));
    centrePending_ = !IsFramed(*this);
}

void MainWindow::refreshLists() {
    // A directory deleted or closed to the user since it was chosen: as at start-up.
    const std::string directory = currentDirectory();
    const std::string usable = UsableDirectory(directory, "directory", "", messages_);
    if (usable != directory) setCurrentDirectory(usable);
    ui_->fileList->refresh();
    std::vector<Printer> printers;
    try {
        // Asked before the list is touched: the window answers while it waits, and a Print
        // pressed meanwhile finds the list as it was.
        printers = spooler_->printers();
    } catch (const SpoolError& error) {
        printers_.clear();
        ui_->printerList->clear();
        messages_.show(SpoolerUnreachableText(error), MsgStyle::Exclamation);
        return;
    }
    const QSignalBlocker quiet(
        ui_->printerList);  // the program's selection is no choice of the user
    ui_->printerList->clear();
    printers_ = std::move(printers);
    const int room = ui_->printerList->viewport()->width();
    for (const Printer& printer : printers_) {
        const QString text = QString::fromStdString(SelectionString(printer));
        auto* item = new QListWidgetItem(text, ui_->printerList);
        // An entry cut off at the list's edge shows whole when pointed at.
        if (ui_->printerList->fontMetrics().horizontalAdvance(text) > room) item->setToolTip(text);
    }
    try {
        const auto chosen = std::find_if(printers_.begin(), printers_.end(), [&](const Printer& p) {
            return p.deviceName == chosenPrinter_;
        });
        if (chosen != printers_.end()) {
            setSelectedIndex(static_cast<int>(chosen - printers_.begin()));
        } else {
            chosenPrinter_.clear();  // gone: a printer of that name installed later is another
            SelectDefaultPrinter(*this, *spooler_);
        }
    } catch (const SpoolError& error) {
        messages_.show(SpoolerUnreachableText(error), MsgStyle::Exclamation);
    }
}

void MainWindow::selectDefaultPrinter() {
    try {
        SelectDefaultPrinter(*this, *spooler_);
    } catch (const SpoolError&) {
        // Every refresh of the lists reports an unreachable spooler; this is no refresh.
    }
}

void MainWindow::setCurrentDirectory(const std::string& directory) {
    const QString text = QString::fromStdString(directory);
    ui_->directoryBox->setText(text);
    // Every caller refreshes the lists next: one read of the directory, not two.
    ui_->fileList->presetPath(text);
}

std::string MainWindow::currentDirectory() const {
    return ui_->directoryBox->text().toStdString();
}

void MainWindow::offerAfterPrintActions(std::optional<AfterPrintAction> chosen) {
    ui_->actionList->clear();
    for (const auto& entry : kAfterPrintActions)
        ui_->actionList->addItem(QString::fromUtf8(entry.name));
    ui_->actionList->setCurrentIndex(chosen ? AfterPrintActionNumber(*chosen) : -1);
}

void MainWindow::addMask(const std::string& mask) {
    QComboBox& masks = *ui_->maskList;
    {
        // Adding to an empty list chooses nothing, so the file list keeps its pattern.
        const QSignalBlocker quiet(masks);
        const bool noneChosen = masks.currentIndex() < 0;
        masks.addItem(QString::fromStdString(mask));
        if (noneChosen) masks.setCurrentIndex(-1);
    }
    keepMasks();
}

void MainWindow::removeMask(int index) {
    QComboBox& masks = *ui_->maskList;
    if (index < 0 || index >= masks.count()) return;
    {
        // Removing the chosen mask leaves none chosen rather than choosing a neighbour.
        const QSignalBlocker quiet(masks);
        const bool wasChosen = index == masks.currentIndex();
        masks.removeItem(index);
        if (wasChosen) masks.setCurrentIndex(-1);
    }
    keepMasks();
}

void MainWindow::keepMasks() {
    Settings& settings = links_.settings();
    settings.masks.clear();
    for (int i = 0; i < ui_->maskList->count(); ++i) {
        settings.masks.push_back(ui_->maskList->itemText(i).toStdString());
    }
    settings.maskIndex = ui_->maskList->currentIndex();
}

void MainWindow::startAutoPrint(const std::string& dropDirectory, int intervalMs,
                                const std::string& keptRecordPath) {
    watcher_ = std::make_unique<AutoPrintWatcher>(
        dropDirectory, *spooler_, links_.files(),
        [this] { return SpoolOptions{EjectBetweenJobs(links_.settings())}; }, messages_,
        [this] { return copiesText(); }, keptRecordPath);
    ui_->autoPrintTimer->start(intervalMs);
    showCaption();
}

bool MainWindow::autoPrintRunning() const {
    return watcher_ && ui_->autoPrintTimer->isActive() && AutoPrintAllowed(links_.settings());
}

void MainWindow::showAutoPrintState() {
    if (!autoTicking_) showCaption();
}

void MainWindow::onMaskChosen() {
    links_.settings().maskIndex = ui_->maskList->currentIndex();
    // Emptying the list leaves the pattern as it was; only a chosen mask replaces it.
    if (ui_->maskList->currentIndex() < 0) return;
    ui_->fileList->setPattern(ui_->maskList->currentText());
}

void MainWindow::onPrintClicked() {
    if (press_) return;  // one press at a time; the caption tells how far it is
    PrintPressView& view = *this;
    auto press = std::make_unique<PrintPress>(view, *spooler_, links_.files(), links_.settings(),
                                              messages_, [] { QCoreApplication::processEvents(); });
    if (!press->start()) return;
    followJobs({});
    pressNote_.clear();
    showJobsLine();
    press_ = std::move(press);
    showCaption();
    // An AutoPrint tick under way ends first.
    if (!autoTicking_) pressSlice_->start();
}

void MainWindow::continuePress() {
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
    if (closing_) {
        press_.reset();  // the window went while the slice waited on the spooler
        return showCaption();
    }
    if (more) {
        pressSlice_->start();
    } else {
        endPress();
    }
    showCaption();
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (auto& act : waiting) act();
}

void MainWindow::stopPress() {
    if (!press_) return;
    press_->stop();
    if (inSlice_) return;  // the slice ends it after the file in progress
    pressSlice_->stop();
    endPress();
    showCaption();
}

void MainWindow::endPress() {
    followJobs(press_->spooledJobs());
    const PrintPress::Progress progress = press_->progress();
    if (press_->stopAsked() && progress.printed < progress.total) {
        pressNote_ = "Stopped: " + CountText(progress.printed).toStdString() + " of " +
                     CountText(progress.total).toStdString() + " files printed";
    }
    press_.reset();
    showJobsLine();
}

void MainWindow::followJobs(const std::vector<JobRef>& jobs) {
    followStep_->stop();
    follower_.reset();
    jobsText_.clear();
    showJobsLine();
    if (jobs.empty()) return;
    follower_ = std::make_shared<JobFollower>(jobs, FollowClock::now());
    followStep_->start(0);
}

// One look at the queues whose jobs are due; the window answers between looks and while one
// waits on the spooler. A press started meanwhile follows its own jobs: this look is dropped.
void MainWindow::onFollowTimer() {
    const std::shared_ptr<JobFollower> follower = follower_;
    if (!follower) return;
    const auto next = follower->step(*spooler_, FollowClock::now());
    if (follower != follower_ || closing_) return;
    const JobsLine line = JobsLineOf(follower->jobs());
    // After a stop, that the files printed did print goes without saying.
    jobsText_ = !pressNote_.empty() && !line.failed && follower->allEnded() ? "" : line.text;
    showJobsLine();
    if (next) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - FollowClock::now());
        followStep_->start(std::max<int>(0, int(wait.count())));
        return;
    }
    follower_.reset();
    if (line.failed) whenFree([this, text = line.text] { tellFailure(text); });
}

void MainWindow::tellFailure(const std::string& text) {
    if (failureShown_) {
        failureNext_ = text;  // the box open now tells it once it is closed
        return;
    }
    failureShown_ = true;
    for (std::string next = text; !next.empty() && !closing_;
         next = std::exchange(failureNext_, {})) {
        messages_.show(next, MsgStyle::Exclamation);
    }
    failureNext_.clear();
    failureShown_ = false;
}

void MainWindow::showJobsLine() {
    std::string text = pressNote_;
    if (!jobsText_.empty()) text += (text.empty() ? "" : "; ") + jobsText_;
    if (noAnswer_) text = "The print server does not answer; waiting \u2026";
    ui_->jobsLine->setText(QString::fromStdString(text));
}

void MainWindow::whenFree(std::function<void()> act) {
    if (inSlice_) {
        waiting_.push_back(std::move(act));
    } else {
        act();
    }
}

void MainWindow::showCaption() {
    if (press_) {
        const PrintPress::Progress progress = press_->progress();
        setWindowTitle(QStringLiteral("Printing %1 of %2")
                           .arg(CountText(std::min(progress.done + 1, progress.total)),
                                CountText(progress.total)));
    } else {
        setWindowTitle(idleCaption());
    }
}

QString MainWindow::idleCaption() const {
    if (!autoPrintRunning()) return QStringLiteral("Vantrel - AutoPrint off");
    if (watcher_->watchedElsewhere()) {
        return QStringLiteral("Vantrel - AutoPrint: watched by the service");
    }
    return QStringLiteral("Vantrel");
}

void MainWindow::onChangeDirClicked() {
    if (auto chosen = links_.pickDirectory(currentDirectory())) setCurrentDirectory(*chosen);
    refreshLists();
}

void MainWindow::onExitClicked() {
    saveSettings();
    close();
}

void MainWindow::onAutoPrintTimer() {
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
void MainWindow::continueAutoPrint() {
    if (!autoPrintRunning()) watcher_->stop();
    // The window answers while a file waits on the spooler: the caption names that file.
    if (const auto [done, total] = watcher_->progress(); done < total) {
        setWindowTitle(
            QStringLiteral("AutoPrint: %1 of %2").arg(CountText(done + 1), CountText(total)));
    }
    // The window answers while the slice waits on the spooler; what opens a dialog waits for
    // the slice's end, as during a press.
    inSlice_ = true;
    bool more = false;
    try {
        more = watcher_->workFor(kAutoPrintSlice);
    } catch (...) {
        inSlice_ = false;
        throw;
    }
    inSlice_ = false;
    if (!more) {
        autoTicking_ = false;
        showCaption();
        if (press_) pressSlice_->start();  // it waited for the tick
    } else {
        const auto [done, total] = watcher_->progress();
        setWindowTitle(
            QStringLiteral("AutoPrint: %1 of %2").arg(CountText(done), CountText(total)));
        nextSlice_->start();
    }
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (auto& act : waiting) act();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    onUnload();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && press_) {
        stopPress();
        return event->accept();
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The frame is known now: centred again with it, and the dialogs with the window.
    if (centrePending_ && IsFramed(*this)) {
        moveToCentre();
        links_.placeDialogs();
    }
}

void MainWindow::onUnload() {
    // Nothing is saved here: only Exit saves. A tick under way ends with the file in progress;
    // a spooler that does not answer is not waited for.
    closing_ = true;
    spooler_->giveUpWaits();
    ui_->autoPrintTimer->stop();
    nextSlice_->stop();
    if (watcher_) watcher_->stop();
    autoTicking_ = false;
    stopPress();
    followJobs({});  // the window is going: nobody to tell
    waiting_.clear();
    showCaption();
    links_.closeDialogs();
}

int MainWindow::fileListIndex() const {
    return ui_->fileList->currentRow();
}

std::vector<std::string> MainWindow::fileEntries() const {
    return ui_->fileList->storedNames();
}

std::vector<bool> MainWindow::fileSelection() const {
    return ui_->fileList->selection();
}

int MainWindow::printerListIndex() const {
    const QList<QListWidgetItem*> selected = ui_->printerList->selectedItems();
    return selected.isEmpty() ? -1 : ui_->printerList->row(selected.first());
}

std::string MainWindow::selectedPrinter() const {
    const QList<QListWidgetItem*> selected = ui_->printerList->selectedItems();
    return selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
}

std::string MainWindow::copiesText() const {
    return ui_->copiesBox->text().toStdString();
}

std::optional<AfterPrintAction> MainWindow::chosenAction() const {
    return AfterPrintActionAt(ui_->actionList->currentIndex());
}

std::vector<std::string> MainWindow::entries() const {
    return Texts(*ui_->printerList);
}

void MainWindow::setSelectedIndex(int index) {
    QListWidget& printers = *ui_->printerList;
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
