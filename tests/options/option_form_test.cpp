// The options dialog: Save Changes, Cancel and the frame, the mask lists it keeps in step with
// the main window, and Browse.

#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class OptionFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    OptionForm* options = nullptr;

    template <typename Control>
    Control& control(const char* name) {
        return Child<Control>(*options, name);
    }
    // The masks of both lists, which must agree.
    QStringList masks() {
        QStringList main;
        for (const auto& mask : rig->window().settings().masks()) main << mask.c_str();
        return main == Texts(control<QListWidget>("ListMask")) ? main : QStringList{"differ"};
    }

  private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->start());
        options = &rig->forms->optionForm();
        options->show();
    }

    void closedByItsFrameItKeepsTheValuesUnsavedAndSaveChangesStoresThem() {
        control<QLineEdit>("Text2").setText("/srv/printed/");
        QVERIFY(options->close() && !options->isVisible());
        QCOMPARE(rig->stored("Defaults", "CopyDir"), WindowRig::dir(rig->dataDir));
        options->show();
        control<QCheckBox>("Check2").click();
        control<QComboBox>("Combo1").setCurrentIndex(2);
        QTest::keyClicks(control<QComboBox>("Combo1").lineEdit(), "Shred");  // typed: no entry
        control<QPushButton>("Command3").click();
        QVERIFY(!options->isVisible());
        QCOMPARE(rig->stored("Defaults", "CopyDir"), std::string("/srv/printed/"));
        QCOMPARE(rig->stored("Defaults", "PageEject"), std::string("1"));
        QCOMPARE(rig->stored("Defaults", "PrintMethod"), std::string("Leave"));
        QCOMPARE(rig->stored("Defaults", "Copies"), std::string("1"));
    }

    void cancelBringsBackTheStoredSettingsAlsoInTheMainWindow() {
        Vantrel& window = rig->window();
        const QPoint storedPosition = window.pos();
        control<QLineEdit>("Text1").setText("/typed/");
        control<QLineEdit>("TextMask").setText("*.log");
        control<QPushButton>("AddMask").click();
        Child<QLineEdit>(window, "Text2").setText("5");
        window.move(storedPosition + QPoint(40, 30));
        control<QPushButton>("Command4").click();
        QCOMPARE(options->startDir(), WindowRig::dir(rig->work));
        QCOMPARE(masks(), (QStringList{"*.txt", "*.prn", "*.*"}));
        QCOMPARE(window.settings().copiesText(), std::string("1"));
        QCOMPARE(window.pos(), storedPosition);
    }

    void addAndDeleteKeepBothMaskListsInStep() {
        rig->work.write("a.txt", "");
        rig->window().refreshLists();
        for (const char* mask : {"", "*.log"}) {  // an empty mask is not added
            control<QLineEdit>("TextMask").setText(mask);
            control<QPushButton>("AddMask").click();
        }
        control<QPushButton>("DelMask").click();  // nothing selected: nothing goes
        control<QListWidget>("ListMask").setCurrentRow(1);
        control<QPushButton>("DelMask").click();
        QCOMPARE(masks(), (QStringList{"*.txt", "*.*", "*.log"}));
        QCOMPARE(rig->window().settings().maskIndex(), 0);
        control<QListWidget>("ListMask").setCurrentRow(0);  // the chosen one
        control<QPushButton>("DelMask").click();
        QCOMPARE(rig->window().settings().maskIndex(), -1);
        QCOMPARE(Texts(Child<QListView>(rig->window(), "File1")), QStringList{"a.txt"});
    }

    void browseStartsAtTheMainWindowsDirectory() {
        std::filesystem::create_directory(rig->work.path() / "pick");
        control<QLineEdit>("Text1").setText("/somewhere/else/");
        InNextDialog<DirPick>(options, [](DirPick& picker) {
            DoubleClick(picker, "pick");
            Child<QPushButton>(picker, "Command1").click();
        });
        control<QPushButton>("Command1").click();
        InNextDialog<DirPick>(options, [](DirPick& picker) { picker.close(); });
        control<QPushButton>("Command2").click();
        QCOMPARE(options->startDir(), rig->work.file("pick") + "/");
        QCOMPARE(options->copyDir(), WindowRig::dir(rig->dataDir));  // cancelled: unchanged
    }

    void tabFollowsTheLayoutTopToBottomLeftToRight() {
        QStringList order;
        QWidget* widget = &control<QWidget>("Check1");
        for (int i = 0; i < 13; ++i, widget = widget->nextInFocusChain()) {
            while (!(widget->focusPolicy() & Qt::TabFocus) || widget->parent() != options) {
                widget = widget->nextInFocusChain();
            }
            order << widget->objectName();
        }
        QCOMPARE(order.join(' '), QStringLiteral("Check1 Check2 ListMask Text1 Command1 Text2 "
                                                 "Command2 Combo1 TextMask Command3 Command4 "
                                                 "AddMask DelMask"));
    }
};

QTEST_MAIN(OptionFormTest)
#include "option_form_test.moc"
