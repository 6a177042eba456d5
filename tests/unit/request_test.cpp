// Field encoders of the commands, and the block reader of the logo backup.
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

}  // namespace
}  // namespace tarn
