#include "core/editor/colour_scheme.h"
#include "core/editor/script_styler.h"
#include "ui/base/palette_colours.h"
#include "ui/controls/ctl_splitter_ex.h"
#include "ui/documents/document_session.h"
#include "ui/editor/code_sense.h"
#include "ui/preview/f_preview.h"
#include "ui/preview/preview_controller.h"

#include "support/definition_files.h"
#include "support/ui_fixtures.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace cw {
namespace {

// A shown, active main window whose editor has the focus.
void showAndFocus(Form1& form)
{
    form.resize(900, 650);
    form.show();
    QApplication::setActiveWindow(&form);
    form.codeSense()->focusEditor();
    QCoreApplication::processEvents();
}

void setScript(Form1& form, const std::string& utf8)
{
    form.codeSense()->setScript(DecodedText{utf8, TextEncoding::Utf8, "\r\n"});
}

TEST(MainWindow, LaysOutItsPanesAtTheSavedPercentagesAndSavesTheLayoutAndViewOnClose)
{
    // The status bar names the interpreter library found on the search path.
    test::TempDir libs;
    libs.write("libavisynth.so.2.5.6", "");
    ASSERT_EQ(::symlink("libavisynth.so.2.5.6", libs.file("libavisynth.so").c_str()), 0);
    const char* previous = std::getenv("LD_LIBRARY_PATH");
    const std::string saved = previous ? previous : "";
    ::setenv("LD_LIBRARY_PATH", libs.path().c_str(), 1);
    test::FormFixture f("splitter1.tile.percent=30\r\nsplitter2.tile.percent=60\r\n");
    if (previous)
        ::setenv("LD_LIBRARY_PATH", saved.c_str(), 1);
    else
        ::unsetenv("LD_LIBRARY_PATH");

    Form1& form = *f.form;
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [Untitled]");
    EXPECT_EQ(form.findChild<QLabel*>("StatusBar1")->text(), "Detected avisynth version: 2.5.6.0");
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    auto* description = form.findChild<QTextEdit*>("DescriptionBox");
    CodeSense* editor = form.codeSense();
    const auto clientWidth = [&] { return form.centralWidget()->width(); };
    EXPECT_NEAR(tree->width(), clientWidth() * 0.30, 1.0);
    EXPECT_EQ(editor->x(), tree->width() + 7);
    EXPECT_EQ(editor->x() + editor->width(), clientWidth());
    EXPECT_NEAR(form.splitter1()->height(), form.centralWidget()->height() * 0.60, 1.0);
    EXPECT_EQ(description->y(), form.splitter1()->height() + 7);
    EXPECT_EQ(description->palette().color(QPalette::Base), QColor(255, 255, 231));
    EXPECT_EQ(tree->accessibleName(), "Filters");
    EXPECT_EQ(editor->accessibleName(), "Script");
    EXPECT_EQ(description->accessibleName(), "Description");

    form.resize(1200, 600);
    QCoreApplication::processEvents();
    EXPECT_NEAR(tree->width(), clientWidth() * 0.30, 1.0);

    // Dragging the vertical bar moves the tree and the editor only.
    const QRect descriptionBefore = description->geometry();
    ctlSplitterEx* s1 = form.splitter1();
    const int y = s1->height() / 2;
    QTest::mousePress(s1, Qt::LeftButton, {}, QPoint(tree->width() + 3, y));
    QTest::mouseMove(s1, QPoint(s1->width() / 2, y));
    QTest::mouseRelease(s1, Qt::LeftButton, {}, QPoint(s1->width() / 2, y));
    EXPECT_EQ(s1->GetTilePercent(), 50);
    EXPECT_NEAR(tree->width(), s1->width() / 2.0, 1.0);
    EXPECT_EQ(description->geometry(), descriptionBefore);

    const int before = tree->width();
    form.showMinimized();
    form.resize(400, 300);
    QCoreApplication::processEvents();
    if (form.isMinimized()) {
        EXPECT_EQ(tree->width(), before);
    }

    form.command("mnuSortByCategory")->trigger();
    form.command("mnuHideUnCategorizedFilters")->trigger();
    ASSERT_TRUE(form.close());
    EXPECT_EQ(f.settingsFile(), "filters.view.mode=2\r\nhide.uncategorized.filters=true\r\n"
                                "splitter1.tile.percent=50\r\nsplitter2.tile.percent=60\r\n");
}

// Each menu as "name|title", then its items as "name|caption|shortcut",
// "-" the caption of a separator.
const std::vector<std::pair<QString, QStringList>> expectedBar = {
    {"mnuFile|File",
     {"mnuFileOpen|Open|Ctrl+O", "mnuFileSave|Save|Ctrl+S", "mnuFileSaveAs|Save As...|F12", "sep1|-|",
      "mnuEditInsertTemplate|Import...|", "mnuExportSelectionAsScriptTemplate|Export Selection As...|",
      "mnuFileRFsep|-|", "mnuRecentFiles|Recent files|", "sep6|-|", "mnuExit|Exit|"}},
    {"mnuRecentFiles|Recent files", {"mnuFileRF1||", "mnuFileRF2||", "mnuFileRF3||", "mnuFileRF4||"}},
    {"mnuPopup|Edit",
     {"mnuPopupUndo|Undo|Ctrl+Z", "mnuPopupRedo|Redo|Ctrl+Y", "sep3|-|", "mnuPopupCut|Cut|Ctrl+X",
      "mnuPopupCopy|Copy|Ctrl+C", "mnuPopupPaste|Paste|Ctrl+V", "mnuPopupSelectAll|Select All|Ctrl+A",
      "sep4|-|", "mnuCommentBlock|Comment Block|", "mnuUncommentBlock|Uncomment Block|", "sep12|-|",
      "mnuMakeSelectionLowercase|Make Selection Lowercase|Ctrl+U",
      "mnuMakeSelectionUppercase|Make Selection Uppercase|", "sep9|-|",
      "mnuInsertFilePath|Insert File Path...|"}},
    {"mnuSearch|Search",
     {"mnuSearchFind|Find|Ctrl+F", "mnuFindNext|Find Next|F3", "mnuFindPrev|Find Prev     |Shift+F3",
      "mnuSearchReplace|Replace|Ctrl+R", "sep10|-|", "mnuGotoLine|Goto Line|Ctrl+G"}},
    {"mnuOptions|Options",
     {"mnuOptionsReloadDef|Reload Definitions Files|", "sep2|-|",
      "mnuOptionsRegisterAVS|Register .avs files|", "mnuOptionsUnRegisterAVS|Unregister .avs files|"}},
    {"mnuFilters|Filters",
     {"mnuSortByPlugin|View by Plugin|", "mnuSortByCategory|View by Category|", "sep11|-|",
      "mnuHideUnCategorizedFilters|Hide Uncategorized Filters|"}},
    {"mnuDefinitions|Definitions", {"mnuDefKey|DEF|", "sep13|-|", "mnuReadFunctions|Read Functions from AviSynth+|"}},
    {"mnuPreview|Preview",
     {"mnuInternalPreview|Internal Preview|F5", "mnuExternalPreview|External Preview|F6",
      "mnuPreviewMediaFile|Preview Media File...|", "sep5|-|", "mnuChooseExternalPlayer|Set External Player...|",
      "mnuKeepFrameOnReload|Keep Frame on Reload|"}},
    {"mnuHelp|Help", {"mnuHelpWebSite|Web site|", "mnuHelpAbout|About|"}},
};

TEST(MenuBar, HoldsEveryItemWithItsNameCaptionOrderSeparatorAndShortcut)
{
    test::FormFixture f;
    for (const auto& [menu, items] : expectedBar) {
        const QMenu* m = f.form->menu(menu.section('|', 0, 0));
        ASSERT_NE(m, nullptr) << menu.toStdString();
        EXPECT_EQ(m->objectName() + '|' + m->title(), menu);
        QStringList seen;
        for (const QAction* a : m->actions())
            seen << a->objectName() + '|' + (a->isSeparator() ? "-" : a->text()) + '|' +
                        a->shortcut().toString();
        EXPECT_EQ(seen, items);
    }
    // The top-level menus in order, then the Back command, which is no menu.
    QStringList top;
    for (const QAction* a : f.form->menuBar()->actions())
        top << a->objectName() + (a->menu() ? "" : "|" + a->text());
    EXPECT_EQ(top,
              (QStringList{"mnuFile", "mnuPopup", "mnuSearch", "mnuOptions", "mnuFilters", "mnuDefinitions",
                           "mnuPreview", "mnuHelp", "mnuBackToOpener|Back to opener"}));
}

// The editor gives up the keys the menu owns, so each shortcut runs once; a
// right click opens the Edit menu; a move of the window closes a floating tip.
TEST(MainWindow, KeysClicksAndMovesReachTheirHandlersOnce)
{
    test::FormFixture f;
    Form1& form = *f.form;
    showAndFocus(form);
    f.prompts.shown.clear();
    CodeSense& editor = *form.codeSense();
    QWidget* keys = editor.editorWidget();
    setScript(form, "ab");
    QTest::keyClicks(keys, "X");
    QTest::keyClick(keys, Qt::Key_End);
    QTest::keyClicks(keys, "Y");
    QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier); // two separate edits: one undo undoes one
    EXPECT_EQ(editor.textUtf8(), "Xab");
    QTest::keyClick(keys, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor.textUtf8(), "XabY");
    QTest::keyClick(keys, Qt::Key_Tab);
    QTest::keyClick(keys, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(editor.selectedText(), "XabY\t");
    EXPECT_TRUE(f.prompts.shown.empty());

    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget();
        if (shown) shown->close();
    });
    QWidget* viewport = static_cast<QAbstractScrollArea*>(keys)->viewport();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &click);
    EXPECT_EQ(shown, form.menu("mnuPopup"));

    editor.showCallTip(QStringLiteral(" Blur(clip)"));
    ASSERT_TRUE(editor.callTipActive());
    form.move(form.x() + 30, form.y() + 20);
    QCoreApplication::processEvents();
    EXPECT_FALSE(editor.callTipActive());

    form.command("mnuHelpAbout")->trigger();
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].icon, PromptService::Icon::Application);
    EXPECT_EQ(f.prompts.shown[0].title, "About");
    EXPECT_TRUE(f.prompts.shown[0].text.startsWith(form.appTitle() + "\r\n"));
    EXPECT_TRUE(f.prompts.shown[0].text.endsWith("All rights reserved."));
}

// Closing asks before the shutdown starts; refusing leaves the window as it
// was, and the settings reach the file only on a close that goes ahead.
TEST(MainWindow, ClosingWithUnsavedChangesAsksFirst)
{
    using Answer = PromptService::Answer;
    const struct {
        const char* name;
        bool untitled;
        std::deque<Answer> answers;
        bool saveAsChoice, closes;
        const char* savedB;
    } rows[] = {
        {"Cancel", false, {Answer::Cancel}, false, false, "old"},
        {"Yes, untitled, Save As cancelled", true, {Answer::Yes}, false, false, "old"},
        {"Yes, untitled, saved as", true, {Answer::Yes, Answer::Yes}, true, true, "x\r\n"},
        {"No", false, {Answer::No}, false, true, "old"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::FormFixture f;
        f.prompts.shown.clear();
        Form1& form = *f.form;
        const QString a = QString::fromStdString(f.home.write("a.avs", "Version()"));
        if (!row.untitled) form.documents().loadScript(a);
        QTest::keyClicks(form.codeSense()->editorWidget(), "x");
        f.home.write("b.avs", "old");
        if (row.saveAsChoice) f.dialogs.choices.push_back({QString::fromStdString(f.home.file("b.avs"))});
        f.prompts.answers = row.answers;
        form.show();

        EXPECT_EQ(form.close(), row.closes);
        EXPECT_EQ(f.prompts.shown[0].text, "Save changes to " + (row.untitled ? "Untitled" : a) + "?");
        EXPECT_EQ(f.prompts.shown.size(), row.answers.size());
        EXPECT_EQ(form.isVisible(), !row.closes);
        EXPECT_EQ(form.documents().state().isModified(), !row.closes || row.answers.front() == Answer::No);
        EXPECT_EQ(form.codeSense()->text(), row.untitled ? "x" : "xVersion()");
        EXPECT_EQ(f.home.read("a.avs"), "Version()");
        EXPECT_EQ(f.home.read("b.avs"), row.savedB);
        EXPECT_EQ(f.settingsFile().find("filters.view.mode") != std::string::npos, row.closes);
    }
}

// After every load of the definitions the tree, the highlighting and the
// completion list follow.
TEST(MainWindow, ReloadedDefinitionsReachTheTreeTheHighlightingAndTheCompletionList)
{
    test::FormFixture f([](const test::TempDir& home) {
        home.write("def/Tools.xml", test::pluginXml(test::filterXml("Sharpen", "")));
    });
    Form1& form = *f.form;
    setScript(form, "Sharpen(last)");
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    const auto state = [&] {
        form.findChild<QAction*>("editorCompletion")->trigger();
        const QString offered = form.codeSense()->completionCurrentText();
        form.codeSense()->windowMoved(); // closes the list
        return tree->topLevelItem(0)->child(0)->text(0) + " " +
               QString::number(form.codeSense()->styleAt(0) == int(ScriptStyle::Keyword)) + " " + offered;
    };
    EXPECT_EQ(state(), "Sharpen 1 Sharpen");
    f.home.write("def/Tools.xml", test::pluginXml(test::filterXml("Blur", "")));
    form.command("mnuOptionsReloadDef")->trigger();
    EXPECT_EQ(state(), "Blur 0 Blur");
}

// A main window whose preview goes through the real frame server with the
// stand-in library, writing preview.avs into a folder of its own.
struct PreviewingForm {
    PreviewingForm()
    {
        MediaCommandService& service = f.form->preview().player().service();
        service.setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
        service.setAviSynthLibraryNames({CLIPWRIGHT_FAKE_AVISYNTH});
    }
    test::TempDir temp;
    // TEMP names the folder only while the window starts, in member order.
    bool tempSet = ::setenv("TEMP", temp.path().c_str(), 1) == 0;
    test::FormFixture f;
    bool tempUnset = ::unsetenv("TEMP") == 0;
};

// F5 in the main window reloads the preview in the window already open, or
// opens a new one; the main window's shutdown takes the preview and its clip down.
TEST(MainWindow, F5ReloadsTheOpenPreviewAndTheShutdownClosesIt)
{
    PreviewingForm p;
    test::TempDir& temp = p.temp;
    test::FormFixture& f = p.f;
    Form1& form = *f.form;
    MediaCommandService& service = form.preview().player().service();
    showAndFocus(form);
    setScript(form, "#fake 64 48 25 1 10");
    const auto pressF5 = [&] {
        QApplication::setActiveWindow(&form);
        QTest::keyClick(form.codeSense()->editorWidget(), Qt::Key_F5);
        return form.preview().preview();
    };
    QPointer<fPreview> preview = pressF5();
    ASSERT_TRUE(preview);
    preview->MoveSliderTo(3);

    setScript(form, "#fake 32 24 25 1 5");
    EXPECT_EQ(pressF5(), preview);
    EXPECT_EQ(preview->findChild<QLabel*>("StatusPanel1")->text(), "32x24 @ 25.000 fps");
    EXPECT_EQ(preview->findChild<QLabel*>("StatusPanel3")->text(), "Frame 0 (00:00:00.000)");
    EXPECT_EQ(temp.read("preview.avs"), "#fake 32 24 25 1 5\r\n");

    // After CLOSE the next F5 loads a new window.
    preview->close();
    EXPECT_EQ(form.preview().preview(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    preview = pressF5();
    ASSERT_TRUE(preview);

    ASSERT_TRUE(form.close());
    EXPECT_FALSE(preview);
    EXPECT_EQ(service.openCount(), 0);
}

// The line a script error names is where the caret goes and what the margin
// marks; the message names the edited script, not the temporary file.
TEST(MainWindow, APreviewErrorTakesTheCaretToItsLine)
{
    PreviewingForm p;
    test::FormFixture& f = p.f;
    Form1& form = *f.form;
    setScript(form, "Version()\r\nBogus(1)\r\nBlur(1)");
    f.prompts.shown.clear();
    form.command("mnuInternalPreview")->trigger();
    EXPECT_EQ(f.prompts.lines(), "#error: Script error: There is no function named 'Bogus'.\n(Untitled, line 2)");
    EXPECT_EQ(form.codeSense()->errorMarkLine(), 1);
    EXPECT_EQ(form.codeSense()->getSelection(true), (CodeSense::Range{{1, 0}, {1, 0}}));

    // A script that opens takes the mark away.
    setScript(form, "#fake 64 48 25 1 10");
    form.codeSense()->markErrorAt(0, 0);
    form.command("mnuInternalPreview")->trigger();
    ASSERT_TRUE(form.preview().preview());
    EXPECT_EQ(form.codeSense()->errorMarkLine(), -1);
}

std::vector<QColor> boldColours(const QTextEdit& pane)
{
    std::vector<QColor> colours;
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontWeight() == QFont::Bold)
                colours.push_back(it.fragment().charFormat().foreground().color());
    return colours;
}

TEST(MainWindow, ADarkPaletteGivesTheDarkColoursAndALightOneTheLightColoursExactly)
{
    test::FormFixture f([](const test::TempDir& home) {
        home.write("def/Tools.xml",
                   test::pluginXml(test::filterXml("Sharpen", "", test::parameterXml("c", "clip"))));
    });
    const CodeSense& editor = *f.form->codeSense();
    auto* tree = f.form->findChild<QTreeWidget*>("TreeView1");
    auto* pane = f.form->findChild<QTextEdit*>("DescriptionBox");
    emit tree->itemClicked(tree->topLevelItem(0)->child(0), 0);
    const auto expectLight = [&] {
        EXPECT_EQ(editor.colours(), lightEditorColours);
        EXPECT_EQ(editor.tipColours(), lightTipColours);
        EXPECT_EQ(pane->palette().color(QPalette::Base), QColor(255, 255, 231));
        EXPECT_EQ(boldColours(*pane), (std::vector<QColor>{Qt::black, Qt::black, Qt::red}));
    };
    expectLight();

    // Set on the running application and made by hand, with white on white
    // tips; the widgets take it from the event loop.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    const Rgb paper{42, 42, 42};
    const Rgb text{238, 238, 238};
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, toQColor(paper));
    dark.setColor(QPalette::Text, toQColor(text));
    dark.setColor(QPalette::ToolTipBase, Qt::white);
    dark.setColor(QPalette::ToolTipText, Qt::white);
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.colours(), darkEditorColours(paper, text));
    EXPECT_EQ(editor.tipColours(), darkTipColours(paper, text));
    EXPECT_EQ(pane->palette().color(QPalette::Base), toQColor(paper));
    const QColor plugin = toQColor(darkVariant({255, 0, 0}, paper));
    EXPECT_EQ(boldColours(*pane), (std::vector<QColor>{toQColor(text), toQColor(text), plugin}));

    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    expectLight();
}

} // namespace
} // namespace cw
