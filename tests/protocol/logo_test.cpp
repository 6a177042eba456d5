// The logo transfer at start-up: the printer's logo backed up to "<path>.old", the logo file
// loaded row by row.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "api/logo.h"
#include "library_test.h"
#include "seam.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using Bytes = std::vector<uint8_t>;

std::string Dots(const std::string& pattern) {
    std::string line;
    while (line.size() < kLogoRowDots) line += pattern;
    return line.substr(0, kLogoRowDots);
}

class LogoTest : public test::LibraryTest {
protected:
    std::string LogoPath() const { return dir.File("logo.txt"); }
    std::string BackupPath() const { return LogoPath() + ".old"; }

    void WriteLogo(const std::string& text) {
        std::ofstream(LogoPath(), std::ios::binary) << text;
        ASSERT_EQ(mfDefConfigParam(11, 0, LogoPath().c_str()), 0);
    }
    // A header line, then row r made of `pattern` for r < rows.
    std::string LogoFile(const std::string& pattern, int rows, const char* end = "\n") {
        std::string text = "logo of the shop" + std::string(end);
        for (int r = 0; r < rows; ++r) text += Dots(pattern) + end;
        return text;
    }
    // Frames of one kind the printer received.
    std::vector<Bytes> RawBlocks() const {
        std::vector<Bytes> blocks;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::RawBlock) blocks.push_back(frame.bytes);
        }
        return blocks;
    }
    void SkipBackup() { ASSERT_EQ(mkdir((BackupPath() + ".part").c_str(), 0700), 0); }
};

TEST(LogoRows, TextToDotsAndBack) {
    EXPECT_EQ(RowFromText(std::string(kLogoRowDots, 'X')), LogoRow{[] {
                  LogoRow all{};
                  all.fill(0xFF);
                  return all;
              }()});
    const LogoRow leftmost = RowFromText("X");
    EXPECT_EQ(leftmost[0], 0x80);
    EXPECT_EQ(RowFromText("xX  x X")[0], 0x42);  // only a capital X is black
    EXPECT_EQ(RowFromText(std::string(kLogoRowDots, ' ') + "XXXX"), LogoRow{});
    EXPECT_EQ(TextFromRow(RowFromText(Dots("X  "))), Dots("X  "));
}

TEST_F(LogoTest, LoadsEveryRowOfTheFileButItsFirstLine) {
    WriteLogo(LogoFile("XX  ", 64));
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::vector<Bytes> blocks = RawBlocks();
    ASSERT_EQ(blocks.size(), 128u);  // 64 row requests of the backup, 64 uploads
    for (int row = 0; row < 64; ++row) {
        Bytes expected{static_cast<uint8_t>(row)};
        expected.insert(expected.end(), 24, 0xCC);
        expected.push_back(0x00);  // 24 equal bytes cancel out
        EXPECT_EQ(blocks[64 + row], expected) << row;
    }
    EXPECT_EQ(printer->State().logo[63][0], 0xCC);
    EXPECT_NE(printer->Roll().AsUtf8().find("NOWE LOGO"), std::string::npos);
}

TEST_F(LogoTest, BacksUpThePrintersLogoAsDotLines) {
    for (auto& row : printer->State().logo) row[0] = 0x81;
    WriteLogo(LogoFile("X", 64));
    ASSERT_EQ(mfStart(0, 1), 0);
    std::string expected;
    for (int row = 0; row < 64; ++row) expected += "X      X" + std::string(184, ' ') + "\n";
    EXPECT_EQ(test::ReadFile(BackupPath()), expected);
    const std::vector<Bytes> blocks = RawBlocks();
    for (int row = 0; row < 64; ++row) EXPECT_EQ(blocks[row], Bytes{static_cast<uint8_t>(row)});
}

TEST_F(LogoTest, ReadsAnyLineEndAndFillsWhatIsMissingWithWhite) {
    const std::string longFirstLine(500, 'X');
    std::string text = longFirstLine + "\r\n";
    text += "X\r\n";                   // row 0: one dot at the far left
    text += Dots("X") + "XXXXXXXX\n";  // row 1: longer than 192: the rest is ignored
    text += "xxxxxxxx\r\n";            // row 2: small x is white
    text += "        X";               // row 3: the last line has no end
    WriteLogo(text);
    ASSERT_EQ(mfStart(0, 1), 0);
    const auto& logo = printer->State().logo;
    EXPECT_EQ(logo[0][0], 0x80);
    EXPECT_EQ(logo[0][1], 0x00);
    EXPECT_EQ(logo[1][23], 0xFF);
    EXPECT_EQ(logo[2], LogoRow{});
    EXPECT_EQ(logo[3][1], 0x80);
    EXPECT_EQ(logo[4], LogoRow{});
    EXPECT_EQ(logo[63], LogoRow{});
    const Bytes row0 = RawBlocks()[64];
    EXPECT_EQ(row0[1], 0x80);
    EXPECT_EQ(row0[25], 0x80);  // the check byte of a single black dot
}

TEST_F(LogoTest, WithoutALogoFileOnlyTheBackupRuns) {
    ASSERT_EQ(mfDefConfigParam(11, 0, LogoPath().c_str()), 0);
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(RawBlocks().size(), 64u);
    EXPECT_EQ(test::ReadFile(BackupPath()).size(), 64u * 193u);
}

TEST_F(LogoTest, ABackupThatCannotBeWrittenIsSkipped) {
    WriteLogo(LogoFile("X", 64));
    SkipBackup();
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(RawBlocks().size(), 64u);  // the uploads only
}

TEST_F(LogoTest, AShortRowEndsTheBackupAndKeepsTheOldOne) {
    std::ofstream(BackupPath()) << "the printer's first logo\n";
    WriteLogo(LogoFile("X", 64));
    printer->AnswerShortNext(20, true);
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(test::ReadFile(BackupPath()), "the printer's first logo\n");
    struct stat info {};
    EXPECT_NE(stat((BackupPath() + ".part").c_str(), &info), 0);
    EXPECT_EQ(printer->State().logo[0][0], 0xFF);  // the upload still ran
}

TEST_F(LogoTest, ARefusedAnnouncementOrRowEndsThatTransferOnly) {
    WriteLogo(LogoFile("X", 64));
    printer->AcknowledgeNextWith(0x2F, 0x15);  // the backup's first '/' is refused
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(RawBlocks().size(), 64u);  // no row requests; all uploads
    mfStop();

    printer->ClearFrames();
    printer->AcknowledgeNextWith(0x2D, 0x00);  // the first upload is not announced
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(RawBlocks().size(), 64u);  // the row requests only
    mfStop();

    printer->ClearFrames();
    SkipBackup();
    printer->AnswerGarbageNext({1}, true);  // the first uploaded row is not taken
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(RawBlocks().size(), 1u);
}

TEST_F(LogoTest, AStartAgainKeepsTheBackupOfThePrintersOwnLogo) {
    for (auto& row : printer->State().logo) row[5] = 0x0F;
    WriteLogo(LogoFile("X", 64));
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::string original = test::ReadFile(BackupPath());
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(test::ReadFile(BackupPath()), original);
    // A different logo file: the printer's logo (ours from before) is worth a backup now.
    WriteLogo(LogoFile(" X", 64));
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_NE(test::ReadFile(BackupPath()), original);
}

TEST_F(LogoTest, AFailedExchangeFailsTheStart) {
    WriteLogo(LogoFile("X", 64));
    printer->AnswerShortNext(0, true);  // the first row of the backup never comes
    EXPECT_EQ(mfStart(0, 1), -2);
    EXPECT_EQ(test::seam::DetailCode(), 514);
    EXPECT_EQ(mfError(), -1);  // the session stayed closed
    struct stat info {};
    EXPECT_NE(stat((BackupPath() + ".part").c_str(), &info), 0);

    SkipBackup();
    printer->AnswerShortNext(0, true);  // the first upload row is not answered
    EXPECT_EQ(mfStart(0, 1), -2);
    EXPECT_EQ(test::seam::DetailCode(), 514);
}

TEST_F(LogoTest, PrintersBeforeType8HaveNoLogo) {
    Load(test::Model(4));
    WriteLogo(LogoFile("X", 64));
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_TRUE(RawBlocks().empty());
}

}  // namespace
}  // namespace tarn
