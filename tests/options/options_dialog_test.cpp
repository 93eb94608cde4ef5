// The options dialog: Cancel, Save Changes, the frame and Browse, the mask lists it keeps in step
// with the main window, and the tab order.

#include "platform/path_separator.h"
#include "support/design_names.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class OptionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    OptionsDialog* options = nullptr;

    template <typename Control>
    Control& control(const char* name) {
        return Child<Control>(*options, name);
    }
    // The masks of both lists and of the settings in force, which must agree.
    QStringList masks() {
        QStringList held;
        for (const auto& mask : rig->forms->settings().masks) held << mask.c_str();
        const bool agree = held == Texts(control<QListWidget>("ListMask")) &&
                           held == Texts(*rig->control<QComboBox>(main_form::kMaskList).view());
        return agree ? held : QStringList{"differ"};
    }

  private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->start());
        options = &rig->forms->optionsDialog();
        options->show();
    }

    // Cancel brings back what is stored, in the main window too; closed by its frame the dialog
    // keeps what was set, unsaved; Save Changes stores it. Browse starts at the main window's
    // directory, whatever the box holds, and a cancelled pick changes nothing.
    void cancelBringsBackAndSaveChangesStores() {
        MainWindow& window = rig->window();
        const QPoint storedPosition = window.pos();
        control<QLineEdit>(options_form::kStartDirBox).setText("/typed/");
        control<QLineEdit>("TextMask").setText("*.log");
        control<QPushButton>("AddMask").click();
        window.move(storedPosition + QPoint(40, 30));
        control<QPushButton>(options_form::kCancelButton).click();
        QCOMPARE(rig->forms->settings().startDir, WindowRig::dir(rig->work));
        QCOMPARE(masks(), (QStringList{"*.txt", "*.prn", "*.*"}));
        QCOMPARE(window.pos(), storedPosition);

        options->show();
        std::filesystem::create_directory(rig->work.path() / "pick");
        PickNext(options, "pick");
        control<QPushButton>(options_form::kCopyDirButton).click();
        PickNext(options);
        control<QPushButton>(options_form::kStartDirButton).click();
        control<QCheckBox>(options_form::kEjectBox).click();
        QVERIFY(options->close());
        QCOMPARE(rig->stored("Defaults", "CopyDir"), WindowRig::dir(rig->dataDir));
        options->show();
        control<QComboBox>(options_form::kMethodList).setCurrentIndex(2);
        control<QPushButton>(options_form::kSaveButton).click();
        QCOMPARE(rig->stored("Defaults", "PrintMethod"), std::string("Move"));
        options->show();
        QTest::keyClicks(control<QComboBox>(options_form::kMethodList).lineEdit(),
                         "Shred");  // typed: no entry
        control<QPushButton>(options_form::kSaveButton).click();
        QCOMPARE(rig->stored("Defaults", "CopyDir"), rig->work.file("pick") + kPathSeparator);
        QCOMPARE(rig->stored("Defaults", "StartDir"), WindowRig::dir(rig->work));
        QCOMPARE(rig->stored("Defaults", "PageEject"), std::string("1"));
        QCOMPARE(rig->stored("Defaults", "PrintMethod"), std::string("Leave"));
    }

    // Deleting the chosen mask leaves none chosen, and the file list keeps its pattern.
    void addAndDeleteKeepBothMaskListsInStep() {
        rig->work.write("a.txt", "");
        rig->work.write("b.log", "");
        for (const char* mask : {"", "*.log"}) {  // an empty mask is not added
            control<QLineEdit>("TextMask").setText(mask);
            control<QPushButton>("AddMask").click();
        }
        control<QPushButton>("DelMask").click();  // nothing selected: nothing goes
        control<QListWidget>("ListMask").setCurrentRow(1);
        control<QPushButton>("DelMask").click();
        QCOMPARE(masks(), (QStringList{"*.txt", "*.*", "*.log"}));
        QCOMPARE(rig->forms->settings().maskIndex, 0);
        control<QListWidget>("ListMask").setCurrentRow(0);
        control<QPushButton>("DelMask").click();
        QCOMPARE(rig->forms->settings().maskIndex, -1);
        rig->window().refreshLists();
        QCOMPARE(Texts(Child<QListView>(rig->window(), main_form::kFileList)),
                 QStringList{"a.txt"});
    }

    // The dialog keeps its size. Escape cancels as Cancel does; Return in a text box neither
    // saves nor closes (no default button); Return on a button presses it. A greyed "Eject page"
    // stays greyed through Save Changes.
    void theKeyboardCancelsAndOnlyTheButtonsSave() {
        QCOMPARE(options->minimumSize(), options->maximumSize());
        rig->store.set("Defaults", "PageEject", "2");
        auto& start = control<QLineEdit>(options_form::kStartDirBox);
        start.setText("/typed/");
        QTest::keyClick(&start, Qt::Key_Return);
        QVERIFY(options->isVisible() && rig->stored("Defaults", "PageEject") == "2");
        QTest::keyClick(&start, Qt::Key_Escape);
        QVERIFY(!options->isVisible() &&
                rig->forms->settings().startDir == WindowRig::dir(rig->work));
        QCOMPARE(control<QCheckBox>(options_form::kEjectBox).checkState(), Qt::PartiallyChecked);
        options->show();
        QTest::keyClick(&control<QPushButton>(options_form::kSaveButton), Qt::Key_Enter,
                        Qt::KeypadModifier);
        QVERIFY(!options->isVisible());
        QCOMPARE(rig->stored("Defaults", "StartDir") + rig->stored("Defaults", "PageEject"),
                 WindowRig::dir(rig->work) + "2");
    }

    void tabFollowsTheLayoutTopToBottomLeftToRight() {
        QStringList order;
        for (QWidget* widget = &control<QWidget>(options_form::kAutoPrintBox); order.size() < 13;
             widget = widget->nextInFocusChain()) {
            if (widget->focusPolicy() & Qt::TabFocus && widget->parent() == options) {
                order << widget->objectName();
            }
        }
        QCOMPARE(order.join(' '), QStringLiteral("Check1 Check2 ListMask Text1 Command1 Text2 "
                                                 "Command2 Combo1 TextMask Command3 Command4 "
                                                 "AddMask DelMask"));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
