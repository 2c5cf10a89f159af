#pragma once
// Two windows that show a picture and take almost no input. DumbGump is a
// decoration: a block of pixels, a gump art or an item art placed by other
// windows as a label; the pointer passes through it. SignGump is the window
// of a sign in the world: its gump art with the sign's text written inside
// the art's content area; it is dragged by its picture and closed by the
// right button.
//
// The gump manager owns both; a sign names its world object by serial only.
// Points are local pixels. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string_view>

class DumbGump final : public CGump {
public:
    // One page of width x height, cleared; `pixels` (width x height values)
    // are copied in when given, and gump art `gumpArt` drawn at (0, 0) when
    // it is not -1.
    DumbGump(int32_t x, int32_t y, int32_t width, int32_t height, int32_t itemArtId, const uint16_t* pixels,
        int32_t gumpArt);

    void draw(GumpCanvas& canvas) override;
    // The pointer passes through to whatever lies beneath.
    bool containsPoint(int32_t, int32_t) override { return false; }
    bool isClosableByCloseAll() override { return false; }

    // Draws the item art instead of the page.
    void setItemArtMode(bool on) { m_itemArtMode = on; }
    // Each picture pixel is laid over the background at three quarters.
    void setTranslucent(bool on) { m_translucent = on; }
    int32_t itemArtId() const { return m_itemArtId; }

private:
    bool m_itemArtMode = false;
    bool m_translucent = false;
    int32_t m_itemArtId;
};

class SignGump final : public CGump {
public:
    static constexpr int32_t kTextFont = 1;
    static constexpr int32_t kTextHue = 902;

    // The art's size and picture, `text` word-wrapped inside the art's content
    // area. `ownerSerial` 0 for a sign with no world object.
    SignGump(int32_t x, int32_t y, int32_t art, std::string_view text, uint32_t ownerSerial);

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;

    bool isDragging() const { return m_dragging; }

private:
    bool m_dragging = false;
};

// The sign window of a world object, or null.
SignGump* findSignGump(uint32_t serial);
