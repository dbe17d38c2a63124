#include "core/editor/call_tip_tracker.h"

#include <gtest/gtest.h>

#include <string>

namespace cw {
namespace {

// Types text into a tracker as the pane would: every "(" opens, every
// character updates. Names in `unknown` have no call text.
struct Typist {
    std::string text;
    CallTipTracker tracker;
    bool shown = false;
    std::string shownName;
    int argument = -1;
    std::string unknown = "Nope";

    std::string nameOf(const CallStart& call) const
    {
        return text.substr(call.name.start, call.name.end - call.name.start);
    }
    void apply(const CallTipTracker::Update& u)
    {
        if (u.close) {
            shown = false;
            shownName.clear();
        }
        if (!u.tip) return;
        if (u.tip->reshow) shownName = nameOf(u.tip->call);
        argument = u.tip->argument;
    }
    void refresh(std::size_t caret)
    {
        apply(tracker.update(text, caret, shown, [this](const CallStart& c) { return nameOf(c) != unknown; }));
    }
    void type(const std::string& typed)
    {
        for (char c : typed) {
            text += c;
            if (c == '(') {
                const auto isCode = [this](std::size_t at) { return text[0] != '#' || at == 0; };
                if (auto call = tracker.open(text, text.size(), shown, isCode)) {
                    shown = true;
                    shownName = nameOf(*call);
                }
            }
            refresh(text.size());
        }
    }
};

TEST(CallTipTracker, NestedCallsHandTheTipBackToTheCallAroundThem)
{
    Typist t;
    t.type("a, b = Overlay(c, Blur(");
    EXPECT_EQ(t.shownName, "Blur");
    EXPECT_EQ(t.argument, 0); // the commas in front of the call do not count
    t.type("c, 1");
    EXPECT_EQ(t.argument, 1);
    t.type(")");
    EXPECT_EQ(t.shownName, "Overlay");
    EXPECT_EQ(t.argument, 1);
    t.type(", Nope(");
    EXPECT_EQ(t.shownName, "Overlay"); // an unknown name closes at once
    EXPECT_EQ(t.argument, 2);
    t.type("x, \"a,)\", y)");
    EXPECT_EQ(t.argument, 2);
    t.type(")");
    EXPECT_FALSE(t.shown);
}

TEST(CallTipTracker, TheCaretBeforeTheParenthesisClosesEveryTip)
{
    Typist t;
    t.type("Overlay(Blur(c");
    t.refresh(t.text.find("Blur(") + 5);
    EXPECT_EQ(t.shownName, "Blur");
    EXPECT_EQ(t.argument, 0);
    t.refresh(t.text.find("Blur("));
    EXPECT_EQ(t.shownName, "Overlay");
    t.refresh(3);
    EXPECT_FALSE(t.shown);
    EXPECT_TRUE(t.tracker.empty());
}

TEST(CallTipTracker, NoCallForBareParenthesesOrCommentsAndATipClosedElsewhereIsForgotten)
{
    CallTipTracker tracker;
    const auto code = [](std::size_t) { return true; };
    EXPECT_FALSE(tracker.open("x = (", 5, false, code));
    EXPECT_FALSE(tracker.open("# Blur(", 7, false, [](std::size_t) { return false; }));
    EXPECT_FALSE(tracker.open("", 0, false, code));

    ASSERT_TRUE(tracker.open("Blur(", 5, false, code));
    // The pane closed the tip itself (Escape): nothing is shown again.
    const CallTipTracker::Update u = tracker.update("Blur(", 5, false, [](const CallStart&) { return true; });
    EXPECT_FALSE(u.close);
    EXPECT_FALSE(u.tip);
    EXPECT_TRUE(tracker.empty());
}

} // namespace
} // namespace cw
