#include "batch/run_summary.h"

#include <algorithm>

#include "text/gb18030.h"

namespace lcr {

namespace {

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string codePoint(char32_t c) {
    static const char digits[] = "0123456789ABCDEF";
    std::u16string hex;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) {
        hex += static_cast<char16_t>(digits[(c >> shift) & 0xF]);
    }
    return u"U+" + hex;
}

std::u16string characterText(char32_t c) {
    if (c >= 0xD800 && c < 0xE000) {
        return {};  // a lone surrogate shows as nothing but its number
    }
    if (c > 0xFFFF) {
        c -= 0x10000;
        return {static_cast<char16_t>(0xD800 + (c >> 10)),
                static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    }
    return std::u16string(1, static_cast<char16_t>(c));
}

std::u16string charsetText(TextCharset charset) {
    const std::string_view name = converterName(charset);
    return name.empty() ? std::u16string(u"GBK") : std::u16string(name.begin(), name.end());
}

std::u16string reason(const BatchProblem& problem) {
    switch (problem.kind) {
        case BatchProblemKind::Binary:
            return u"含有零字节，不是文本文件";
        case BatchProblemKind::NotExact:
            return u"有不合编码的字节，写回会改变它们";
        case BatchProblemKind::ListedTwice:
            return u"在列表中重复出现，只处理一次";
        case BatchProblemKind::SourceUnreadable:
            return u"无法读取（" + std::u16string(fileStatusText(problem.status)) + u"）";
        case BatchProblemKind::NoOutputFolder:
            return u"无法建立输出文件夹";
        case BatchProblemKind::OutputNotWritten:
            return u"无法写入结果文件（" + std::u16string(fileStatusText(problem.status)) + u"）";
        case BatchProblemKind::OutputIsASource:
            return u"结果文件会覆盖源文件，未写入";
        case BatchProblemKind::OutputTaken:
            return u"另一个同名源文件已写入同一结果文件，未写入";
        case BatchProblemKind::Unrepresentable: {
            const UnrepresentableCharacter c =
                problem.character.value_or(UnrepresentableCharacter{});
            return u"第 " + decimal(c.line) + u" 行的字符“" + characterText(c.character) + u"”（" +
                   codePoint(c.character) + u"）无法以 " + charsetText(problem.charset) +
                   u" 编码保存，未写入";
        }
    }
    return {};
}

}  // namespace

bool isSkip(BatchProblemKind kind) {
    return kind == BatchProblemKind::Binary || kind == BatchProblemKind::NotExact ||
           kind == BatchProblemKind::ListedTwice;
}

std::size_t BatchRunSummary::skipped() const {
    return static_cast<std::size_t>(std::count_if(
        problems.begin(), problems.end(), [](const BatchProblem& p) { return isSkip(p.kind); }));
}

std::size_t BatchRunSummary::failed() const {
    return problems.size() - skipped();
}

std::u16string summaryHeadline(const BatchRunSummary& summary) {
    if (summary.stopped) {
        return u"已停止：完成 " + decimal(summary.handled) + u" / " + decimal(summary.total) +
               u" 个文件";
    }
    return u"已完成 " + decimal(summary.total) + u" 个文件";
}

std::u16string summaryCounts(const BatchRunSummary& summary) {
    return u"成功 " + decimal(summary.done) + u"，跳过 " + decimal(summary.skipped()) + u"，失败 " +
           decimal(summary.failed());
}

std::u16string completionReport(const BatchRunSummary& summary, const FileList& files,
                                std::u16string_view outputFolderText, std::size_t maxProblemLines) {
    std::u16string text = summaryHeadline(summary) + u"（" + summaryCounts(summary) + u"）\r\n";
    const std::vector<std::u16string> lines = summaryProblemLines(summary, files);
    for (std::size_t i = 0; i < lines.size() && i < maxProblemLines; ++i) {
        text += lines[i] + u"\r\n";
    }
    if (lines.size() > maxProblemLines) {
        text += u"……还有 " + decimal(lines.size() - maxProblemLines) + u" 项\r\n";
    }
    return text + u"\r\n文件输出在这个文件夹 >> \r\n" + std::u16string(outputFolderText);
}

std::u16string completionQuestion(const BatchRunSummary& summary, const FileList& files,
                                  std::u16string_view outputFolderText,
                                  std::size_t maxProblemLines) {
    return completionReport(summary, files, outputFolderText, maxProblemLines) +
           u"\r\n\r\n是否立即打开？";
}

std::vector<std::u16string> summaryProblemLines(const BatchRunSummary& summary,
                                                const FileList& files) {
    auto name = [&files](std::size_t index) {
        return index < files.size() ? files[index].text : std::u16string();
    };
    std::vector<std::u16string> lines;
    for (const bool skips : {true, false}) {
        for (const BatchProblem& problem : summary.problems) {
            if (isSkip(problem.kind) == skips) {
                lines.push_back((skips ? u"跳过 " : u"失败 ") + name(problem.fileIndex) + u"：" +
                                reason(problem));
            }
        }
    }
    for (const ExpressionProblem& e : summary.expressionErrors) {
        std::u16string line = u"表达式 " + decimal(e.pieceIndex + 1) + u" 有误（第 " +
                              decimal(e.error.offset + 1) + u" 个字符处）：" + e.error.message;
        if (!e.error.engineMessage.empty()) {
            line += u"（" + e.error.engineMessage + u"）";
        }
        lines.push_back(std::move(line));
    }
    for (const std::size_t index : summary.incompleteFiles) {
        const bool timedOut = std::find(summary.timedOutFiles.begin(), summary.timedOutFiles.end(),
                                        index) != summary.timedOutFiles.end();
        lines.push_back(u"搜索不完整 " + name(index) +
                        (timedOut ? u"：超出了时间限制，结果可能不全"
                                  : u"：超出了引擎的回溯限制，结果可能不全"));
    }
    return lines;
}

}  // namespace lcr
