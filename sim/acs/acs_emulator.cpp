// The ACR122U's pseudo-APDUs and the PN53x commands that the reader library uses.
#include "acs/acs_emulator.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace sim {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kReadCommand = 0x06;
constexpr uint8_t kWriteCommand = 0x08;
constexpr size_t kIdmSize = 8;
constexpr size_t kFrameHeader = 14;  // length, command, IDm, service count, service code, n
constexpr int kBlockSize = 16;
constexpr int kMaxBlocks = 12;

Bytes statusWord(uint8_t sw1, uint8_t sw2) { return Bytes{sw1, sw2}; }

// InDataExchange answer with status 01: the target did not answer in time.
Bytes noAnswer() { return Bytes{0xD5, 0x41, 0x01}; }

// A FeliCa answer wrapped as the controller returns it: D5 41 00, then the frame, whose
// first byte counts the frame's own length. Sized once and filled in place: growing a small
// vector piece by piece trips g++ 12's -Warray-bounds at -O3.
constexpr size_t kExchangeHead = 15;  // D5 41 00, length, response code, IDm, two flags

Bytes exchangeAnswer(uint8_t responseCode, const std::array<uint8_t, 8>& idm, uint8_t flag1,
                     uint8_t flag2, const uint8_t* tail, size_t tailLength) {
    Bytes answer(kExchangeHead + tailLength);
    answer[0] = 0xD5;
    answer[1] = 0x41;
    answer[2] = 0x00;
    answer[3] = static_cast<uint8_t>(answer.size() - 3);
    answer[4] = responseCode;
    std::copy(idm.begin(), idm.end(), answer.begin() + 5);
    answer[13] = flag1;
    answer[14] = flag2;
    if (tailLength > 0) std::copy(tail, tail + tailLength, answer.begin() + kExchangeHead);
    return answer;
}

}  // namespace

AcsEmulator::AcsEmulator(Stopwatch* card, AcsAnswers answers) : card(card), answers(answers) {}

void AcsEmulator::setCard(Stopwatch* newCard) {
    if (newCard != card) active = false;
    card = newCard;
}

void AcsEmulator::powerOn() {
    pending.clear();
    hasPending = false;
    field = false;
    active = false;
}

Bytes AcsEmulator::transmit(const uint8_t* apdu, size_t length) {
    if (length < 5 || apdu[0] != 0xFF) return statusWord(0x6E, 0x00);
    if (apdu[1] == 0xC0 && apdu[2] == 0x00 && apdu[3] == 0x00 && length == 5) {
        return getResponse(apdu[4] == 0 ? 256 : apdu[4]);
    }
    if (apdu[1] != 0x00 || apdu[2] != 0x00 || apdu[3] != 0x00) return statusWord(0x6A, 0x81);
    if (length != 5u + apdu[4] || apdu[4] < 2) return statusWord(0x67, 0x00);
    return directTransmit(apdu + 5, apdu[4]);
}

Bytes AcsEmulator::directTransmit(const uint8_t* command, size_t length) {
    if (command[0] != 0xD4) return statusWord(0x6A, 0x81);
    Bytes answer;
    switch (command[1]) {
        case 0x32: answer = rfConfiguration(command, length); break;
        case 0x60: answer = autoPoll(); break;
        case 0x40: answer = dataExchange(command, length); break;
        default: return statusWord(0x6A, 0x81);
    }
    if (answers == AcsAnswers::Direct) {
        answer.push_back(0x90);
        answer.push_back(0x00);
        return answer;
    }
    // This firmware reports an empty polling answer (D5 61 00) as 5 bytes.
    bool emptyPoll = command[1] == 0x60 && answer.size() == 3;
    uint8_t le = emptyPoll ? 0x05 : static_cast<uint8_t>(answer.size());
    pending = std::move(answer);
    hasPending = true;
    return statusWord(0x61, le);
}

Bytes AcsEmulator::getResponse(size_t le) {
    if (!hasPending) return statusWord(0x6F, 0x00);
    Bytes answer(pending.begin(), pending.begin() + static_cast<long>(std::min(le, pending.size())));
    answer.push_back(0x90);
    answer.push_back(0x00);
    pending.clear();
    hasPending = false;
    return answer;
}

// Item 01 switches the RF field; other items (timings, retries) are accepted as they come.
Bytes AcsEmulator::rfConfiguration(const uint8_t* command, size_t length) {
    if (length >= 4 && command[2] == 0x01) field = (command[3] & 0x01) != 0;
    return Bytes{0xD5, 0x33};
}

// With a card: one FeliCa 212 kbit/s target, laid out as a PN533 InAutoPoll answer:
// D5 61 NbTg Type DataLength Tg POL_RES-length 01 IDm PMm.
Bytes AcsEmulator::autoPoll() {
    field = true;
    active = card != nullptr;
    if (!card) return Bytes{0xD5, 0x61, 0x00};
    static constexpr uint8_t kHead[] = {0xD5, 0x61, 0x01, 0x11, 0x13, 0x01, 0x12, 0x01};
    Bytes answer(sizeof kHead + card->idm.size() + card->pmm.size());
    auto at = std::copy(std::begin(kHead), std::end(kHead), answer.begin());
    at = std::copy(card->idm.begin(), card->idm.end(), at);
    std::copy(card->pmm.begin(), card->pmm.end(), at);
    return answer;
}

Bytes AcsEmulator::dataExchange(const uint8_t* command, size_t length) {
    if (length < 4 || command[2] != 0x01) return Bytes{0xD5, 0x41, 0x27};  // no such target
    if (!field || !active || !card) return noAnswer();
    return felica(command + 3, length - 3);
}

// A frame the card cannot parse, or one for another IDm, gets no answer at all.
Bytes AcsEmulator::felica(const uint8_t* frame, size_t length) {
    if (length < kFrameHeader || frame[0] != length) return noAnswer();
    if (!std::equal(card->idm.begin(), card->idm.end(), frame + 2)) return noAnswer();
    if (frame[1] == kReadCommand) return felicaRead(frame, length);
    if (frame[1] == kWriteCommand) return felicaWrite(frame, length);
    return noAnswer();
}

Bytes AcsEmulator::felicaRead(const uint8_t* frame, size_t length) {
    int blocks = frame[13];
    if (length != kFrameHeader + 3u * static_cast<size_t>(blocks)) return noAnswer();
    bool service = frame[10] == 0x01 && frame[11] == 0x0B && frame[12] == 0x00;
    if (!service) return exchangeAnswer(0x07, card->idm, 0x01, 0xA6, nullptr, 0);
    if (blocks < 1 || blocks > kMaxBlocks) return exchangeAnswer(0x07, card->idm, 0x01, 0xA2, nullptr, 0);
    uint8_t tail[1 + kMaxBlocks * kBlockSize];
    tail[0] = static_cast<uint8_t>(blocks);
    if (!card->readBlocks(frame + kFrameHeader, blocks, tail + 1)) {
        return exchangeAnswer(0x07, card->idm, 0x01, 0xA8, nullptr, 0);
    }
    return exchangeAnswer(0x07, card->idm, 0x00, 0x00, tail, 1 + static_cast<size_t>(blocks) * kBlockSize);
}

Bytes AcsEmulator::felicaWrite(const uint8_t* frame, size_t length) {
    int blocks = frame[13];
    if (length != kFrameHeader + 19u * static_cast<size_t>(blocks)) return noAnswer();
    bool service = frame[10] == 0x01 && frame[11] == 0x0B && frame[12] == 0x00;
    if (!service) return exchangeAnswer(0x09, card->idm, 0x01, 0xA6, nullptr, 0);
    if (blocks < 1 || blocks > kMaxBlocks) return exchangeAnswer(0x09, card->idm, 0x01, 0xA2, nullptr, 0);
    const uint8_t* data = frame + kFrameHeader + 3 * blocks;
    bool ok = card->writeBlocks(data, blocks);
    return exchangeAnswer(0x09, card->idm, ok ? 0x00 : 0x01, ok ? 0x00 : 0xA8, nullptr, 0);
}

}  // namespace sim
