// Every file and link below a folder with a checksum of its content and its
// mode, so that a test can show that an operation changed exactly the files
// it was meant to change and nothing else.
#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

namespace kolvex::testing {

struct FileState {
    std::string content; // "sha256:<hex>" for a file, "link:<target>" for a link
    unsigned mode = 0;   // permission bits; 0 for a link
    bool operator==(const FileState&) const = default;
};

// Paths relative to the root, '/'-separated; folders themselves are not
// listed, links are not followed.
using CardTree = std::map<std::string, FileState>;

CardTree SnapshotTree(const QString& root);

// What differs, one line per path; "" when the trees are equal.
std::string TreeDifference(const CardTree& expected, const CardTree& actual);

// Edits of an expected tree.
void ExpectRemoved(CardTree& tree, const std::vector<std::string>& paths);
void ExpectMoved(CardTree& tree, const std::string& from, const std::string& to);
void ExpectCopied(CardTree& tree, const std::string& from, const std::string& to);
void ExpectWritable(CardTree& tree, const std::string& path);

// The folder's entries, hidden ones too, sorted; for a folder that must
// stay empty or hold exactly some names.
std::vector<std::string> FolderEntries(const QString& folder);

} // namespace kolvex::testing
