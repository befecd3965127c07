#include "batch/batch_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "fswrap/folder_files.h"
#include "fswrap/whole_file.h"
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

// What both kinds of run share: the output folders, the guards that keep
// every source unchanged and every output to one source, the hooks and the
// summary.
class RunFrame {
public:
    RunFrame(const FileList& files, BatchKind kind, const BatchRunHooks& hooks)
        : m_files(files), m_kind(kind), m_hooks(hooks) {
        m_result.ran = !files.empty();
        m_result.summary.total = files.size();
        if (!m_result.ran) {
            return;
        }
        for (const ListedFile& file : files) {
            // Links in an output folder (or a source listed from inside it)
            // must never lead a write onto a source.
            if (const auto identity = identityOf(file.path)) {
                m_sources.insert(*identity);
            }
            outputFolderOf(file);
        }
        m_result.outputFolder = m_result.outputFolders.front();
        m_result.outputFolderText = pathToText(m_result.outputFolder);
    }

    BatchRunResult& result() { return m_result; }
    BatchRunSummary& summary() { return m_result.summary; }

    // Reads the source; nothing (and the file counted as handled) when it
    // is not to be processed.
    std::optional<TextFileContent> read(std::size_t index, TextCharset requested,
                                        bool mustBeExact) {
        ++m_result.summary.handled;
        TextFileContent content = ReadTextFile(m_files[index].path, requested);
        if (content.status != FileStatus::Ok) {
            problem(index, BatchProblemKind::SourceUnreadable, content.status);
            return std::nullopt;
        }
        if (content.binary) {
            problem(index, BatchProblemKind::Binary);
            return std::nullopt;
        }
        if (mustBeExact && !content.exact) {
            problem(index, BatchProblemKind::NotExact);
            return std::nullopt;
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
            m_result.summary.stopped = true;
        }
        return m_result.summary.stopped;
    }

    void searched(std::size_t index, bool incomplete, bool timedOut) {
        const auto note = [index](std::vector<std::size_t>& files) {
            if (files.empty() || files.back() != index) {
                files.push_back(index);
            }
        };
        if (incomplete || timedOut) {
            note(m_result.summary.incompleteFiles);
        }
        if (timedOut) {
            note(m_result.summary.timedOutFiles);
        }
    }

    void write(std::size_t index, std::u16string_view text, TextCharset charset, bool withMark) {
        const ListedFile& source = m_files[index];
        const OutputFolder& folder = outputFolderOf(source);
        if (!folder.ready) {
            problem(index, BatchProblemKind::NoOutputFolder);
            return;
        }
        const std::filesystem::path output = folder.path / source.path.filename();
        if (const auto identity = identityOf(output); identity && m_sources.contains(*identity)) {
            problem(index, BatchProblemKind::OutputIsASource);
            return;
        }
        // The same output twice: the same source listed again, or two sources
        // whose output folders are one folder by two paths.
        const std::optional<FileIdentity> sourceIdentity = identityOf(source.path);
        std::error_code ignored;
        const std::filesystem::path key = std::filesystem::weakly_canonical(output, ignored);
        if (const auto earlier = m_outputs.find(key); earlier != m_outputs.end()) {
            problem(index, sourceIdentity && earlier->second == *sourceIdentity
                               ? BatchProblemKind::ListedTwice
                               : BatchProblemKind::OutputTaken);
            return;
        }
        EncodedText encoded;
        try {
            encoded = encodeFileBytes(text, charset, withMark);
        } catch (const std::exception&) {  // std::bad_alloc, std::length_error
            problem(index, BatchProblemKind::OutputNotWritten, FileStatus::TooLarge);
            return;
        }
        if (encoded.unrepresentable) {
            m_result.summary.problems.push_back({index, BatchProblemKind::Unrepresentable,
                                                 FileStatus::Ok, encoded.unrepresentable, charset});
            return;
        }
        m_outputs.emplace(key, sourceIdentity.value_or(FileIdentity{}));
        // Done or failed when its write is committed (`written`).
        m_writes.write(output, encoded.bytes, index);
    }

    // Commits the outputs still pending and gives the result, its problems
    // in the order of the list.
    BatchRunResult finish() {
        m_writes.commit();
        std::stable_sort(
            m_result.summary.problems.begin(), m_result.summary.problems.end(),
            [](const BatchProblem& a, const BatchProblem& b) { return a.fileIndex < b.fileIndex; });
        return std::move(m_result);
    }

    void compiled(const DeelxRegexObject& regex, std::size_t pieceIndex) {
        if (regex.compileError()) {
            m_result.summary.expressionErrors.push_back({pieceIndex, *regex.compileError()});
        }
    }

private:
    struct OutputFolder {
        std::filesystem::path path;
        bool ready = false;
    };

    const OutputFolder& outputFolderOf(const ListedFile& file) {
        // One folder by two paths ("in" and "in/.") is one folder.
        std::error_code error;
        std::filesystem::path sourceFolder = std::filesystem::weakly_canonical(
            file.path.parent_path().empty() ? "." : file.path.parent_path(), error);
        if (error) {
            sourceFolder = file.path.parent_path().lexically_normal();
        }
        auto found = m_folders.find(sourceFolder);
        if (found == m_folders.end()) {
            OutputFolder folder;
            folder.path = batchOutputFolder(file.path.parent_path(), m_kind);
            std::error_code ignored;
            std::filesystem::create_directory(folder.path, ignored);
            folder.ready = std::filesystem::is_directory(folder.path, ignored);
            m_result.outputFolders.push_back(folder.path);
            found = m_folders.emplace(sourceFolder, std::move(folder)).first;
        }
        return found->second;
    }

    void written(std::size_t index, FileStatus status) {
        if (status == FileStatus::Ok) {
            ++m_result.summary.done;
        } else {
            problem(index, BatchProblemKind::OutputNotWritten, status);
        }
    }

    void problem(std::size_t index, BatchProblemKind kind, FileStatus status = FileStatus::Ok) {
        m_result.summary.problems.push_back(
            {index, kind, status, std::nullopt, TextCharset::Detect});
    }

    const FileList& m_files;
    BatchKind m_kind;
    const BatchRunHooks& m_hooks;
    BatchRunResult m_result;
    std::set<FileIdentity> m_sources;
    std::map<std::filesystem::path, OutputFolder> m_folders;
    std::map<std::filesystem::path, FileIdentity> m_outputs;
    // Every output is synced to the disk before it takes its name; a group
    // of outputs is synced at a time, which costs about what one costs.
    AtomicWriteBatch m_writes{
        [this](std::size_t index, FileStatus status) { written(index, status); }};
};

}  // namespace

ExtractOutputCharset extractOutputCharsetAt(int position) {
    switch (position) {
        case 1:
            return ExtractOutputCharset::Utf8;
        case 2:
            return ExtractOutputCharset::Source;
        default:
            return ExtractOutputCharset::Gbk;
    }
}

std::u16string_view outputFolderName(BatchKind kind) {
    return kind == BatchKind::Extract ? kBatchExtractFolderName : kBatchReplaceFolderName;
}

std::filesystem::path batchOutputFolder(const std::filesystem::path& sourceFolder, BatchKind kind) {
    return sourceFolder / toUtf8(outputFolderName(kind));
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

namespace {

// When the matching of one file has to end.
class FileDeadline {
public:
    explicit FileDeadline(const FileTimeBudget& budget)
        : m_end(budget ? std::optional(std::chrono::steady_clock::now() + *budget) : std::nullopt) {
    }
    bool passed() const { return m_end && std::chrono::steady_clock::now() >= *m_end; }

private:
    std::optional<std::chrono::steady_clock::time_point> m_end;
};

}  // namespace

BatchRunResult BatchExtract(const FileList& files, const BatchExtractInput& input,
                            const BatchRunHooks& hooks) {
    RunFrame run(files, BatchKind::Extract, hooks);
    if (files.empty()) {
        return run.finish();
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
        std::optional<TextFileContent> source = run.read(i, input.requested, false);
        if (!source) {
            yieldToUi();
            if (run.stopRequested()) {
                break;
            }
            continue;
        }
        const auto text = std::make_shared<const std::u16string>(
            input.options.correctNewlines ? prepareSource(source->text, input.options)
                                          : std::move(source->text));
        run.started(i);
        yieldToUi();
        lines.clear();
        const FileDeadline deadline(input.timeBudget);
        for (const Compiled& e : expressions) {
            if (deadline.passed()) {
                run.searched(i, true, true);
                break;
            }
            e.regex->searchAll(text);
            const ExpressionMatches matches{e.piece.expression, e.piece.pieceIndex, e.regex};
            run.searched(i, matches.incomplete(), matches.timedOut());
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
        switch (input.outputCharset) {
            case ExtractOutputCharset::Gbk:
                run.write(i, lines, TextCharset::Gbk, false);
                break;
            case ExtractOutputCharset::Utf8:
                run.write(i, lines, TextCharset::Utf8, false);
                break;
            case ExtractOutputCharset::Source:
                run.write(i, lines, source->charset, source->hasMark);
                break;
        }
        yieldToUi();
        if (run.stopRequested()) {
            break;
        }
    }
    // The kept matches point into the last file's text; let both go now.
    expressions.clear();
    return run.finish();
}

BatchRunResult BatchReplace(const FileList& files, const BatchReplaceInput& input,
                            const BatchRunHooks& hooks) {
    RunFrame run(files, BatchKind::Replace, hooks);
    if (files.empty()) {
        return run.finish();
    }
    const std::vector<ReplacementStep> steps = replacementSteps(input.chain, input.replacements);
    std::vector<DeelxRegexObject> expressions(steps.size());
    for (std::size_t j = 0; j < steps.size(); ++j) {
        createWithOptions(expressions[j], steps[j].expression, input.options);
        run.compiled(expressions[j], steps[j].pieceIndex);
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        // A text that would not come back as the same bytes is not written:
        // the output would differ from its source beyond the replacements.
        std::optional<TextFileContent> source = run.read(i, input.requested, true);
        if (!source) {
            if (run.stopRequested()) {
                break;
            }
            yieldToUi();
            continue;
        }
        std::u16string text = input.options.correctNewlines
                                  ? prepareSource(source->text, input.options)
                                  : std::move(source->text);
        run.started(i);
        const FileDeadline deadline(input.timeBudget);
        for (std::size_t j = 0; j < steps.size(); ++j) {
            if (deadline.passed()) {
                run.searched(i, true, true);
                break;
            }
            // Without a count, 替换全部 (kept by create) decides between every
            // match and the first one.
            const StepOutcome outcome = replaceInPlace(expressions[j], text, steps[j].replacement);
            run.searched(i, outcome.incomplete, outcome.timedOut);
            yieldToUi();
        }
        run.write(i, text, source->charset, source->hasMark);
        if (run.stopRequested()) {
            break;
        }
        yieldToUi();
    }
    return run.finish();
}

}  // namespace lcr
