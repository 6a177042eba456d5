// The field encoders of the commands at the bounds of a field and of the body.
#include <gtest/gtest.h>

#include <string>

#include "link/shared_commands.h"

namespace tarn {
namespace {

// Exposes the encoders of the base command.
class Fields : public CRequest {
public:
    using CRequest::AppendByte;
    using CRequest::AppendText;
    explicit Fields(int filled = 0) {
        for (int i = 0; i < filled; ++i) AppendByte('x');
    }
    std::string Text(const char* text, int width, int alignment) {
        AppendText(text, width, alignment, ' ');
        EXPECT_FALSE(Overflowed());
        return std::string(reinterpret_cast<const char*>(Body()), Length());
    }
};

// What the frames of the commands never show: a cut text, a null one, a field of no width.
TEST(AppendText, CutsAndFillsFieldsOfExactlyTheirWidth) {
    EXPECT_EQ(Fields().Text("ABCDEFG", 3, 1), "ABC");
    EXPECT_EQ(Fields().Text(nullptr, 2, 1), "  ");
    EXPECT_EQ(Fields().Text("AB", 0, 1), "");
    EXPECT_EQ(Fields().Text("%s%n\xA5\x88", 6, -1), "%s%n\xA5\x88");
}

// The body holds 1023 bytes; a field that does not fit is not written in part.
TEST(BodyLimit, MarksWhatDoesNotFitAndWritesNoPartOfIt) {
    Fields bytes(1022);
    bytes.AppendByte('y');
    EXPECT_FALSE(bytes.Overflowed());
    bytes.AppendByte('z');
    EXPECT_EQ(bytes.Length(), 1023);
    EXPECT_TRUE(bytes.Overflowed());
    EXPECT_EQ(Fields(1013).Text("ABCDEFGHIJ", 10, -1).size(), 1023u);
    Fields tooLong(1014);
    tooLong.AppendText("ABCDEFGHIJ", 10, -1, ' ');
    EXPECT_EQ(tooLong.Length(), 1014);
    EXPECT_TRUE(tooLong.Overflowed());
}

TEST(CRequestStatus, SendsOneByteByIndexAndNothingOutsideZeroToFive) {
    EXPECT_EQ(CRequestStatus(5, nullptr).Body()[0], 0xF3);
    EXPECT_EQ(CRequestStatus(6, nullptr).Length(), 0);
    EXPECT_EQ(CRequestStatus(-1, nullptr).Length(), 0);
}

TEST(CRequestReadBlock, AnEmptyAnswerKeepsTheCount) {
    uint8_t buffer[4] = {};
    int count = 26;
    CRequestReadBlock request(7, buffer, &count);
    EXPECT_EQ(request.AnswerLength(), 26);
    EXPECT_EQ(request.ParseAnswer(buffer, 0), 514);
    EXPECT_EQ(count, 26);
}

}  // namespace
}  // namespace tarn
