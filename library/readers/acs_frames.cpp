#include "acs_frames.h"

#include <cstring>

#include "card_reader.h"

namespace rdcom32::acs {
namespace {

constexpr uint8_t kReadWithoutEncryption = 0x06;
constexpr uint8_t kWriteWithoutEncryption = 0x08;
constexpr uint8_t kReadResponse = 0x07;
constexpr uint8_t kWriteResponse = 0x09;
// An answer of this length is the controller's error frame, never the stopwatch's.
constexpr size_t kErrorAnswerLength = 5;
// Response code, IDm and both status flags end here; a read adds the block count.
constexpr size_t kWriteAnswerMinimum = 15;

// The common head: direct transmit, InDataExchange for target 1, IDm, service 000B.
void buildHead(const uint8_t* idm, uint8_t command, size_t frameLength, int blocks, uint8_t* out) {
    const uint8_t head[] = {0xFF,
                            0x00,
                            0x00,
                            0x00,
                            static_cast<uint8_t>(frameLength + 3),
                            0xD4,
                            0x40,
                            0x01,
                            static_cast<uint8_t>(frameLength),
                            command};
    std::memcpy(out, head, sizeof head);
    std::memcpy(out + 10, idm, kIdmSize);
    out[18] = 0x01;
    out[19] = 0x0B;
    out[20] = 0x00;
    out[21] = static_cast<uint8_t>(blocks);
}

bool answerHeadValid(const uint8_t* answer, size_t length, const uint8_t* idm,
                     uint8_t responseCode) {
    return length != kErrorAnswerLength && length >= kWriteAnswerMinimum &&
           answer[4] == responseCode && std::memcmp(answer + 5, idm, kIdmSize) == 0 &&
           answer[13] == 0x00 && answer[14] == 0x00;
}

}  // namespace

bool answerPending(const uint8_t* answer, size_t length) {
    return length == 2 && answer[0] == 0x61;
}

bool noTagFound(const uint8_t* answer, size_t length) {
    static constexpr uint8_t kEmptyPoll[] = {0xD5, 0x61, 0x00, 0x90, 0x00};
    if (length >= sizeof kNoTagFound && std::memcmp(answer, kNoTagFound, sizeof kNoTagFound) == 0) {
        return true;
    }
    return length == sizeof kEmptyPoll && std::memcmp(answer, kEmptyPoll, length) == 0;
}

void buildGetResponse(uint8_t le, uint8_t* out) {
    const uint8_t command[kGetResponseLength] = {0xFF, 0xC0, 0x00, 0x00, le};
    std::memcpy(out, command, sizeof command);
}

size_t buildRead(const uint8_t* idm, const BlockList& list, int blocks, uint8_t* out) {
    const size_t listLength = 3 * static_cast<size_t>(blocks);
    buildHead(idm, kReadWithoutEncryption, listLength + 14, blocks, out);
    std::memcpy(out + 22, list, listLength);
    return listLength + 22;
}

size_t buildWrite(const uint8_t* idm, const uint8_t* data, int blocks, uint8_t* out) {
    const size_t count = static_cast<size_t>(blocks);
    buildHead(idm, kWriteWithoutEncryption, 19 * count + 14, blocks, out);
    std::memset(out + 22, 0, 3 * count);
    std::memcpy(out + 22 + 3 * count, data, kBlockSize * count);
    return 19 * count + 22;
}

bool readAnswerValid(const uint8_t* answer, size_t length, const uint8_t* idm, int blocks) {
    return answerHeadValid(answer, length, idm, kReadResponse) &&
           answer[15] == static_cast<uint8_t>(blocks) &&
           length >= kReadDataAt + kBlockSize * static_cast<size_t>(blocks);
}

bool writeAnswerValid(const uint8_t* answer, size_t length, const uint8_t* idm) {
    return answerHeadValid(answer, length, idm, kWriteResponse);
}

}  // namespace rdcom32::acs
