#pragma once
// The answer to the server's text or number query (0xAB): both buttons of
// the query window send the text-entry reply 0xAC with the entry's text (in
// number mode the decimal form of its value, which the entry then shows), a
// query without an entry an empty text; button 1 for OK and 0 for Cancel.
// The caller closes its window afterwards. Main thread only.

#include <cstdint>

class TextEntryCore;

enum class TextQueryButton : uint8_t {
    Cancel = 0,
    Ok = 1,
};

// Sends the reply for the query `serial` / `entryId` from `entry` (null for
// none); false when it could not be built or queued.
bool sendTextQueryReply(uint32_t serial, uint16_t entryId, TextEntryCore* entry, TextQueryButton button);
