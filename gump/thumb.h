#pragma once
// The draggable knob of a scroll bar or slider. It moves along one axis
// between a minimum and a maximum of its own position (parent coordinates)
// and reports to its parent with the position and range along that axis:
// onSlider after every drag step, onSliderReleased on release. The caller of
// setPosition redraws. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <span>
#include <string>

class Thumb : public CGump {
public:
    // A vertical thumb moves from y to trackEnd - its height, a horizontal one
    // from x to trackEnd - its width.
    Thumb(int32_t x, int32_t y, bool vertical, int32_t trackEnd, int32_t art);

    // Places the thumb at pos of range along its axis (range 0: the minimum).
    void setPosition(int32_t pos, int32_t range);
    // For a scrolling text window: the thumb shows which share of the text
    // lies above `firstVisible`. Each line is measured wrapped in ASCII font
    // 0 to right - left + 1 pixels with an indent of 2; `offset` pixels are
    // added to the height above. An empty text puts the thumb at the top.
    void syncToTextList(std::span<const std::string> lines, int32_t firstVisible, int32_t left, int32_t right,
        int32_t offset);

    void draw(GumpCanvas& canvas) override;
    bool lookKey(uint64_t& key) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onDrag(int32_t x, int32_t y) override;

    bool isVertical() const { return m_vertical; }
    bool isDragging() const { return m_dragging; }
    bool isHovered() const { return m_hovered; }
    int32_t minX() const { return m_minX; }
    int32_t maxX() const { return m_maxX; }
    int32_t minY() const { return m_minY; }
    int32_t maxY() const { return m_maxY; }
    void setRange(int32_t minX, int32_t maxX, int32_t minY, int32_t maxY);
    void setHoverArt(uint16_t art) { m_hoverArt = art; }
    // Position and range along the axis, as reported to the parent.
    int32_t position() const;
    int32_t range() const;

private:
    // The art drawn now: the hover art while the pointer is over it.
    int32_t shownArt() const;

    bool m_vertical;
    bool m_hovered = false;
    int32_t m_minX = 0;
    int32_t m_maxX = 0;
    int32_t m_minY = 0;
    int32_t m_maxY = 0;
    uint16_t m_hoverArt = 0;
    bool m_dragging = false;
};
