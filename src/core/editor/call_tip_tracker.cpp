#include "core/editor/call_tip_tracker.h"

namespace cw {

std::optional<CallStart> CallTipTracker::open(std::string_view text, std::size_t caret, bool tipShown,
                                              const IsCode& isCode)
{
    if (caret == 0) return std::nullopt;
    const std::optional<CallStart> call = findCallStart(text, caret - 1);
    if (!call || !isCode(call->name.start)) return std::nullopt;
    if (!tipShown) m_calls.clear();
    m_calls.push_back(*call);
    return call;
}

// Counts from each call's own "(" rather than from the line start, so text
// in front of the call and the commas and ")" of nested calls or strings
// neither move the mark nor close the tip.
CallTipTracker::Update CallTipTracker::update(std::string_view text, std::size_t caret, bool tipShown,
                                              const IsKnown& isKnown)
{
    if (m_calls.empty()) return {};
    if (!tipShown) {
        m_calls.clear();
        return {};
    }
    bool reshow = false;
    while (!m_calls.empty()) {
        const CallStart& call = m_calls.back();
        if (isKnown(call))
            if (const std::optional<int> argument = callArgumentAt(text, call.anchor, caret))
                return {false, Tip{call, *argument, reshow}};
        m_calls.pop_back();
        reshow = true;
    }
    return {true, std::nullopt};
}

} // namespace cw
