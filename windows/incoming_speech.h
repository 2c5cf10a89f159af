#pragma once
// Speech and messages from the server: the Unicode speech packet (0xAE), the
// ASCII speech packet (0x1C) and the two localized message packets (0xC1,
// 0xCC) are read here and shown over their speaker, in the system-message
// area, or not at all (ignored speakers, silent types, the death fade), and
// every shown line reaches the journal. Texts pass the obscenity filter and,
// in automatic mode, the translation client first. Main thread only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Received texts keep at most this many units (the rest of a longer one is
// not read).
constexpr size_t kMaxIncomingSpeechUnits = 2048;
constexpr size_t kMaxLocalizedTextUnits = 1023;
constexpr size_t kMaxAffixArgumentUnits = 512;
// The speaker name field of the speech packets.
constexpr int32_t kSpeakerNameSize = 30;

constexpr uint16_t kGmHue = 34;
constexpr int32_t kGmNoticeCliloc = 1074834;
constexpr int32_t kSystemLineCliloc = 3000265;
constexpr uint16_t kTranslatedSpeechHue = 53;

// Set by the first GM line of a conversation, cleared by its end; the speech
// line offers GM mode only while it is set.
bool isGmConversationOpen();
void setGmConversationOpen(bool open);

// A Unicode text from `serial` (0xFFFFFFFF or an unknown serial: no speaker).
void showIncomingSpeech(uint32_t serial, uint16_t graphic, uint8_t type, uint16_t hue, uint16_t font,
    std::string_view language, std::string_view name, std::u16string text);
// A byte text from `serial`.
void showAsciiSpeech(uint32_t serial, uint16_t graphic, uint8_t type, uint16_t hue, uint16_t font,
    std::string_view name, std::string text);

// A text on screen was clicked: when the translation client runs and accepts
// `language`, the text is sent for translation, and the translation is shown
// over the object `serial` (hue 53) if it still exists then. False when
// nothing was sent.
bool translateClickedText(std::string_view language, std::u16string_view text, uint32_t serial);

void handleUnicodeSpeechPacket(const uint8_t* packet);
void handleAsciiSpeechPacket(const uint8_t* packet);
void handleLocalizedMessagePacket(const uint8_t* packet);
void handleLocalizedAffixPacket(const uint8_t* packet);

// Registers the speech and prompt packet handlers with the dispatcher.
void registerSpeechHandlers();
