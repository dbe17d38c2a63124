#pragma once

#include "support/ui_fixtures.h"

namespace cw::test {

// A main window whose start-up notices (no definition set chosen) are
// already out of the way, so a test sees only the messages it caused.
struct QuietForm : FormFixture {
    explicit QuietForm(const std::string& settings = {}, const QStringList& arguments = {})
        : FormFixture(settings, arguments)
    {
        prompts.shown.clear();
    }
    // Every message and question so far, one "title: text" per line.
    QString shown() const
    {
        QStringList lines;
        for (const auto& s : prompts.shown)
            lines << s.title + ": " + s.text;
        return lines.join('\n');
    }
};

} // namespace cw::test
