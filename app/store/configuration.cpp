#include "configuration.h"

#include <cstdio>

#include "cp932.h"
#include "leftover_files.h"
#include "profile_file.h"
#include "run_file_format.h"

namespace lapdex {
namespace {

constexpr std::string_view kConfig = "Config";
constexpr std::string_view kUser = "User";

std::string slotKey(int slotNumber, const char* suffix) {
    char key[32];
    std::snprintf(key, sizeof key, "QTM%02d_%s", slotNumber, suffix);
    return key;
}

std::string oneOf(std::string value, std::string_view a, std::string_view b,
                  std::string_view fallback) {
    return (value == a || value == b) ? value : std::string(fallback);
}

}  // namespace

std::string serialKey(int slotNumber) {
    return slotKey(slotNumber, "SERIAL");
}
std::string nameKey(int slotNumber) {
    return slotKey(slotNumber, "NAME");
}

Configuration loadConfiguration(const DataFolder& data, std::string_view localeLocation) {
    ProfileLoad load = loadProfile(data.fs(), data.configurationFile());
    const ProfileFile& file = load.profile;  // empty when unreadable: every key takes its default
    Configuration config;
    Settings& s = config.settings;
    s.location =
        oneOf(file.readString(kConfig, "LOCATION", localeLocation), "JPN", "ENG", localeLocation);
    (void)file.readString(kConfig, "TIMECOMP", "OFF");  // kept in the format, no effect
    s.timeComp = "OFF";
    s.pcTime = oneOf(file.readString(kConfig, "PCTIME", "ON"), "OFF", "ON", "ON");
    for (int number = 1; number <= kSlotCount; ++number) {
        StopwatchEntry& e = config.registry.entry(number - 1);
        e.serialText = file.readString(kUser, serialKey(number), "");
        e.displayName =
            std::string(utf8Prefix(file.readString(kUser, nameKey(number), ""), kDisplayNameLimit));
        e.batteryLevel = 0;
    }
    return config;
}

void createStopwatchFolders(const DataFolder& data, const StopwatchRegistry& registry) {
    (void)removeLeftoverTemporaries(data);
    for (int i = 0; i < kSlotCount; ++i) {
        if (!registry.isInUse(i)) continue;
        std::string folder = data.stopwatchFolder(i);
        if (data.fs().kindOf(folder) != EntryKind::Folder) (void)data.fs().createFolder(folder);
    }
}

FsStatus saveConfiguration(const DataFolder& data, const Configuration& config) {
    ProfileLoad load = loadProfile(data.fs(), data.configurationFile());
    if (!load.ok()) return load.status;
    ProfileFile& file = load.profile;
    // Write results are not looked at: a value that cannot be stored leaves its old line.
    (void)file.writeString(kConfig, "LOCATION", config.settings.location);
    (void)file.writeString(kConfig, "TIMECOMP", config.settings.timeComp);
    (void)file.writeString(kConfig, "PCTIME", config.settings.pcTime);
    for (int number = 1; number <= kSlotCount; ++number) {
        const StopwatchEntry& e = config.registry.entry(number - 1);
        if (config.registry.isInUse(number - 1)) {
            (void)file.writeString(kUser, serialKey(number), e.serialText);
            (void)file.writeString(kUser, nameKey(number), e.displayName);
        } else {
            file.deleteKey(kUser, serialKey(number));
            file.deleteKey(kUser, nameKey(number));
        }
    }
    return saveProfile(data.fs(), data.configurationFile(), file);
}

bool holdsOtherStopwatchRuns(const DataFolder& data, int slotIndex, std::string_view serialText) {
    const FolderListing listing = data.fs().listFolder(data.stopwatchFolder(slotIndex));
    if (!listing.ok()) return listing.status.error != FsError::NotFound;
    for (const FolderEntry& entry : listing.entries) {
        const std::string serial = serialOfRunFileName(entry.name);
        if (!serial.empty() && serial != serialText) return true;
    }
    return false;
}

int chooseSlotFor(const StopwatchRegistry& registry, const DataFolder& data,
                  std::string_view serialText) {
    return registry.chooseFreeSlot(
        [&](int slot) { return !holdsOtherStopwatchRuns(data, slot, serialText); });
}

int addStopwatch(Configuration& config, const DataFolder& data, std::string_view serialText,
                 const TabRequestSink& showTab) {
    StopwatchRegistry& registry = config.registry;
    if (serialText.empty()) return -1;
    int slot = chooseSlotFor(registry, data, serialText);
    if (slot < 0) return -1;
    std::string name = DataFolder::stopwatchFolderName(slot);
    int countBefore = registry.registeredCount();
    if (showTab) {
        TabRequest request;
        request.kind =
            countBefore == 0 ? TabRequest::Kind::RenamePlaceholder : TabRequest::Kind::Append;
        request.position = countBefore;
        request.name = name;
        showTab(request);
    }
    StopwatchEntry& e = registry.entry(slot);
    e.serialText = std::string(serialText);
    e.displayName = name;
    e.batteryLevel = 0;
    // The default name equals the folder name; an existing folder is reused, a failure ignored.
    (void)data.fs().createFolder(data.stopwatchFolder(slot));
    (void)saveConfiguration(data, config);
    return slot;
}

bool isStorableName(std::string_view name) {
    if (!isValidUtf8(name) || utf8CharacterCount(name) > kDisplayNameLimit) return false;
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return name.empty() || (!blank(name.front()) && !blank(name.back()));
}

bool renameStopwatch(Configuration& config, const DataFolder& data, int slotIndex,
                     std::string_view name) {
    // The file trims values when it is read: a name with blanks at its ends would come back as
    // another one, perhaps another tab's.
    if (!config.registry.isInUse(slotIndex) || !isStorableName(name)) return false;
    config.registry.entry(slotIndex).displayName = std::string(name);
    (void)saveConfiguration(data, config);
    return true;
}

bool removeStopwatch(Configuration& config, const DataFolder& data, int slotIndex) {
    if (!isValidSlotIndex(slotIndex)) return false;
    config.registry.entry(slotIndex) = StopwatchEntry{};
    (void)saveConfiguration(data, config);
    return true;
}

void setClockSync(Settings& settings, ClockSync sync) {
    settings.pcTime = sync == ClockSync::On ? "ON" : "OFF";
}

}  // namespace lapdex
