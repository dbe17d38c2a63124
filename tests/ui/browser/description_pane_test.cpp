#include "ui/browser/description_pane.h"

#include "ui/app/window_helpers.h"

#include "definition_files.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::filterXml;
using test::parameterXml;
using test::pluginXml;

const std::string fadeBox = filterXml(
    "FadeBox", "Effects",
    parameterXml("clip", "clip") + parameterXml("strength", "int", "<Min>0</Min><Max>255</Max><Optional>true</Optional>")
        + parameterXml("mode", "string"),
    "Draws a fading box.");

// The bold runs of the pane, "text" when black and "red: text" when red;
// every other character must be in the pane's own font, neither bold nor
// coloured.
QStringList boldRuns(const QTextEdit& pane)
{
    QStringList runs;
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.fontWeight() != QFont::Bold) {
                EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush)) << fragment.text().toStdString();
                EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies)) << fragment.text().toStdString();
                continue;
            }
            const QColor colour = format.foreground().color();
            if (colour == QColor(255, 0, 0))
                runs << QStringLiteral("red: ") + fragment.text();
            else if (colour == QColor(0, 0, 0))
                runs << fragment.text();
            else
                runs << QStringLiteral("other colour: ") + fragment.text();
        }
    }
    return runs;
}

struct Pane {
    Pane() { edit.setFont(paneFont()); }
    QTextEdit edit;
};

// The first filter of the first plugin of a one-file set.
struct Shown {
    explicit Shown(const std::string& filters, const std::string& pluginDescription = "Demonstration filters")
        : model(test::loadSet({{"DemoPlugin", pluginXml(filters, pluginDescription)}}))
    {
        EXPECT_TRUE(showFilterDescription(pane.edit, model, model.plugins()[0].filters[0].key));
    }
    QStringList lines() const { return pane.edit.toPlainText().split(QChar(u'\n')); }

    DefinitionModel model;
    Pane pane;
};

TEST(DescriptionPane, ShowsTheWorkedExampleWithItsRunsFormatted)
{
    const Shown shown(fadeBox);
    EXPECT_EQ(shown.lines(),
              QStringList({"FadeBox(clip, [strength], \"mode\")", "", "Draws a fading box.", "", "", "clip (clip)", "",
                           "strength (int 0-255)", "", "mode (string)", "", "", "Plugin :: DemoPlugin",
                           "Demonstration filters"}));
    EXPECT_EQ(boldRuns(shown.pane.edit), QStringList({"FadeBox(clip, [strength], \"mode\")", "clip", "strength",
                                                      "mode", "red: Plugin :: DemoPlugin"}));
    EXPECT_EQ(shown.pane.edit.textCursor().position(), 0);
    EXPECT_FALSE(shown.pane.edit.textCursor().hasSelection());
}

TEST(DescriptionPane, BoldsEachNameOnItsOwnLineWhateverItHolds)
{
    struct Row {
        const char* name;
        std::string parameters;
        QStringList bold;
    };
    const Row rows[] = {
        {"a name that begins another", parameterXml("width_x", "int") + parameterXml("width", "int"),
         {"F(width_x, width)", "width_x", "width"}},
        {"the same name twice", parameterXml("x", "int") + parameterXml("x", "int"), {"F(x, x)", "x", "x"}},
        {"backslash, brace, non-ASCII letters",
         parameterXml("a\\b", "int") + parameterXml("{c}", "") + parameterXml("Gr\xC3\xB6\xC3\x9F" "e", "float")
             + parameterXml("\xF0\x9D\x92\xB3", "int"),
         {"F(a\\b, {c}, Gr\xC3\xB6\xC3\x9F" "e, \xF0\x9D\x92\xB3)", "a\\b", "{c}", "Gr\xC3\xB6\xC3\x9F" "e",
          "\xF0\x9D\x92\xB3"}},
        {"line breaks inside the texts",
         parameterXml("first", "int", "<Description>one&#13;&#10;two&#13;three</Description>")
             + parameterXml("second", "int"),
         {"F(first, second)", "first", "second"}},
    };
    for (const Row& row : rows) {
        const Shown shown(filterXml("F", "", row.parameters), "");
        QStringList expected = row.bold;
        expected << "red: Plugin :: DemoPlugin";
        EXPECT_EQ(boldRuns(shown.pane.edit), expected) << row.name;
        EXPECT_FALSE(shown.pane.edit.toPlainText().contains(QStringLiteral("__"))) << row.name;
    }
}

TEST(DescriptionPane, ANewDescriptionTakesNoFormatFromThePreviousOne)
{
    Shown shown(fadeBox + filterXml("Plain", "", parameterXml("value", "int")));
    const std::string plain = shown.model.plugins()[0].filters[1].key;
    ASSERT_TRUE(showFilterDescription(shown.pane.edit, shown.model, plain));
    EXPECT_EQ(boldRuns(shown.pane.edit), QStringList({"Plain(value)", "value", "red: Plugin :: DemoPlugin"}));
    EXPECT_EQ(shown.lines().mid(0, 5), QStringList({"Plain(value)", "", "", "value (int)", ""}));
}

TEST(DescriptionPane, AnUnknownKeyLeavesThePaneAsItWas)
{
    Shown shown(fadeBox);
    shown.pane.edit.moveCursor(QTextCursor::End);
    const QString before = shown.pane.edit.toHtml();
    EXPECT_FALSE(showFilterDescription(shown.pane.edit, shown.model, "k00000000"));
    EXPECT_FALSE(showFilterDescription(shown.pane.edit, shown.model, shown.model.plugins()[0].key));
    EXPECT_EQ(shown.pane.edit.toHtml(), before);
    EXPECT_EQ(shown.pane.edit.textCursor().position(), shown.pane.edit.document()->characterCount() - 1);
}

} // namespace
} // namespace cw
