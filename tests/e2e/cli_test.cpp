// The tarn tool as a technician runs it, against the tarn-sim program: exit status and output.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "sim_program.h"
#include "state_file.h"
#include "test_dir.h"

namespace tarn {
namespace {

using test::CommandResult;
using test::RunCommand;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            sim_.Start({"--link", dir.File("com1")}, dir.File("sim.out"), dir.File("com1")));
    }
    CommandResult Tarn(const std::string& arguments) {
        return RunCommand("cd " + dir.Path() + " && TARN_COM1=" + dir.File("com1") + " " +
                          TARN_CLI_BINARY + " " + arguments);
    }
    std::string Roll() const { return test::ReadFile(dir.File("sim.out")); }

    test::TestDir dir;
    test::SimProgram sim_;
};

TEST_F(CliTest, EachCommandAndTheSimulatorExplainThemselves) {
    for (const char* command :
         {"demo", "identify", "status", "receipt", "daily-report", "report", "drawer", "footer",
          "cashier", "clock", "pay-in", "pay-out", "serve", "raw"}) {
        const CommandResult one = Tarn(std::string(command) + " --help");
        EXPECT_EQ(one.status, 0) << command;
        EXPECT_NE(one.output.find(std::string("usage: tarn ") + command), std::string::npos)
            << one.output;
    }
    const CommandResult sim = RunCommand(TARN_SIM_BINARY " --help");
    EXPECT_EQ(sim.status, 0);
    for (const char* option : {"--type", "--version", "--display", "--serial", "--tcp", "--quiet"})
        EXPECT_NE(sim.output.find(std::string("\n  ") + option), std::string::npos) << option;
}

// Commands in turn against one printer: each one's exit status and a text its output shows
// (or, after "roll:", the paper). A command that fails with 2 (a bad argument, a mistake
// anywhere in a receipt file: the whole file is read before the receipt opens) prints nothing;
// a bad argument shows the command's usage. Options stand anywhere.
TEST_F(CliTest, CommandsInTurn) {
    const std::string sale = "item Chleb; B; 5,49; 1\n";
    const std::string files[] = {
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one file of several lines
        "# a sale\nitem Chleb żytni; B; 5,49; 1\nitem Pomidory; B; 12,90; 1,25; kg\n"
        "void Chleb żytni; B; 5,49; 1\ndiscount Pomidory; B; 1,13\ntransaction 77\n"
        "pay Gotówka; 20,00\n",
        "item Chleb; B; cheap; 1\n",
        sale + "itme Mleko; B; 2,99; 1\n",
        sale + "discount Chleb; Z; 1,00\n",
        sale + "percent 100\n",
        sale + "transaction 7x\n",
        sale + "pay A; 1\npay B; 1\npay C; 1\npay D; 1\n",
        "",
        sale + "pay Gotówka; 5,00\n"};
    for (size_t i = 0; i < std::size(files); ++i)
        std::ofstream(dir.File(std::to_string(i) + ".txt")) << files[i];
    std::filesystem::create_directory(dir.File("folder"));
    const char* const usage = "usage: tarn";
    // clang-format off
    const struct { const char* command; int status; const char* shown; } steps[] = {
        {"1.txt", 2, "line 1: expected NAME; LETTER; PRICE; QUANTITY"},
        {"2.txt", 2, "line 2: unknown instruction \"itme\""},
        {"3.txt", 2, "line 2: expected NAME; LETTER; AMOUNT"},
        {"4.txt", 2, "line 2: expected a whole percent from 0 to 99"},
        {"5.txt", 2, "line 2: expected a transaction number"},
        {"6.txt", 2, "line 5: expected NAME; AMOUNT"},
        // Nothing sold, payments short of the total, a file not read to its end: refused.
        {"7.txt", 2, "no item line: nothing to sell"}, {"receipt /dev/null", 2, "no item line"},
        {"8.txt", 2, "the payments (5,00) do not cover the total (5,49)"},
        {"receipt folder", 2, "cannot read folder"},
        {"identify", 0, "serial number TRN26000001"}, {"identify", 0, "23,00%"},
        {"status", 0, "fiscal day closed, 0 receipts; paper in"},
        {"0.txt", 0, "roll:RESZTA                              5,00"},
        {"status --port 1", 0, ""}, {"daily-report", 0, ""},
        {"daily-report", 1, "Doba fisk. zamknięta (778)"}, {"report 1 1", 0, ""},
        {"report --summary 2000-01-01 2099-12-31", 0, ""}, {"drawer 1", 0, "drawer open"},
        {"drawer 2 --port 1", 0, ""}, {"footer \"Zapraszamy ponownie\"", 0, ""},
        {"cashier 1 7 \"Ewa Kowalska\"", 0, ""},
        {"pay-in KP/1 \"Ewa Kowalska\" Zasilenie 100,00", 0, "roll:POKWITOWANIE WPŁATY"},
        {"pay-out KW/1 \"Ewa Kowalska\" Odprowadzenie 50,00", 0, "roll:POKWITOWANIE WYPŁATY"},
        {"raw 1B 66", 0, "answer (3 bytes): 06 00 00"},
        {"nothing", 2, "no command \"nothing\""}, {"receipt no-such", 2, "cannot read no-such"},
        {"", 2, usage}, {"drawer 7", 2, usage}, {"drawer x", 2, usage}, {"drawer 1 2", 2, usage},
        {"--port x identify", 2, usage}, {"identify --port 0", 2, usage},
        {"cashier a b c", 2, usage}, {"cashier 1 7", 2, usage}, {"cashier 100 7 Ewa", 2, usage},
        {"report 1 1 --summary", 2, usage}, {"report --summary 1 1", 2, usage},
        {"report 2026-13-01 2026-12-31", 2, usage}, {"report 1", 2, usage},
        {"clock 25:00", 2, usage}, {"clock 12:5", 2, usage}, {"clock noon", 2, usage},
        {"raw 1G", 2, usage}, {"raw \"\"", 2, usage}, {"pay-in only-one", 2, usage},
        {"pay-in 1 Jan Tytul abc", 2, usage}, {"pay-out 1 Jan Tytul 5,00 extra", 2, usage},
    };
    // clang-format on
    for (const auto& step : steps) {
        const std::string command = step.command;
        const std::string before = Roll();
        const CommandResult r = Tarn(command.find(".txt") == 1 ? "receipt " + command : command);
        EXPECT_EQ(r.status, step.status) << command << "\n" << r.output;
        const bool onRoll = std::string(step.shown).rfind("roll:", 0) == 0;
        const std::string shownIn = onRoll ? Roll() : r.output;
        EXPECT_NE(shownIn.find(step.shown + (onRoll ? 5 : 0)), std::string::npos) << command << "\n"
                                                                                  << shownIn;
        if (step.status == 2) {
            EXPECT_EQ(Roll(), before) << command;
        }
    }
    const CommandResult none =
        RunCommand("TARN_COM1=" + dir.File("nothing") + " " + TARN_CLI_BINARY + " identify");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("No printer session on port 1"), std::string::npos) << none.output;
}

// Three hours away is more than the clock may move (a real clock: the minute may turn over).
TEST_F(CliTest, TheClockMovesAtMostAnHour) {
    const CommandResult status = Tarn("status");
    const size_t at = status.output.find("clock ");
    ASSERT_NE(at, std::string::npos);
    const int hour = std::atoi(status.output.substr(at + 15, 2).c_str());
    const CommandResult far = Tarn("clock " + std::to_string((hour + 3) % 24) + ":00");
    EXPECT_EQ(far.status, 1);
    EXPECT_NE(far.output.find("(771)"), std::string::npos) << far.output;
}

TEST_F(CliTest, TheDemoRunsADayAndShowsTheRoll) {
    const CommandResult r = RunCommand("cd " + dir.Path() + " && " + TARN_CLI_BINARY + " demo");
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* shown :
         {"PARAGON FISKALNY", "Chleb żytni", "POKWITOWANIE WPŁATY", "PŁATNOŚĆ KARTĄ",
          "RAPORT DOBOWY FISKALNY", "The customer display:", "SUMA"}) {
        EXPECT_NE(r.output.find(shown), std::string::npos) << shown;
    }
    EXPECT_EQ(r.output.find("  -2  "), std::string::npos) << r.output;
}

TEST_F(CliTest, TheSimulatorRemovesItsLinkWhenStopped) {
    sim_.Stop();
    EXPECT_NE(access(dir.File("com1").c_str(), F_OK), 0);
}

// tarn-sim --state keeps the day's receipts and the settings across runs; a damaged or foreign
// file, or one whose records disagree (edited by hand, its checksum made anew), is refused and
// left as it was. Through a link the file it names is kept, and one tarn-sim holds it.
TEST_F(CliTest, TheStateFileKeepsThePrinterAcrossRunsAndRefusesADamagedOne) {
    const std::string state = dir.File("printer.state");
    const auto tarn = [&](const test::SimProgram& sim, const std::string& arguments) {
        return RunCommand("cd " + dir.Path() +
                          " && TARN_COM3=tcp:127.0.0.1:" + std::to_string(sim.TcpPort()) + " " +
                          TARN_CLI_BINARY + " --port 3 " + arguments);
    };
    std::ofstream(dir.File("sale.txt")) << "item Chleb; B; 5,49; 1\npay Gotówka; 10,00\n";
    {
        test::SimProgram first;
        ASSERT_TRUE(first.Start({"--tcp", "0", "--state", state}, dir.File("first.out"), ""));
        EXPECT_EQ(tarn(first, "receipt sale.txt").status, 0);
        EXPECT_EQ(tarn(first, "cashier 2 9 Ewa").status, 0);
        EXPECT_EQ(tarn(first, "footer \"Do widzenia\"").status, 0);
    }
    test::SimProgram again;
    ASSERT_TRUE(again.Start({"--tcp", "0", "--state", state}, dir.File("again.out"), ""));
    EXPECT_EQ(tarn(again, "receipt sale.txt").status, 0);
    EXPECT_EQ(tarn(again, "daily-report").status, 0);
    again.Stop();
    const std::string roll = test::ReadFile(dir.File("again.out"));
    for (const char* kept : {"Kasa: 02 Kasjer: 09", "Do widzenia", "Paragon nr 2"})
        EXPECT_NE(roll.find(kept), std::string::npos) << kept << "\n" << roll;

    const std::string whole = test::ReadFile(state);
    std::string changed = whole;
    changed[changed.find("daily-reports 1") + 14] = '7';
    const auto edited = [&whole](void (*edit)(sim::PrinterState&)) {
        sim::PrinterState s{sim::PrinterModel{}};
        std::string error;
        EXPECT_TRUE(sim::ReadStateText(whole, &s, &error)) << error;
        edit(s);
        return sim::StateText(s);
    };
    const std::pair<std::string, const char*> refused[] = {
        {changed, "is damaged"},
        {whole.substr(0, whole.size() / 2), "is damaged"},
        {whole.substr(0, whole.find('\n', 100) + 1), "is damaged"},  // cut at a line's end
        {"", "is not a tarn-sim printer state file"},
        {"receipts-today 1\n", "is not a tarn-sim printer state file"},
        {edited([](sim::PrinterState& s) { s.dailyReports = 3; }), "records disagree"},
        {edited([](sim::PrinterState& s) { s.fiscalMemory[0].receipts = 0; }), "records disagree"},
        {edited([](sim::PrinterState& s) { s.day.sales.gross = 549; }), "records disagree"},
        {edited([](sim::PrinterState& s) { s.fiscalMemory[0].sales.tax += 1; }),
         "records disagree"}};
    for (const auto& [text, said] : refused) {
        std::ofstream(state, std::ios::binary | std::ios::trunc) << text;
        const CommandResult r =
            RunCommand("timeout 10 " TARN_SIM_BINARY " --tcp 0 --state " + state);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find(said), std::string::npos) << r.output;
        EXPECT_EQ(test::ReadFile(state), text);
    }
    // Through a link the file it names is written, the link stays, and a second tarn-sim on the
    // file, by either name, is refused while the first holds it.
    std::ofstream(state, std::ios::binary | std::ios::trunc) << whole;
    const std::string link = dir.File("link.state");
    ASSERT_EQ(symlink(state.c_str(), link.c_str()), 0);
    {
        test::SimProgram held;
        ASSERT_TRUE(held.Start({"--tcp", "0", "--state", link}, dir.File("held.out"), ""));
        for (const std::string& name : {state, link}) {
            const CommandResult r =
                RunCommand("timeout 10 " TARN_SIM_BINARY " --tcp 0 --state " + name);
            EXPECT_EQ(r.status, 1) << r.output;
            EXPECT_NE(r.output.find("is in use by another tarn-sim"), std::string::npos)
                << r.output;
        }
        EXPECT_EQ(tarn(held, "cashier 3 4 Ola").status, 0);
    }
    struct stat info {};
    EXPECT_TRUE(lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_NE(test::ReadFile(state).find("\npos 3 4\n"), std::string::npos);
    // A FIFO in its place is refused at once, not waited on; a symlink at the temporary name
    // is not written through.
    const std::string fifo = dir.File("fifo.state"), target = dir.File("target");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const CommandResult r = RunCommand("timeout 10 " TARN_SIM_BINARY " --tcp 0 --state " + fifo);
    EXPECT_EQ(r.status, 1) << r.output;
    std::ofstream(target) << "keep";
    ASSERT_EQ(symlink(target.c_str(), (dir.File("new.state") + ".tmp").c_str()), 0);
    test::SimProgram fresh;
    ASSERT_TRUE(
        fresh.Start({"--tcp", "0", "--state", dir.File("new.state")}, dir.File("f.out"), ""));
    EXPECT_EQ(test::ReadFile(target), "keep");
}

}  // namespace
}  // namespace tarn
