#include "core/defs/type_string.h"

#include <algorithm>

namespace cw {
namespace {

bool isType(char c)
{
    return std::string_view("cifbs.na").find(c) != std::string_view::npos;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool hasArgument(const std::vector<FunctionArgument>& overload, const FunctionArgument& argument, std::size_t at)
{
    if (argument.named)
        return std::any_of(overload.begin(), overload.end(), [&](const FunctionArgument& other) {
            return other.named && sameName(other.name, argument.name);
        });
    return at < overload.size() && !overload[at].named;
}

} // namespace

std::optional<std::vector<FunctionArgument>> parseTypeString(std::string_view types)
{
    std::vector<FunctionArgument> arguments;
    std::size_t i = 0;
    while (i < types.size()) {
        FunctionArgument argument;
        if (types[i] == '[') {
            const std::size_t close = types.find(']', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            argument.name = std::string(types.substr(i + 1, close - i - 1));
            argument.named = !argument.name.empty();
            argument.optional = true;
            i = close + 1;
        }
        if (i == types.size() || !isType(types[i])) return std::nullopt;
        argument.type = types[i++];
        if (i < types.size() && (types[i] == '+' || types[i] == '*')) {
            argument.repeated = true;
            argument.optional = argument.optional || types[i] == '*';
            ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string typeName(char type)
{
    switch (type) {
    case 'c': return "clip";
    case 'i': return "int";
    case 'f': return "float";
    case 'b': return "bool";
    case 's': return "string";
    case 'n': return "func";
    default: return "val";
    }
}

std::vector<CParameter> parametersOf(std::span<const FunctionArgument> arguments)
{
    std::vector<CParameter> parameters;
    parameters.reserve(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const FunctionArgument& argument = arguments[i];
        CParameter p;
        p.title = argument.name.empty() ? "arg" + std::to_string(i + 1) : argument.name;
        if (argument.repeated) p.title += "...";
        p.Class = typeName(argument.type);
        p.isoptional = argument.optional;
        parameters.push_back(std::move(p));
    }
    return parameters;
}

std::vector<FunctionArgument> mergeOverloads(std::span<const std::vector<FunctionArgument>> overloads)
{
    if (overloads.empty()) return {};
    const auto longest = std::max_element(overloads.begin(), overloads.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    std::vector<FunctionArgument> merged = *longest;
    for (std::size_t i = 0; i < merged.size(); ++i)
        for (const std::vector<FunctionArgument>& overload : overloads)
            if (!hasArgument(overload, merged[i], i)) merged[i].optional = true;
    return merged;
}

} // namespace cw
