#include "tree_operations.h"

#include <regex>

#include "contact_history.h"
#include "stopwatch_groups.h"

namespace lapdex {
namespace {

constexpr std::string_view kConfigurationName = "Lapdex.dat";

void fail(TreeResult& result, const std::string& path) {
    if (result.failures++ == 0) result.firstFailure = path;
}

void failLink(TreeResult& result, const std::string& path) {
    ++result.skippedLinks;
    fail(result, path);
}

void merge(TreeResult& into, const TreeResult& from) {
    if (from.ok()) return;
    if (into.failures == 0) into.firstFailure = from.firstFailure;
    into.failures += from.failures;
    into.skippedLinks += from.skippedLinks;
}

// Whether the scope takes an entry at this level. Links and other non-regular entries count by
// name, so that a link posing as part of the data set is reported rather than silently left out.
bool taken(const FolderEntry& e, TreeScope scope) {
    if (scope == TreeScope::AllEntries) return true;
    if (e.kind == EntryKind::Folder) return isDataSetFolderName(e.name);
    // The contact history belongs to the data set like the configuration.
    if (e.kind == EntryKind::File)
        return e.name == kConfigurationName || e.name == kHistoryFileName ||
               e.name == kGroupsFileName;
    return e.name == kConfigurationName || e.name == kHistoryFileName ||
           e.name == kGroupsFileName || isDataSetFolderName(e.name);
}

// A missing folder is an empty search: nothing to do. Any other listing failure is a failure.
bool listOrFail(FileSystem& fs, const std::string& folder, FolderListing& listing,
                TreeResult& result) {
    listing = fs.listFolder(folder);
    if (listing.ok()) return true;
    if (listing.status.error != FsError::NotFound) fail(result, folder);
    return false;
}

void copyFileEntry(FileSystem& fs, const std::string& from, const std::string& to, bool topLevel,
                   AttributeRule rule, ExistingFiles existing, TreeResult& result) {
    if (existing == ExistingFiles::Keep && fs.kindOf(to) != EntryKind::None) return;
    if (!fs.copyFile(from, to, Existing::Replace).ok()) return fail(result, from);
    if (topLevel) return;
    if (rule == AttributeRule::ClearReadOnly && !fs.setReadOnlyAttribute(to, ReadOnly::Off).ok()) {
        fail(result, to);
    } else if (rule == AttributeRule::MakeReadOnly) {
        (void)setReadOnly(fs, to, ReadOnly::On);  // result not looked at
    }
}

// Deletes one file below the top level: read-only is cleared only once the file is known to be
// free.
FsStatus deleteFreedFile(FileSystem& fs, const std::string& path) {
    if (fs.isInUse(path)) return {FsError::InUse, 0};
    if (fs.isReadOnly(path)) {
        if (FsStatus s = fs.setReadOnlyAttribute(path, ReadOnly::Off); !s.ok()) return s;
    }
    return fs.deleteFile(path);
}

}  // namespace

bool isDataSetFolderName(std::string_view name) {
    // Only ASCII takes part, so matching the UTF-8 name equals matching its code page 932 form.
    static const std::regex kDataSetFolder("^QTM-([0-9][0-9]|100)$", std::regex::ECMAScript);
    return std::regex_match(name.begin(), name.end(), kDataSetFolder);
}

TreeResult copyTree(FileSystem& fs, const std::string& source, const std::string& destination,
                    TreeScope scope, AttributeRule rule, ExistingFiles existing) {
    TreeResult result;
    std::string from = withTrailingSlash(source);
    std::string to = withTrailingSlash(destination);
    FolderListing listing;
    if (!listOrFail(fs, withoutTrailingSlash(source), listing, result)) return result;
    bool topLevel = scope == TreeScope::DataSet;
    for (const FolderEntry& e : listing.entries) {
        if (!taken(e, scope)) continue;
        if (e.kind == EntryKind::File) {
            copyFileEntry(fs, from + e.name, to + e.name, topLevel, rule, existing, result);
        } else if (e.kind == EntryKind::Folder) {
            std::string child = to + e.name;
            EntryKind kind = fs.kindOf(child);
            if (kind == EntryKind::SymbolicLink) {
                failLink(result, child);
                continue;
            }
            if (kind != EntryKind::Folder && !fs.createFolder(child).ok()) {
                fail(result, child);
                continue;
            }
            merge(result,
                  copyTree(fs, from + e.name, child, TreeScope::AllEntries, rule, existing));
        } else {
            failLink(result, from + e.name);
        }
    }
    return result;
}

TreeResult deleteTree(FileSystem& fs, const std::string& folder, TreeScope scope) {
    TreeResult result;
    std::string base = withTrailingSlash(folder);
    FolderListing listing;
    if (!listOrFail(fs, withoutTrailingSlash(folder), listing, result)) return result;
    for (const FolderEntry& e : listing.entries) {
        if (!taken(e, scope)) continue;
        std::string path = base + e.name;
        if (e.kind == EntryKind::Folder) {
            merge(result, deleteTree(fs, path, TreeScope::AllEntries));
            if (result.ok() && !fs.removeEmptyFolder(path).ok()) fail(result, path);
        } else if (e.kind == EntryKind::File) {
            FsStatus s =
                scope == TreeScope::DataSet ? fs.deleteFile(path) : deleteFreedFile(fs, path);
            if (!s.ok()) fail(result, path);
        } else {
            failLink(result, path);
        }
        if (!result.ok()) break;
    }
    return result;
}

TreeResult removeFolder(FileSystem& fs, const std::string& folder) {
    TreeResult result;
    std::string base = withTrailingSlash(folder);
    FolderListing listing = fs.listFolder(withoutTrailingSlash(folder));
    if (!listing.ok()) {
        fail(result, folder);
        return result;
    }
    for (const FolderEntry& e : listing.entries) {
        std::string path = base + e.name;
        if (e.kind == EntryKind::Folder) {
            merge(result, removeFolder(fs, path));
        } else if (e.kind == EntryKind::File) {
            if (!deleteFreedFile(fs, path).ok()) fail(result, path);
        } else {
            failLink(result, path);
        }
        if (!result.ok()) return result;
    }
    if (!fs.removeEmptyFolder(withoutTrailingSlash(folder)).ok()) fail(result, folder);
    return result;
}

FsStatus setReadOnly(FileSystem& fs, const std::string& file, ReadOnly state) {
    EntryKind kind = fs.kindOf(file);
    if (kind == EntryKind::None) return {FsError::NotFound, 0};
    if (kind == EntryKind::SymbolicLink) return {FsError::SymbolicLink, 0};
    bool readOnly = fs.isReadOnly(file);
    if (state == ReadOnly::On) {
        if (readOnly) return FsStatus::success();
        if (fs.isInUse(file)) return {FsError::InUse, 0};
        return fs.setReadOnlyAttribute(file, ReadOnly::On);
    }
    return readOnly ? fs.setReadOnlyAttribute(file, ReadOnly::Off) : FsStatus::success();
}

}  // namespace lapdex
