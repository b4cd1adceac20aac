#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "About.h"
#include "Canvas.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "MenuBar1.h"
#include "MenuItem.h"
#include "PushButton.h"
#include "Resources.h"
#include "SDCalc.h"
#include "TestSupport.h"
#include "TextField.h"

namespace {

// What the window's menu bar shows, menu by menu: each menu's row, then its
// items' rows, top to bottom.
struct MenuRow {
    const char* name;
    const char* text;
    QKeySequence shortcut;
};

const QKeySequence kNone;
const MenuRow kMenuTable[] = {
    {"FileMenu", "&File", kNone},
    {"FileLoadBusConfiguration", "Load Bus Configuration", QKeySequence(Qt::CTRL | Qt::Key_L)},
    {"FileSaveBusConfiguration", "Save Bus Configuration", QKeySequence(Qt::CTRL | Qt::Key_S)},
    {"UntitledSeparator", "-", kNone},
    {"FileQuit", "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    {"EditMenu", "&Edit", kNone},
    {"EditUndo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
    {"UntitledMenu1", "-", kNone},
    {"EditCut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X)},
    {"EditCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
    {"EditPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
    {"EditClear", "&Delete", kNone},
    {"UntitledMenu0", "-", kNone},
    {"EditSelectAll", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A)},
    {"HelpMenu", "Help", kNone},
    {"HelpAbout", "About", kNone},
};

class EditProbe;

class MenuTest : public MainWindowTest {
protected:
    void TearDown() override {
        CloseAbout();
        MainWindowTest::TearDown();
    }

    static void CloseAbout() {
        if (About::Exists()) About::Instance().Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static int OpenAboutWindows() {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<About*>(widget) && widget->isVisible()) ++count;
        return count;
    }

    QAction* Action(const char* name) {
        for (QAction* menu : window().menuBar()->actions())
            for (QAction* action : menu->menu()->actions())
                if (action->objectName() == name) return action;
        return nullptr;
    }

    void PressOnMainWindow(Qt::Key key) {
        window().Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), key, Qt::ControlModifier);
    }

    // Runs the application's event loop, presses once it runs, and gives the
    // loop's exit code: 99 if nothing ended the loop within 20 s.
    static int ExecPressing(const std::function<void()>& press) {
        QTimer presser;
        presser.setSingleShot(true);
        QObject::connect(&presser, &QTimer::timeout, press);
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        presser.start(0);
        giveUp.start(20000);
        return QCoreApplication::exec();
    }
};

TEST_F(MenuTest, TheMainWindowShowsTheMenusWithQtShortcuts) {
    ASSERT_EQ(window().GetMenuBar(), &MenuBar1::Instance());
    const QList<QAction*> menus = window().menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    size_t k = 0;
    for (QAction* menuAction : menus) {
        ASSERT_LT(k, std::size(kMenuTable));
        const MenuRow& menuRow = kMenuTable[k++];
        EXPECT_EQ(menuAction->text(), menuRow.text);
        ASSERT_TRUE(menuAction->menu());
        EXPECT_EQ(menuAction->menu()->objectName(), menuRow.name);
        for (QAction* action : menuAction->menu()->actions()) {
            ASSERT_LT(k, std::size(kMenuTable));
            const MenuRow& row = kMenuTable[k++];
            SCOPED_TRACE(row.name);
            EXPECT_EQ(action->isSeparator(), QString(row.text) == "-");
            if (action->isSeparator()) continue;
            EXPECT_EQ(action->objectName(), row.name);
            EXPECT_EQ(action->text(), row.text);
            EXPECT_EQ(action->shortcut(), row.shortcut);
            EXPECT_TRUE(action->isEnabled());
        }
    }
    EXPECT_EQ(k, std::size(kMenuTable));
    EXPECT_EQ(Action("FileQuit")->menuRole(), QAction::QuitRole);
}

TEST_F(MenuTest, MenuItemAccessorsFindTheirItems) {
    Main& m = window();
    const std::pair<MenuItem*, const char*> accessors[] = {
        {m.HelpMenu(), "HelpMenu"},
        {m.HelpAbout(), "HelpAbout"},
        {m.EditMenu(), "EditMenu"},
        {m.EditSelectAll(), "EditSelectAll"},
        {m.UntitledMenu0(), "UntitledMenu0"},
        {m.EditClear(), "EditClear"},
        {m.EditPaste(), "EditPaste"},
        {m.EditCopy(), "EditCopy"},
        {m.EditCut(), "EditCut"},
        {m.UntitledMenu1(), "UntitledMenu1"},
        {m.EditUndo(), "EditUndo"},
        {m.FileMenu(), "FileMenu"},
        {m.FileQuit(), "FileQuit"},
        {m.UntitledSeparator(), "UntitledSeparator"},
        {m.FileSaveBusConfiguration(), "FileSaveBusConfiguration"},
        {m.FileLoadBusConfiguration(), "FileLoadBusConfiguration"},
    };
    for (const auto& [item, name] : accessors) {
        ASSERT_TRUE(item) << name;
        EXPECT_EQ(item->Name, name);
        EXPECT_EQ(item, MenuBar1::Instance().FindItem(name));
    }
    EXPECT_TRUE(m.FileQuit()->IsQuitItem());
}

TEST_F(MenuTest, FileShortcutsReachTheirActions) {
    PressOnMainWindow(Qt::Key_L);
    ASSERT_EQ(RecordedFileDialogs().size(), 1);
    EXPECT_EQ(RecordedFileDialogs()[0].Kind, FileDialogKind::Open);
    EXPECT_EQ(RecordedFileDialogs()[0].Type.Name, "Bus Configuration");
    EXPECT_EQ(window().flgStartScreen, 1) << "a cancelled load still shows the map";

    PressOnMainWindow(Qt::Key_S);
    ASSERT_EQ(RecordedFileDialogs().size(), 2);
    EXPECT_EQ(RecordedFileDialogs()[1].Kind, FileDialogKind::Save);
    EXPECT_EQ(RecordedFileDialogs()[1].DefaultName, "SBconfig.cfg");

    // Choosing the items does the same, and counts as handled when cancelled.
    EXPECT_TRUE(window().ChooseMenuItem(window().FileLoadBusConfiguration()));
    EXPECT_TRUE(window().ChooseMenuItem(window().FileSaveBusConfiguration()));
    EXPECT_EQ(RecordedFileDialogs().size(), 4);
    EXPECT_TRUE(RecordedMessages().isEmpty());
}

TEST_F(MenuTest, QuitShortcutEndsTheEventLoop) {
    EXPECT_EQ(ExecPressing([this] { PressOnMainWindow(Qt::Key_Q); }), 0);
    EXPECT_TRUE(Main::Exists()) << "Quit ends the loop; the windows go with the application";
}

namespace {
// The calculator and the About box have no menu bar of their own; the
// application's shortcuts reach the main window's handlers from them too,
// pressed as the keyboard does: to the window in front, through its focus.
class SecondaryWindowShortcutTest : public MenuTest {
protected:
    void TearDown() override {
        if (SDCalc::Exists()) SDCalc::Instance().Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MenuTest::TearDown();
    }
    // The calculator with the focus in its offset field, or the About box.
    struct Front {
        const char* name;
        std::function<QWidget*()> open;
    };
    std::vector<Front> Fronts() {
        return {{"calculator",
                 [] {
                     SDCalc& calc = SDCalc::Instance();
                     calc.Show();
                     calc.SegmentOffsetEditField()->setFocus();
                     return static_cast<QWidget*>(&calc);
                 }},
                {"About box", [] {
                     About::Instance().Show();
                     return static_cast<QWidget*>(&About::Instance());
                 }}};
    }
    static bool InFront(QWidget* front) {
        front->activateWindow();
        return QTest::qWaitForWindowActive(front) && QApplication::activeWindow() == front;
    }
};
}  // namespace

TEST_F(SecondaryWindowShortcutTest, FileShortcutsWorkInEveryWindow) {
    for (const Front& f : Fronts()) {
        SCOPED_TRACE(f.name);
        QWidget* front = f.open();
        ASSERT_TRUE(InFront(front));
        RecordedFileDialogs().clear();
        QTest::keyClick(front->windowHandle(), Qt::Key_L, Qt::ControlModifier);
        ASSERT_EQ(RecordedFileDialogs().size(), 1);
        EXPECT_EQ(RecordedFileDialogs()[0].Kind, FileDialogKind::Open);
        QTest::keyClick(front->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        ASSERT_EQ(RecordedFileDialogs().size(), 2);
        EXPECT_EQ(RecordedFileDialogs()[1].Kind, FileDialogKind::Save);
        EXPECT_EQ(RecordedFileDialogs()[1].DefaultName, "SBconfig.cfg");
    }
    // Text fields keep their own editing keys.
    SDCalc& calc = SDCalc::Instance();
    ASSERT_TRUE(InFront(&calc));
    TextField* field = calc.SegmentOffsetEditField();
    field->setFocus();
    field->SetText(QStringLiteral("123"));
    QTest::keyClick(calc.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), "123");
}

TEST_F(SecondaryWindowShortcutTest, QuitShortcutWorksInEveryWindow) {
    for (const Front& f : Fronts()) {
        SCOPED_TRACE(f.name);
        QWidget* front = f.open();
        EXPECT_EQ(ExecPressing([&] {
                      if (!InFront(front)) QCoreApplication::exit(98);
                      QTest::keyClick(front->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
                  }),
                  0);
    }
}

TEST_F(MenuTest, HelpAboutShowsOneWindowAndBuildsANewOneAfterClose) {
    Action("HelpAbout")->trigger();
    ASSERT_TRUE(About::Exists());
    About* first = &About::Instance();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->T_Version()->Text(), VELTRANE_VERSION_TEXT);
    EXPECT_TRUE(
        QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(first->T_Version()->Text()).hasMatch());
    EXPECT_EQ(first->T_Date()->Text(), "Nov 2, 2011");

    // Again while it is open: the same window, not filled again.
    first->T_Version()->SetText("stale");
    EXPECT_TRUE(window().ChooseMenuItem(window().HelpAbout()));
    EXPECT_EQ(&About::Instance(), first);
    EXPECT_EQ(OpenAboutWindows(), 1);
    EXPECT_EQ(first->T_Version()->Text(), "stale");

    // The main window stays usable beside it.
    EXPECT_TRUE(window().isEnabled());
    EXPECT_FALSE(first->isModal());

    QTest::mouseClick(first->PushButton1(), Qt::LeftButton);
    EXPECT_FALSE(About::Exists());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenAboutWindows(), 0);

    Action("HelpAbout")->trigger();
    ASSERT_TRUE(About::Exists());
    EXPECT_EQ(OpenAboutWindows(), 1);
    EXPECT_EQ(About::Instance().T_Version()->Text(), VELTRANE_VERSION_TEXT);
    EXPECT_EQ(About::Instance().T_Date()->Text(), "Nov 2, 2011");

    // Return presses the default button.
    QTest::keyClick(About::Instance().PushButton1(), Qt::Key_Return);
    EXPECT_FALSE(About::Exists());
}

TEST_F(MenuTest, AboutWindowLayout) {
    ASSERT_TRUE(window()._HelpAbout_Action());
    About& about = About::Instance();
    EXPECT_EQ(about.Title(), "About");
    EXPECT_EQ(about.Width(), 714);
    EXPECT_EQ(about.Height(), 410);
    EXPECT_EQ(about.GetMenuBar(), nullptr);

    const struct {
        const char* name;
        int left, top, width, height;
        const char* text;
        int align;
    } controls[] = {
        {"PushButton1", 305, 362, 104, 28, "Close", -1},
        {"StaticText1", 20, 7, 289, 21, "Veltrane Toolbox", Label::AlignLeft},
        {"StaticText2", 508, 8, 56, 19, "Version:", Label::AlignRight},
        {"T_Version", 570, 8, 124, 19, VELTRANE_VERSION_TEXT, Label::AlignLeft},
        {"T_Date", 570, 29, 124, 19, "Nov 2, 2011", Label::AlignLeft},
        {"StaticText5", 21, 29, 277, 19, nullptr, Label::AlignLeft},
        {"Canvas1", 20, 60, 674, 290, nullptr, -1},
        {"StaticText3", 479, 29, 85, 19, "Release Date:", Label::AlignRight},
    };
    ASSERT_EQ(about.Controls().size(), std::size(controls));
    for (size_t k = 0; k < std::size(controls); ++k) {
        const auto& c = controls[k];
        SCOPED_TRACE(c.name);
        Control* control = about.Controls()[k];
        EXPECT_EQ(control->Name(), c.name) << "creation order";
        EXPECT_EQ(control->Left(), c.left);
        EXPECT_EQ(control->Top(), c.top);
        EXPECT_EQ(control->Width(), c.width);
        EXPECT_EQ(control->Height(), c.height);
        if (auto* label = dynamic_cast<Label*>(control)) {
            if (c.text) {
                EXPECT_EQ(label->Text(), c.text);
            }
            EXPECT_FALSE(label->Text().isEmpty());
            EXPECT_EQ(label->TextAlign(), c.align);
            EXPECT_EQ(label->font().bold(), QString(c.name) == "StaticText1");
        }
    }
    EXPECT_EQ(about.PushButton1()->Caption(), "Close");
    EXPECT_TRUE(about.PushButton1()->isDefault());
    EXPECT_EQ(about.Canvas1()->focusPolicy(), Qt::NoFocus);

    const Picture picture = Splash21();
    ASSERT_FALSE(picture.IsNil()) << "Splash21.png belongs in the Resources folder";
    EXPECT_TRUE(about.Canvas1()->Backdrop().Image() == picture.Image());
    const QImage shown = about.Canvas1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = picture.Image().convertToFormat(QImage::Format_RGB32);
    for (const QPoint p : {QPoint(0, 0), QPoint(337, 145), QPoint(673, 289), QPoint(100, 250)})
        EXPECT_EQ(shown.pixel(p), expected.pixel(p)) << p.x() << "," << p.y();

    KeepPicture(about.grab().toImage(), QStringLiteral("about.png"));
}

// A window of text editors under the application's menus, with no handlers.
class EditProbe : public Window {
public:
    TextField* field = nullptr;
    Listbox* list = nullptr;

protected:
    void Layout() override {
        SetMenuBar(&MenuBar1::Instance());
        SetTitle("Probe");
        SetSize(320, 200);
    }
    void CreateControls() override {
        field = AddControl<TextField>("Field");
        field->SetBounds(10, 10, 200, 24);
        list = AddControl<Listbox>("List");
        list->SetBounds(10, 50, 300, 140);
        list->setColumnCount(2);
    }
};

TEST_F(MenuTest, EditItemsActOnTheFocusedTextEditor) {
    EditProbe probe;
    probe.Construct();
    probe.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&probe));
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText("before");
    auto choose = [&probe](const char* name) {
        return probe.ChooseMenuItem(MenuBar1::Instance().FindItem(name));
    };

    TextField* field = probe.field;
    field->SetText("hello world");
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);

    EXPECT_TRUE(choose("EditSelectAll"));
    EXPECT_EQ(field->selectedText(), "hello world");
    EXPECT_TRUE(choose("EditCopy"));
    EXPECT_EQ(clipboard->text(), "hello world");
    field->setSelection(0, 6);
    EXPECT_TRUE(choose("EditCut"));
    EXPECT_EQ(field->Text(), "world");
    EXPECT_EQ(clipboard->text(), "hello ");
    EXPECT_TRUE(choose("EditUndo"));
    EXPECT_EQ(field->Text(), "hello world");
    field->setSelection(5, 6);
    EXPECT_TRUE(choose("EditClear"));
    EXPECT_EQ(field->Text(), "hello");
    field->end(false);
    EXPECT_TRUE(choose("EditClear")) << "nothing selected: nothing deleted";
    EXPECT_EQ(field->Text(), "hello");
    EXPECT_TRUE(choose("EditPaste"));
    EXPECT_EQ(field->Text(), "hellohello ");

    // The items of the menu bar, and the keys in the editor itself.
    probe.findChild<QAction*>("EditSelectAll")->trigger();
    EXPECT_EQ(field->selectedText(), "hellohello ");
    field->setSelection(0, 4);
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "hell");
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), "hellohello ");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->Text(), "hell");

    // The list's cell editor is a text editor like the field.
    probe.list->AddFolder("12");
    probe.list->EditCell(0, 0);
    QWidget* editor = probe.list->ActiveCell().Widget();
    ASSERT_TRUE(editor);
    ASSERT_EQ(QApplication::focusWidget(), editor);
    EXPECT_TRUE(choose("EditSelectAll"));
    EXPECT_TRUE(choose("EditCopy"));
    EXPECT_EQ(clipboard->text(), "12");

    // Without a text editor in focus the items do nothing.
    probe.list->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), probe.list);
    clipboard->setText("kept");
    EXPECT_FALSE(choose("EditPaste"));
    EXPECT_FALSE(choose("EditCopy"));
    EXPECT_EQ(clipboard->text(), "kept");
    EXPECT_EQ(field->Text(), "hell");
}

}  // namespace
