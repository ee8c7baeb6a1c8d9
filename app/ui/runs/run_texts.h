// Texts and time forms shared by the windows over the run index.
#pragma once

#include <QString>
#include <cstdint>

#include "run_record.h"

namespace lapdex::ui {

// A time of hundredths of a second in the run file's own form: "00:01:04.70" (Clock) or
// "001.078" thousandths of a minute (DecimalMinute); "" for -1.
QString runTimeText(std::int64_t hundredths, TimeFormat format);

// "2024-01-31T09:30:15" as "2024/01/31 09:30:15".
QString startText(const std::string& isoStart);

}  // namespace lapdex::ui
