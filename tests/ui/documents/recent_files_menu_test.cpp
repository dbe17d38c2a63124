#include "ui/editor/code_sense.h"

#include "quiet_form.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace cw {
namespace {

// The submenu's enabled state, the separator, then the four slots: "E|S|1234" with '-' for hidden.
QString menuState(const Form1& form)
{
    QString s = form.menu("mnuRecentFiles")->menuAction()->isEnabled() ? "E|" : "-|";
    s += form.command("mnuFileRFsep")->isVisible() ? "S|" : "-|";
    for (int i = 1; i <= 4; ++i)
        s += form.command(QString("mnuFileRF%1").arg(i))->isVisible() ? QString::number(i) : "-";
    return s;
}

TEST(RecentFilesMenu, ShowsOnlySlotsThatHoldAPath)
{
    const struct {
        std::string settings;
        const char* expected;
    } rows[] = {
        {"", "-|S|----"},
        {"recent.file.4=/s/d.avs\r\n", "-|S|----"},
        {"recent.file.1=a.avs\r\nrecent.file.3=/s/c.avs\r\n", "E|-|--3-"},
        {"recent.file.1=/s/a.avs\r\nrecent.file.2=/s/b.avs\r\nrecent.file.3=/s/c.avs\r\nrecent.file.4=/s/"
         "R&D.avs\r\n",
         "E|S|1234"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.settings);
        test::QuietForm f(row.settings);
        EXPECT_EQ(menuState(*f.form), row.expected);
    }
    test::QuietForm f(rows[3].settings);
    EXPECT_EQ(f.form->command("mnuFileRF1")->text(), "/s/a.avs");
    EXPECT_EQ(f.form->command("mnuFileRF4")->text(), "/s/R&&D.avs");
}

TEST(RecentFilesMenu, LoadingAddsNewPathsOnTopAndClosingSavesThem)
{
    test::QuietForm f;
    Form1& form = *f.form;
    const auto load = [&](const char* name) {
        if (std::string(name) != "missing.avs") f.home.write(name, "Version()");
        form.documents().loadScript(QString::fromStdString(f.home.file(name)));
    };
    const auto listed = [&] {
        QStringList names;
        for (const std::string& path : form.documents().state().recentFiles())
            names << QString::fromStdString(path).section('/', -1);
        return names.join(' ');
    };
    for (const char* name : {"1.avs", "2.avs", "3.avs", "4.avs"})
        load(name);
    EXPECT_EQ(listed(), "4.avs 3.avs 2.avs 1.avs");
    load("5.avs");
    load("missing.avs"); // fails: the list stays
    load("5.AVS");
    EXPECT_EQ(listed(), "5.AVS 5.avs 4.avs 3.avs");
    EXPECT_EQ(menuState(form), "E|S|1234");
    EXPECT_EQ(form.command("mnuFileRF2")->text(), QString::fromStdString(f.home.file("5.avs")));

    f.home.write("3.avs", "Blur(3)");
    form.command("mnuFileRF4")->trigger();
    EXPECT_EQ(QString::fromStdString(form.documents().state().currentFile()), QString::fromStdString(f.home.file("3.avs")));
    EXPECT_EQ(form.codeSense()->text(), "Blur(3)");

    form.show();
    ASSERT_TRUE(form.close());
    const std::string settings = f.settingsFile();
    EXPECT_NE(settings.find("recent.file.1=" + f.home.file("5.AVS") + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find("recent.file.2=" + f.home.file("5.avs") + "\r\n"), std::string::npos);
    EXPECT_NE(settings.find("recent.file.4=" + f.home.file("3.avs") + "\r\n"), std::string::npos);
}

} // namespace
} // namespace cw
