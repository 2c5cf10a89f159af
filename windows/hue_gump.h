#pragma once
// The hue picker: a stand-alone dialog with a 20 x 10 grid of hues, a
// five-step shade slider with a button at each end, a preview and OK. The
// server's dye request (packet 0x95) opens one for an item, and OK answers
// with the chosen hue in 0x95; such a picker cannot be cancelled. A caller
// choosing a colour (the options) opens one with a preview art or text and
// hears the hue, or -1 when the player cancelled with a right click. Hue
// numbers here are 1-based (hue h shows hue-table record h - 1). The gump
// manager owns the window. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <functional>
#include <string>

class HueGump final : public CGump {
public:
    static constexpr int32_t kArt = 2310;
    static constexpr int32_t kGridLeft = 34;
    static constexpr int32_t kGridTop = 34;
    static constexpr int32_t kGridRight = 193;
    static constexpr int32_t kGridBottom = 113;
    static constexpr int32_t kCell = 8;
    static constexpr int32_t kColumns = 20;
    static constexpr int32_t kRows = 10;
    static constexpr int32_t kShades = 5;
    static constexpr uint16_t kMarkColour = 0x7FFF;

    using HueChosen = std::function<void(int32_t hue)>;

    // The server's dye request for the item `serial`: `value` is echoed back,
    // `graphic` is the item shown in the preview. Centred on the screen.
    HueGump(uint32_t serial, uint16_t value, uint16_t graphic);
    // A colour choice at (x, y): the preview art hued (or, with
    // textPreview, the text), starting on `hue`; `chosen` hears the result.
    HueGump(int32_t x, int32_t y, int32_t previewArt, bool textPreview, std::string text, int32_t hue,
        HueChosen chosen);
    ~HueGump() override;

    int32_t hue() const { return m_hue; }
    int32_t shade() const { return m_shade; }
    uint32_t serialOfRequest() const { return m_serial; }
    bool repliesByPacket() const { return m_replyByPacket; }
    // The hue of the grid point (local pixels) at the current shade; -1
    // outside the grid (its edges belong to it).
    int32_t hueAt(int32_t x, int32_t y) const;
    void setShade(int32_t shade);
    void redraw();
    // OK: the picker closes (and a dye request answers).
    void accept();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;

private:
    void addChildren();
    void drawPreview(GumpPage& face);

    uint32_t m_serial = 0;
    uint16_t m_value = 0;
    uint16_t m_graphic = 0;
    bool m_replyByPacket = false;
    bool m_itemPreview = false;
    bool m_artPreview = false;
    bool m_textPreview = false;
    int32_t m_previewArt = 0;
    std::string m_text;
    int32_t m_hue = 3;
    int32_t m_shade = 1;
    bool m_picking = false;
    bool m_dragging = false;
    bool m_cancelled = false;
    HueChosen m_chosen;
    GumpHandle m_slider;
};

// The open picker of a dye request for the serial, or null.
HueGump* findDyePicker(uint32_t serial);
// The dye request's window: an open picker of the serial is kept on the
// screen; otherwise a new one opens on top.
HueGump* openDyePicker(uint32_t serial, uint16_t value, uint16_t graphic);
