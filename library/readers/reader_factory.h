// Picks the reader kind that serves a PC/SC reader, by its name.
#pragma once

#include <memory>

#include "card_reader.h"

namespace rdcom32 {

// A reader object for `readerName` that owns `context` from now on, with its "Found ..."
// log line; null (and the context untouched) when no reader kind serves the name.
[[nodiscard]] std::unique_ptr<CardReader> createReaderFor(const char* readerName,
                                                          pcsc::Context context);

}  // namespace rdcom32
