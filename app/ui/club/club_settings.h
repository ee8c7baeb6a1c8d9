// The club folders this user reads besides the own data folder, and the name of this PC in the
// "PC" column, kept per user in the program's Qt settings.
#pragma once

#include <QSettings>
#include <QString>
#include <string>
#include <vector>

#include "club_run_source.h"

namespace lapdex::ui {

// Settings keys: an array "clubFolders" of "path" and "label", and "clubOwnLabel".
inline constexpr const char* kClubFoldersKey = "clubFolders";
inline constexpr const char* kClubOwnLabelKey = "clubOwnLabel";

// The club folders in the order the user added them. An entry without a path is dropped; one
// without a label gets defaultClubLabel; a label already taken gets " (2)", " (3)"...
std::vector<ClubFolder> loadClubFolders(QSettings& settings);
void saveClubFolders(QSettings& settings, const std::vector<ClubFolder>& folders);

// What the "PC" column shows for this PC's own runs: the user's label, else "このPC" / "This PC"
// in the language shown.
QString ownPcLabel(QSettings& settings);
void saveOwnPcLabel(QSettings& settings, const QString& label);

// The "PC" column's text of a run or stopwatch: `ownLabel` for this PC's ("" pc), else the
// club folder's label.
QString pcText(const std::string& pc, const QString& ownLabel);

}  // namespace lapdex::ui
