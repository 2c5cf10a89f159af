#pragma once
// Overhead texts: the short-lived lines over world objects (speech, names,
// notices) and in the system-message area at the bottom left, 8-bit
// (BarkGump) or UTF-16 with an outline (UnicodeBarkGump). The texts of one
// owner form a stack that grows upward, newest at the bottom; the system
// area is one more stack without owner. A text over an item inside a
// container or worn by a mobile stands at the press point of that
// container's (or paperdoll's) window and lives only while that window is
// open.
//
// These are the windows only: the rest of the program shows a text through
// windows/system_text.h, which writes the journal line first and then makes
// the window here (through TextWindows and the world's OverheadTextViews,
// which the game windows' services install). The gump manager owns the texts
// (top-level gumps); a text expires after its lifetime. Positions are
// game-view pixels, client pixels for texts over items in windows. Main
// thread only.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>
#include <string>
#include <string_view>

class StaticObject;
class UnicodeBarkGump;

class BarkGump : public CGump {
public:
    static constexpr int32_t kOwnerWrapWidth = 200;
    static constexpr int32_t kSystemWrapWidth = 320;
    static constexpr int32_t kSystemAreaLift = 45;
    static constexpr uint16_t kHighlightHue = 53;
    static constexpr int32_t kLineHeight = 15;
    static constexpr int32_t kMsPerLine = 4000;

    ~BarkGump() override;

    // Final, so that the look below holds for every kind of text.
    void draw(GumpCanvas& canvas) final;
    // Its page as last drawn, and whether another text overlaps it (which
    // draws it half blended).
    bool lookKey(uint64_t& key) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onHoverTick() override;
    bool isInGameView() override { return !m_inWindow; }
    bool isClosableByCloseAll() override { return false; }
    void kindAction() override { followOwner(); }
    bool hasExpired(uint32_t now) override { return now - m_creationTime > uint32_t(m_lifetime); }
    CGump* attachedGump() override { return m_containerGump.get(); }
    void followView() override;

    // Moves with the owner by the change of its anchor since the last
    // placement; texts of the system area, over the player and in windows
    // stay where they are.
    void followOwner();
    // Redraws the text in `hue` (53 while the pointer is over a speaker's).
    virtual void redrawText(uint16_t hue);
    virtual bool isAsciiBark() const { return true; }

    // Keeps the stack of `text` inside the screen: the oldest texts go while
    // the stack is taller than the screen; a stack above the top is laid
    // out downward from 0, one below the bottom upward from there.
    static void restackOwnerChain(BarkGump* text);

    StaticObject* owner() const;
    uint32_t creationTime() const { return m_creationTime; }
    int32_t lifetime() const { return m_lifetime; }
    void setTimes(uint32_t creationTime, int32_t lifetime) { m_creationTime = creationTime, m_lifetime = lifetime; }
    int32_t storedKind() const { return m_storedKind; }
    bool isKept() const { return m_kept; }
    void setKept(bool kept) { m_kept = kept; }
    int32_t desiredY() const { return m_desiredY; }
    uint16_t hue() const { return m_hue; }
    uint16_t font() const { return m_font; }
    const std::string& text() const { return m_text; }
    const std::string& languageCode() const { return m_languageCode; }
    BarkGump* olderText() const { return m_older; }
    BarkGump* newerText() const { return m_newer; }

protected:
    // The shared first steps; `finish` completes the text (or discards it:
    // the caller deletes a text that answers false).
    BarkGump(StaticObject* owner, uint16_t hue, uint16_t font, CGump* containerGump, int32_t kind);
    bool place(int32_t systemLift, int32_t width, int32_t height);
    // Places, draws and links a new text; false when it cannot be shown.
    bool finishText(int32_t systemLift, int32_t width, int32_t height);
    void setText(std::string text) { m_text = std::move(text); }
    void setLanguageCode(std::string code) { m_languageCode = std::move(code); }
    bool hasSpeakerOwner() const;

private:
    friend BarkGump* makeBarkGump(StaticObject*, std::string_view, uint16_t, uint16_t, CGump*, int32_t, bool);
    friend class UnicodeBarkGump;
    friend UnicodeBarkGump* makeUnicodeBarkGump(
        StaticObject*, std::u16string_view, uint16_t, uint16_t, std::string_view, CGump*, bool);

    // The owner's anchor now: its overhead point in game-view pixels, or the
    // press point of the window that holds it. False when it has none.
    bool ownerAnchor(int32_t& x, int32_t& y);
    void linkIntoStack();
    void unlinkFromStack();
    void maxPoint(int32_t& maxX, int32_t& maxY) const;
    void clampInto();
    void singleClick();
    bool isOverlappedByBark();

    uint32_t m_creationTime = 0;
    int32_t m_lifetime = 0;
    int32_t m_anchorX = 0;
    int32_t m_anchorY = 0;
    int32_t m_desiredX = 0;
    int32_t m_desiredY = 0;
    int32_t m_storedKind = 0;
    bool m_kept = false;
    BarkGump* m_older = nullptr;
    BarkGump* m_newer = nullptr;
    GumpHandle m_containerGump;
    // Compared only; the world tells the texts when the object goes.
    StaticObject* m_owner = nullptr;
    bool m_inWindow = false;
    bool m_youSee = false;
    bool m_linked = false;
    WindowClicks m_clicks;
    std::string m_text;
    uint16_t m_hue = 0;
    uint16_t m_font = 0;
    std::string m_languageCode;
};

class UnicodeBarkGump final : public BarkGump {
public:
    static constexpr int32_t kSystemAreaLift = 48;
    static constexpr int32_t kTextColourIndex = 30;
    static constexpr uint16_t kOutlineColour = 1;

    void redrawText(uint16_t hue) override;
    bool isAsciiBark() const override { return false; }
    const std::u16string& wideText() const { return m_wideText; }

private:
    friend UnicodeBarkGump* makeUnicodeBarkGump(
        StaticObject*, std::u16string_view, uint16_t, uint16_t, std::string_view, CGump*, bool);
    UnicodeBarkGump(StaticObject* owner, uint16_t hue, uint16_t font, CGump* containerGump);

    std::u16string m_wideText;
};

// An 8-bit text over `owner` (null: the system area), linked at the top of
// the desktop; null when it cannot be shown (an item whose window is shut).
// `youSee`: the text is a "You see: " name, which stands where a non-corpse
// item was clicked in the world view. No journal line is written.
BarkGump* makeBarkGump(StaticObject* owner, std::string_view text, uint16_t hue, uint16_t font,
    CGump* containerGump = nullptr, int32_t kind = 0, bool youSee = false);
// A UTF-16 text in the BarkFontNumber Unicode font, drawn in colour 30 of the
// hue's ramp with an outline; `language` empty for "enu". No journal line.
UnicodeBarkGump* makeUnicodeBarkGump(StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font,
    std::string_view language = {}, CGump* containerGump = nullptr, bool youSee = false);

// Deletes every text over `owner` (null: the system area).
void deleteOwnerTexts(const StaticObject* owner);
// The newest text over `owner` (null: the system area), or null.
BarkGump* newestText(const StaticObject* owner);
// Every text of an owner that moved follows it, then its stack is laid out.
void followOwnerTexts(const StaticObject& owner);
// Deletes every text attached to `window` (its container or paperdoll).
void deleteTextsAttachedTo(CGump* window);

// For every non-border pixel that is neither 0 nor `colour`, each of its
// eight neighbours that is 0 becomes `colour`.
void outlineText(uint16_t* pixels, int32_t width, int32_t height, uint16_t colour);
// The 50 % blend of non-zero source pixels over a block of rows; with the
// 5-6-5 form each pixel is ((dst >> 1) & 0x7BEF) + ((src >> 1) & 0x7BEF) | 1.
void blendRowsHalf(int32_t rows, int32_t width, uint16_t* destination, const uint16_t* source,
    int32_t destinationPitch, int32_t sourcePitch, bool form565);
// A page drawn at `at` (screen pixels) with its non-zero pixels blended
// half over what lies beneath, inside the canvas's clip.
void drawPageHalfBlended(GumpCanvas& canvas, const ScreenRect& at, const GumpPage& face);
