// Field encoders and the answer parsers of the shared commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/shared_commands.h"

namespace tarn {
namespace {

// Exposes the encoders of the base command.
class Fields : public CRequest {
public:
    using CRequest::AppendByte;
    using CRequest::AppendInt32;
    using CRequest::AppendText;
    std::string Text() const {
        return std::string(reinterpret_cast<const char*>(Body()), Length());
    }
};

struct TextCase {
    const char* text;
    int width;
    int alignment;
    const char* expected;
};

TEST(AppendText, PadsCutsAndAligns) {
    const TextCase cases[] = {
        {"AB", 5, 1, "   AB"},    {"AB", 5, -1, "AB   "},   {"AB", 5, 0, " AB  "},
        {"AB", 6, 0, "  AB  "},   {"ABCDEFG", 3, 1, "ABC"}, {"ABCDEFG", 3, -1, "ABC"},
        {"ABCDEFG", 3, 0, "ABC"}, {"", 3, -1, "   "},       {nullptr, 2, 1, "  "},
        {"AB", 0, 1, ""},         {"AB", -4, 1, ""},        {"ABC", 3, 7, "ABC"},
    };
    for (const TextCase& c : cases) {
        Fields f;
        f.AppendText(c.text, c.width, c.alignment, ' ');
        EXPECT_EQ(f.Text(), c.expected)
            << (c.text ? c.text : "(null)") << " width " << c.width << " alignment " << c.alignment;
        EXPECT_FALSE(f.Overflowed());
    }
}

TEST(AppendText, UsesTheCallersPadByte) {
    Fields f;
    f.AppendText("7", 4, 1, '0');
    EXPECT_EQ(f.Text(), "0007");
}

TEST(AppendText, CopiesPercentSignsAndHighBytesAsPlainBytes) {
    Fields f;
    f.AppendText("%s%n\xA5\x88", 6, -1, ' ');
    EXPECT_EQ(f.Text(), "%s%n\xA5\x88");
}

TEST(BodyLimit, HoldsAtMost1023BytesAndMarksWhatDoesNotFit) {
    Fields f;
    for (int i = 0; i < 1022; ++i) f.AppendByte('x');
    f.AppendByte('y');
    EXPECT_EQ(f.Length(), 1023);
    EXPECT_FALSE(f.Overflowed());
    f.AppendByte('z');
    EXPECT_EQ(f.Length(), 1023);
    EXPECT_TRUE(f.Overflowed());
}

TEST(BodyLimit, AFieldThatDoesNotFitIsNotWrittenInPart) {
    Fields f;
    for (int i = 0; i < 1014; ++i) f.AppendByte('x');
    f.AppendText("ABCDEFGHIJ", 10, -1, ' ');
    EXPECT_EQ(f.Length(), 1014);
    EXPECT_TRUE(f.Overflowed());

    Fields g;
    for (int i = 0; i < 1013; ++i) g.AppendByte('x');
    g.AppendText("ABCDEFGHIJ", 10, -1, ' ');
    EXPECT_EQ(g.Length(), 1023);
    EXPECT_FALSE(g.Overflowed());
}

TEST(AppendInt32, WritesLeastSignificantByteFirst) {
    Fields f;
    f.AppendInt32(1234);
    f.AppendInt32(-2);
    const std::vector<uint8_t> body(f.Body(), f.Body() + f.Length());
    EXPECT_EQ(body, (std::vector<uint8_t>{0xD2, 0x04, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(CRequestStatus, SendsOneByteByIndexAndNothingAboveFive) {
    const uint8_t expected[] = {0x5B, 0x54, 0x55, 0x56, 0x5F, 0xF3};
    for (int i = 0; i < 6; ++i) {
        CRequestStatus status(i, nullptr);
        ASSERT_EQ(status.Length(), 1);
        EXPECT_EQ(status.Body()[0], expected[i]);
    }
    EXPECT_EQ(CRequestStatus(6, nullptr).Length(), 0);
    EXPECT_EQ(CRequestStatus(-1, nullptr).Length(), 0);
}

// Every parser writes its outputs from a full answer and leaves them alone, answering 514,
// when the answer is one byte short.
struct Outputs {
    int a = -7, b = -7, c = -7, d = -7, e = -7, f = -7;
    char text[16] = "untouched";
    uint8_t block[32] = {};
    int count = 26;
};

struct ParserCase {
    const char* name;
    std::vector<uint8_t> answer;
    CRequest* (*make)(Outputs&);
    void (*check)(const Outputs&);
};

TEST(Parsers, DecodeFullAnswersAndIgnoreShortOnes) {
    const ParserCase cases[] = {
        {"status",
         {0x86},
         [](Outputs& o) -> CRequest* { return new CRequestStatus(1, &o.a); },
         [](const Outputs& o) { EXPECT_EQ(o.a, 0x86); }},
        {"printer type, one byte",
         {44},
         [](Outputs& o) -> CRequest* { return new CRequestPrinterType(0xFF, &o.a, false, &o.b); },
         [](const Outputs& o) {
             EXPECT_EQ(o.a, 44);
             EXPECT_EQ(o.b, -7);
         }},
        {"printer type, two bytes",
         {124, 3},
         [](Outputs& o) -> CRequest* { return new CRequestPrinterType(0xF6, &o.a, true, &o.b); },
         [](const Outputs& o) {
             EXPECT_EQ(o.a, 124);
             EXPECT_EQ(o.b, 3);
         }},
        {"last receipt number",
         {0x2C, 0x01},
         [](Outputs& o) -> CRequest* { return new CRequestLastTicketNo(&o.a); },
         [](const Outputs& o) { EXPECT_EQ(o.a, 300); }},
        {"date",
         {1, 2, 0, 3, 0, 9, 1, 4, 5, 9},
         [](Outputs& o) -> CRequest* { return new CRequestGetDate(&o.a, &o.b, &o.c); },
         [](const Outputs& o) {
             EXPECT_EQ(o.a, 12);
             EXPECT_EQ(o.b, 3);
             EXPECT_EQ(o.c, 9);
         }},
        {"time",
         {1, 2, 0, 3, 0, 9, 1, 4, 5, 9},
         [](Outputs& o) -> CRequest* { return new CRequestGetTime(&o.a, &o.b); },
         [](const Outputs& o) {
             EXPECT_EQ(o.a, 14);
             EXPECT_EQ(o.b, 59);
         }},
        {"serial number",
         {'A', 'B', 'C', '1', '2', '3', '4', '5', '6', '7', '8'},
         [](Outputs& o) -> CRequest* { return new CRequestSerialNo(o.text); },
         [](const Outputs& o) { EXPECT_STREQ(o.text, "ABC12345678"); }},
        {"tax rates",
         {0x08, 0x98, 0x03, 0x20, 0x01, 0xF4, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF},
         [](Outputs& o) -> CRequest* {
             int* const rates[6] = {&o.a, &o.b, &o.c, &o.d, &o.e, &o.f};
             return new CRequestTaxRates(rates);
         },
         [](const Outputs& o) {
             EXPECT_EQ(o.a, 2200);
             EXPECT_EQ(o.b, 800);
             EXPECT_EQ(o.c, 500);
             EXPECT_EQ(o.d, 0);
             EXPECT_EQ(o.e, -1);
             EXPECT_EQ(o.f, -1);
         }},
        {"one byte",
         {6},
         [](Outputs& o) -> CRequest* { return new CRequestOneByte('.', &o.a); },
         [](const Outputs& o) { EXPECT_EQ(o.a, 6); }},
        {"raw block",
         {202},
         [](Outputs& o) -> CRequest* {
             static const uint8_t bytes[] = {1, 2, 3};
             return new CRequestRawBlock(bytes, 3, &o.a);
         },
         [](const Outputs& o) { EXPECT_EQ(o.a, 202); }},
    };
    for (const ParserCase& c : cases) {
        SCOPED_TRACE(c.name);
        Outputs full;
        std::unique_ptr<CRequest> request(c.make(full));
        ASSERT_EQ(request->AnswerLength(), static_cast<int>(c.answer.size()));
        EXPECT_EQ(request->ParseAnswer(c.answer.data(), static_cast<int>(c.answer.size())), 0);
        c.check(full);

        Outputs shortOf;
        std::unique_ptr<CRequest> again(c.make(shortOf));
        EXPECT_EQ(again->ParseAnswer(c.answer.data(), static_cast<int>(c.answer.size()) - 1), 514);
        EXPECT_EQ(shortOf.a, -7);
        EXPECT_EQ(shortOf.b, -7);
        EXPECT_STREQ(shortOf.text, "untouched");
    }
}

TEST(CRequestReadBlock, ReadsAsManyAsTheCountAndKeepsWhatCame) {
    uint8_t buffer[32] = {};
    int count = 26;
    CRequestReadBlock request(7, buffer, &count);
    EXPECT_EQ(request.AnswerLength(), 26);
    const uint8_t partial[] = {7, 0, 0xAA, 0x55};
    EXPECT_EQ(request.ParseAnswer(partial, 4), 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(buffer[2], 0xAA);

    int untouched = 26;
    CRequestReadBlock empty(7, buffer, &untouched);
    EXPECT_EQ(empty.ParseAnswer(partial, 0), 514);
    EXPECT_EQ(untouched, 26);
}

TEST(CRequestRawBlock, SendsTheCallersBytesUnchangedAndNothingForNoCount) {
    const uint8_t bytes[] = {0x1B, 0x00, 0xFF};
    CRequestRawBlock block(bytes, 3, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(block.Body(), block.Body() + block.Length()),
              std::vector<uint8_t>(bytes, bytes + 3));
    EXPECT_EQ(CRequestRawBlock(bytes, 0, nullptr).Length(), 0);
    EXPECT_EQ(CRequestRawBlock(bytes, -5, nullptr).Length(), 0);
    EXPECT_EQ(CRequestRawBlock(nullptr, 5, nullptr).Length(), 0);
}

}  // namespace
}  // namespace tarn
