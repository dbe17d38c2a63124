#include "core/documents/recovery_file.h"
#include "core/documents/recovery_schedule.h"
#include "core/documents/recovery_store.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>
#include <vector>

namespace cw {
namespace {

bool sameRecord(const RecoveryRecord& a, const RecoveryRecord& b)
{
    return a.path == b.path && a.text.utf8 == b.text.utf8 && a.text.encoding == b.text.encoding &&
           a.text.lineEnd == b.text.lineEnd;
}

TEST(RecoveryFile, RecordsComeBackAsTheyWentAndAnythingElseIsRefused)
{
    const RecoveryRecord rows[] = {
        {"", {"Version()", TextEncoding::Utf8, "\r\n"}},
        {"/s/caf\xC3\xA9 a.avs", {"# caf\xC3\xA9\nBlur(1)\n", TextEncoding::Windows1252, "\n"}},
        {"/s/odd\\n\nname\r.avs", {std::string("a\0b\r\n\r\n", 7), TextEncoding::Utf8, "\r\n"}},
        {"/s/empty.avs", {"", TextEncoding::Utf8, "\n"}},
    };
    for (const RecoveryRecord& row : rows) {
        const std::string bytes = encodeRecovery(row);
        const std::optional<RecoveryRecord> back = decodeRecovery(bytes);
        ASSERT_TRUE(back) << row.path;
        EXPECT_TRUE(sameRecord(*back, row)) << row.path;
        // A file cut short by a full disk or a crash of the system is no record.
        EXPECT_FALSE(decodeRecovery(std::string_view(bytes).substr(0, bytes.size() - 1))) << row.path;
    }
    const char* refused[] = {
        "Version()\r\n",
        "clipwright recovery 2\npath \nlength 0\n\n",
        "clipwright recovery 1\nlength 0\n\n",
        "clipwright recovery 1\npath \\x\nlength 0\n\n",
        "clipwright recovery 1\npath \nencoding latin-1\nlength 0\n\n",
        "clipwright recovery 1\npath \nlength 99999999999999999999\n\n",
    };
    for (const char* bytes : refused)
        EXPECT_FALSE(decodeRecovery(bytes)) << bytes;
}

// The moments the text is copied, for changes at the given milliseconds,
// checked every 100 ms as a timer would.
std::vector<int> copiesFor(const std::vector<int>& changes, int until)
{
    using namespace std::chrono;
    RecoverySchedule schedule;
    const RecoverySchedule::Clock::time_point start;
    std::vector<int> copies;
    for (int t = 0; t <= until; t += 100) {
        const auto now = start + milliseconds(t);
        if (std::find(changes.begin(), changes.end(), t) != changes.end()) schedule.changed(now);
        if (const auto due = schedule.dueAt(); due && *due <= now) {
            copies.push_back(t);
            schedule.copied();
        }
    }
    return copies;
}

// A key every step milliseconds up to last, then the keys in more.
std::vector<int> typing(int step, int last, std::vector<int> more = {})
{
    for (int t = last; t >= 0; t -= step)
        more.insert(more.begin(), t);
    return more;
}

TEST(RecoverySchedule, CopiesTwoSecondsAfterAPauseAndEveryTenWhileTypingGoesOn)
{
    const struct {
        const char* name;
        std::vector<int> changes;
        std::vector<int> copies;
    } rows[] = {
        {"nothing typed", {}, {}},
        {"one key", {0}, {2000}},
        {"a key every 1.9 s", typing(1900, 15200), {10000, 17200}},
        {"steady typing", typing(500, 25000), {10000, 20500, 27000}},
        {"two bursts", typing(500, 3000, {8000}), {5000, 10000}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(copiesFor(row.changes, 40000), row.copies) << row.name;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A store that goes without close() is a run that was killed: its files
// stay and its lock is free.
void crashedRun(const std::string& folder, const std::string& id, const RecoveryRecord& text)
{
    RecoveryStore crashed(folder, id);
    ASSERT_EQ(crashed.write(text), "");
    const utimbuf when{1700000000, 1700000000};
    ASSERT_EQ(::utime((folder + "/" + id + ".recovery").c_str(), &when), 0);
}

TEST(RecoveryStore, EndedRunsTextsAreClaimedOnceAndRunningOnesNever)
{
    test::TempDir dir;
    const std::string folder = dir.file("state/clipwright");
    const RecoveryRecord adopted{"/s/a.avs", {"Blur(1)", TextEncoding::Windows1252, "\n"}};
    crashedRun(folder, "11-1", adopted);
    crashedRun(folder, "12-1", {"", {"first"}});
    crashedRun(folder, "13-1", {"", {"second"}});
    RecoveryStore running(folder, "22-1");
    ASSERT_EQ(running.write({"", {"Live()"}}), "");
    dir.write("state/clipwright/14-1.recovery", "not a record");
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const std::string date = localTimeText(1700000000, "%Y-%m-%d-%H%M%S");
    {
        RecoveryStore mine(folder, "33-1");
        const std::vector<RecoveryStore::Left> left = mine.claimLeft();
        ASSERT_EQ(left.size(), 3u);
        EXPECT_TRUE(sameRecord(left[0].record, adopted));
        RecoveryStore startingMeanwhile(folder, "44-1");
        EXPECT_TRUE(startingMeanwhile.claimLeft().empty());

        mine.adopt(left[0]);
        mine.keepAsBackup(left[1]);
        mine.keepAsBackup(left[2]); // saved in the same second, kept under a name of its own
        EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"14-1.recovery", "22-1.lock", "22-1.recovery",
                                                             "33-1." + date + "-2.backup",
                                                             "33-1." + date + ".backup", "33-1.lock",
                                                             "33-1.recovery"}));
        EXPECT_TRUE(sameRecord(*decodeRecovery(dir.read("state/clipwright/33-1.recovery")), adopted));
        EXPECT_EQ(decodeRecovery(dir.read("state/clipwright/33-1." + date + "-2.backup"))->text.utf8, "second");
        EXPECT_TRUE(RecoveryStore(folder, "45-1").claimLeft().empty()); // backups of a running keeper stay
        mine.close();
    }
    running.close();
    // The next start after the keeper ended removes its backups.
    EXPECT_TRUE(RecoveryStore(folder, "55-1").claimLeft().empty());
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"14-1.recovery"});
}

} // namespace
} // namespace cw
