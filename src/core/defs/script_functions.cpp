#include "core/defs/script_functions.h"

#include <array>

namespace cw {
namespace {

bool isWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view word, std::string_view lowerCase)
{
    if (word.size() != lowerCase.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(word[i]) != lowerCase[i]) return false;
    return true;
}

struct ParameterType {
    std::string_view word;
    char type;
    char repeat; // 0, '*' or '+'
};

constexpr std::array<ParameterType, 23> parameterTypes{{
    {"val", '.', 0},           {"bool", 'b', 0},           {"int", 'i', 0},
    {"float", 'f', 0},         {"string", 's', 0},         {"clip", 'c', 0},
    {"func", 'n', 0},          {"array", '.', '*'},        {"val_array", '.', '*'},
    {"array_nz", '.', '+'},    {"val_array_nz", '.', '+'}, {"bool_array", 'b', '*'},
    {"bool_array_nz", 'b', '+'}, {"int_array", 'i', '*'},  {"int_array_nz", 'i', '+'},
    {"float_array", 'f', '*'}, {"float_array_nz", 'f', '+'}, {"string_array", 's', '*'},
    {"string_array_nz", 's', '+'}, {"clip_array", 'c', '*'}, {"clip_array_nz", 'c', '+'},
    {"func_array", 'n', '*'},  {"func_array_nz", 'n', '+'},
}};

const ParameterType* parameterType(std::string_view word)
{
    for (const ParameterType& t : parameterTypes)
        if (equalsIgnoringCase(word, t.word)) return &t;
    return nullptr;
}

// Reads a script, passing over what holds no code.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    std::size_t at() const { return m_at; }
    void moveTo(std::size_t at) { m_at = at; }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }

    // Passes over a comment or a string at the current byte; false when
    // none starts there.
    bool skipNonCode()
    {
        const std::string_view rest = m_text.substr(m_at);
        if (rest.starts_with('#')) {
            while (!atEnd() && !isLineEnd(peek())) ++m_at;
        } else if (rest.starts_with("/*")) {
            const std::size_t close = m_text.find("*/", m_at + 2);
            m_at = close == std::string_view::npos ? m_text.size() : close + 2;
        } else if (rest.starts_with("[*")) {
            skipNestedComment();
        } else if (rest.starts_with(R"(""")")) {
            const std::size_t close = m_text.find(R"(""")", m_at + 3);
            m_at = close == std::string_view::npos ? m_text.size() : close + 3;
        } else if (rest.starts_with('"') || rest.starts_with('\'')) {
            skipQuoted();
        } else {
            return false;
        }
        return true;
    }

    // Blanks, line ends, line continuations and comments.
    void skipGaps()
    {
        while (!atEnd()) {
            const char c = peek();
            if (c == ' ' || c == '\t' || c == '\\' || isLineEnd(c)) {
                ++m_at;
            } else if (c == '"' || c == '\'' || !skipNonCode()) {
                return;
            }
        }
    }

    std::string_view word()
    {
        const std::size_t start = m_at;
        while (!atEnd() && isWordByte(peek())) ++m_at;
        return m_text.substr(start, m_at - start);
    }

    // A parameter name in double quotes, without escapes; false when none is there.
    bool quoted(std::string& out)
    {
        if (peek() != '"') return false;
        const std::size_t close = m_text.find('"', m_at + 1);
        if (close == std::string_view::npos) return false;
        out = std::string(m_text.substr(m_at + 1, close - m_at - 1));
        m_at = close + 1;
        return out.find_first_of("\r\n") == std::string::npos;
    }

private:
    void skipNestedComment()
    {
        int depth = 0;
        while (!atEnd()) {
            const std::string_view rest = m_text.substr(m_at);
            if (rest.starts_with("[*")) {
                ++depth;
                m_at += 2;
            } else if (rest.starts_with("*]")) {
                m_at += 2;
                if (--depth == 0) return;
            } else {
                ++m_at;
            }
        }
    }

    // As the editor colours them: to the closing quote, a "\" escaping the
    // next byte, or to the line's end when the string is left open.
    void skipQuoted()
    {
        const char quote = m_text[m_at++];
        while (!atEnd() && !isLineEnd(peek())) {
            const char c = m_text[m_at++];
            if (c == quote) return;
            if (c == '\\' && !atEnd() && !isLineEnd(peek())) ++m_at;
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

bool readArgument(Scanner& s, FunctionArgument& argument)
{
    s.skipGaps();
    const std::string_view first = s.word();
    if (first.empty()) return false;
    s.skipGaps();
    const ParameterType* type = nullptr;
    if (isWordByte(s.peek()) || s.peek() == '"') {
        type = parameterType(first);
        if (!type) return false;
        argument.type = type->type;
        argument.repeated = type->repeat != 0;
        argument.optional = type->repeat == '*';
        if (s.quoted(argument.name)) {
            argument.named = true;
            argument.optional = true;
        } else {
            argument.name = std::string(s.word());
        }
        s.skipGaps();
    } else {
        argument.name = std::string(first);
    }
    return !argument.name.empty();
}

// The definition after the word "function", or false when what follows is
// not one.
bool readDefinition(Scanner& s, ScriptFunction& function)
{
    s.skipGaps();
    const std::string_view name = s.word();
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    function.name = std::string(name);
    s.skipGaps();
    if (s.peek() != '(') return false;
    s.moveTo(s.at() + 1);
    s.skipGaps();
    if (s.peek() == ')') {
        s.moveTo(s.at() + 1);
    } else {
        for (;;) {
            FunctionArgument argument;
            if (!readArgument(s, argument)) return false;
            function.arguments.push_back(std::move(argument));
            const char next = s.peek();
            s.moveTo(s.at() + 1);
            if (next == ')') break;
            if (next != ',') return false;
        }
    }
    s.skipGaps();
    return s.peek() == '{';
}

} // namespace

std::vector<ScriptFunction> findScriptFunctions(std::string_view text)
{
    std::vector<ScriptFunction> functions;
    Scanner s(text);
    while (!s.atEnd()) {
        if (s.skipNonCode()) continue;
        if (!isWordByte(s.peek())) {
            s.moveTo(s.at() + 1);
            continue;
        }
        if (!equalsIgnoringCase(s.word(), "function")) continue;
        const std::size_t after = s.at();
        ScriptFunction function;
        if (readDefinition(s, function))
            functions.push_back(std::move(function));
        else
            s.moveTo(after);
    }
    return functions;
}

CFilter scriptFunctionFilter(const ScriptFunction& function, const std::string& category,
                             const std::string& description)
{
    CFilter filter;
    filter.title = function.name;
    filter.category = category;
    filter.description = description;
    filter.parameters = parametersOf(function.arguments);
    return filter;
}

DefinitionModel thisScriptModel(std::span<const ScriptFunction> functions)
{
    DefinitionModel model;
    if (functions.empty()) return model;
    CPlugin plugin;
    plugin.key = "script:0";
    plugin.title = thisScriptTitle;
    plugin.description = "The functions the script being edited defines.";
    int next = 0;
    for (const ScriptFunction& function : functions) {
        CFilter filter = scriptFunctionFilter(function, thisScriptTitle, "Defined in this script.");
        filter.key = "script:" + std::to_string(++next);
        filter.pluginkey = plugin.key;
        plugin.filters.push_back(std::move(filter));
    }
    model.addPlugin(std::move(plugin));
    model.finishLoad();
    return model;
}

} // namespace cw
