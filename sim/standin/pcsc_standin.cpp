// The Standin control object: scripted readers, card and faults, and their reset.
#include "standin/pcsc_standin.h"

#include <cstdlib>

#include "standin/standin_state.h"

namespace sim {
namespace standin {

State& state() {
    static State instance;
    return instance;
}

int cardReaderIndex() {
    Standin& s = Standin::instance();
    if (!s.card) return -1;
    for (size_t i = 0; i < s.readers.size(); ++i) {
        bool named = s.cardReader.empty() ? s.readers[i].name.find("ACS") != std::string::npos
                                          : s.readers[i].name == s.cardReader;
        if (named) return static_cast<int>(i);
    }
    return s.cardReader.empty() && !s.readers.empty() ? 0 : -1;
}

}  // namespace standin

Standin& Standin::instance() {
    static Standin standin;
    return standin;
}

void Standin::reset() {
    standin::State& st = standin::state();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    readers = {StandinReader{kAcsReaderName, ReaderEmulation::Acs, false}};
    card.reset();
    cardReader.clear();
    failEstablish = false;
    failList = false;
    failListAt = 0;
    failTransmitAt = 0;
    failTransmitCode = 0x80100016L;
    liftCardAt = 0;
    tamper = nullptr;
    sonyFaults = SonyFaults{};
    transcript.clear();
    establishCount = releaseCount = listCount = connectCount = disconnectCount = 0;
    connectedReaders.clear();
    st.contexts.clear();
    st.connections.clear();
    for (const void* p : st.allocations) std::free(const_cast<void*>(p));
    st.allocations.clear();
}

std::unique_lock<std::recursive_mutex> Standin::lock() {
    return std::unique_lock<std::recursive_mutex>(standin::state().mutex);
}

void Standin::useSonyReader(const std::string& name) {
    auto guard = lock();
    readers = {StandinReader{name, ReaderEmulation::Sony, false}};
    cardReader = name;
}

void Standin::useAcsReader(AcsAnswers answers, const std::string& name) {
    auto guard = lock();
    readers = {StandinReader{name, ReaderEmulation::Acs, false, answers}};
    cardReader = name;
}

std::shared_ptr<Stopwatch> Standin::layCard(std::vector<SimRun> runs) {
    auto guard = lock();
    card = std::make_shared<Stopwatch>();
    card->runs = std::move(runs);
    return card;
}

}  // namespace sim
