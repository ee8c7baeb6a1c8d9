// The log texts of the Sony framing for each operation: the step of its command line, the
// phrase written before the command and the text written when its transmission fails.
#pragma once

#include "operation.h"

namespace rdcom32::sony {

struct StepTexts {
    const char* step;     // e.g. "SetReadCommand"
    const char* phrase;   // e.g. "Get Serial Command"
    const char* failure;  // e.g. "Get Serial Command error"; spelled per operation
};

[[nodiscard]] const StepTexts& stepTexts(Operation operation);

}  // namespace rdcom32::sony
