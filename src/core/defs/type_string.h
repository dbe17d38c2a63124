#pragma once

#include "core/defs/definition_model.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// One argument of an interpreter function.
struct FunctionArgument {
    // The name a script may pass it by; for a positional argument the name
    // it was given where that is known (a script function's definition), else "".
    std::string name;
    bool named = false;    // "[name]": may be passed by name
    char type = '.';       // c i f b s . n a
    bool optional = false; // "[...]" or repeated with "*"
    bool repeated = false; // "+" or "*"

    bool operator==(const FunctionArgument&) const = default;
};

// The arguments of an interpreter type string: a type character (c clip,
// i int, f float, b bool, s string, . any, n function, a array), each
// optionally preceded by "[name]" (named and optional; "[]" only optional)
// and followed by "+" (one or more) or "*" (zero or more). Nothing when the
// text holds anything else: an unknown character, an unclosed "[", a "[name]"
// or "+" without its type.
std::optional<std::vector<FunctionArgument>> parseTypeString(std::string_view types);

// The type as definition files write it; arrays and any type are "val".
std::string typeName(char type);

// The model's parameters, named as the arguments are, "arg<i+1>" for one
// without a name. A repeated argument's name ends with "...".
std::vector<CParameter> parametersOf(std::span<const FunctionArgument> arguments);

// The overloads of one name as one list: the longest (the first of equal
// length), with each argument that not every overload has made optional.
// A named argument counts as had when an overload has one of that name in
// any letter case, a positional one when an overload has a positional
// argument at that position.
std::vector<FunctionArgument> mergeOverloads(std::span<const std::vector<FunctionArgument>> overloads);

} // namespace cw
