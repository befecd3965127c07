#include "library/builtin_texts.h"

#include <string_view>
#include <vector>

#include "library/embedded_resources.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

namespace {

// The resource files end every line with LF; the program's texts join the
// lines with CR LF and have none after the last.
std::u16string joinedWithCrLf(std::string_view utf8) {
    const std::vector<std::u16string> lines = splitText(fromUtf8(utf8), u"\n");
    std::u16string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            joined += u"\r\n";
        }
        joined += lines[i];
    }
    return joined;
}

}  // namespace

std::u16string builtinExpressionListText() {
    return u"\r\n" + joinedWithCrLf(embedded::builtinExpressionsBytes());
}

std::u16string defaultUserFileText() {
    return joinedWithCrLf(embedded::defaultUserExpressionsBytes());
}

std::u16string syntaxTableText() {
    return joinedWithCrLf(embedded::syntaxTableBytes());
}

}  // namespace lcr
