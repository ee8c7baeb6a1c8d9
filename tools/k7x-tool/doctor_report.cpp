#include "doctor_report.h"

#include <algorithm>

namespace k7x {

std::string formatCheck(const CheckLine& line) {
    const char* status = line.status == CheckStatus::Ok     ? "OK"
                         : line.status == CheckStatus::Warn ? "WARN"
                                                            : "FAIL";
    return line.text + " ... " + status;
}

bool allPassed(const CheckLines& lines) {
    return std::none_of(lines.begin(), lines.end(),
                        [](const CheckLine& line) { return line.status == CheckStatus::Fail; });
}

}  // namespace k7x
