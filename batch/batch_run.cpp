#include "batch/batch_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "fswrap/folder_files.h"
#include "operations/copy_format.h"
#include "operations/extraction.h"
#include "operations/replacement_chain.h"
#include "operations/yield_to_ui.h"
#include "regex/deelx_regex_object.h"
#include "text/gb18030.h"

namespace lcr {

namespace {

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// A file as the file system knows it, whatever path leads to it.
using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

// What both kinds of run share: the output folder, the guard that keeps every
// source unchanged, the hooks and the result.
class RunFrame {
public:
    RunFrame(const FileList& files, BatchKind kind, const BatchRunHooks& hooks)
        : m_files(files), m_hooks(hooks) {
        m_result.ran = !files.empty();
        if (!m_result.ran) {
            return;
        }
        m_result.outputFolder = batchOutputFolder(files, kind);
        m_result.outputFolderText = pathToText(m_result.outputFolder);
        std::error_code ignored;
        std::filesystem::create_directory(m_result.outputFolder, ignored);
        m_result.outputFolderReady = std::filesystem::is_directory(m_result.outputFolder, ignored);
        // Links in the output folder (or a source listed from inside it)
        // must never lead a write onto a source.
        for (const ListedFile& file : files) {
            if (const auto identity = identityOf(file.path)) {
                m_sources.insert(*identity);
            }
        }
    }

    BatchRunResult& result() { return m_result; }
    const FileList& files() const { return m_files; }

    TextFileContent read(std::size_t index, TextCharset requested) {
        TextFileContent content = ReadTextFile(m_files[index].path, requested);
        if (content.status != FileStatus::Ok) {
            m_result.problems.push_back(
                {index, BatchProblemKind::SourceUnreadable, content.status});
        }
        return content;
    }

    void started(std::size_t index) {
        if (m_hooks.fileStarted) {
            m_hooks.fileStarted(index + 1, m_files.size(), m_files[index]);
        }
    }

    bool stopRequested() {
        if (m_hooks.stopRequested && m_hooks.stopRequested()) {
            m_result.stopped = true;
        }
        return m_result.stopped;
    }

    void write(std::size_t index, std::u16string_view text, TextCharset charset) {
        if (!m_result.outputFolderReady) {
            return;
        }
        const std::filesystem::path output = m_result.outputFolder / m_files[index].path.filename();
        if (const auto identity = identityOf(output); identity && m_sources.contains(*identity)) {
            m_result.problems.push_back({index, BatchProblemKind::OutputIsASource, FileStatus::Ok});
            return;
        }
        const FileStatus status = WriteTextFile(output, text, charset);
        if (status != FileStatus::Ok) {
            m_result.problems.push_back({index, BatchProblemKind::OutputNotWritten, status});
        }
    }

    void compiled(const DeelxRegexObject& regex, std::size_t pieceIndex) {
        if (regex.compileError() && !m_result.compileError) {
            m_result.compileError = regex.compileError();
            m_result.failedPiece = pieceIndex;
        }
    }

private:
    const FileList& m_files;
    const BatchRunHooks& m_hooks;
    BatchRunResult m_result;
    std::set<FileIdentity> m_sources;
};

}  // namespace

std::u16string_view outputFolderName(BatchKind kind) {
    return kind == BatchKind::Extract ? kBatchExtractFolderName : kBatchReplaceFolderName;
}

std::filesystem::path batchOutputFolder(const FileList& files, BatchKind kind) {
    if (files.empty()) {
        return {};
    }
    return files.front().path.parent_path() / toUtf8(outputFolderName(kind));
}

std::u16string FolderOfPath(std::u16string_view path) {
    const std::size_t slash = path.rfind(u'/');
    if (slash == std::u16string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return u"/";
    }
    return std::u16string(path.substr(0, slash));
}

std::u16string FileNameOfPath(std::u16string_view path) {
    const std::size_t slash = path.rfind(u'/');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string progressCaption(std::size_t i, std::size_t n, std::u16string_view name) {
    return u"总 " + decimal(n) + u" 个文件，正处理第 " + decimal(i) + u" 个文件：" +
           std::u16string(name);
}

std::u16string completionQuestion(BatchKind kind, std::u16string_view outputFolderText) {
    const std::u16string_view first = kind == BatchKind::Extract
                                          ? u"批量提取完毕！文件输出在这个文件夹 >> \r\n"
                                          : u"批量替换完毕！文件输出在这个文件夹 >> \r\n";
    return std::u16string(first) + std::u16string(outputFolderText) + u"\r\n\r\n是否立即打开？";
}

BatchRunResult BatchExtract(const FileList& files, const BatchExtractInput& input,
                            const BatchRunHooks& hooks) {
    RunFrame run(files, BatchKind::Extract, hooks);
    if (files.empty()) {
        return std::move(run.result());
    }
    const CopyFormat format(input.copyFormat.empty() ? std::u16string_view(u"#0")
                                                     : std::u16string_view(input.copyFormat));
    struct Compiled {
        ExtractionPiece piece;
        std::shared_ptr<DeelxRegexObject> regex;
    };
    std::vector<Compiled> expressions;
    for (ExtractionPiece& piece : extractionPieces(input.chain)) {
        auto regex = std::make_shared<DeelxRegexObject>();
        createWithOptions(*regex, piece.expression, input.options);
        run.compiled(*regex, piece.pieceIndex);
        expressions.push_back({std::move(piece), std::move(regex)});
    }

    std::u16string lines;
    std::vector<std::u16string_view> groups;
    for (std::size_t i = 0; i < files.size(); ++i) {
        TextFileContent source = run.read(i, input.requested);
        const auto text = std::make_shared<const std::u16string>(
            input.options.correctNewlines ? prepareSource(source.text, input.options)
                                          : std::move(source.text));
        run.started(i);
        yieldToUi();
        lines.clear();
        for (const Compiled& e : expressions) {
            e.regex->searchAll(text);
            const ExpressionMatches matches{e.piece.expression, e.piece.pieceIndex, e.regex};
            run.result().incomplete = run.result().incomplete || matches.incomplete();
            const int count = matches.matchCount();
            groups.resize(static_cast<std::size_t>(std::max(matches.groupCount(), 0)));
            for (int k = 1; k <= count; ++k) {
                for (std::size_t g = 0; g < groups.size(); ++g) {
                    groups[g] = matches.groupText(k, static_cast<int>(g) + 1);
                }
                format.appendRow({static_cast<std::size_t>(k), matches.matchText(k), groups},
                                 lines);
                lines += u"\r\n";
                yieldToUi();
            }
            if (run.stopRequested()) {
                break;
            }
        }
        // Program text, whatever the source's charset: GB18030, no mark.
        run.write(i, lines, TextCharset::Gbk);
        ++run.result().filesDone;
        yieldToUi();
        if (run.stopRequested()) {
            break;
        }
    }
    // The kept matches point into the last file's text; let both go now.
    expressions.clear();
    return std::move(run.result());
}

BatchRunResult BatchReplace(const FileList& files, const BatchReplaceInput& input,
                            const BatchRunHooks& hooks) {
    RunFrame run(files, BatchKind::Replace, hooks);
    if (files.empty()) {
        return std::move(run.result());
    }
    const std::vector<ReplacementStep> steps = replacementSteps(input.chain, input.replacements);
    std::vector<DeelxRegexObject> expressions(steps.size());
    for (std::size_t j = 0; j < steps.size(); ++j) {
        createWithOptions(expressions[j], steps[j].expression, input.options);
        run.compiled(expressions[j], steps[j].pieceIndex);
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        TextFileContent source = run.read(i, input.requested);
        std::u16string text = input.options.correctNewlines
                                  ? prepareSource(source.text, input.options)
                                  : std::move(source.text);
        run.started(i);
        for (std::size_t j = 0; j < steps.size(); ++j) {
            // Without a count, 替换全部 (kept by create) decides between every
            // match and the first one.
            text = expressions[j].replace(text, steps[j].replacement);
            run.result().incomplete = run.result().incomplete || expressions[j].lastRunIncomplete();
            yieldToUi();
        }
        // The source's own charset; a source that could not be read was
        // taken as empty text and gives an empty file.
        run.write(i, text, source.status == FileStatus::Ok ? source.charset : TextCharset::Gbk);
        ++run.result().filesDone;
        if (run.stopRequested()) {
            break;
        }
        yieldToUi();
    }
    return std::move(run.result());
}

}  // namespace lcr
