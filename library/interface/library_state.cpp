#include "library_state.h"

namespace rdcom32 {
namespace {

LibraryState state;

}  // namespace

LibraryState& libraryState() {
    return state;
}

void destroyReader(LibraryState& current) {
    CardReader* reader = current.currentReader;
    current.currentReader = nullptr;
    delete reader;
}

}  // namespace rdcom32
