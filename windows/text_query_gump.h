#pragma once
// The text query ("Stringquery gump"): the server's question (0xAB) with a
// title, a description, a text or number entry (or none), OK and, when the
// server allows it, Cancel. It is modal while open. OK and Enter answer with
// the entry's text, Cancel and Escape (only when Cancel is allowed) with
// button 0; either closes it. Close-all leaves it open. Main thread only.

#include "windows/dialog_window.h"

#include <cstdint>
#include <string>

class InputControl;

class StringQueryGump final : public DialogWindow {
public:
    static constexpr int32_t kFaceArt = 1140;
    static constexpr int32_t kEntryArt = 1141;
    static constexpr int32_t kX = 121;
    static constexpr int32_t kY = 102;
    // Style 0: no entry; 1: text; 2: a number.
    static constexpr uint8_t kTextStyle = 1;
    static constexpr uint8_t kNumberStyle = 2;

    StringQueryGump(uint32_t serial, uint16_t parentId, std::string_view title, bool cancelAllowed, uint8_t style,
        uint32_t limit, std::string_view description);
    ~StringQueryGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    void onEnter() override;
    void onEscape() override;
    bool isClosableByCloseAll() override { return false; }

    void accept();
    void cancel();

    InputControl* entry() const { return m_entry; }
    bool isCancelAllowed() const { return m_cancelAllowed; }

private:
    void answer(bool ok);

    uint32_t m_serial;
    uint16_t m_parentId;
    bool m_cancelAllowed;
    InputControl* m_entry = nullptr;
};

// Packet 0xAB: a query window, modal, over everything.
void handleTextEntryGump(const uint8_t* packet);
