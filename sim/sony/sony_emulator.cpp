// The storage-card commands of a Sony reader's PC/SC driver for FeliCa.
#include "sony/sony_emulator.h"

#include <algorithm>
#include <optional>

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kHead = 5;  // CLA INS P1 P2 Lc
constexpr int kBlockSize = 16;
constexpr int kMaxBlocks = 12;

Bytes statusWord(uint8_t sw1, uint8_t sw2) { return Bytes{sw1, sw2}; }

Bytes withSuccess(Bytes data) {
    data.push_back(0x90);
    data.push_back(0x00);
    return data;
}

std::optional<SonyCommand> commandOf(const uint8_t* apdu, size_t length) {
    if (length < 4 || apdu[0] != 0xFF) return std::nullopt;
    switch (apdu[1]) {
        case 0xA4: return SonyCommand::SelectFile;
        case 0xCA: return apdu[2] == 0x01 ? SonyCommand::GetPmm : SonyCommand::GetIdm;
        case 0xB0: return SonyCommand::ReadBinary;
        case 0xD6: return SonyCommand::UpdateBinary;
        default: return std::nullopt;
    }
}

// Block count of a Read/Update Binary in block-list mode (P1 80) whose data are `perBlock`
// bytes per block, or 0 when the APDU is malformed. A trailing Le byte is tolerated.
int blockCount(const uint8_t* apdu, size_t length, size_t perBlock) {
    if (length < kHead || apdu[2] != 0x80) return 0;
    const size_t blocks = apdu[3];
    const size_t data = perBlock * blocks;
    if (apdu[4] != data || (length != kHead + data && length != kHead + data + 1)) return 0;
    return static_cast<int>(blocks);
}

}  // namespace

SonyEmulator::SonyEmulator(Stopwatch* card, SonyFaults* faults) : card(card), faults(faults) {}

void SonyEmulator::setCard(Stopwatch* newCard) {
    if (newCard != card) selected = false;
    card = newCard;
}

Bytes SonyEmulator::transmit(const uint8_t* apdu, size_t length) {
    if (length < 4 || apdu[0] != 0xFF) return statusWord(0x6E, 0x00);
    const std::optional<SonyCommand> command = commandOf(apdu, length);
    if (!command) return statusWord(0x6D, 0x00);
    const SonyFault* fault = faultFor(*command);
    if (fault != nullptr && fault->cut == 0) return statusWord(fault->sw1, fault->sw2);
    Bytes answer = carryOut(*command, apdu, length);
    if (fault != nullptr) {
        const size_t body = answer.size() - 2;
        const size_t cut = std::min(static_cast<size_t>(fault->cut), body);
        answer.erase(answer.begin() + static_cast<long>(body - cut), answer.begin() + static_cast<long>(body));
    }
    return answer;
}

const SonyFault* SonyEmulator::faultFor(SonyCommand command) {
    if (faults == nullptr) return nullptr;
    const int seen = ++faults->seen[static_cast<size_t>(command)];
    for (const SonyFault& fault : faults->list) {
        if (fault.command == command && (fault.occurrence == 0 || fault.occurrence == seen)) return &fault;
    }
    return nullptr;
}

Bytes SonyEmulator::carryOut(SonyCommand command, const uint8_t* apdu, size_t length) {
    // The driver refuses everything while no card lies on the field.
    if (card == nullptr) return statusWord(0x64, 0x01);
    switch (command) {
        case SonyCommand::SelectFile: return selectFile(apdu, length);
        case SonyCommand::GetIdm:
        case SonyCommand::GetPmm: return getData(apdu, length);
        case SonyCommand::ReadBinary: return readBinary(apdu, length);
        case SonyCommand::UpdateBinary: return updateBinary(apdu, length);
    }
    return statusWord(0x6D, 0x00);
}

// Only service 000B exists on the stopwatch's chip: file identifier 00 B0.
Bytes SonyEmulator::selectFile(const uint8_t* apdu, size_t length) {
    if (length < kHead || apdu[4] != 2 || length < kHead + 2) return statusWord(0x67, 0x00);
    if (apdu[2] != 0x00 || apdu[3] != 0x01) return statusWord(0x6A, 0x86);
    if (apdu[5] != 0x00 || apdu[6] != 0xB0) {
        selected = false;
        return statusWord(0x6A, 0x82);
    }
    selected = true;
    return statusWord(0x90, 0x00);
}

Bytes SonyEmulator::getData(const uint8_t* apdu, size_t length) {
    if (length != kHead || apdu[3] != 0x00) return statusWord(0x67, 0x00);
    if (apdu[2] == 0x00) return withSuccess(Bytes(card->idm.begin(), card->idm.end()));
    if (apdu[2] == 0x01) return withSuccess(Bytes(card->pmm.begin(), card->pmm.end()));
    return statusWord(0x6A, 0x81);
}

Bytes SonyEmulator::readBinary(const uint8_t* apdu, size_t length) {
    const int blocks = blockCount(apdu, length, 3);
    if (blocks == 0) return statusWord(0x67, 0x00);
    if (!selected) return statusWord(0x69, 0x86);
    if (blocks > kMaxBlocks) return statusWord(0x6A, 0x82);
    Bytes data(static_cast<size_t>(blocks * kBlockSize));
    // The stopwatch refuses the read (status flags set): no such block for the driver.
    if (!card->readBlocks(apdu + kHead, blocks, data.data())) return statusWord(0x6A, 0x82);
    return withSuccess(std::move(data));
}

Bytes SonyEmulator::updateBinary(const uint8_t* apdu, size_t length) {
    const int blocks = blockCount(apdu, length, 19);
    if (blocks == 0) return statusWord(0x67, 0x00);
    if (!selected) return statusWord(0x69, 0x86);
    if (blocks > kMaxBlocks) return statusWord(0x6A, 0x82);
    if (!card->writeBlocks(apdu + kHead + 3 * blocks, blocks)) return statusWord(0x65, 0x81);
    return statusWord(0x90, 0x00);
}

}  // namespace sim
