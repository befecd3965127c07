// The configuration store: the program's settings in an INI file beside the
// program, read whole into memory and written back at every change.
//
// Usage (the program's own store):
//
//   ConfigStore store;
//   store.load(programDir / "岚川·正则表达式助手.ini");   // created empty if missing
//   store.setSection(u"主界面");
//   store.writeBool(u"选择框多行模式", true);               // written at once
//   bool multiline = store.readBool(u"选择框多行模式", false);
//   store.writeBytes(u"编辑框提取文本", bytes);   // inibin/主界面-编辑框提取文本.ibn
//
// The document. The INI file is one GB18030 byte string, kept byte for byte
// in `wholeText()`; nothing is converted and no byte-order mark is read or
// written. Lines end with CR LF; a lone CR or LF is an ordinary byte.
//   - A section header is "[" name "]" at the very start of the document or
//     right after a CR LF; the rest of its line is not looked at.
//   - An entry is found as CR LF key "=": the key runs from the line start to
//     that "=", so an entry on the document's first line is never found. Its
//     value runs to the next CR LF or the end of the document.
//   - An entry belongs to the header above it unless a section boundary
//     (CR LF "[" ... "]" CR LF, all on one line) stands between them.
//   - Names, keys and values are exact bytes: case matters, nothing is
//     trimmed, there is no quoting and no comment syntax (";x=1" is key ";x").
//   - The first of two equal headers, and the first of two equal keys in a
//     section, is the one used.
//   - A new section is appended as CR LF "[" name "]" (no CR LF when the
//     document is empty); a new key is inserted as CR LF key "=" at the end
//     of its header's line, right after the "]" in every document the store
//     writes, so it becomes the section's first entry. The document never
//     gets a final CR LF.
//   Writing a=1, b=2 into S and c=3 into T gives "[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3".
// Searches never match inside a multi-byte character (config/document_bytes.h).
//
// The file. A file-kind store holds its INI file from `load` to `close`
// under an exclusive lock, and after every change the file holds the whole
// document. Each change replaces the file atomically (config/document_file.h):
// a crash or power loss leaves either the old or the new document, never a
// mix. A second copy of the program on the same folder finds the file
// locked: its `load` returns false, it reads what the file holds and works in
// memory for the run, and it writes neither the INI file nor byte blocks.
// A file that cannot be opened for writing (a read-only folder) is treated
// the same way. Failures of the file are silent; the document in memory
// always has the change.
//
// Changes and events. The search loops of reads and writes call the event
// pump (`setEventPump`), so window events can run in the middle of a store
// operation. A change requested while another is being applied is queued
// and made right after it; the caller gets `ChangeResult::Queued` (3) at
// once. Reads are not queued and see the document as far as the change in
// progress has got.
//
// Typed values live in the current section (`setSection`) and are stored in
// the forms of config/stored_forms.h. Byte blocks bypass the document: each
// is a file "<section>-<key>.ibn" in the folder "inibin" beside the INI file.
// Component states and window geometry: config/component_persistence.h.
//
// Not copyable: the store holds its file.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/stored_forms.h"

namespace lcr {

class DocumentFile;

// Where the store keeps its data (chosen by `load`).
enum class StorageKind {
    File = 0,      // the INI file, held open and written at every change
    Memory = 1,    // read from the file; changes stay in memory until saveAs
    Registry = 2,  // typed values in the registry stand-in; no document
};

// Results of the document changes.
enum class ChangeResult {
    Failed = -1,        // the change could not be made (see writeValue)
    Done = 0,           //
    NoSuchSection = 1,  // deleteEntry, renameSection, renameKey
    NoSuchKey = 2,      // deleteEntry, renameKey
    Queued = 3,         // another change is in progress; this one follows it
};

// A message the store shows (through `setMessageHandler`).
struct StoreMessage {
    std::u16string title;
    std::u16string text;
    bool warning = false;  // a warning icon, modal to the whole system
};

class ConfigStore {
public:
    ConfigStore();
    // Release: closes the file and drops the queue.
    ~ConfigStore();
    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    // Called at every pass of the search loops to let window events run; a
    // no-op until set.
    void setEventPump(std::function<void()> pump);
    void pumpEvents() const;
    // Shows the store's messages; without a handler they are dropped.
    void setMessageHandler(std::function<void(const StoreMessage&)> handler);

    // --- Storage (where the data lives) ---------------------------------

    // Opens the store on `path` with the storage kind. True when the store
    // is ready: registry kind always; file kind when this store holds the
    // file (false for a read-only folder or a file another copy holds, the
    // store then works in memory); memory kind when the document was set up.
    bool load(const std::filesystem::path& path, StorageKind kind = StorageKind::File);
    std::filesystem::path filePath() const { return m_loadPath; }
    StorageKind storageKind() const { return m_storageKind; }
    // True while changes reach the INI file (file kind, file held).
    bool persistsDocument() const { return m_file != nullptr; }

    // The byte block of `key` in the current section: the whole file
    // inibin/<section>-<key>.ibn; `defaultBytes` when it is missing,
    // unreadable or empty.
    std::string readBytes(std::u16string_view key, std::string_view defaultBytes = {}) const;
    // Writes the byte block (creating the folder inibin, only that level);
    // true when the file was written. A store whose INI file another copy
    // holds keeps its byte blocks in memory for the run and returns false.
    bool writeBytes(std::u16string_view key, std::string_view bytes);
    // The byte-block file of `key`; nothing before the first `load` and when
    // section or key would leave the folder inibin (a "/" or a NUL in them).
    std::optional<std::filesystem::path> byteBlockPath(std::u16string_view key) const;

    // --- Typed values in the current section -----------------------------

    // Makes `name` the current section (empty at creation: the section whose
    // header is "[]") and returns the registry prefix
    // "岚川软件\<base name of the store>\<name>\".
    std::u16string setSection(std::u16string_view name);
    const std::u16string& currentSection() const { return m_currentSection; }
    const std::u16string& registryPrefix() const { return m_registryPrefix; }

    // Writes return true when the change was made at once; false when it
    // failed or was queued behind a change in progress (it is made later).
    // Reads return `defaultValue` when the key has never been written; an
    // existing empty value reads as "", 0, false (readBool) or true
    // (readBoolLenient).
    bool writeText(std::u16string_view key, std::u16string_view text);
    std::u16string readText(std::u16string_view key, std::u16string_view defaultValue = {});
    bool writeNumber(std::u16string_view key, double value);
    double readNumber(std::u16string_view key, double defaultValue = 0);
    bool writeBool(std::u16string_view key, bool value);
    bool readBool(std::u16string_view key, bool defaultValue = false);
    bool readBoolLenient(std::u16string_view key, bool defaultValue = false);
    bool writeDateTime(std::u16string_view key, DateTime value);
    DateTime readDateTime(std::u16string_view key, DateTime defaultValue = {});

    // --- The document (GB18030 bytes) ------------------------------------

    // Reads the file at `path` into the document and holds it (file kind) or
    // keeps a copy in memory (`inMemory`). Closes first. True when the
    // document is mirrored: held file, or memory.
    bool openDocument(const std::filesystem::path& path, bool inMemory);
    // Lets the file go and empties the document.
    void close();

    // Writes key=value into the section, creating section and key as
    // needed. Not `immediate` (what every caller uses): queued and applied
    // in order, Queued while another change is in progress. Failed only
    // when a header the store appended cannot be found again, after the
    // eleventh try; the store then shows a warning and the whole document.
    ChangeResult writeValue(std::string_view section, std::string_view key, std::string_view value,
                            bool immediate = false);
    // The value; `defaultValue` for a missing section or key, and for an
    // empty value when `emptyAsMissing`.
    std::string readValue(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}, bool emptyAsMissing = false);
    // Position (from 1) of the "[" of the first section boundary whose CR LF
    // "[" starts before `to` and whose "]" lies at or before `to`, searching
    // from `from`; -1 when there is none.
    long long findNextSection(long long from, long long to) const;
    // Applies the queued changes in order; the result of the first, Failed
    // when the queue is empty, Queued when a change is already in progress.
    ChangeResult runPendingChanges();

    // Removes an entry with the CR LF before it, or (empty key) a whole
    // section up to the next section boundary or the end.
    ChangeResult deleteEntry(std::string_view section, std::string_view key = {},
                             bool immediate = false);
    ChangeResult renameSection(std::string_view oldName, std::string_view newName,
                               bool immediate = false);
    ChangeResult renameKey(std::string_view section, std::string_view oldKey,
                           std::string_view newKey, bool immediate = false);

    const std::string& wholeText() const { return m_document; }
    // Appends `text` to the document (emptied first unless `append`).
    void putText(std::string_view text, bool append = false);
    // Writes the whole document to `path` (empty: the opened path) as a new
    // file; false when it could not, or when another copy holds that file.
    bool saveAs(const std::filesystem::path& path = {});
    // Reads the opened file into the document again; the held file stays.
    void reloadText();

    // Listings over the mirrored document's lines (none while nothing is
    // mirrored), each name once, in document order.
    // Sections that contain `key`.
    std::vector<std::string> listSectionsWithKey(std::string_view key) const;
    // Keys whose value begins with `valueStart` (empty: entries with an empty
    // value), only under a header `section` when it is given.
    std::vector<std::string> listKeysWithValue(std::string_view valueStart,
                                               std::string_view section = {}) const;
    // Header names of lines that contain `include` and not `exclude` (an
    // empty filter does not filter).
    std::vector<std::string> listSections(std::string_view include = {},
                                          std::string_view exclude = {}) const;
    // Keys of entry lines that contain `includeLine` and not `excludeLine`,
    // under headers that contain `includeHeader` and not `excludeHeader`.
    std::vector<std::string> listKeys(std::string_view includeLine = {},
                                      std::string_view excludeLine = {},
                                      std::string_view includeHeader = {},
                                      std::string_view excludeHeader = {}) const;

private:
    struct ChangeRecord {
        enum class Kind { Write = 0, Delete = 1, RenameSection = 2, RenameKey = 3 };
        Kind kind;
        std::vector<std::string> texts;
    };
    struct Entry;

    ChangeResult queueChange(ChangeRecord record);
    ChangeResult applyWrite(std::string_view section, std::string_view key, std::string_view value);
    ChangeResult applyDelete(std::string_view section, std::string_view key);
    ChangeResult applyRenameSection(std::string_view oldName, std::string_view newName);
    ChangeResult applyRenameKey(std::string_view section, std::string_view oldKey,
                                std::string_view newKey);
    std::size_t findHeader(std::string_view section, std::size_t from, bool fromIsCharStart,
                           bool pumpEachSearch) const;
    std::optional<Entry> findEntry(std::size_t headerEnd, std::string_view key) const;
    std::size_t nextSectionBoundary(std::size_t from, std::size_t to) const;
    void mirror();
    std::vector<std::string_view> mirroredLines() const;

    bool writeStored(std::u16string_view key, std::u16string_view stored);
    std::u16string readStored(std::u16string_view key, std::u16string_view storedDefault);
    std::filesystem::path registryFile() const;

    // The document and its mirror.
    std::string m_document;
    std::unique_ptr<DocumentFile> m_file;
    bool m_inMemoryMirror = false;
    std::filesystem::path m_openedPath;
    std::deque<ChangeRecord> m_pendingChanges;
    bool m_busy = false;

    // Storage.
    std::filesystem::path m_loadPath;
    StorageKind m_storageKind = StorageKind::File;
    // Byte blocks of a store that works in memory because another copy
    // holds its file: by file path.
    std::map<std::filesystem::path, std::string> m_memoryByteBlocks;

    // Typed values.
    std::u16string m_currentSection;
    std::u16string m_registryPrefix;

    std::function<void()> m_pump;
    std::function<void(const StoreMessage&)> m_messages;
};

}  // namespace lcr
