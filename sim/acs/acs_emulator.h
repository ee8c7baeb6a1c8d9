// Emulation of the PC/SC answers of an ACS ACR122U (PN53x controller) with a stopwatch,
// or nothing, on its field: one command APDU in, one response APDU out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/stopwatch.h"

namespace sim {

// The ATR that the reader reports for a FeliCa card.
inline constexpr uint8_t kFelicaAtr[] = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
                                         0x03, 0x06, 0x11, 0x00, 0x3B, 0x00, 0x00, 0x00, 0x00, 0x42};

// How the reader answers a direct transmit: with 61 Le, the controller's answer then fetched
// by Get Response (the T=0 path and older firmware), or directly with that answer and 90 00
// (an ACR122U under pcsc-lite's CCID driver, which runs T=1).
enum class AcsAnswers { GetResponse, Direct };

// The controller is reached with direct transmit FF 00 00 00 Lc <command>; Get Response
// FF C0 00 00 Le returns an answer that waits. Not thread-safe; one emulator per card
// connection.
class AcsEmulator {
public:
    // `card` is not owned; null means no card on the field.
  explicit AcsEmulator(Stopwatch* card = nullptr, AcsAnswers answers = AcsAnswers::GetResponse);

  void setAnswers(AcsAnswers style) { answers = style; }

  // Lays a card on the field (or lifts it with null). A new card must be polled again.
  void setCard(Stopwatch* card);
  // The reader powers the card up for a new connection: controller state starts afresh.
  void powerOn();

  std::vector<uint8_t> transmit(const uint8_t* apdu, size_t length);
  std::vector<uint8_t> transmit(const std::vector<uint8_t>& apdu) {
      return transmit(apdu.data(), apdu.size()); }

    bool fieldOn() const { return field; }
    bool targetActive() const { return active; }

private:
    std::vector<uint8_t> directTransmit(const uint8_t* command, size_t length);
    std::vector<uint8_t> getResponse(size_t le);
    std::vector<uint8_t> rfConfiguration(const uint8_t* command, size_t length);
    std::vector<uint8_t> autoPoll();
    std::vector<uint8_t> dataExchange(const uint8_t* command, size_t length);
    std::vector<uint8_t> felica(const uint8_t* frame, size_t length);
    std::vector<uint8_t> felicaRead(const uint8_t* frame, size_t length);
    std::vector<uint8_t> felicaWrite(const uint8_t* frame, size_t length);

    Stopwatch* card;
    AcsAnswers answers;
    std::vector<uint8_t> pending;  // controller answer waiting for Get Response
    bool hasPending = false;
    bool field = false;
    bool active = false;  // the card was found by polling since power-on
};

}  // namespace sim
