// The folder layer: a folder's own files, each by name.
//
//   forEachFile("/home/me/in", [](const FolderFile& file) {
//       show(file.nameText);              // what the user reads
//       open(folder / file.name);         // what the file system holds
//   });
//
// Only the folder's own files are visited: no sub-folders, no recursion.
// Hidden files (names starting with ".") are visited like any other. A file
// is an entry that is, or links to, a regular file; folders, devices, pipes,
// sockets and links that lead nowhere are left out, so that reading what is
// listed can neither block nor run forever. Entries come in the order the
// file system gives them; nothing is sorted.
//
// A name on Linux is a byte string in no fixed charset. The program shows it
// as text: its bytes decoded as UTF-8 when they are valid UTF-8, otherwise
// as GB18030 (the charset of older Chinese systems). The bytes themselves
// are kept, so the file can still be opened whatever its name holds.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace lcr {

struct FolderFile {
    std::string name;         // the name's bytes as the file system holds them
    std::u16string nameText;  // the name as text, for showing and matching
};

// Calls `visit` once for every file of `folder`. Returns false when the
// folder cannot be opened (it does not exist, is not a folder, may not be
// read) or its listing breaks off; the files visited until then stay
// visited. Never throws.
bool forEachFile(const std::filesystem::path& folder,
                 const std::function<void(const FolderFile&)>& visit);

// A name's bytes as text: UTF-8 when valid, else GB18030.
std::u16string nameToText(std::string_view bytes);

// A path as text, each part between two "/" decoded as nameToText does, so
// a GB18030 name inside a UTF-8 folder still reads right.
std::u16string pathToText(const std::filesystem::path& path);

}  // namespace lcr
