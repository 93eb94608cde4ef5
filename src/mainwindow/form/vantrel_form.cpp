#include "mainwindow/form/vantrel_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "dirpick/dir_pick.h"
#include "mainwindow/autoprint_watcher.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/forms.h"
#include "mainwindow/form/twips.h"
#include "mainwindow/startup_steps.h"
#include "options/option_form.h"
#include "settings/settings_routines.h"

namespace vantrel {

namespace {

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
QLabel* MakeLabel(QWidget* surface, const char* name, const char* caption, double left, double top,
                  double height) {
    auto* label = MakeControl<QLabel>(surface, name, left, top, kFirstColumnEdge - left, height);
    label->setText(QString::fromUtf8(caption));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    FitCaption(*label, TwipsToPixelsX(kLabelMargin));
    return label;
}

QAction* MakeMenuItem(QMenuBar* bar, const char* name, const char* caption) {
    QAction* item = bar->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

}  // namespace

Vantrel::Vantrel(Forms& forms) : forms_(forms) {
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

    Text1 = MakeControl<QLineEdit>(surface, "Text1", 0, 15, 3615, 315);
    Text1->setText(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    file2 = MakeControl<QListWidget>(surface, "file2", 0, 360, 3615, 1815);
    file2->setSelectionMode(QAbstractItemView::SingleSelection);
    Command3 = MakeButton(surface, "Command3", "Change Dir", 3720, 0, 1095, 315);
    Combo1 = MakeControl<QComboBox>(surface, "Combo1", 4920, 0, kRightEdge - 4920, 315);
    File1 = MakeControl<FileListBox>(surface, "File1", kSecondColumn, 350,
                                     kRightEdge - kSecondColumn, 1845);
    File1->setPattern(QStringLiteral("*.TXT"));
    Label1 =
        MakeLabel(surface, "Label1", "What to do with the file after printing ?", 472, 2325, 285);
    Combo2 = MakeControl<QComboBox>(surface, "Combo2", 3720, 2280, 1095, 315);
    Label2 = MakeLabel(surface, "Label2", "Number of copies to print ?", 1200, 2775, 255);
    Text2 = MakeControl<QLineEdit>(surface, "Text2", 3720, 2760, 495, 285);
    Text2->setText(QStringLiteral("1"));
    Command2 = MakeButton(surface, "Command2", "Print", 4920, 2280, 2175, 1650);
    Command1 = MakeButton(surface, "Command1", "Refresh", 120, 3240, 3495, 690);
    Command4 = MakeButton(surface, "Command4", "Exit", 3720, 3240, 1095, 690);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kAutoPrintInterval);

    Options = MakeMenuItem(menuBar(), "Options", "&Options");
    About = MakeMenuItem(menuBar(), "About", "&About");
    Help = MakeMenuItem(menuBar(), "Help", "&Help");

    // The outer size follows from the client area and the menu bar, and stays fixed.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Options, &QAction::triggered, this, [this] { Options_Click(); });
    connect(About, &QAction::triggered, this, [this] { About_Click(); });
    connect(Help, &QAction::triggered, this, [this] { Help_Click(); });
}

Vantrel::~Vantrel() = default;

void Vantrel::RefreshLists() {
    File1->refresh();
    file2->clear();
    try {
        for (const Printer& printer : forms_.printers().printers()) {
            file2->addItem(QString::fromStdString(SelectionString(printer)));
        }
        SelectDefaultPrinter(*this, forms_.printers());
    } catch (const SpoolError& error) {
        forms_.messages().show(SpoolerUnreachableText(error), MsgStyle::Exclamation);
    }
}

void Vantrel::setCurrentDirectory(const std::string& directory) {
    const QString text = QString::fromStdString(directory);
    Text1->setText(text);
    File1->setPath(text);
}

void Vantrel::startAutoPrint(const std::string& dropDirectory, int intervalMs) {
    watcher_ = std::make_unique<AutoPrintWatcher>(dropDirectory, forms_.printers(),
                                                  forms_.optionForm(), forms_.messages(),
                                                  [this] { return Text2->text().toStdString(); });
    Timer1->start(intervalMs);
}

bool Vantrel::autoPrintRunning() const {
    return watcher_ && Timer1->isActive();
}

void Vantrel::Combo1_Click() {
    // Emptying the list leaves the pattern as it was; only a chosen mask replaces it.
    if (Combo1->currentIndex() < 0) return;
    File1->setPattern(Combo1->currentText());
}

void Vantrel::Command1_Click() {
    RefreshLists();
}

void Vantrel::Command2_Click() {
    PressPrint(*this, forms_.printers(), forms_.optionForm(), forms_.messages());
}

void Vantrel::Command3_Click() {
    if (auto chosen = forms_.dirPick().choose(Text1->text().toStdString())) {
        setCurrentDirectory(*chosen);
    }
    RefreshLists();
}

void Vantrel::Command4_Click() {
    SaveSettingsReporting(forms_.store(), forms_.optionForm(), *this, forms_.messages());
    close();
}

void Vantrel::Timer1_Timer() {
    if (watcher_) watcher_->tick();
}

void Vantrel::Options_Click() {
    forms_.optionForm().exec();
}

void Vantrel::About_Click() {
    if (onAbout) onAbout();
}

void Vantrel::Help_Click() {
    if (onHelp) onHelp();
}

void Vantrel::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Vantrel::Form_Unload() {
    // Nothing is saved here: only Exit saves.
    Timer1->stop();
    forms_.dirPick().close();
    forms_.optionForm().close();
}

int Vantrel::fileListIndex() const {
    return File1->currentRow();
}

std::vector<std::string> Vantrel::fileEntries() const {
    std::vector<std::string> names;
    for (int i = 0; i < File1->count(); ++i) names.push_back(File1->item(i)->text().toStdString());
    return names;
}

std::vector<bool> Vantrel::fileSelection() const {
    std::vector<bool> selected;
    for (int i = 0; i < File1->count(); ++i) selected.push_back(File1->item(i)->isSelected());
    return selected;
}

int Vantrel::printerListIndex() const {
    const QList<QListWidgetItem*> selected = file2->selectedItems();
    return selected.isEmpty() ? -1 : file2->row(selected.first());
}

std::string Vantrel::selectedPrinter() const {
    const QList<QListWidgetItem*> selected = file2->selectedItems();
    return selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
}

std::string Vantrel::copiesText() const {
    return Text2->text().toStdString();
}

int Vantrel::actionIndex() const {
    return Combo2->currentIndex();
}

std::string Vantrel::currentDirectory() const {
    return Text1->text().toStdString();
}

void Vantrel::setCopiesText(const std::string& text) {
    Text2->setText(QString::fromStdString(text));
}

void Vantrel::clearMasks() {
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
}

void Vantrel::addMask(const std::string& mask) {
    // Adding to an empty list selects nothing, so the file list keeps its pattern.
    const QSignalBlocker quiet(Combo1);
    const bool noneSelected = Combo1->currentIndex() < 0;
    Combo1->addItem(QString::fromStdString(mask));
    if (noneSelected) Combo1->setCurrentIndex(-1);
}

std::vector<std::string> Vantrel::masks() const {
    std::vector<std::string> all;
    for (int i = 0; i < Combo1->count(); ++i) all.push_back(Combo1->itemText(i).toStdString());
    return all;
}

int Vantrel::maskIndex() const {
    return Combo1->currentIndex();
}

void Vantrel::setMaskIndex(int index) {
    Combo1->setCurrentIndex(index >= 0 && index < Combo1->count() ? index : -1);
}

void Vantrel::removeMask(int index) {
    if (index < 0 || index >= Combo1->count()) return;
    // Removing the chosen mask leaves none chosen rather than choosing a neighbour.
    const QSignalBlocker quiet(Combo1);
    const bool wasChosen = index == Combo1->currentIndex();
    Combo1->removeItem(index);
    if (wasChosen) Combo1->setCurrentIndex(-1);
}

FormGeometry Vantrel::geometry() const {
    return FormGeometryTwips(*this);
}

bool Vantrel::isWindowStateNormal() const {
    return !isMinimized() && !isMaximized() && !isFullScreen();
}

void Vantrel::moveTo(float top, float left) {
    MoveFormTwips(*this, top, left);
}

float Vantrel::screenWidth() const {
    return ScreenWidthTwips(this);
}

float Vantrel::screenHeight() const {
    return ScreenHeightTwips(this);
}

std::vector<std::string> Vantrel::entries() const {
    std::vector<std::string> all;
    for (int i = 0; i < file2->count(); ++i) all.push_back(file2->item(i)->text().toStdString());
    return all;
}

void Vantrel::setSelectedIndex(int index) {
    if (index < 0 || index >= file2->count()) {
        file2->clearSelection();
        file2->setCurrentRow(-1);
        return;
    }
    file2->setCurrentRow(index);
    file2->scrollToItem(file2->item(index));
}

}  // namespace vantrel
