// Until the main window exists, the program shows what its engine does.
#include <cstdio>

#include "regex/deelx_regex_object.h"
#include "text/gb18030.h"

int main() {
    std::printf("岚川·正则表达式助手(LCRegular) v1.6.3.1  基于Deelx正则引擎\n");
    std::printf("The main window is not built yet; the engine is:\n");
    lcr::DeelxRegexObject re;
    const std::u16string text = u"订单 2024-05-17 与 2025-01-02";
    re.create(u"(\\d{4})-(\\d{2})-(\\d{2})");
    const int n = re.searchAll(text);
    for (int k = 1; k <= n; ++k) {
        std::printf("  %d: %s  年=%s 月=%s 日=%s\n", k, lcr::toUtf8(re.matchText(k)).c_str(),
                    lcr::toUtf8(re.subMatchText(k, 1)).c_str(),
                    lcr::toUtf8(re.subMatchText(k, 2)).c_str(),
                    lcr::toUtf8(re.subMatchText(k, 3)).c_str());
    }
    return 0;
}
