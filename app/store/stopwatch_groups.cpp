// Reading and writing the groups of stopwatches.
#include "stopwatch_groups.h"

#include <cctype>
#include <sstream>

namespace lapdex {
namespace {

std::size_t codePoints(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool isSerialText(const std::string& text) {
    if (text.size() != 12) return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

std::set<std::string> StopwatchGroups::names() const {
    std::set<std::string> all;
    for (const auto& [serial, groups] : bySerial) all.insert(groups.begin(), groups.end());
    return all;
}

std::string cleanGroupName(const std::string& name) {
    const std::string clean = trimmed(name);
    if (clean.empty() || codePoints(clean) > kGroupNameLimit) return {};
    if (clean.find_first_of("\t\r\n") != std::string::npos) return {};
    return clean;
}

GroupsRead readGroups(const DataFolder& data) {
    GroupsRead read;
    FsBytes file = data.fs().readFile(data.path() + kGroupsFileName);
    if (file.status.error == FsError::NotFound) return read;
    if (!file.ok()) {
        read.status = file.status;
        return read;
    }
    std::istringstream lines(file.bytes);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        std::string serial = tab == std::string::npos ? "" : line.substr(0, tab);
        for (char& c : serial) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string group =
            tab == std::string::npos ? "" : cleanGroupName(line.substr(tab + 1));
        if (!isSerialText(serial) || group.empty()) {
            read.skippedLines.push_back(number);
            continue;
        }
        read.groups.bySerial[serial].insert(group);
    }
    return read;
}

FsStatus writeGroups(const DataFolder& data, const StopwatchGroups& groups) {
    std::string text;
    for (const auto& [serial, names] : groups.bySerial)
        for (const std::string& name : names) text += serial + '\t' + name + '\n';
    return data.fs().writeFileAtomic(data.path() + kGroupsFileName, text, Existing::Replace);
}

std::vector<std::string> foldersOfGroup(const StopwatchGroups& groups,
                                        const std::vector<RunStopwatch>& stopwatches,
                                        const std::string& group) {
    std::vector<std::string> folders;
    for (const RunStopwatch& stopwatch : stopwatches) {
        const auto found = groups.bySerial.find(stopwatch.serialText);
        if (group.empty() || (found != groups.bySerial.end() && found->second.count(group)))
            folders.push_back(stopwatch.folderName);
    }
    return folders;
}

std::set<StopwatchKey> stopwatchesOfGroup(const StopwatchGroups& groups,
                                          const std::vector<RunStopwatch>& stopwatches,
                                          const std::string& group) {
    std::set<StopwatchKey> keys;
    for (const RunStopwatch& stopwatch : stopwatches) {
        const auto found = groups.bySerial.find(stopwatch.serialText);
        if (group.empty() || (found != groups.bySerial.end() && found->second.count(group)))
            keys.insert(keyOf(stopwatch));
    }
    return keys;
}

}  // namespace lapdex
