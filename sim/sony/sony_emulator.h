// Emulation of the PC/SC answers of a Sony FeliCa reader's driver with a stopwatch on its
// field: the storage-card commands Select File, Get Data (IDm, PMm), Read Binary and
// Update Binary, each answered whole with the status word SW1 SW2 at its end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/stopwatch.h"

namespace sim {

enum class SonyCommand : uint8_t { SelectFile, GetIdm, GetPmm, ReadBinary, UpdateBinary };
inline constexpr size_t kSonyCommandKinds = 5;

// One scripted misbehaviour of the driver.
struct SonyFault {
    SonyCommand command = SonyCommand::ReadBinary;
    // Which command of that kind misbehaves: 1-based, counted by the owning SonyFaults
    // since it was made (across connections); 0 = every one.
    int occurrence = 0;
    // When cut is 0: the command is not carried out and SW1 SW2 alone is the answer.
    uint8_t sw1 = 0x6A;
    uint8_t sw2 = 0x82;
    // When above 0: the command is carried out, but this many bytes before the status
    // word 90 00 are missing from the answer (a short answer).
    int cut = 0;
};

// The faults of a reader and the commands of each kind it has seen so far.
struct SonyFaults {
    std::vector<SonyFault> list;
    std::array<int, kSonyCommandKinds> seen{};
};

// One command APDU in, one response APDU out. Read Binary and Update Binary need Select
// File of service 000B (file identifier 00 B0) since the card was powered up.
// Not thread-safe; one emulator per card connection.
class SonyEmulator {
public:
    // Neither is owned; a null card means no card on the field, null faults none.
    explicit SonyEmulator(Stopwatch* card = nullptr, SonyFaults* faults = nullptr);

    void setCard(Stopwatch* card);
    void setFaults(SonyFaults* faults) { this->faults = faults; }
    // The driver powers the card up for a new connection: the selection is forgotten.
    void powerOn() { selected = false; }

    std::vector<uint8_t> transmit(const uint8_t* apdu, size_t length);
    std::vector<uint8_t> transmit(const std::vector<uint8_t>& apdu) { return transmit(apdu.data(), apdu.size()); }

    bool serviceSelected() const { return selected; }

private:
    std::vector<uint8_t> carryOut(SonyCommand command, const uint8_t* apdu, size_t length);
    std::vector<uint8_t> selectFile(const uint8_t* apdu, size_t length);
    std::vector<uint8_t> getData(const uint8_t* apdu, size_t length);
    std::vector<uint8_t> readBinary(const uint8_t* apdu, size_t length);
    std::vector<uint8_t> updateBinary(const uint8_t* apdu, size_t length);
    const SonyFault* faultFor(SonyCommand command);

    Stopwatch* card;
    SonyFaults* faults;
    bool selected = false;
};

}  // namespace sim
