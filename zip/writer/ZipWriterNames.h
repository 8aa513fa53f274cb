#pragma once
#include <string>
#include <string_view>
#include <vector>

// How the writer turns file names into entry names, and its mask lists.
namespace kd {

// An entry name: Directory ("" or ending in "/") and FileName ("" for a directory
// entry).
struct StoredPath {
    std::string Directory;
    std::string FileName;
    std::string FullName() const { return Directory + FileName; }
};

struct StoredPathOptions {
    std::string_view RootDir; // "" or ending in "/"
    bool StorePaths = false;
    bool RelativePaths = false;
};

// The entry name of an absolute file name (a directory entry's ends with "/"):
// without StorePaths only the file name; with it also the directory, made relative
// to RootDir with RelativePaths when it lies below it (letter case counts), and
// never with a leading "/".
StoredPath StoredEntryName(const std::string& name, const StoredPathOptions& options);
// The same into stored, whose buffers are used again.
void StoredEntryName(std::string_view name, const StoredPathOptions& options, StoredPath& stored);

// True when a mask of the list matches: a mask holding "/" against the whole name,
// any other against the part after the last "/". An empty list matches nothing.
bool MatchesMaskList(const std::vector<std::string>& masks, const std::string& name);

// A mask item of FilesList taken apart: the leading "|" (no subdirectories) or ">"
// (subdirectories) removed, the directory part and the file mask.
struct MaskItem {
    std::string Directory; // as given, "" or ending in "/"
    std::string Mask;
    bool Recurse = false;
};
MaskItem SplitMaskItem(const std::string& item, bool recurse);

// An absolute, lexically normal form of name: a relative name is taken relative to
// base (ending in "/"), or to the current directory when base is empty. A trailing
// "/" is kept.
std::string ResolveName(const std::string& name, const std::string& base);

} // namespace kd
