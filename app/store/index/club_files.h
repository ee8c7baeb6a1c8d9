// Which files of a data folder are runs when the folder is this PC's own and when it is a club
// folder that a sync engine carries here, and the conflict copies such an engine leaves.
#pragma once

#include <string>
#include <vector>

#include "file_system.h"

namespace lapdex {

// Whose data folder a run source reads. The own folder keeps the page's rule for run file names
// (runDayKey) unchanged; a club folder also refuses the names of a sync engine's files, which may
// well look like run files ("QTM….sync-conflict-….csv") but are no runs of that PC.
enum class FolderOwner { Own, Club };

// Names a sync engine leaves in a folder while it works or when two copies of a file collide:
// ".syncthing.NAME.tmp", "~syncthing~NAME.tmp" and "NAME.sync-conflict-YYYYMMDD-HHMMSS-ID.EXT".
// Such files are never runs of a club folder. A temporary file is no conflict copy, whatever it
// will be called once complete.
bool isSyncTemporaryName(const std::string& name);
bool isSyncConflictName(const std::string& name);

// runDayKey(name) for the own folder; for a club folder "" also for a sync engine's file.
std::string runDayKeyIn(const std::string& name, FolderOwner owner);

// The conflict copies in a data folder and its folders one level down, as paths from the data
// folder ("QTM-01/QTM….sync-conflict-….csv", "Lapdex.sync-conflict-….dat"), sorted, each once.
// Folders that cannot be listed are skipped: a copy there is reported once they can be.
std::vector<std::string> syncConflictCopies(FileSystem& fs, const std::string& dataFolder);

}  // namespace lapdex
