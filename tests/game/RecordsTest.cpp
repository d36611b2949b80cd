// The best times' file: what is read, what is kept, and that nothing of the
// player's is lost to a damaged file, a folder that cannot be written or two
// games finishing at once.
#include "game/Records.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <csignal>
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
    // As a Windows editor saves it: a byte-order mark and CRLF line ends.
    again.clear();
    problems.clear();
    EXPECT_TRUE(ParseRecords("\xef\xbb\xbfvellmora records 1\r\n1 7 500 2026-12-01\r\n", again, problems));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].m_Ticks, 500);
    // Every field read whole: a missing field is no shorter time, a
    // six-digit layout no five-digit one.
    EXPECT_FALSE(ParseRecords("vellmora records 1\n1 123452 2026-03-03\n1 123452 9 2026-03-03\n1 7 +5 2026-03-03\n"
                              "1 7 5 2026-03-03x\n1\t7\t5\t2026-03-03\n",
                              again, problems));
    EXPECT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].m_Ticks, 5);
    EXPECT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].substr(0, 7), "line 2:");
}

// The file never grows past what the game reads: what goes to fit are the
// other times of the layouts flown least, the oldest first, never a best.
TEST(Records, TheFileStaysWithinWhatIsReadAndKeepsEveryLayoutsBest)
{
    TempDir dir;
    std::string path = dir.Path() + "/records";
    std::vector<Record> records;
    for (int layout = 1; layout <= 99999; ++layout) {
        records.push_back(Record{RULES_NUMBER, layout, 1000000 + layout, "2026-01-01"});
        records.push_back(Record{RULES_NUMBER, layout, 2000000 + layout, layout % 2 ? "2026-01-02" : "2026-01-03"});
    }
    records.push_back(Record{RULES_NUMBER, 7, 3000000, "2025-01-01"});  // layout 7's third, the oldest
    PruneRecords(records);
    ASSERT_GT(FormatRecords(records).size(), static_cast<size_t>(RECORDS_MOST_BYTES));
    EXPECT_TRUE(AddRecord(path, Record{RULES_NUMBER, 7, 900000, "2026-12-09"}, records));
    std::string saved = dir.ReadFile("records");
    EXPECT_LE(saved.size(), static_cast<size_t>(RECORDS_MOST_BYTES));
    std::vector<Record> read = LoadRecords(path);
    EXPECT_EQ(read, records);
    std::map<int, int> perLayout;
    for (const Record& record : read) {
        ++perLayout[record.m_Layout];
    }
    EXPECT_EQ(perLayout.size(), 99999u);  // every layout's best stays
    EXPECT_EQ(perLayout[7], 4);           // the most flown keeps its others, the oldest too
    EXPECT_EQ(perLayout[2], 2);           // the newer second times go last
    EXPECT_EQ(perLayout[99999], 1);       // of the older, the slowest go first
    EXPECT_EQ(BestRecord(read, 7)->m_Ticks, 900000);
    std::string log = dir.ReadFile("vellmora.log");
    EXPECT_NE(log.find("Records: " + path + " would be over 4096 KiB; left out: layout 99999 in 583:19.98 of 2026-01-02 (rules 1)"),
              std::string::npos);
    EXPECT_EQ(log.find("left out: layout 2 in"), std::string::npos);
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
    EXPECT_FALSE(AddRecord("", Time(1, 10), records));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Records: no folder for the best times (HOME is not set); the time "
                                                "is not kept"),
              std::string::npos);
}

// A records file linked into a sync folder stays a link, and its target
// takes the times; a lock another program holds is given up with a line.
TEST(Records, WrittenThroughALinkAndNotKeptPastAnotherProgramsLock)
{
    TempDir dir;
    ASSERT_EQ(mkdir("sync", 0755), 0);
    ASSERT_EQ(symlink("sync/records", "records"), 0);  // a target not there yet
    std::string path = dir.Path() + "/records";
    std::vector<Record> records;
    EXPECT_TRUE(AddRecord(path, Time(3, 700), records));
    EXPECT_TRUE(AddRecord(path, Time(3, 600), records));
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(dir.ReadFile("sync/records").find("1 3 600 2026-12-09\n1 3 700 "), std::string::npos);
    // Damaged behind the link: the target is kept aside, the link stays.
    std::string damaged = dir.ReadFile("sync/records") + "junk\n";
    FILE* file = fopen("sync/records", "w");
    fputs(damaged.c_str(), file);
    fclose(file);
    EXPECT_TRUE(AddRecord(path, Time(3, 500), records));
    EXPECT_EQ(dir.ReadFile("sync/records.damaged-1"), damaged);
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    int lock = open((path + ".lock").c_str(), O_RDWR);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    pid_t holder = fork();  // holds the lock on after this process lets go of it
    if (holder == 0) {
        sleep(30);
        _exit(0);
    }
    close(lock);
    std::string saved = dir.ReadFile("sync/records");
    // The game is ending: the lock is not waited for (the game's own finish
    // test waits the few seconds for it).
    std::atomic<bool> quitting(true);
    EXPECT_FALSE(AddRecord(path, Time(3, 300), records, &quitting));
    kill(holder, SIGKILL);
    waitpid(holder, NULL, 0);
    EXPECT_EQ(dir.ReadFile("sync/records"), saved);
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Records: the time is not kept: " + path +
                                                ".lock is locked by another program"),
              std::string::npos);
    EXPECT_EQ(BestRecord(records, 3)->m_Ticks, 300);  // the game still shows it
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
