// The diagnostic log: line format, levels, append, closing, the bounded line buffer and
// mfSetDebugLevel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

using test::ReadFile;

class LoggerTest : public test::VirtualPrinterTest {
protected:
    std::string Path() const { return dir.File("log.txt"); }
};

// The virtual clock starts at 2026-12-06 10:00:00 local time.
TEST_F(LoggerTest, OpensWithATitleLineAndStampsEveryLine) {
    {
        CLogger logger(Path().c_str(), CLogger::kEverything, "TARN");
        platform->SleepMs(61000);
        logger.LogInfo("In mfStop");
    }
    EXPECT_EQ(ReadFile(Path()),
              "2026.12.06 10:00:00 ***** LOG OPEN  TARN *****\n"
              "2026.12.06 10:01:01 In mfStop\n");
}

TEST_F(LoggerTest, AppendsToWhatTheFileHeld) {
    { CLogger first(Path().c_str(), CLogger::kFailures, "TARN"); }
    { CLogger second(Path().c_str(), CLogger::kFailures, "TARN"); }
    const std::string opening = "2026.12.06 10:00:00 ***** LOG OPEN  TARN *****\n";
    EXPECT_EQ(ReadFile(Path()), opening + opening);
}

struct LevelCase {
    int level;
    bool info;
    bool error;
};

TEST_F(LoggerTest, WritesByLevel) {
    const LevelCase cases[] = {
        {0, false, false}, {1, false, true}, {2, false, true}, {3, true, true}};
    for (const LevelCase& c : cases) {
        const std::string path = dir.File("level" + std::to_string(c.level) + ".txt");
        CLogger logger(path.c_str(), c.level, "TARN");
        logger.LogInfo("info line");
        logger.LogError("error line");
        const std::string text = ReadFile(path);
        EXPECT_NE(text.find("LOG OPEN"), std::string::npos) << c.level;
        EXPECT_EQ(text.find("info line") != std::string::npos, c.info) << c.level;
        EXPECT_EQ(text.find("error line") != std::string::npos, c.error) << c.level;
    }
}

TEST_F(LoggerTest, ClosingWritesTheClosingLineAtAnyLevelAndThenNothing) {
    CLogger logger(Path().c_str(), CLogger::kNothing, "TARN");
    logger.Close();
    logger.LogError("after closing");
    logger.WriteLine("after closing");
    logger.Close();
    EXPECT_EQ(ReadFile(Path()),
              "2026.12.06 10:00:00 ***** LOG OPEN  TARN *****\n"
              "2026.12.06 10:00:00 ***** LOG CLOSED *****\n");
}

TEST_F(LoggerTest, EveryLineIsOnDiskWhileTheLoggerIsOpen) {
    CLogger logger(Path().c_str(), CLogger::kFailures, "TARN");
    logger.LogError("first");
    EXPECT_NE(ReadFile(Path()).find("first"), std::string::npos);
}

TEST_F(LoggerTest, AFileThatCannotBeOpenedSilencesTheLog) {
    const std::string path = dir.File("no/such/dir/log.txt");
    CLogger logger(path.c_str(), CLogger::kEverything, "TARN");
    EXPECT_FALSE(logger.IsOpen());
    logger.LogError("nowhere");
    logger.Close();
}

TEST_F(LoggerTest, ALongLineIsCutToTheSharedBuffer) {
    Lib().logger->SetLevel(CLogger::kEverything);
    const std::string name(1000, 'x');
    LogInfoF("In mfDefPOS, name: %s", name.c_str());
    const std::string text = LogText();
    const size_t start = text.find("In mfDefPOS");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(text.find('\n', start) - start, 255u);
}

TEST_F(LoggerTest, CallerTextIsNeverAFormat) {
    Lib().logger->SetLevel(CLogger::kEverything);
    LogInfoF("name: %s", "%s%n%x");
    EXPECT_NE(LogText().find("name: %s%n%x\n"), std::string::npos);
}

TEST_F(LoggerTest, AResultLineGoesToTheErrorLevelOnlyWhenNonZero) {
    LogResultF(0, "In mfGetTax, result: %d", 0);
    LogResultF(-2, "In mfGetTax, result: %d", -2);
    const std::string text = LogText();
    EXPECT_EQ(text.find("result: 0"), std::string::npos);
    EXPECT_NE(text.find("result: -2"), std::string::npos);
}

struct DebugLevelCase {
    int value;
    int level;
};

TEST_F(LoggerTest, SetDebugLevelMapsTheCallersValue) {
    const DebugLevelCase cases[] = {{0, 0}, {5, 1}, {9, 3}, {7, 1}, {1, 1}, {3, 1}, {-1, 1}};
    for (const DebugLevelCase& c : cases) {
        Lib().mfErrorL = 514;
        EXPECT_EQ(mfSetDebugLevel(c.value), 0);
        EXPECT_EQ(Lib().logger->Level(), c.level) << c.value;
        EXPECT_EQ(Lib().mfErrorL, 0);
    }
}

TEST_F(LoggerTest, SetDebugLevelLogsItsValueOnlyAtTheFullLevel) {
    mfSetDebugLevel(5);
    mfSetDebugLevel(9);
    mfSetDebugLevel(0);
    const std::string text = LogText();
    EXPECT_EQ(text.find("mfSetDebugLevel to: 5"), std::string::npos);
    EXPECT_NE(text.find("mfSetDebugLevel to: 9"), std::string::npos);
    EXPECT_EQ(text.find("mfSetDebugLevel to: 0"), std::string::npos);
}

TEST_F(LoggerTest, SetDebugLevelWithoutALoggerDoesNothingHarmful) {
    Lib().logger.reset();
    EXPECT_EQ(mfSetDebugLevel(9), 0);
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

// The log and the trace never fail a call: a full disk, a file removed while open.
class LogStressTest : public test::VirtualPrinterTest {
protected:
    void TearDown() override {
        unsetenv("TARN_TRACE");
        VirtualPrinterTest::TearDown();
    }
};

// A whole sale with the log and the trace going where nothing can be written: a full disk, a
// directory that does not exist, a path through a file.
TEST_F(LogStressTest, AnUnwritableLogOrTraceFailsNoCall) {
    const std::string missingDirectory = dir.File("no-such-directory/tarnel.txt");
    for (const std::string& path :
         {std::string("/dev/full"), missingDirectory, std::string("/dev/null/tarnel.txt")}) {
        SCOPED_TRACE(path);
        ReplaceLibrary(std::make_unique<Library>(
            std::make_unique<CLogger>(path.c_str(), CLogger::kEverything, "TARN")));
        setenv("TARN_TRACE", path.c_str(), 1);
        ASSERT_EQ(mfStart(0, 1), 0);
        char serial[12] = {};
        EXPECT_EQ(mfGetSerNo(serial), 0);
        EXPECT_EQ(mfBeginTicket(-1), 0);
        EXPECT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 350, 1000, 0), 0);
        EXPECT_EQ(mfEndTicket(0, 0, 0, 350, "Got\xA2wka", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
        EXPECT_EQ(mfStop(), 0);
    }
}

TEST_F(LogStressTest, ALogFileRemovedWhileOpenFailsNoCall) {
    mfSetDebugLevel(9);
    ASSERT_EQ(mfStart(0, 1), 0);
    ASSERT_EQ(std::remove(dir.File("tarnel.txt").c_str()), 0);
    char serial[12] = {};
    EXPECT_EQ(mfGetSerNo(serial), 0);
    EXPECT_EQ(mfStop(), 0);
}

}  // namespace
}  // namespace tarn
