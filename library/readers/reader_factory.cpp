#include "reader_factory.h"

#include <cstring>
#include <new>

#include "acs_reader.h"
#include "debug_log.h"
#include "sony_reader.h"

namespace rdcom32 {
namespace {

struct ReaderKind {
    const char* marker;  // searched for, case-sensitive, anywhere in the name
    const char* foundLine;
    CardReader* (*create)(pcsc::Context context, const char* readerName);
};

CardReader* createAcs(pcsc::Context context, const char* readerName) {
    return new (std::nothrow) AcsReader(context, readerName);
}

CardReader* createSony(pcsc::Context context, const char* readerName) {
    return new (std::nothrow) SonyReader(context, readerName);
}

// Tested in this order on each name, so a name with both makers in it gets an AcsReader.
// pcsc-lite's CCID driver spells Sony's readers in capitals ("SONY FeliCa RC-S300/P ...").
constexpr ReaderKind kKinds[] = {
    {"ACS", "Found ACS Card Reader", &createAcs},
    {"Sony", "Found SONY Card Reader", &createSony},
    {"SONY", "Found SONY Card Reader", &createSony},
};

}  // namespace

std::unique_ptr<CardReader> createReaderFor(const char* readerName, pcsc::Context context) {
    for (const ReaderKind& kind : kKinds) {
        if (std::strstr(readerName, kind.marker) == nullptr) continue;
        std::unique_ptr<CardReader> reader(kind.create(context, readerName));
        if (reader != nullptr) WriteLogLine(kind.foundLine);
        return reader;
    }
    return nullptr;
}

}  // namespace rdcom32
