// The best times' file: what is read, what is kept, and that nothing of the
// player's is lost to a damaged file, a folder that cannot be written or two
// games finishing at once.
#include "game/Records.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "game/Layout.h"
#include "tests/support/TempDir.h"

static Record Time(int layout, long long ticks, int rules = RULES_NUMBER)
{
    return Record{rules, layout, ticks, "2026-12-09"};
}

// Five a layout and ten over all are kept, for each rules number; only the
// current rules' times are compared; every bad line is named.
TEST(Records, KeepFiveALayoutAndTenOverAllForEachRules)
{
    std::vector<Record> records;
    std::vector<std::string> problems;
    EXPECT_FALSE(ParseRecords("# a comment\nvellmora records 1\n1 7 500 2026-12-01\n1 7 500 2026-12-01\n"
                              "1 7 9x 2026-12-01\n1 0 5 2026-12-01\n2 7 3 2026-12-01\n1 7 4 2026-13-01\n",
                              records, problems));
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], "line 5: not a time (RULES LAYOUT TICKS YYYY-MM-DD); left out");
    EXPECT_EQ(problems[2].substr(0, 7), "line 8:");
    for (long long ticks = 100; ticks < 130; ++ticks) {
        records.push_back(Time(ticks < 110 ? 7 : static_cast<int>(ticks), ticks));
    }
    PruneRecords(records);
    int onSeven = 0;
    for (const Record& record : records) {
        onSeven += record.m_Layout == 7 && record.m_Rules == RULES_NUMBER ? 1 : 0;
    }
    EXPECT_EQ(onSeven, 10);  // the ten best over all, 500 being none of its layout's five
    EXPECT_EQ(records.size(), 31u);  // with each other layout's one, the other rules' one, no repeat
    EXPECT_EQ(BestRecord(records, 7)->m_Ticks, 100);
    EXPECT_EQ(BestRecord(records, 0)->m_Ticks, 100);  // not the other rules' 3
    EXPECT_EQ(BestRecord(records, 8), nullptr);
    std::vector<Record> again;
    EXPECT_TRUE(ParseRecords(FormatRecords(records), again, problems));
    EXPECT_TRUE(again == records);
    EXPECT_FALSE(ParseRecords("vellmora records 2\n1 7 5 2026-12-01\n", again, problems));
    EXPECT_EQ(problems.back(), "line 1: not \"vellmora records 1\"; the file is not read");
}

TEST(Records, ADamagedFileIsKeptAsideAndAFullFolderCostsALine)
{
    TempDir dir;
    std::string path = dir.Path() + "/data/vellmora/records";
    std::vector<Record> records = LoadRecords(path);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(AddRecord(path, Time(3, 700), records));
    EXPECT_TRUE(AddRecord(path, Time(3, 900), records));
    // Damaged: the good lines are merged, the file itself kept aside.
    std::string damaged = dir.ReadFile("data/vellmora/records") + "garbage\n";
    FILE* file = fopen(path.c_str(), "w");
    fputs(damaged.c_str(), file);
    fclose(file);
    records = LoadRecords(path);
    EXPECT_EQ(records.size(), 2u);
    EXPECT_TRUE(AddRecord(path, Time(4, 650), records));
    EXPECT_EQ(dir.ReadFile("data/vellmora/records.damaged-1"), damaged);
    std::string saved = dir.ReadFile("data/vellmora/records");
    EXPECT_NE(saved.find("\n1 4 650 2026-12-09\n1 3 700 2026-12-09\n1 3 900 "), std::string::npos) << saved;
    // A time that is neither among its layout's five nor the ten best over
    // all is not written at all.
    for (int i = 0; i < 10; ++i) {
        AddRecord(path, Time(5 + i, 100 + i), records);
        AddRecord(path, Time(3, 800 + i % 3), records);
    }
    saved = dir.ReadFile("data/vellmora/records");
    EXPECT_FALSE(AddRecord(path, Time(3, 5000), records));
    EXPECT_EQ(dir.ReadFile("data/vellmora/records"), saved);
    // A folder that cannot be written: one log line, nothing lost.
    std::string log = dir.ReadFile("vellmora.log");
    ASSERT_EQ(mkdir("full", 0500), 0);
    ASSERT_EQ(mkdir("full/vellmora", 0500), 0);
    if (geteuid() != 0) {
        EXPECT_FALSE(AddRecord(dir.Path() + "/full/vellmora/records", Time(1, 10), records));
        EXPECT_EQ(dir.ReadFile("vellmora.log").size() > log.size(), true);
    }
    EXPECT_FALSE(AddRecord("/proc/vellmora/records", Time(1, 10), records));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Records: no folder for /proc/vellmora/records"), std::string::npos);
}

// Two games finishing at once: each reads what the other wrote before it
// writes, under the lock, so both times are kept.
TEST(Records, TwoGamesFinishingAtOnceLoseNothing)
{
    TempDir dir;
    std::string path = dir.Path() + "/records";
    std::vector<pid_t> games;
    for (int game = 0; game < 2; ++game) {
        pid_t child = fork();
        if (child == 0) {
            std::vector<Record> mine;
            for (int i = 0; i < 20; ++i) {
                AddRecord(path, Time(100 * (game + 1) + i, 1000 + i), mine);
            }
            _exit(0);
        }
        games.push_back(child);
    }
    for (pid_t game : games) {
        int status = 0;
        waitpid(game, &status, 0);
    }
    // Each time is its layout's only one: all forty are kept.
    std::vector<Record> kept = LoadRecords(path);
    ASSERT_EQ(kept.size(), 40u);
    EXPECT_EQ(kept[0].m_Ticks, 1000);
    EXPECT_EQ(kept[1].m_Ticks, 1000);
    EXPECT_NE(kept[0].m_Layout, kept[1].m_Layout);
}
