#include "discovery.h"

#include <cstring>
#include <memory>
#include <vector>

#include "debug_log.h"
#include "reader_factory.h"

namespace rdcom32 {
namespace {

// Walks the multi-string of reader names in the service's order. `names` ends with at
// least two zero bytes beyond what the service wrote, so the walk always stops inside.
std::unique_ptr<CardReader> firstServedReader(const std::vector<char>& names,
                                              pcsc::Context context) {
    const char* name = names.data();
    const char* const end = names.data() + names.size();
    while (name < end && *name != '\0') {
        std::unique_ptr<CardReader> reader = createReaderFor(name, context);
        if (reader != nullptr) return reader;
        name += std::strlen(name) + 1;
    }
    return nullptr;
}

// The reader names, or an empty list when the service gives none.
bool listReaderNames(pcsc::Context context, std::vector<char>& names) {
    uint32_t length = 0;
    if (pcsc::listReaders(context, nullptr, &length) != 0) return false;
    names.assign(static_cast<size_t>(length) + 2, '\0');
    return pcsc::listReaders(context, names.data(), &length) == 0;
}

}  // namespace

int32_t discoverAndConnect(LibraryState& state) {
    pcsc::Context context = 0;
    if (pcsc::establishContext(&context) != 0) return 0;
    std::unique_ptr<CardReader> reader;
    {
        std::vector<char> names;
        if (!listReaderNames(context, names)) {
            (void)pcsc::releaseContext(context);
            return 0;
        }
        reader = firstServedReader(names, context);
    }
    if (reader == nullptr) {
        WriteLogLine("Find Card Reader: failure");
        (void)pcsc::releaseContext(context);
        return 0;
    }
    state.currentReader = reader.release();
    state.readerOpen = true;
    if (!state.currentReader->Connect()) {
        destroyReader(state);  // releases the context
        state.readerOpen = false;
        WriteLogLine("Find Card Reader: Cerd Connect NG");
        return 0;
    }
    WriteLogLine("Find Card Reader: Cerd Connect successfully");
    return 1;
}

}  // namespace rdcom32
