// The logo transfer at start-up on printers from type 8: the printer's logo backed up to
// "<path>.old", then the logo file loaded row by row.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library_test.h"
#include "roll.h"
#include "seam.h"

namespace tarn::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Row = std::array<uint8_t, 24>;

// A header line, then 64 rows of 192 dots made of `pattern` repeated.
std::string LogoFile(const std::string& pattern) {
    std::string row;
    while (row.size() < 192) row += pattern;
    std::string text = "logo of the shop\n";
    for (int r = 0; r < 64; ++r) text += row.substr(0, 192) + "\n";
    return text;
}

class LogoTest : public LibraryTest {
protected:
    std::string LogoPath() const { return dir.File("logo.txt"); }
    std::string BackupPath() const { return LogoPath() + ".old"; }

    void WriteLogo(const std::string& text) {
        std::ofstream(LogoPath(), std::ios::binary) << text;
        ASSERT_EQ(mfDefConfigParam(11, 0, LogoPath().c_str()), 0);
    }
    std::vector<Bytes> RawBlocks() const {
        std::vector<Bytes> blocks;
        for (const auto& frame : printer->Frames())
            if (frame.kind == sim::FrameKind::RawBlock) blocks.push_back(frame.bytes);
        return blocks;
    }
};

TEST_F(LogoTest, BacksUpThePrintersOwnLogoThenLoadsEveryRowOfTheFileButItsFirstLine) {
    for (auto& row : printer->State().logo) row[0] = 0x81;
    WriteLogo(LogoFile("XX  "));
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::string backup = LogoFile("X      X" + std::string(184, ' ')).substr(17);
    EXPECT_EQ(ReadFile(BackupPath()), backup);
    std::vector<Bytes> blocks(128, Bytes(26, 0xCC));  // 64 row requests of the backup, 64 uploads
    for (uint8_t row = 0; row < 64; ++row) {
        blocks[row] = Bytes{row};
        blocks[64 + row][0] = row;    // the row number, its 24 bytes and their exclusive OR:
        blocks[64 + row][25] = 0x00;  // 24 equal bytes cancel out
    }
    EXPECT_EQ(RawBlocks(), blocks);
    std::vector<std::string> printed(17, "###++###++###++###++###++###++###++###++");
    printed[0] = "               NOWE LOGO";  // then a line for every 4 rows
    EXPECT_TRUE(PrintedInOrder(*printer, printed));
    mfStop();  // a start again: the printer's logo is ours, the backup of its own stays
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(ReadFile(BackupPath()), backup);
    // Another logo file, any line end, rows cut or missing: ours is worth a backup now. The
    // first line however long; row 0 one dot at the far left; row 1 beyond 192 dots, ignored;
    // row 2 small x, white; row 3 the last line, without an end.
    WriteLogo(std::string(500, 'X') + "\r\nX\r\n" + std::string(200, 'X') + "\nxxxxxxxx\r\n" +
              "        X");
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(ReadFile(BackupPath()), LogoFile("XX  ").substr(17));
    const auto& logo = printer->State().logo;
    Row black;
    black.fill(0xFF);
    EXPECT_EQ((std::vector<Row>{logo[0], logo[1], logo[2], logo[3], logo[4], logo[63]}),
              (std::vector<Row>{{0x80}, black, {}, {0, 0x80}, {}, {}}));  // white where missing
}

// Each row: printer type, logo file (0 none, 1 a logo, 2 its first line only), whether an earlier
// start left a whole backup, what goes wrong; mfStart's result, the raw blocks received, whether
// the earlier backup was replaced, what the log says. Only a whole backup keeps the printer's
// logo. A failed exchange fails the start (514, no session); anything else, a missing answer
// too, ends only the transfer it stops.
TEST_F(LogoTest, WhatGoesWrongEndsThatTransferOnly) {
    using P = sim::VirtualPrinter;
    const char* const notLoaded = "In mfStart, logo not loaded: no backup keeps the printer's logo";
    const char* const uploadStopped = "In mfStart, logo upload stopped at row 0";
    // clang-format off
    const struct { int type, logo; bool kept; void (*fault)(P&); int result, blocks, replaced;
                   const char* logged = ""; std::vector<uint8_t> failedWrite = {}; } cases[] = {
        {8, 0, false, [](P&) {}, 0, 0, 0}, {8, 2, false, [](P&) {}, 0, 64, 1},
        {8, 1, false, [](P& p) { p.AnswerShortNext(1, true); }, 0, 1, 0, notLoaded},  // a short row
        {8, 1, true, [](P& p) { p.AnswerShortNext(1, true); }, 0, 65, 0},
        {8, 1, true, [](P& p) { p.AcknowledgeNextWith(0x2F, 0x15); }, 0, 64, 0},  // no backup
        {8, 1, false, [](P& p) { p.AcknowledgeNextWith(0x2D, 0x00); }, 0, 64, 1},
        {8, 1, false, [](P& p) { p.AcknowledgeNextWith(0x2F); }, 0, 0, 0,  // '/' unanswered
         "In mfStart, logo backup stopped at row 0"},
        {8, 1, false, [](P& p) { p.AcknowledgeNextWith(0x2D); }, 0, 64, 1, uploadStopped},
        {8, 1, true,
         [](P& p) { p.AcknowledgeNextWith(0x2F, 0x15); p.AnswerGarbageNext({1}, true); }, 0, 1, 0},
        {8, 1, false, [](P& p) { p.AnswerShortNext(0, true); }, 0, 1, 0},  // an empty backup row
        {8, 1, true, [](P& p) { p.AcknowledgeNextWith(0x2F, 0x15); p.AnswerShortNext(0, true); },
         0, 1, 0, uploadStopped},  // an upload row unanswered
        {8, 1, false, [](P&) {}, -2, 64, 1, "", {0x1B, 0x2D}},  // '-' not sent: the start fails
        {4, 1, false, [](P&) {}, 0, 0, 0}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Load(Model(c.type));
        const std::string old = c.kept ? LogoFile("X").substr(17) : "the printer's first logo\n";
        std::ofstream(BackupPath()) << old;
        std::remove(LogoPath().c_str());
        ASSERT_EQ(mfDefConfigParam(11, 0, LogoPath().c_str()), 0);
        if (c.logo == 1) WriteLogo(LogoFile("X"));
        if (c.logo == 2) WriteLogo("logo of the shop\n");
        c.fault(*printer);
        if (!c.failedWrite.empty()) platform->FailWriteStarting(c.failedWrite);
        EXPECT_EQ(mfStart(0, 1), c.result);
        EXPECT_EQ(seam::DetailCode(), c.result ? 514 : 0);
        EXPECT_EQ(mfError(), c.result ? -1 : 0);  // a failed start leaves no session
        EXPECT_EQ(RawBlocks().size(), static_cast<size_t>(c.blocks));
        EXPECT_EQ(ReadFile(BackupPath()) != old, c.replaced != 0);
        EXPECT_TRUE(*c.logged == '\0' || Logged(c.logged)) << c.logged;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {  // none left
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "logo.txt" || name == "logo.txt.old" || name == "tarnel.txt");
        }
    }
    // A file name of 248 characters: its backup's, and the temporary one's, of 252.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::string name(248, 'l');
    Load(Model(8));
    std::ofstream(name) << LogoFile("X");
    ASSERT_EQ(mfDefConfigParam(11, 0, name.c_str()), 0);
    EXPECT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(ReadFile(dir.File(name + ".old")).size(), 64u * 193u);
    EXPECT_EQ(RawBlocks().size(), 128u);
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace tarn::test
