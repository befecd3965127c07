#include "config/config_store.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "config/document_bytes.h"
#include "config/document_file.h"
#include "config/registry_stand_in.h"
#include "text/gb18030.h"

namespace lcr {

namespace bytes = document_bytes;

namespace {

constexpr std::string_view kLineBreak = "\r\n";
// How often writeValue appends a header it then cannot find before it gives
// up with the warning.
constexpr int kMaxHeaderAppends = 10;

std::string headerOf(std::string_view section) {
    std::string header = "[";
    header += section;
    header += "]";
    return header;
}

bool contains(std::string_view line, std::string_view filter) {
    return line.find(filter) != std::string_view::npos;
}

// Passes an include/exclude pair of filters (an empty one does not filter).
bool passes(std::string_view line, std::string_view include, std::string_view exclude) {
    return (include.empty() || contains(line, include)) &&
           (exclude.empty() || !contains(line, exclude));
}

// The name of a header line "[" name "]" ...; nothing for other lines.
std::optional<std::string_view> headerName(std::string_view line) {
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = bytes::find(line, "]", 1, true);
    if (close == bytes::npos) {
        return std::nullopt;
    }
    return line.substr(1, close - 1);
}

void addOnce(std::vector<std::string>& names, std::string_view name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.emplace_back(name);
    }
}

std::u16string pathText(const std::filesystem::path& path) {
    return fromUtf8(path.string());
}

}  // namespace

// Where an entry lies in the document: CR LF key "=" value, positions from 0,
// `valueEnd` exclusive (the CR of the next line break, or the end).
struct ConfigStore::Entry {
    std::size_t keyStart;
    std::size_t valueStart;
    std::size_t valueEnd;
};

ConfigStore::ConfigStore() {
    setSection(u"");
}

ConfigStore::~ConfigStore() {
    close();
}

void ConfigStore::setEventPump(std::function<void()> pump) {
    m_pump = std::move(pump);
}

void ConfigStore::pumpEvents() const {
    if (m_pump) {
        m_pump();
    }
}

void ConfigStore::setMessageHandler(std::function<void(const StoreMessage&)> handler) {
    m_messages = std::move(handler);
}

// --- Storage ----------------------------------------------------------------

bool ConfigStore::load(const std::filesystem::path& path, StorageKind kind) {
    m_loadPath = path;
    m_storageKind = kind;
    m_memoryByteBlocks.clear();
    setSection(m_currentSection);  // the prefix follows the new base name
    if (kind == StorageKind::Registry) {
        return true;
    }
    return openDocument(m_loadPath, kind == StorageKind::Memory);
}

std::optional<std::filesystem::path> ConfigStore::byteBlockPath(std::u16string_view key) const {
    if (m_loadPath.empty()) {
        return std::nullopt;  // never loaded: no folder to keep blocks in
    }
    // The file name is made of section and key; neither may lead it out of
    // the folder inibin.
    for (std::u16string_view part : {std::u16string_view(m_currentSection), key}) {
        if (part.find_first_of(std::u16string_view(u"/\0", 2)) != std::u16string_view::npos) {
            return std::nullopt;
        }
    }
    std::u16string name = m_currentSection;
    name += u"-";
    name += key;
    name += u".ibn";
    // A load path without a folder puts inibin in the current folder.
    return m_loadPath.parent_path() / "inibin" / toUtf8(name);
}

std::string ConfigStore::readBytes(std::u16string_view key, std::string_view defaultBytes) const {
    const std::optional<std::filesystem::path> path = byteBlockPath(key);
    if (!path) {
        return std::string(defaultBytes);
    }
    if (const auto it = m_memoryByteBlocks.find(*path); it != m_memoryByteBlocks.end()) {
        return it->second.empty() ? std::string(defaultBytes) : it->second;
    }
    std::optional<std::string> block = readRegularFile(*path);
    if (!block || block->empty()) {
        return std::string(defaultBytes);
    }
    return std::move(*block);
}

bool ConfigStore::writeBytes(std::u16string_view key, std::string_view blockBytes) {
    const std::optional<std::filesystem::path> path = byteBlockPath(key);
    if (!path) {
        return false;
    }
    if (m_storageKind == StorageKind::File && !m_file) {
        // The INI file is not ours (another copy holds it, or it could not
        // be opened): like the document, the byte blocks stay in memory.
        m_memoryByteBlocks[*path] = std::string(blockBytes);
        return false;
    }
    std::error_code error;
    std::filesystem::create_directory(path->parent_path(), error);
    return writeFileAtomically(*path, blockBytes) == FileStatus::Ok;
}

std::filesystem::path ConfigStore::registryFile() const {
    return m_loadPath.parent_path() / "岚川软件.registry";
}

// --- Typed values -------------------------------------------------------------

std::u16string ConfigStore::setSection(std::u16string_view name) {
    m_currentSection = name;
    std::u16string base = pathText(m_loadPath.filename());
    if (const std::size_t dot = base.rfind(u'.'); dot != std::u16string::npos) {
        base.resize(dot);
    }
    m_registryPrefix = u"岚川软件\\" + base + u"\\" + m_currentSection + u"\\";
    return m_registryPrefix;
}

bool ConfigStore::writeStored(std::u16string_view key, std::u16string_view stored) {
    if (m_storageKind == StorageKind::Registry) {
        return RegistryStandIn(registryFile())
            .write(m_registryPrefix + std::u16string(key), stored);
    }
    return writeValue(encodeGb18030(m_currentSection), encodeGb18030(key), encodeGb18030(stored)) ==
           ChangeResult::Done;
}

std::u16string ConfigStore::readStored(std::u16string_view key, std::u16string_view storedDefault) {
    if (m_storageKind == StorageKind::Registry) {
        return RegistryStandIn(registryFile())
            .read(m_registryPrefix + std::u16string(key))
            .value_or(std::u16string(storedDefault));
    }
    return decodeGb18030(readValue(encodeGb18030(m_currentSection), encodeGb18030(key),
                                   encodeGb18030(storedDefault), false));
}

bool ConfigStore::writeText(std::u16string_view key, std::u16string_view text) {
    return writeStored(key, toStoredText(text));
}

std::u16string ConfigStore::readText(std::u16string_view key, std::u16string_view defaultValue) {
    return fromStoredText(readStored(key, toStoredText(defaultValue)));
}

bool ConfigStore::writeNumber(std::u16string_view key, double value) {
    return writeStored(key, formatStoredNumber(value));
}

double ConfigStore::readNumber(std::u16string_view key, double defaultValue) {
    return parseStoredNumber(readStored(key, formatStoredNumber(defaultValue)));
}

bool ConfigStore::writeBool(std::u16string_view key, bool value) {
    return writeStored(key, formatStoredBool(value));
}

bool ConfigStore::readBool(std::u16string_view key, bool defaultValue) {
    return parseStoredBool(readStored(key, formatStoredBool(defaultValue)));
}

bool ConfigStore::readBoolLenient(std::u16string_view key, bool defaultValue) {
    return parseStoredBoolLenient(readStored(key, formatStoredBool(defaultValue)));
}

bool ConfigStore::writeDateTime(std::u16string_view key, DateTime value) {
    return writeStored(key, formatStoredDateTime(value));
}

DateTime ConfigStore::readDateTime(std::u16string_view key, DateTime defaultValue) {
    return parseStoredDateTime(readStored(key, formatStoredDateTime(defaultValue)))
        .value_or(defaultValue);
}

// --- The document -------------------------------------------------------------

bool ConfigStore::openDocument(const std::filesystem::path& path, bool inMemory) {
    close();
    m_openedPath = path;
    if (inMemory) {
        m_document = readRegularFile(path, kMaxDocumentBytes).value_or(std::string());
        m_inMemoryMirror = true;
        return true;
    }
    DocumentFile::OpenResult opened = DocumentFile::open(path);
    m_document = std::move(opened.content);
    m_file = std::move(opened.file);
    return m_file != nullptr;
}

void ConfigStore::close() {
    m_file.reset();
    m_inMemoryMirror = false;
    m_document.clear();
}

void ConfigStore::mirror() {
    // A failed replacement leaves the file at its last content; the next
    // change writes the whole document again.
    if (m_file) {
        m_file->replaceContent(m_document);
    }
}

std::size_t ConfigStore::findHeader(std::string_view section, std::size_t from,
                                    bool fromIsCharStart, bool pumpEachSearch) const {
    const std::string header = headerOf(section);
    while (true) {
        if (pumpEachSearch) {
            pumpEvents();
        }
        const std::size_t hit = bytes::find(m_document, header, from, fromIsCharStart);
        if (hit == bytes::npos) {
            return bytes::npos;
        }
        if (hit == 0 ||
            (hit >= 2 && m_document.compare(hit - 2, kLineBreak.size(), kLineBreak) == 0)) {
            return hit;
        }
        // "[" is a one-byte character, so the byte after it starts one.
        from = hit + 1;
        fromIsCharStart = true;
    }
}

std::optional<ConfigStore::Entry> ConfigStore::findEntry(std::size_t headerEnd,
                                                         std::string_view key) const {
    std::string needle(kLineBreak);
    needle += key;
    needle += "=";
    const std::size_t hit = bytes::find(m_document, needle, headerEnd, true);
    if (hit == bytes::npos) {
        return std::nullopt;
    }
    // Only the first hit counts: under a later section the key is not ours.
    if (nextSectionBoundary(headerEnd + 1, hit + 1) != bytes::npos) {
        return std::nullopt;
    }
    Entry entry;
    entry.keyStart = hit + 2;
    entry.valueStart = entry.keyStart + key.size() + 1;
    const std::size_t lineEnd = bytes::find(m_document, kLineBreak, entry.valueStart, true);
    entry.valueEnd = lineEnd == bytes::npos ? m_document.size() : lineEnd;
    return entry;
}

// The "[" of the first section boundary CR LF "[" ... "]" CR LF (all on one
// line) whose CR lies before `to` and whose "]" lies at or before `to`.
// Each line is looked at once, so junk with many "[" lines stays linear.
std::size_t ConfigStore::nextSectionBoundary(std::size_t from, std::size_t to) const {
    const std::string_view doc = m_document;
    std::size_t pos = from;
    bool posIsCharStart = false;
    while (true) {
        const std::size_t start = bytes::find(doc, "\r\n[", pos, posIsCharStart);
        if (start == bytes::npos || start >= to) {
            return bytes::npos;
        }
        const std::size_t open = start + 2;
        const std::size_t lineEnd = bytes::find(doc, kLineBreak, open, true);
        if (lineEnd == bytes::npos) {
            return bytes::npos;  // no "]" CR LF follows at all
        }
        std::size_t last = open;
        for (std::size_t p = open; p < lineEnd; p += bytes::charLength(doc, p)) {
            last = p;
        }
        if (last > open && doc[last] == ']') {
            return last > to ? bytes::npos : open;
        }
        pos = lineEnd;
        posIsCharStart = true;
    }
}

long long ConfigStore::findNextSection(long long from, long long to) const {
    const std::size_t a = from > 1 ? static_cast<std::size_t>(from - 1) : 0;
    const std::size_t b = to > 1 ? static_cast<std::size_t>(to - 1) : 0;
    const std::size_t found = nextSectionBoundary(a, b);
    return found == bytes::npos ? -1 : static_cast<long long>(found) + 1;
}

ChangeResult ConfigStore::writeValue(std::string_view section, std::string_view key,
                                     std::string_view value, bool immediate) {
    if (immediate) {
        return applyWrite(section, key, value);
    }
    return queueChange(
        {ChangeRecord::Kind::Write, {std::string(section), std::string(key), std::string(value)}});
}

ChangeResult ConfigStore::applyWrite(std::string_view section, std::string_view key,
                                     std::string_view value) {
    const std::string header = headerOf(section);
    std::size_t from = 0;
    bool fromIsCharStart = true;
    int appends = 0;
    while (true) {
        // Handlers may change the document here; every position below is
        // found again after it.
        pumpEvents();
        const std::size_t h = findHeader(section, from, fromIsCharStart, false);
        if (h == bytes::npos) {
            from = m_document.empty() ? 0 : m_document.size() - 1;
            fromIsCharStart = false;
            if (!m_document.empty()) {
                m_document += kLineBreak;
            }
            m_document += header;
            if (++appends <= kMaxHeaderAppends) {
                continue;
            }
            mirror();
            if (m_messages) {
                m_messages(
                    {u"岚川：", u"配置模块出现意外，可能导致无法正常保存！详情请咨询岚川。", true});
                m_messages({u"信息：", decodeGb18030(m_document), false});
            }
            return ChangeResult::Failed;
        }
        from = h;
        fromIsCharStart = true;
        const std::size_t headerEnd = h + header.size() - 1;
        const std::optional<Entry> entry = findEntry(headerEnd, key);
        if (!entry) {
            // The new entry goes at the end of the header's line, which in a
            // document of ours is right after the "]". Bytes that stand after
            // the "]" on that line (in a file written by hand, or one with
            // bare LF line breaks, where that "line" runs on) stay where they
            // are instead of becoming the new entry's value and being lost.
            const std::size_t lineEnd = bytes::find(m_document, kLineBreak, headerEnd + 1, true);
            std::string line(kLineBreak);
            line += key;
            line += "=";
            m_document.insert(lineEnd == bytes::npos ? m_document.size() : lineEnd, line);
            continue;  // found next time, with an empty value
        }
        m_document.replace(entry->valueStart, entry->valueEnd - entry->valueStart, value);
        mirror();
        return ChangeResult::Done;
    }
}

std::string ConfigStore::readValue(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, bool emptyAsMissing) {
    const std::size_t h = findHeader(section, 0, true, true);
    if (h == bytes::npos) {
        return std::string(defaultValue);
    }
    const std::optional<Entry> entry = findEntry(h + section.size() + 1, key);
    if (!entry || (emptyAsMissing && entry->valueEnd == entry->valueStart)) {
        return std::string(defaultValue);
    }
    return m_document.substr(entry->valueStart, entry->valueEnd - entry->valueStart);
}

ChangeResult ConfigStore::queueChange(ChangeRecord record) {
    m_pendingChanges.push_back(std::move(record));
    if (m_busy) {
        return ChangeResult::Queued;
    }
    return runPendingChanges();
}

ChangeResult ConfigStore::runPendingChanges() {
    if (m_busy) {
        return ChangeResult::Queued;  // the change in progress goes on with the queue
    }
    if (m_pendingChanges.empty()) {
        return ChangeResult::Failed;
    }
    std::optional<ChangeResult> first;
    while (!m_pendingChanges.empty()) {
        ChangeRecord record = std::move(m_pendingChanges.front());
        m_pendingChanges.pop_front();
        m_busy = true;
        const std::vector<std::string>& t = record.texts;
        ChangeResult result = ChangeResult::Failed;
        switch (record.kind) {
            case ChangeRecord::Kind::Write:
                result = applyWrite(t[0], t[1], t[2]);
                break;
            case ChangeRecord::Kind::Delete:
                result = applyDelete(t[0], t[1]);
                break;
            case ChangeRecord::Kind::RenameSection:
                result = applyRenameSection(t[0], t[1]);
                break;
            case ChangeRecord::Kind::RenameKey:
                result = applyRenameKey(t[0], t[1], t[2]);
                break;
        }
        m_busy = false;
        if (!first) {
            first = result;
        }
    }
    return *first;
}

ChangeResult ConfigStore::deleteEntry(std::string_view section, std::string_view key,
                                      bool immediate) {
    if (immediate) {
        return applyDelete(section, key);
    }
    return queueChange({ChangeRecord::Kind::Delete, {std::string(section), std::string(key)}});
}

ChangeResult ConfigStore::applyDelete(std::string_view section, std::string_view key) {
    const std::size_t h = findHeader(section, 0, true, true);
    if (h == bytes::npos) {
        return ChangeResult::NoSuchSection;
    }
    const std::size_t next = nextSectionBoundary(h, m_document.empty() ? 0 : m_document.size() - 1);
    const std::size_t sectionEnd = next == bytes::npos ? m_document.size() : next;
    if (key.empty()) {
        m_document.erase(h, sectionEnd - h);
    } else {
        const std::optional<Entry> entry = findEntry(h + section.size() + 1, key);
        if (!entry || entry->valueEnd > sectionEnd) {
            return ChangeResult::NoSuchKey;
        }
        m_document.erase(entry->keyStart - 2, entry->valueEnd - (entry->keyStart - 2));
    }
    mirror();
    return ChangeResult::Done;
}

ChangeResult ConfigStore::renameSection(std::string_view oldName, std::string_view newName,
                                        bool immediate) {
    if (immediate) {
        return applyRenameSection(oldName, newName);
    }
    return queueChange(
        {ChangeRecord::Kind::RenameSection, {std::string(oldName), std::string(newName)}});
}

ChangeResult ConfigStore::applyRenameSection(std::string_view oldName, std::string_view newName) {
    const std::size_t h = findHeader(oldName, 0, true, true);
    if (h == bytes::npos) {
        return ChangeResult::NoSuchSection;
    }
    m_document.replace(h + 1, oldName.size(), newName);
    mirror();
    return ChangeResult::Done;
}

ChangeResult ConfigStore::renameKey(std::string_view section, std::string_view oldKey,
                                    std::string_view newKey, bool immediate) {
    if (immediate) {
        return applyRenameKey(section, oldKey, newKey);
    }
    return queueChange({ChangeRecord::Kind::RenameKey,
                        {std::string(section), std::string(oldKey), std::string(newKey)}});
}

ChangeResult ConfigStore::applyRenameKey(std::string_view section, std::string_view oldKey,
                                         std::string_view newKey) {
    const std::size_t h = findHeader(section, 0, true, true);
    if (h == bytes::npos) {
        return ChangeResult::NoSuchSection;
    }
    const std::optional<Entry> entry = findEntry(h + section.size() + 1, oldKey);
    if (!entry) {
        return ChangeResult::NoSuchKey;
    }
    m_document.replace(entry->keyStart, oldKey.size(), newKey);
    mirror();
    return ChangeResult::Done;
}

void ConfigStore::putText(std::string_view text, bool append) {
    if (!append) {
        m_document.clear();
    }
    m_document += text;
    mirror();
}

bool ConfigStore::saveAs(const std::filesystem::path& path) {
    const std::filesystem::path target = path.empty() ? m_openedPath : path;
    if (target.empty()) {
        return false;
    }
    if (m_file && m_file->isSameFile(target)) {
        return m_file->replaceContent(m_document);
    }
    if (isLockedByAnother(target)) {
        return false;
    }
    return writeFileAtomically(target, m_document) == FileStatus::Ok;
}

void ConfigStore::reloadText() {
    // A file that cannot be read leaves the document as it was.
    if (std::optional<std::string> content = readRegularFile(m_openedPath, kMaxDocumentBytes)) {
        m_document = std::move(*content);
    }
}

// --- Listings -----------------------------------------------------------------

std::vector<std::string_view> ConfigStore::mirroredLines() const {
    std::vector<std::string_view> lines;
    if (!m_file && !m_inMemoryMirror) {
        return lines;
    }
    const std::string_view doc = m_document;
    std::size_t pos = 0;
    while (pos < doc.size()) {
        std::size_t end = doc.find(kLineBreak, pos);
        if (end == std::string_view::npos) {
            end = doc.size();
        }
        lines.push_back(doc.substr(pos, end - pos));
        pos = end + kLineBreak.size();
    }
    return lines;
}

std::vector<std::string> ConfigStore::listSectionsWithKey(std::string_view key) const {
    std::vector<std::string> names;
    std::optional<std::string_view> section;
    std::string prefix(key);
    prefix += "=";
    for (std::string_view line : mirroredLines()) {
        if (auto name = headerName(line)) {
            section = name;
        } else if (section && line.substr(0, prefix.size()) == prefix) {
            addOnce(names, *section);
        }
    }
    return names;
}

std::vector<std::string> ConfigStore::listKeysWithValue(std::string_view valueStart,
                                                        std::string_view section) const {
    std::vector<std::string> keys;
    std::optional<std::string_view> current;
    for (std::string_view line : mirroredLines()) {
        if (auto name = headerName(line)) {
            current = name;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || (!section.empty() && current != section)) {
            continue;
        }
        const std::string_view value = line.substr(equals + 1);
        const bool matches =
            valueStart.empty() ? value.empty() : value.substr(0, valueStart.size()) == valueStart;
        if (matches) {
            addOnce(keys, line.substr(0, equals));
        }
    }
    return keys;
}

std::vector<std::string> ConfigStore::listSections(std::string_view include,
                                                   std::string_view exclude) const {
    std::vector<std::string> names;
    for (std::string_view line : mirroredLines()) {
        if (auto name = headerName(line); name && passes(line, include, exclude)) {
            addOnce(names, *name);
        }
    }
    return names;
}

std::vector<std::string> ConfigStore::listKeys(std::string_view includeLine,
                                               std::string_view excludeLine,
                                               std::string_view includeHeader,
                                               std::string_view excludeHeader) const {
    std::vector<std::string> keys;
    std::string_view header;
    for (std::string_view line : mirroredLines()) {
        if (headerName(line)) {
            header = line;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && passes(line, includeLine, excludeLine) &&
            passes(header, includeHeader, excludeHeader)) {
            addOnce(keys, line.substr(0, equals));
        }
    }
    return keys;
}

}  // namespace lcr
