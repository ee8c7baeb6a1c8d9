// The TCX export (Garmin Training Center Database v2, which training logs import): one Activity per
// run with Sport "Other", one Lap per lap with its time, the lap memos as the laps' notes, the
// athlete (the stopwatch's tab name) and the run memo on the next line as the activity's notes,
// the stopwatch as the activity's creator.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export_run.h"

namespace lapdex {

// Seconds since the epoch (UTC) of a local date and time, or nullopt when it has none.
using LocalToUtc = std::function<std::optional<std::int64_t>(const std::tm& local)>;

// The PC's time zone (mktime, daylight saving decided by the zone's rules). Out-of-range fields
// roll over as mktime rolls them (month 0 is December of the year before).
std::optional<std::int64_t> systemLocalToUtc(const std::tm& local);

// One whole TCX document (UTF-8) holding one Activity per run, in order. Activities whose starts
// fall on the same second (two stopwatches started together) get their Ids a millisecond apart, so
// every Id of the document stays unique. Runs whose start cannot be read are left out.
std::string tcxDocument(const std::vector<ExportRun>& runs, const LocalToUtc& toUtc);

// Why a TCX document cannot hold `run` as an Activity ("no laps", "no start time"), or "" when it
// can: an Activity needs an Id, which is its start, and a Lap.
std::string tcxRefusal(const ExportRun& run, const LocalToUtc& toUtc);

// The file name of a run's own TCX file: its run file's name with ".tcx".
std::string tcxFileNameOf(const ExportRun& run);

// The file name of a TCX file holding several runs.
inline constexpr const char* kRunsTcxName = "runs.tcx";

// Text that may stand in XML character data: &, <, > and quotes escaped, CR kept as a character
// reference, characters XML 1.0 does not allow dropped.
std::string xmlText(const std::string& utf8);

}  // namespace lapdex
