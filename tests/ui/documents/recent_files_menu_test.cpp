#include "ui/editor/code_sense.h"

#include "quiet_form.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <array>

namespace cw {
namespace {

struct MenuState {
    bool enabled;
    bool separator;
    std::array<bool, 4> items;
    bool operator==(const MenuState&) const = default;
};

MenuState menuState(const Form1& form)
{
    MenuState s{form.menu("mnuRecentFiles")->menuAction()->isEnabled(),
                form.command("mnuFileRFsep")->isVisible(),
                {}};
    for (int i = 0; i < 4; ++i) s.items[i] = form.command(QString("mnuFileRF%1").arg(i + 1))->isVisible();
    return s;
}

TEST(RecentFilesMenu, ShowsOnlySlotsThatHoldAPath)
{
    const struct {
        const char* name;
        std::string settings;
        MenuState expected;
    } rows[] = {
        {"none", "", {false, true, {false, false, false, false}}},
        {"only slot 4", "recent.file.4=/s/d.avs\r\n", {false, true, {false, false, false, false}}},
        {"bare name in slot 1", "recent.file.1=a.avs\r\nrecent.file.3=/s/c.avs\r\n",
         {true, false, {false, false, true, false}}},
        {"all four", "recent.file.1=/s/a.avs\r\nrecent.file.2=/s/b.avs\r\nrecent.file.3=/s/c.avs\r\n"
                     "recent.file.4=/s/R&D.avs\r\n",
         {true, true, {true, true, true, true}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f(row.settings);
        EXPECT_EQ(menuState(*f.form), row.expected);
        if (row.expected.items[3]) {
            EXPECT_EQ(f.form->command("mnuFileRF1")->text(), "/s/a.avs");
            EXPECT_EQ(f.form->command("mnuFileRF4")->text(), "/s/R&&D.avs");
        }
    }
}

TEST(RecentFilesMenu, LoadingAddsNewPathsOnTopAndClosingSavesThem)
{
    test::QuietForm f;
    Form1& form = *f.form;
    const auto load = [&](const char* name) {
        if (std::string(name) != "missing.avs") f.home.write(name, "Version()");
        form.loadScript(QString::fromStdString(f.home.file(name)));
    };
    const auto listed = [&] {
        std::array<QString, 4> names;
        for (int i = 0; i < 4; ++i) names[i] = form.recentFiles()[i].section('/', -1);
        return names;
    };
    using Names = std::array<QString, 4>;

    for (const char* name : {"1.avs", "2.avs", "3.avs", "4.avs"}) load(name);
    EXPECT_EQ(listed(), (Names{"4.avs", "3.avs", "2.avs", "1.avs"}));
    load("2.avs");
    EXPECT_EQ(listed(), (Names{"4.avs", "3.avs", "2.avs", "1.avs"}));
    load("5.avs");
    EXPECT_EQ(listed(), (Names{"5.avs", "4.avs", "3.avs", "2.avs"}));
    load("missing.avs"); // fails: the list stays
    EXPECT_EQ(listed(), (Names{"5.avs", "4.avs", "3.avs", "2.avs"}));
    load("5.AVS");
    EXPECT_EQ(listed(), (Names{"5.AVS", "5.avs", "4.avs", "3.avs"}));
    EXPECT_EQ(menuState(form), (MenuState{true, true, {true, true, true, true}}));
    EXPECT_EQ(form.command("mnuFileRF2")->text(), QString::fromStdString(f.home.file("5.avs")));

    f.home.write("3.avs", "Blur(3)");
    form.command("mnuFileRF4")->trigger();
    EXPECT_EQ(form.currentFile(), QString::fromStdString(f.home.file("3.avs")));
    EXPECT_EQ(form.codeSense()->text(), "Blur(3)");

    form.show();
    ASSERT_TRUE(form.close());
    const std::string settings = f.settingsFile();
    for (const char* expected : {"recent.file.1=", "recent.file.2=", "recent.file.3=", "recent.file.4="})
        EXPECT_NE(settings.find(expected), std::string::npos) << expected;
    EXPECT_NE(settings.find("recent.file.1=" + f.home.file("5.AVS") + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find("recent.file.4=" + f.home.file("3.avs") + "\r\n"), std::string::npos);
}

} // namespace
} // namespace cw
