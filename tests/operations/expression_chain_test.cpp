#include "operations/expression_chain.h"

#include <gtest/gtest.h>

#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

// The bits an expression is explained with are the ones it runs with: under
// every combination of the four pattern options, a probe that each option
// changes finds the same matches through createWithOptions and through the
// engine compiled with engineOptionBits.
TEST(EngineOptionBits, AgreeWithCreateWithOptions) {
    const std::u16string pattern = u"^a . b$";
    const std::u16string texts[] = {u"a . b", u"A . B", u"x\r\na . b\r\ny", u"a\nb", u"A\nb"};
    for (int combination = 0; combination < 16; ++combination) {
        MatchOptions options;
        options.ignoreCase = (combination & 1) != 0;
        options.multiline = (combination & 2) != 0;
        options.singleLine = (combination & 4) != 0;
        options.extended = (combination & 8) != 0;
        DeelxRegexObject object;
        ASSERT_TRUE(createWithOptions(object, pattern, options));
        EngineExpression engine;
        ASSERT_TRUE(engine.compile(pattern, engineOptionBits(options)));
        for (const std::u16string& text : texts) {
            EXPECT_EQ(object.searchAll(text),
                      static_cast<std::int32_t>(engine.matchAll(text).size()))
                << "options " << combination << ", text " << toUtf8(text);
        }
    }
}

}  // namespace
}  // namespace lcr
