// The log texts of the ACS framing for each operation: the step before each command, its
// phrase, and the step before its Get Response.
#pragma once

#include "operation.h"

namespace rdcom32::acs {

struct StepTexts {
    const char* step;         // e.g. "SetReadCommand"
    const char* phrase;       // e.g. "Get Battery Level Command"
    const char* errorPhrase;  // the phrase of the " error" line when it is spelled otherwise
    const char* answerStep;   // e.g. "SetReadCommand" or "SetReturn"
};

[[nodiscard]] const StepTexts& stepTexts(Operation operation);

}  // namespace rdcom32::acs
