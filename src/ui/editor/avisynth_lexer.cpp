#include "ui/editor/avisynth_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <string_view>

namespace cw {

AvisynthLexer::AvisynthLexer(QObject* parent) : QsciLexerCustom(parent) {}

const char* AvisynthLexer::language() const
{
    return "Avisynth";
}

QString AvisynthLexer::description(int style) const
{
    switch (static_cast<ScriptStyle>(style)) {
    case ScriptStyle::Default:
        return QStringLiteral("Default");
    case ScriptStyle::Comment:
        return QStringLiteral("Comment");
    case ScriptStyle::String:
        return QStringLiteral("String");
    case ScriptStyle::Keyword:
        return QStringLiteral("Filter name");
    case ScriptStyle::Operator:
        return QStringLiteral("Operator");
    case ScriptStyle::Number:
        return QStringLiteral("Number");
    case ScriptStyle::Identifier:
        return QStringLiteral("Identifier");
    }
    return {};
}

QColor AvisynthLexer::defaultColor(int style) const
{
    switch (static_cast<ScriptStyle>(style)) {
    case ScriptStyle::Comment:
        return QColor(63, 127, 95);
    case ScriptStyle::String:
        return QColor(0, 0, 255);
    case ScriptStyle::Keyword:
        return QColor(127, 0, 85);
    default:
        return QColor(0, 0, 0);
    }
}

QFont AvisynthLexer::defaultFont(int) const
{
    return m_scriptFont;
}

const char* AvisynthLexer::wordCharacters() const
{
    return "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
}

void AvisynthLexer::setScriptFont(const QFont& font)
{
    m_scriptFont = font;
    setDefaultFont(font);
    setFont(font, -1);
}

void AvisynthLexer::setKeywords(std::span<const std::string> names)
{
    m_keywords = KeywordSet(names);
    if (QsciScintilla* sci = editor())
        // Styled text ends at 0 again; painting restyles what it shows.
        sci->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, 0L);
}

void AvisynthLexer::styleText(int start, int end)
{
    QsciScintilla* sci = editor();
    if (!sci || end <= start) return;
    const auto length = static_cast<std::size_t>(sci->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* bytes =
        reinterpret_cast<const char*>(sci->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    if (!bytes) return;
    const std::string_view text(bytes, length);

    ScriptState state = ScriptState::Normal;
    if (start > 0) {
        const long before =
            sci->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(start - 1));
        state = stateAfterLineEndStyled(static_cast<ScriptStyle>(before));
    }
    styleScript(text, static_cast<std::size_t>(start), static_cast<std::size_t>(end), state, m_keywords,
                m_styles);

    startStyling(start);
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= m_styles.size(); ++i) {
        if (i == m_styles.size() || m_styles[i] != m_styles[runStart]) {
            setStyling(static_cast<int>(i - runStart), static_cast<int>(m_styles[runStart]));
            runStart = i;
        }
    }
}

} // namespace cw
