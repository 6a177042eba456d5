// Pay-in and pay-out receipts, orders, returns and mfPrVoid: the form records the printer
// receives and the open-document rules around them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::ReceiptTest;

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

class NonFiscalFormsTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        Sent();
    }
    // The form records the printer received since the last call, ESC to ESC 'Q'.
    std::vector<std::string> Forms() {
        std::vector<std::string> forms;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::Form)
                forms.emplace_back(frame.bytes.begin(), frame.bytes.end());
        }
        printer->ClearFrames();
        return forms;
    }
    void ExpectRefused(int result, int code) {
        EXPECT_EQ(result, -2);
        EXPECT_EQ(Lib().mfErrorL, code);
        EXPECT_TRUE(Sent().empty());
    }
};

TEST_F(NonFiscalFormsTest, PayInAndPayOutRecords) {
    const std::string cut25 = "Przedsiebiorstwo Handlowe";
    ASSERT_EQ(mfPrPayIn("abc", cut25.c_str(), "Zasilenie kasy", "150,00"), 0);
    ASSERT_EQ(mfPrPayOut("abc", cut25.c_str(), "Zasilenie kasy", "150,00"), 0);
    const std::vector<std::string> forms = Forms();
    ASSERT_EQ(forms.size(), 2u);
    const std::string first = "10" + Spaces(17) + "abc\n20" + cut25.substr(0, 20) + "\n";
    const std::string last = "40" + Spaces(14) + "150,00\n70\x1bQ";
    EXPECT_EQ(forms[0], "\x1bs20" + first + "30" + Spaces(6) + "Zasilenie kasy\n" + last);
    EXPECT_EQ(forms[0].size(), 1 + 99u);
    EXPECT_EQ(forms[1], "\x1bs30" + first + last);
    EXPECT_EQ(forms[1].size(), 1 + 76u);
    EXPECT_EQ(Lib().documentFlags, 0u);
}

using Print = int (*)();
const Print PayIn = [] { return mfPrPayIn("a", "b", "c", "d"); };
const Print PayOut = [] { return mfPrPayOut("a", "b", "c", "d"); };
const Print Visa = [] {
    return mfPrVISA(0, 0, "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "");
};
const Print BeginOrder = [] { return mfBgOrder("a", "b"); };
const Print BeginReturn = [] { return mfBgReturn("1", "Anna", 0); };
const Print ReturnItem = [] { return mfLineReturn("Mleko", "1", "2,99"); };

TEST_F(NonFiscalFormsTest, DocumentsAreNotOpenedOverAnother) {
    const uint32_t open[] = {MF_DOC_RECEIPT, MF_DOC_ORDER, MF_DOC_RETURN, MF_DOC_SHIFT_REPORT};
    for (const uint32_t flag : open) {
        for (const Print print : {PayIn, PayOut, Visa, BeginOrder, BeginReturn}) {
            Lib().documentFlags = flag;
            Sent();
            ExpectRefused(print(), 779);
            EXPECT_EQ(Lib().documentFlags, flag);
        }
    }
}

// The printer refuses with no paper (784); the wait for the printer that follows must not
// wipe the code. A refused return item leaves the return open for the item to come again.
TEST_F(NonFiscalFormsTest, ARefusedRecordKeepsItsCodeThroughTheWait) {
    for (const Print print : {PayIn, PayOut, Visa, ReturnItem}) {
        Lib().documentFlags = 0;
        if (print == ReturnItem) {
            ASSERT_EQ(BeginReturn(), 0);
        }
        printer->RefuseNext({0x03, 0x00, 0x02, 0x00});
        EXPECT_EQ(print(), -2);
        EXPECT_EQ(Lib().mfErrorL, 784);
        EXPECT_TRUE(Forms().empty());
    }
    EXPECT_EQ(ReturnItem(), 0);
    EXPECT_EQ(Forms().size(), 1u);
}

TEST_F(NonFiscalFormsTest, AnOrderReachesThePrinterAsOneRecord) {
    ASSERT_EQ(mfBgOrder("Jan Kowalski", "Stolik 5"), 0);
    EXPECT_TRUE(Lib().IsDocumentOpen(MF_DOC_ORDER));
    ASSERT_EQ(mfLineOrder("Pizza", "", "not printed"), 0);
    ASSERT_EQ(mfLineOrder("Kawa", "bez cukru", "x2"), 0);
    EXPECT_TRUE(Forms().empty());
    ASSERT_EQ(mfEndOrder(), 0);
    EXPECT_FALSE(Lib().IsDocumentOpen(MF_DOC_ORDER));
    const std::vector<std::string> forms = Forms();
    ASSERT_EQ(forms.size(), 1u);
    const std::string opening =
        "\x1bs70"
        "10" +
        Spaces(19) + "Stolik 5\n20" + Spaces(21) + "Jan Kowalski\n30";
    EXPECT_EQ(opening.size(), 1 + 71u);
    EXPECT_EQ(forms[0], opening + "40" + Spaces(28) + "Pizza\n70" + "40" + Spaces(29) + "Kawa\n50" +
                            Spaces(18) + "bez cukru\n60" + Spaces(31) + "x2\n70" + "90\x1bQ");
    EXPECT_EQ(Lib().mfErrorL, 0);
}

TEST_F(NonFiscalFormsTest, OrderPiecesNeedTheirOrderAndAFailedEndStillClosesIt) {
    ExpectRefused(mfLineOrder("a", "", ""), 780);
    ExpectRefused(mfEndOrder(), 780);

    platform->FailWriteStarting({0x1B, 's'});
    EXPECT_EQ(mfBgOrder("a", "b"), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(Lib().IsDocumentOpen(MF_DOC_ORDER));

    ASSERT_EQ(mfBgOrder("a", "b"), 0);
    platform->FailWriteStarting({'4', '0'});
    EXPECT_EQ(mfLineOrder("c", "", ""), -2);
    EXPECT_TRUE(Lib().IsDocumentOpen(MF_DOC_ORDER));
    platform->FailWriteStarting({'9', '0'});
    EXPECT_EQ(mfEndOrder(), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(Lib().IsDocumentOpen(MF_DOC_ORDER));
    EXPECT_NE(LogText().find("In mfEndOrder, result: -2"), std::string::npos);
}

TEST_F(NonFiscalFormsTest, PrintersWithoutTheFormsDoNothing) {
    const struct {
        int type, version;
        bool forms;
    } printers[] = {{2, 4, false}, {4, 3, false}, {4, 4, true}, {8, 2, true}, {10, 1, true}};
    for (const auto& p : printers) {
        StartOn(p.type, p.version);
        Lib().documentFlags = 0;
        Sent();
        const int orderAnswer = p.forms ? 0 : -3;
        EXPECT_EQ(mfParOrder(), orderAnswer) << p.type << "." << p.version;
        EXPECT_EQ(mfParReturn(), orderAnswer);
        int maxLines = -1;
        EXPECT_EQ(mfParMaxLinesReturn(&maxLines), 0);
        EXPECT_EQ(maxLines, p.forms ? 1 : 0);
        if (p.forms) continue;
        EXPECT_EQ(mfBgOrder("a", "b"), 1);
        Lib().documentFlags = MF_DOC_ORDER | MF_DOC_RETURN;
        EXPECT_EQ(mfLineOrder("a", "b", "c"), 1);
        EXPECT_EQ(mfEndOrder(), 1);
        EXPECT_EQ(mfLineReturn("a", "1", "2"), 1);
        EXPECT_EQ(mfEndReturn(), 1);
        EXPECT_EQ(Lib().mfErrorL, 0);
        // The document test comes first for a return.
        EXPECT_EQ(mfBgReturn("1", "Anna", 0), -2);
        EXPECT_EQ(Lib().mfErrorL, 779);
        Lib().documentFlags = 0;
        EXPECT_EQ(mfBgReturn("1", "Anna", 0), 1);
        EXPECT_TRUE(Sent().empty());
    }
    mfStop();
    EXPECT_EQ(mfParOrder(), -1);
    EXPECT_EQ(mfParMaxLinesReturn(nullptr), -1);
}

TEST_F(NonFiscalFormsTest, AReturnIsPrintedWholeByItsOneItem) {
    const std::string number = "ZW/" + std::string(30, '7');
    const std::string person = "Anna Maria Nowak-Kowalska z domu";
    ASSERT_EQ(mfBgReturn(number.c_str(), person.c_str(), 0), 0);
    EXPECT_TRUE(Sent().empty());
    ASSERT_EQ(mfLineReturn("Mleko 2%", "2 szt", "5,98"), 0);
    const std::vector<std::string> forms = Forms();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0],
              "\x1bs51"
              "10" +
                  Spaces(3) + number.substr(0, 27) + "\n20" + Spaces(22) + "Mleko 2%\n40" +
                  "2 szt = -5,98" + Spaces(17) + "\n60" + person.substr(0, 20) + "\n70\n\x1bQ");
    EXPECT_EQ(std::string(Lib().returnSlip.personName), person.substr(0, 25));

    ExpectRefused(mfLineReturn("Mleko 2%", "2 szt", "5,98"), 769);
    ASSERT_EQ(mfEndReturn(), 0);
    ExpectRefused(mfEndReturn(), 780);
    ExpectRefused(mfLineReturn("Mleko", "1", "1"), 780);
}

TEST_F(NonFiscalFormsTest, TheQuantityIsWrittenWholeAndTheTotalOnlyWhereItFits) {
    const std::string q20(20, 'q'), q26(26, 'q'), q40(40, 'q');
    const struct {
        std::string quantity;
        std::string total;
        std::string line;
    } rows[] = {
        {"1", "9,99", "1 = -9,99" + Spaces(21)},
        {q20, "1234,56", q20 + " = -"},
        {q20, "123,45", q20 + " = -123,45"},
        {q26, "", q26},
        {q40, "1,00", q40},
    };
    for (const auto& row : rows) {
        Lib().documentFlags = 0;
        ASSERT_EQ(mfBgReturn("1", "", 0), 0);
        ASSERT_EQ(mfLineReturn("", row.quantity.c_str(), row.total.c_str()), 0);
        const std::string form = Forms().at(0);
        const size_t at = form.find("\n40") + 3;
        EXPECT_EQ(form.substr(at, form.find("\n60") - at), row.line) << row.quantity;
    }
    // A quantity that does not fit the command leaves nothing sent and the return open.
    Lib().documentFlags = 0;
    ASSERT_EQ(mfBgReturn("1", "", 0), 0);
    Sent();
    ExpectRefused(mfLineReturn("", std::string(1100, 'q').c_str(), "1"), 771);
    EXPECT_EQ(mfLineReturn(nullptr, nullptr, nullptr), 0);
}

TEST_F(NonFiscalFormsTest, VoidEndsAnOrderAndDropsAReturnAndASettlement) {
    EXPECT_EQ(mfPrVoid(), 0);
    EXPECT_TRUE(Sent().empty());

    ASSERT_EQ(mfBgOrder("a", "b"), 0);
    ASSERT_EQ(mfPrVoid(), 0);
    const std::vector<std::string> forms = Forms();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0].substr(forms[0].size() - 4), "90\x1bQ");

    ASSERT_EQ(mfBgReturn("1", "Anna", 0), 0);
    ASSERT_EQ(mfBgShiftReport("1", "", "", ""), 0);
    Sent();
    ASSERT_EQ(mfPrVoid(), 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Lib().documentFlags, 0u);

    ASSERT_EQ(mfBeginTicket(-1), 0);
    Lib().mfErrorL = 9;
    EXPECT_EQ(mfPrVoid(), 0);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_TRUE(ReceiptOpen());
    mfStop();
    EXPECT_EQ(mfPrVoid(), -1);
}

}  // namespace
}  // namespace tarn
