// Detail codes and their texts, the text table and the configuration parameters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/detail_codes.h"
#include "tarn/tarn.h"
#include "text/cp852.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class TextsTest : public test::VirtualPrinterTest {
protected:
    void Start() { ASSERT_EQ(mfStart(0, 1), 0); }
};

std::string Cp852(const char* utf8) {
    return Utf8ToCp852(utf8);
}

struct MessageCase {
    int code;
    const char* classText;
    const char* detailText;
};

TEST_F(TextsTest, ParMessageGivesTheClassAndDetailTexts) {
    Start();
    const MessageCase cases[] = {
        {0, "Wykonanie poprawne", "Wykonanie poprawne"},
        {514, "Błąd niekrytyczny", "Błąd komunikacji MF"},
        {795, "Błąd w czasie pracy", "Wykonanie poprawne"},
        {801, "Błąd w czasie pracy", "Brak danych do zrzutu"},
        {5, "Inny błąd", "Wykonanie poprawne"},
        {1024, "Wykonanie poprawne", "Wykonanie poprawne"},
        {257, "Błąd krytyczny", "Błąd fiskalny MF"},
        {259, "Błąd krytyczny", "MF niezainicjowany"},
        {518, "Błąd niekrytyczny", "Błąd inicjacji MF"},
        {769, "Błąd w czasie pracy", "Inny błąd"},
        {794, "Błąd w czasie pracy", "Niedozwolona operacja na pamięci"},
        {796, "Błąd w czasie pracy", "Log nie został poprawnie otwarty"},
        {260, "Błąd krytyczny", "Wykonanie poprawne"},
        {-1, "Wykonanie poprawne", "Wykonanie poprawne"},
    };
    for (const MessageCase& c : cases) {
        char classText[39] = "x";
        char detailText[39] = "x";
        Lib().mfErrorL = 777;
        EXPECT_EQ(mfParMessage(c.code, classText, detailText), 0);
        EXPECT_EQ(classText, Cp852(c.classText)) << c.code;
        EXPECT_EQ(detailText, Cp852(c.detailText)) << c.code;
        EXPECT_EQ(Lib().mfErrorL, 777);  // untouched with a session
    }
    EXPECT_EQ(mfParMessage(514, nullptr, nullptr), 0);
}

TEST_F(TextsTest, WithoutASessionTextsAndCodesAreRefused) {
    char text[39];
    int width = -1;
    Lib().mfErrorL = 514;
    EXPECT_EQ(mfParMessage(0, text, text), -1);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_EQ(mfParString(300, text, &width), -1);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(mfDefString(300, "x"), -1);
    Lib().mfErrorL = 514;
    EXPECT_EQ(mfError(), -1);
    EXPECT_EQ(Lib().mfErrorL, 0);
}

TEST_F(TextsTest, ErrorReportsAndKeepsTheLastDetailCode) {
    Start();
    printer->RefuseNext({0x03, 0x08, 0x00, 0x00});
    int number = 0;
    EXPECT_EQ(mfGetLastTicketNo(&number), -2);
    EXPECT_EQ(mfError(), 777);
    EXPECT_EQ(mfError(), 777);
    EXPECT_NE(LogText().find("In mfError - , mfErrorL: 777"), std::string::npos);
}

TEST_F(TextsTest, ParStringHandsOutEntriesAndTheirWidths) {
    Start();
    char buffer[40] = {};
    int width = 0;
    EXPECT_EQ(mfParString(300, buffer, &width), 0);
    EXPECT_EQ(width, 25);
    EXPECT_EQ(buffer, Cp852("RAZEM WARTOŚĆ"));
    EXPECT_EQ(mfParString(449, buffer, &width), 0);
    EXPECT_EQ(width, 38);
    EXPECT_STREQ(buffer, "Signature of cardholder");
    EXPECT_EQ(mfParString(439, buffer, &width), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(mfParString(105, nullptr, &width), -2);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_EQ(mfParString(100, nullptr, nullptr), 0);
}

TEST_F(TextsTest, DefStringReplacesCutsAndFeedsParMessage) {
    Start();
    const std::string forty(40, 'A');
    EXPECT_EQ(mfDefString(300, forty.c_str()), 0);
    char buffer[40] = {};
    int width = 0;
    mfParString(300, buffer, &width);
    EXPECT_EQ(std::string(buffer), forty.substr(0, 25));

    EXPECT_EQ(mfDefString(217, "Doba otwarta 100% %s"), 0);
    char classText[39];
    char detailText[39];
    mfParMessage(777, classText, detailText);
    EXPECT_STREQ(detailText, "Doba otwarta 100% %s");

    EXPECT_EQ(mfDefString(210, nullptr), 0);
    mfParString(210, buffer, &width);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(mfDefString(99, "x"), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_EQ(mfDefString(505, "x"), -2);
}

TEST_F(TextsTest, ReplacedTextsOutliveTheSession) {
    Start();
    mfDefString(301, "OPUST");
    mfStop();
    ASSERT_EQ(mfStart(0, 1), 0);
    char buffer[26];
    int width;
    mfParString(301, buffer, &width);
    EXPECT_STREQ(buffer, "OPUST");
}

TEST(TextTable, HasFiveRangesAndNothingElse) {
    TextTable table;
    const int widths[][2] = {{99, 0},   {100, 38}, {104, 38}, {105, 0},  {199, 0}, {200, 38},
                             {241, 38}, {242, 0},  {300, 25}, {325, 25}, {326, 0}, {400, 38},
                             {449, 38}, {450, 0},  {500, 25}, {504, 25}, {505, 0}, {-300, 0}};
    for (const auto& w : widths) EXPECT_EQ(table.MaxLength(w[0]), w[1]) << w[0];
    EXPECT_STREQ(table.Text(105), "***");
    EXPECT_EQ(std::string(table.Text(214)), Cp852("Towar nie może być zdefiniowany"));
    EXPECT_EQ(std::string(table.Text(504)), "RAZEM DO ZWROTU");
}

TEST_F(TextsTest, DefConfigParamNamesTheLogoFileOnly) {
    Lib().mfErrorL = 3;
    EXPECT_EQ(mfDefConfigParam(11, 0, "/tmp/logo.txt"), 0);  // no session needed
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_STREQ(Lib().logoPath, "/tmp/logo.txt");
    EXPECT_EQ(mfDefConfigParam(11, 0, ""), 0);
    EXPECT_EQ(mfDefConfigParam(11, 0, nullptr), 0);
    EXPECT_EQ(mfDefConfigParam(12, 0, "/other"), 0);
    EXPECT_STREQ(Lib().logoPath, "/tmp/logo.txt");
    const std::string tooLong(256, 'p');
    EXPECT_EQ(mfDefConfigParam(11, 0, tooLong.c_str()), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_STREQ(Lib().logoPath, "/tmp/logo.txt");
    const std::string longest(255, 'p');
    EXPECT_EQ(mfDefConfigParam(11, 0, longest.c_str()), 0);
    EXPECT_EQ(std::string(Lib().logoPath), longest);
    EXPECT_EQ(mfParConfigParam(), 0);
}

}  // namespace
}  // namespace tarn
