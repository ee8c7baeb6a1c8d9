// k7x-tool never writes into a club folder: another PC's data folder, carried here read-only,
// whether named by --also or listed as a club folder in the user's Lapdex settings.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "data_folder.h"
#include "invocation.h"

namespace k7x {

// The club folders that Lapdex's settings list ($XDG_CONFIG_HOME/Lapdex/Lapdex.conf, or
// ~/.config/Lapdex/Lapdex.conf: the clubFolders array as Qt's settings write it), in their order.
// None when the file is missing or lists none.
std::vector<std::string> settingsClubFolders(const lapdex::EnvironmentLookup& environment);

// Reads the INI text `text` of such a settings file: each clubFolders/N/path, by N.
std::vector<std::string> clubFoldersOfSettings(const std::string& text);

// Whether `path` (existing or not) lies in `folder` or is it, links and ".." resolved as far as
// the file system has them.
bool liesIn(const std::string& path, const std::string& folder);

// The status of a command that would write into a club folder, with its one line on `err`:
// kExitUsage for an output folder inside a folder of --also, kExitFailure for a folder that the
// settings list as a club folder. nullopt when the command may run.
std::optional<int> refuseWritingIntoClubFolders(const Invocation& invocation,
                                                const lapdex::EnvironmentLookup& environment,
                                                std::FILE* err);

}  // namespace k7x
