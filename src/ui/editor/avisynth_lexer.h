#pragma once

#include "core/editor/keyword_set.h"
#include "core/editor/script_styler.h"

#include <Qsci/qscilexercustom.h>

#include <span>
#include <string>
#include <vector>

namespace cw {

// The script language "Avisynth": "#" comments, "..." and '...' strings with
// "\" escapes, the operators and the filter names as case-insensitive
// keywords. Styles only the range the editor asks for, so typing in a long
// script costs the visible lines, not the document.
class AvisynthLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    explicit AvisynthLexer(QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    void styleText(int start, int end) override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    bool caseSensitive() const override { return false; }
    const char* wordCharacters() const override;

    // Replaces the keywords and marks the whole document for restyling; the
    // visible lines are redone at the next paint, the rest when shown.
    void setKeywords(std::span<const std::string> names);
    const KeywordSet& keywords() const { return m_keywords; }

    void setScriptFont(const QFont& font);

private:
    KeywordSet m_keywords;
    std::vector<ScriptStyle> m_styles;
    QFont m_scriptFont;
};

} // namespace cw
