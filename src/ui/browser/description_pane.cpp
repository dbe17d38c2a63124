#include "ui/browser/description_pane.h"

#include "core/browser/filter_description.h"
#include "core/editor/colour_scheme.h"
#include "ui/base/palette_colours.h"
#include "ui/base/qt_strings.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <vector>

namespace cw {
namespace {

// The document makes one paragraph break of "\r\n", which a description or
// parameter text may hold: each such "\r" is dropped and the ranges after it
// move back, so that they still cover their runs.
class PairedReturns {
public:
    explicit PairedReturns(QString& text)
    {
        qsizetype kept = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                m_dropped.push_back(static_cast<int>(i));
                continue;
            }
            text[kept++] = text[i];
        }
        text.truncate(kept);
    }

    TextRange shift(const TextRange& range) const
    {
        const int start = shift(range.start);
        return {start, shift(range.start + range.length) - start};
    }

private:
    int shift(int position) const
    {
        const auto before = std::lower_bound(m_dropped.begin(), m_dropped.end(), position) - m_dropped.begin();
        return position - static_cast<int>(before);
    }

    std::vector<int> m_dropped;
};

void format(QTextCursor& cursor, const TextRange& range, const QTextCharFormat& charFormat)
{
    cursor.setPosition(range.start);
    cursor.setPosition(range.start + range.length, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(charFormat);
}

QTextCharFormat boldIn(const QColor& colour)
{
    QTextCharFormat charFormat;
    charFormat.setFontWeight(QFont::Bold);
    charFormat.setForeground(colour);
    return charFormat;
}

} // namespace

DescriptionColours descriptionColours(const QPalette& palette)
{
    const QColor red(255, 0, 0);
    if (!isDarkPalette(palette)) return {QColor(255, 255, 231), QColor(0, 0, 0), red};
    const QColor paper = palette.color(QPalette::Base);
    return {paper, palette.color(QPalette::Text), toQColor(darkVariant(toRgb(red), toRgb(paper)))};
}

bool showFilterDescription(QTextEdit& pane, const DefinitionModel& model, std::string_view filterKey)
{
    // The document makes one paragraph break of "\n", so the ranges counted
    // on the text stay valid positions in it.
    const std::optional<FilterDescription> description = describeFilter(model, filterKey, "\n");
    if (!description) return false;

    // Not QTextEdit::setPlainText: it would give the whole text the format at
    // the caret, which is the bold call text of the previous description.
    QString text = fromUtf8String(description->text);
    const PairedReturns returns(text);
    pane.document()->setPlainText(text);
    QTextCursor cursor(pane.document());
    cursor.beginEditBlock();
    const DescriptionColours colours = descriptionColours(pane.palette());
    const QTextCharFormat bold = boldIn(colours.bold);
    for (const TextRange& range : description->bold) format(cursor, returns.shift(range), bold);
    if (description->boldRed) format(cursor, returns.shift(*description->boldRed), boldIn(colours.plugin));
    cursor.endEditBlock();

    cursor.setPosition(0);
    pane.setTextCursor(cursor);
    return true;
}

} // namespace cw
