#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace cw {
namespace {

// Every change the user makes marks the script, whatever its source.
TEST(ModifiedFlag, EveryKindOfUserChangeSetsItAndTheTitleShowsIt)
{
    const std::vector<std::pair<const char*, std::function<void(test::FormFixture&)>>> changes = {
        {"paste",
         [](test::FormFixture& f) {
             QApplication::clipboard()->setText("Blur(1.0)");
             f.form->command("mnuPopupPaste")->trigger();
         }},
        {"shift typing", [](test::FormFixture& f) { QTest::keyClick(f.form->codeSense()->editorWidget(), Qt::Key_B, Qt::ShiftModifier); }},
        {"comment block",
         [](test::FormFixture& f) {
             f.form->codeSense()->setSelection({{0, 0}, {0, 3}});
             f.form->command("mnuCommentBlock")->trigger();
         }},
        {"undo", [](test::FormFixture& f) {
             f.form->codeSense()->replaceSelectedText("x");
             f.form->documents().setModified(false);
             f.form->command("mnuPopupUndo")->trigger();
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        test::FormFixture f;
        f.form->show();
        QApplication::setActiveWindow(f.form.get());
        f.form->codeSense()->setScript(DecodedText{"abc", TextEncoding::Utf8, "\r\n"});
        f.form->codeSense()->focusEditor();
        ASSERT_FALSE(f.form->documents().state().isModified());
        change(f);
        EXPECT_TRUE(f.form->documents().state().isModified());
        f.form->refreshTitle();
        EXPECT_TRUE(f.form->windowTitle().endsWith("[Untitled*]"));
    }
}

} // namespace
} // namespace cw
