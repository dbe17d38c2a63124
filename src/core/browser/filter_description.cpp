#include "core/browser/filter_description.h"

namespace cw {

namespace {

bool isStringClass(const std::string& className)
{
    if (className.size() != 6) return false;
    std::string lower = className;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower == "string";
}

// The length of the valid UTF-8 sequence at text[at], or 0 when it is not one.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // overlong
        if (lead == 0xED) high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;  // overlong
        if (lead == 0xF4) high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

// Builds valid UTF-8 while counting its length in UTF-16 code units.
class DescriptionWriter {
public:
    void append(std::string_view text)
    {
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = sequenceLength(text, at);
            if (length == 0) {
                m_text += "\xEF\xBF\xBD";
                ++m_units;
                ++at;
                continue;
            }
            m_text.append(text, at, length);
            m_units += length == 4 ? 2 : 1;
            at += length;
        }
    }
    TextRange appendFormatted(std::string_view text)
    {
        const int start = m_units;
        append(text);
        return {start, m_units - start};
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
    int m_units = 0;
};

} // namespace

std::string filterCallText(const CFilter& filter)
{
    std::string text = filter.title + "(";
    for (std::size_t i = 0; i < filter.parameters.size(); ++i) {
        const CParameter& parameter = filter.parameters[i];
        std::string name = parameter.title;
        if (isStringClass(parameter.Class)) name = "\"" + name + "\"";
        if (parameter.isoptional) name = "[" + name + "]";
        text += name;
        if (i + 1 < filter.parameters.size()) text += ", ";
    }
    return text + ")";
}

std::string getFilterCallText(const DefinitionModel& model, std::string_view title)
{
    const CFilter* filter = model.findFilterByTitle(title);
    return filter ? filterCallText(*filter) : "???";
}

std::optional<FilterDescription> describeFilter(const DefinitionModel& model, std::string_view filterKey,
                                                std::string_view lineEnd)
{
    const CFilter* filter = model.findFilterByKey(filterKey);
    if (!filter) return std::nullopt;

    // The names are written without their "__" markers: their ranges are
    // known here, so nothing has to be searched for and removed afterwards.
    FilterDescription description;
    DescriptionWriter out;
    description.bold.push_back(out.appendFormatted(filterCallText(*filter)));
    out.append(lineEnd);
    out.append(lineEnd);
    if (!filter->description.empty()) {
        out.append(filter->description);
        out.append(lineEnd);
        out.append(lineEnd);
    }
    out.append(lineEnd);
    for (const CParameter& parameter : filter->parameters) {
        description.bold.push_back(out.appendFormatted(parameter.title));
        if (!parameter.Class.empty()) {
            out.append(" (");
            out.append(parameter.Class);
            if (parameter.min != parameter.max) {
                out.append(" ");
                out.append(parameter.min);
                out.append("-");
                out.append(parameter.max);
            }
            out.append(")");
        }
        if (!parameter.description.empty()) {
            out.append(lineEnd);
            out.append(parameter.description);
        }
        out.append(lineEnd);
        out.append(lineEnd);
    }
    if (const CPlugin* plugin = model.findPluginByKey(filter->pluginkey)) {
        out.append(lineEnd);
        description.boldRed = out.appendFormatted("Plugin :: " + plugin->title);
        out.append(lineEnd);
        out.append(plugin->description);
    }
    description.text = out.take();
    return description;
}

} // namespace cw
