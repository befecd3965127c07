#include "regex/newline_corrector.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

TEST(CorrectNewlines, EveryLoneCrAndLfBecomesCrLf) {
    struct Case {
        std::u16string in, out;
    };
    for (const Case& c : {Case{u"a\rb\nc\r\nd", u"a\r\nb\r\nc\r\nd"}, Case{u"\n\r", u"\r\n\r\n"},
                          Case{u"no breaks", u"no breaks"}, Case{u"", u""},
                          Case{u"\r\n\r\n", u"\r\n\r\n"}, Case{u"中\n文\r", u"中\r\n文\r\n"}}) {
        EXPECT_EQ(correctNewlines(c.in), c.out);
    }
}

TEST(CorrectNewlines, AnUncompiledCorrectorLeavesTheText) {
    NewlineCorrector corrector;
    EXPECT_EQ(corrector.correct(u"a\nb"), u"a\nb");
    ASSERT_TRUE(corrector.compile());
    EXPECT_EQ(corrector.correct(u"a\nb"), u"a\r\nb");
}

}  // namespace
}  // namespace lcr
