#include "cli/explain_command.h"

#include <iostream>

#include "library/pattern_words.h"
#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr::cli {

int runExplain(const std::vector<std::string>& args) {
    int options = 0;
    std::string chain;
    bool haveChain = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-i") {
            options |= kIgnoreCase;
        } else if (arg == "-m") {
            options |= kMultiline;
        } else if (arg == "-s") {
            options |= kSingleLine;
        } else if (arg == "-x") {
            options |= kExtended;
        } else if (arg == "-e" && i + 1 < args.size()) {
            chain = args[++i];
            haveChain = true;
        } else {
            std::cerr << "lcregular-cli: 无法识别的参数 / unexpected argument: " << arg << "\n"
                      << "用法 / usage: lcregular-cli explain [-i] [-m] [-s] [-x] -e CHAIN\n";
            return 2;
        }
    }
    if (!haveChain) {
        std::cerr << "lcregular-cli: explain 需要 -e 表达式 / explain needs -e CHAIN\n";
        return 2;
    }
    std::cout << toUtf8(explanationText(fromUtf8(chain), options));
    return 0;
}

}  // namespace lcr::cli
