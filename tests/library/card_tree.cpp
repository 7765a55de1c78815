#include "card_tree.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace kolvex::testing {

namespace {

std::string Checksum(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly))
        return "unreadable";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return "sha256:" + hash.result().toHex().toStdString();
}

} // namespace

CardTree SnapshotTree(const QString& root) {
    CardTree tree;
    const fs::path top(root.toStdString());
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        const fs::file_status status = entry.symlink_status();
        const std::string relative = entry.path().lexically_relative(top).generic_string();
        if (fs::is_symlink(status)) {
            tree[relative] = FileState{"link:" + fs::read_symlink(entry.path()).string(), 0};
        } else if (fs::is_regular_file(status)) {
            struct stat st;
            if (::lstat(entry.path().c_str(), &st) != 0)
                throw std::runtime_error("cannot stat " + entry.path().string());
            tree[relative] = FileState{Checksum(entry.path()), st.st_mode & 07777u};
        }
    }
    return tree;
}

std::string TreeDifference(const CardTree& expected, const CardTree& actual) {
    std::string out;
    auto describe = [](const FileState& s) {
        return s.content.substr(0, 20) + " mode " + std::to_string(s.mode);
    };
    for (const auto& [path, state] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end())
            out += "missing: " + path + "\n";
        else if (!(found->second == state))
            out += "changed: " + path + " expected " + describe(state) + ", is " +
                   describe(found->second) + "\n";
    }
    for (const auto& [path, state] : actual) {
        if (!expected.count(path))
            out += "unexpected: " + path + " " + describe(state) + "\n";
    }
    return out;
}

void ExpectRemoved(CardTree& tree, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (tree.erase(path) == 0)
            throw std::logic_error("the tree has no " + path);
    }
}

void ExpectMoved(CardTree& tree, const std::string& from, const std::string& to) {
    const FileState state = tree.at(from);
    tree.erase(from);
    tree[to] = state;
}

void ExpectCopied(CardTree& tree, const std::string& from, const std::string& to) {
    tree[to] = tree.at(from);
}

void ExpectWritable(CardTree& tree, const std::string& path) {
    tree.at(path).mode |= S_IWUSR;
}

std::vector<std::string> FolderEntries(const QString& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder.toStdString(), error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace kolvex::testing
