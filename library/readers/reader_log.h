// Log lines of the reader framings, built only while the log is on so that a quiet log
// costs an exchange nothing.
#pragma once

namespace rdcom32 {

// "<reader>/<operation>".
void writeOperationLine(const char* reader, const char* operation);
// "<reader>/<operation>/<step>: <phrase><suffix>".
void writeStepLine(const char* reader, const char* operation, const char* step, const char* phrase,
                   const char* suffix = "");

}  // namespace rdcom32
