#include "support/definition_files.h"
#include "ui/winsvc/window_helpers.h"
#include "ui/browser/description_pane.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace cw {
namespace {

using test::filterXml;
using test::parameterXml;
using test::pluginXml;

// The bold runs, "text" when black and "red: text" when red; every other
// character must be in the pane's own font, neither bold nor coloured.
QStringList boldRuns(const QTextEdit& pane)
{
    QStringList runs;
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString text = it.fragment().text();
            if (format.fontWeight() != QFont::Bold) {
                EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush)) << text.toStdString();
                EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies)) << text.toStdString();
                continue;
            }
            const QColor colour = format.foreground().color();
            runs << (colour == Qt::red ? "red: " : colour == Qt::black ? "" : "other colour: ") + text;
        }
    }
    return runs;
}

// The first filter of a one-file set, shown in a pane.
struct Shown {
    explicit Shown(const std::string& filters, const std::string& pluginDescription = "Demonstration filters")
        : model(test::loadSet({{"DemoPlugin", pluginXml(filters, pluginDescription)}}))
    {
        edit.setFont(paneFont());
        EXPECT_TRUE(showFilterDescription(edit, model, model.plugins()[0].filters[0].key));
    }

    DefinitionModel model;
    QTextEdit edit;
};

TEST(DescriptionPane, ShowsAFilterFormattedAndIgnoresUnknownKeys)
{
    Shown shown(filterXml("FadeBox", "Effects",
                          parameterXml("clip", "clip")
                              + parameterXml("strength", "int", "<Min>0</Min><Max>255</Max><Optional>true</Optional>")
                              + parameterXml("mode", "string"),
                          "Draws a fading box.")
                + filterXml("Plain", "", parameterXml("value", "int")));
    // The core's CRLF line ends become plain paragraphs.
    EXPECT_EQ(shown.edit.toPlainText().split('\n'),
              QStringList({"FadeBox(clip, [strength], \"mode\")", "", "Draws a fading box.", "", "", "clip (clip)", "",
                           "strength (int 0-255)", "", "mode (string)", "", "", "Plugin :: DemoPlugin",
                           "Demonstration filters"}));
    EXPECT_EQ(boldRuns(shown.edit), QStringList({"FadeBox(clip, [strength], \"mode\")", "clip", "strength", "mode",
                                                 "red: Plugin :: DemoPlugin"}));
    EXPECT_EQ(shown.edit.textCursor().position(), 0);
    EXPECT_FALSE(shown.edit.textCursor().hasSelection());

    // Unknown keys and plugin keys leave the pane, caret included, as it was.
    shown.edit.moveCursor(QTextCursor::End);
    const QString before = shown.edit.toHtml();
    EXPECT_FALSE(showFilterDescription(shown.edit, shown.model, "k00000000"));
    EXPECT_FALSE(showFilterDescription(shown.edit, shown.model, shown.model.plugins()[0].key));
    EXPECT_EQ(shown.edit.toHtml(), before);
    EXPECT_EQ(shown.edit.textCursor().position(), shown.edit.document()->characterCount() - 1);

    // The next description takes no format from the previous one.
    ASSERT_TRUE(showFilterDescription(shown.edit, shown.model, shown.model.plugins()[0].filters[1].key));
    EXPECT_EQ(boldRuns(shown.edit), QStringList({"Plain(value)", "value", "red: Plugin :: DemoPlugin"}));
}

TEST(DescriptionPane, BoldsEachNameOnItsOwnLineWhateverItHolds)
{
    const std::string odd = "Gr\xC3\xB6\xC3\x9F"
                            "e",
                      astral = "\xF0\x9D\x92\xB3";
    const std::pair<std::string, QStringList> rows[] = {
        {parameterXml("x", "int") + parameterXml("x", "int"), {"F(x, x)", "x", "x"}},
        {parameterXml("a\\b", "int") + parameterXml("{c}", "") + parameterXml(odd, "float")
             + parameterXml(astral, "int"),
         {QString::fromStdString("F(a\\b, {c}, " + odd + ", " + astral + ")"), "a\\b", "{c}",
          QString::fromStdString(odd), QString::fromStdString(astral)}},
        {parameterXml("first", "int", "<Description>one&#13;&#10;two&#13;three</Description>")
             + parameterXml("second", "int"),
         {"F(first, second)", "first", "second"}},
    };
    for (const auto& [parameters, bold] : rows) {
        const Shown shown(filterXml("F", "", parameters), "");
        EXPECT_EQ(boldRuns(shown.edit), bold + QStringList{"red: Plugin :: DemoPlugin"}) << parameters;
        EXPECT_FALSE(shown.edit.toPlainText().contains(QStringLiteral("__"))) << parameters;
    }
}

} // namespace
} // namespace cw
