#include "base/Logger.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

TEST(Log, ResetEmptiesTheFileOfTheLastRun)
{
    TempDir dir;
    EXPECT_TRUE(LogReset());
    EXPECT_TRUE(LogMessage("first run %d", 1));
    EXPECT_EQ(dir.ReadFile("vellmora.log"), "first run 1\n");
    EXPECT_TRUE(LogReset());
    EXPECT_EQ(dir.ReadFile("vellmora.log"), "");
    LogMessage("second run");
    EXPECT_EQ(dir.ReadFile("vellmora.log"), "second run\n");
}

TEST(Log, AppendsOneLineFeedPerMessage)
{
    TempDir dir;
    LogMessage("Model: %s", "models/box.ms3d");
    LogMessage("%.2f%%", 12.345);
    LogMessage("ends in a line feed\n");
    LogMessage("***");
    EXPECT_EQ(dir.ReadFile("vellmora.log"),
              "Model: models/box.ms3d\n12.35%\nends in a line feed\n\n***\n");
}

// Messages are lost, and standard error says so once.
TEST(Log, UnwritableDirectoryLosesMessagesAndSaysSoOnce)
{
    TempDir dir;
    if (geteuid() == 0) {
        // Root writes through permission bits; use a path that cannot be a file.
        ASSERT_EQ(mkdir("vellmora.log", 0755), 0);
    } else {
        ASSERT_EQ(chmod(dir.Path().c_str(), 0500), 0);
    }
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LogReset());
    EXPECT_FALSE(LogMessage("lost %d", 1));
    EXPECT_FALSE(LogMessage("lost %d", 2));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "Vellmora: the log " + dir.Path() + "/vellmora.log cannot be written (" +
                        (geteuid() == 0 ? "Is a directory" : "Permission denied") +
                        "); the game goes on without it\n");
}
