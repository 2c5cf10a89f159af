#pragma once
// The server packets that open or feed the reading windows: book headers
// (0x93, 0xD4) and pages (0x66), the bulletin board (0x71), signs (0x8B),
// help texts (0xB7), the quest arrow (0xBA), course-map pins (0x56) and web
// pages for the desktop's browser (0xA5). Each handler reads its whole
// packet with the checked reader and acts only when every field was there;
// a packet about an unknown object changes nothing. Main thread only.

#include <cstdint>

void handleBookHeader(const uint8_t* packet);
void handleBookHeaderText(const uint8_t* packet);
void handleBookPages(const uint8_t* packet);
void handleBulletinBoard(const uint8_t* packet);
void handleSign(const uint8_t* packet);
void handleHelpText(const uint8_t* packet);
void handleQuestPointer(const uint8_t* packet);
void handleMapPlot(const uint8_t* packet);
void handleOpenWebPage(const uint8_t* packet);

// Registers them with the dispatcher.
void registerServerWindowHandlers();
