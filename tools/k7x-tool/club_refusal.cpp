// Refusing to write into club folders, and reading which folders Lapdex's settings call so.
#include "club_refusal.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "index_session.h"

namespace k7x {
namespace {

// One escape after a backslash at `text[i]` (the backslash itself), appended to `value` as UTF-8;
// returns the index after it. Qt writes \xHHHH for characters it escapes.
std::size_t unescapeAt(const std::string& text, std::size_t i, std::string& value) {
    static const std::map<char, char> kPlain = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                                {'r', '\r'}, {'t', '\t'}, {'v', '\v'}};
    if (i + 1 >= text.size()) return i + 1;
    const char c = text[i + 1];
    if (const auto plain = kPlain.find(c); plain != kPlain.end()) {
        value += plain->second;
        return i + 2;
    }
    if (c != 'x') {
        value += c;  // \\ \" \' \? and anything else Qt would keep as it is
        return i + 2;
    }
    std::size_t end = i + 2;
    unsigned long code = 0;
    while (end < text.size() && end < i + 6 && std::isxdigit(static_cast<unsigned char>(text[end])))
        code = code * 16 + std::stoul(std::string(1, text[end++]), nullptr, 16);
    if (code < 0x80) {
        value += static_cast<char>(code);
    } else if (code < 0x800) {
        value += static_cast<char>(0xC0 | (code >> 6));
        value += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        value += static_cast<char>(0xE0 | (code >> 12));
        value += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        value += static_cast<char>(0x80 | (code & 0x3F));
    }
    return end;
}

// A value as Qt's INI files write a string: quoted parts, escapes, "@@" for a leading '@'; an
// unquoted ';' begins a comment and unquoted spaces at either end are not part of it.
std::string iniString(const std::string& text) {
    std::string value;
    bool quoted = false;
    std::size_t lastKept = 0;  // value's length up to its last quoted or non-space character
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            lastKept = value.size();
            ++i;
        } else if (c == '\\') {
            i = unescapeAt(text, i, value);
            lastKept = value.size();
        } else if (!quoted && c == ';') {
            break;
        } else {
            if (quoted || c != ' ' || !value.empty()) value += c;
            if (quoted || c != ' ') lastKept = value.size();
            ++i;
        }
    }
    value.resize(lastKept);
    if (value.rfind("@@", 0) == 0) value.erase(0, 1);
    return value;
}

// "1\path" in the section "clubFolders" (or "clubFolders\1\path" among the general keys): 1.
int clubFolderIndex(const std::string& section, const std::string& key) {
    const std::string full = section == "General" ? key : section + "\\" + key;
    const std::string prefix = "clubFolders\\";
    const std::string suffix = "\\path";
    if (full.size() <= prefix.size() + suffix.size() || full.rfind(prefix, 0) != 0 ||
        full.compare(full.size() - suffix.size(), suffix.size(), suffix) != 0)
        return -1;
    const std::string number =
        full.substr(prefix.size(), full.size() - prefix.size() - suffix.size());
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(number);
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// `path` absolute, its links resolved as far as it exists, the rest made plain.
std::filesystem::path resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::filesystem::path weakly = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : weakly;
}

// The folders `invocation` writes into: an export's output folder, a download's data folder, the
// folder of a dump's file, the data folder a repair rewrites, and the debug log's folder.
std::vector<std::string> foldersWritten(const Invocation& invocation) {
    std::vector<std::string> folders;
    switch (invocation.command) {
        case Command::Export:
            folders.push_back(invocation.outFolder);
            break;
        case Command::DownloadNew:
        case Command::DownloadAll:
            folders.push_back(invocation.file);
            break;
        case Command::DumpNew:
        case Command::DumpAll:
            folders.push_back(std::filesystem::path(invocation.file).parent_path().string());
            if (folders.back().empty()) folders.back() = ".";
            break;
        case Command::Repair:
            folders.push_back(invocation.dataFolder);
            break;
        default:
            break;
    }
    const bool logs = invocation.command == Command::Info ||
                      invocation.command == Command::Doctor || !folders.empty();
    if (logs && !invocation.logDirectory.empty()) folders.push_back(invocation.logDirectory);
    return folders;
}

}  // namespace

std::optional<int> refuseWritingIntoClubFolders(const Invocation& invocation,
                                                const lapdex::EnvironmentLookup& environment,
                                                std::FILE* err) {
    const std::vector<std::string> written = foldersWritten(invocation);
    if (written.empty()) return std::nullopt;
    for (const std::string& club : invocation.also) {
        if (!liesIn(written.front(), club)) continue;
        std::fprintf(err,
                     "k7x-tool: %s lies in %s, another PC's data folder given by --also; "
                     "k7x-tool never writes there\n",
                     written.front().c_str(), club.c_str());
        return kExitUsage;
    }
    for (const std::string& club : settingsClubFolders(environment)) {
        for (const std::string& folder : written) {
            if (!liesIn(folder, club)) continue;
            std::fprintf(err,
                         "k7x-tool: %s lies in %s, a club folder in Lapdex's settings (another "
                         "PC's data folder, read-only here); k7x-tool never writes there\n",
                         folder.c_str(), club.c_str());
            return kExitFailure;
        }
    }
    return std::nullopt;
}

std::vector<std::string> clubFoldersOfSettings(const std::string& text) {
    std::map<int, std::string> paths;
    std::istringstream lines(text);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const int index = clubFolderIndex(section, trimmed(line.substr(0, equals)));
        const std::string path = iniString(trimmed(line.substr(equals + 1)));
        if (index >= 0 && !path.empty()) paths[index] = path;
    }
    std::vector<std::string> folders;
    for (const auto& [index, path] : paths) folders.push_back(path);
    return folders;
}

std::vector<std::string> settingsClubFolders(const lapdex::EnvironmentLookup& environment) {
    std::string config;
    if (const char* home = environment("XDG_CONFIG_HOME"); home != nullptr && home[0] == '/')
        config = home;
    else if (const char* user = environment("HOME"); user != nullptr && user[0] == '/')
        config = std::string(user) + "/.config";
    if (config.empty()) return {};
    std::ifstream file(config + "/Lapdex/Lapdex.conf", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return clubFoldersOfSettings(text.str());
}

bool liesIn(const std::string& path, const std::string& folder) {
    const std::filesystem::path inner = resolved(path);
    const std::filesystem::path outer = resolved(folder);
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty()) continue;  // the trailing '/' of "dir/"
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

}  // namespace k7x
