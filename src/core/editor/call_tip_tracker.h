#pragma once

#include "core/editor/call_tip_scanner.h"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace cw {

// Which call tip the script pane shows while calls are typed. The calls
// whose tips were opened are kept innermost last, so that when a nested
// call closes, the tip of the call around it comes back with its own
// argument marked. Offsets are bytes of the whole document.
class CallTipTracker {
public:
    // What the pane should do after a change or a caret move.
    struct Tip {
        CallStart call;
        int argument = 0;
        bool reshow = false; // another call than the one shown: show its tip anew
    };
    struct Update {
        bool close = false;     // close the tip: no open call is left
        std::optional<Tip> tip; // otherwise the call to show and its argument
    };

    // isCode tells whether a byte is script code, not comment or string.
    using IsCode = std::function<bool(std::size_t)>;
    // isKnown tells whether a call's name has a call text.
    using IsKnown = std::function<bool(const CallStart&)>;

    // A "(" was typed just before caret. The call to show a tip for, or
    // nothing: no name before the "(", or the name is not code. tipShown
    // says whether a tip is up, so calls of an earlier, closed tip are dropped.
    std::optional<CallStart> open(std::string_view text, std::size_t caret, bool tipShown, const IsCode& isCode);

    // The caret moved or the text changed. Calls that have closed, or whose
    // name has no call text, are dropped from the innermost out; nothing to
    // do when no call is tracked.
    Update update(std::string_view text, std::size_t caret, bool tipShown, const IsKnown& isKnown);

    void clear() { m_calls.clear(); }
    bool empty() const { return m_calls.empty(); }

private:
    std::vector<CallStart> m_calls;
};

} // namespace cw
