#pragma once

#include <functional>
#include <optional>
#include <string>

namespace cw::test {

// Runs work in a forked child and returns the text it produced, or nothing
// when the child did not finish within the given seconds (it is killed) or
// died. For what could hang or must run under limits of its own (a file
// size limit, another user id) without touching the test process.
std::optional<std::string> runInChild(const std::function<std::string()>& work, unsigned seconds = 5);

} // namespace cw::test
