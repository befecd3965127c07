// Every ready-made expression the program ships compiles on the engine, with
// the options they are most often used with and with every option off.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

std::vector<std::string> expressionsOf(const std::string& file) {
    std::ifstream in(std::string(LCR_RESOURCES_DIR) + "/" + file);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        const auto sep = line.find("::");
        if (sep == std::string::npos) {
            continue;  // comments, blank lines and section headers
        }
        const std::string expressions = line.substr(sep + 2);
        // A line may hold a chain of expressions separated by <#lc#>.
        std::size_t from = 0;
        for (;;) {
            const auto next = expressions.find("<#lc#>", from);
            out.push_back(expressions.substr(from, next - from));
            if (next == std::string::npos) {
                break;
            }
            from = next + 6;
        }
    }
    return out;
}

TEST(LibraryExpressions, AllCompile) {
    std::size_t checked = 0;
    for (const char* file : {"default_user_expressions.txt", "builtin_expressions.txt"}) {
        for (const std::string& expression : expressionsOf(file)) {
            if (expression.empty()) {
                continue;
            }
            for (int options : {0, kIgnoreCase | kMultiline, kSingleLine | kExtended}) {
                EngineExpression e;
                EXPECT_TRUE(e.compile(fromUtf8(expression), options))
                    << file << ": " << expression << " -> "
                    << (e.error() ? toUtf8(e.error()->engineMessage) : std::string());
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 45u);  // the files were found and read
}

}  // namespace
}  // namespace lcr
