#pragma once
// The course map: a picture of a rectangle of the world with a course of
// numbered pins joined by lines, opened by the server (0x90) for a map item.
// While the server grants editing (0x56 action 7) the player adds pins
// (a click near a segment inserts at its middle), drags them elsewhere or
// off the map, and clears the course; each change is sent with 0x56 and
// applied to the map item's pins at once. The pins belong to the map item,
// so the course survives closing the window.
//
// The gump manager owns the window; it names its map item by serial and
// keeps pins by index, so a course the server changes under a drag is never
// read through a stale pin. Points are local pixels. Main thread only; times
// are tick-count milliseconds.

#include "gump/gump.h"
#include "windows/course_map_image.h"
#include "windows/window_clicks.h"
#include "world/container_item.h"

#include <cstdint>
#include <vector>

class Button;
class MapItem;

class CourseGump final : public CGump {
public:
    static constexpr int32_t kMapArt = 5021;
    static constexpr int32_t kPinArt = 5020;
    static constexpr int32_t kClearArt = 5018;
    static constexpr int32_t kEditArtOff = 5016;
    static constexpr int32_t kEditArtOn = 5017;
    static constexpr int32_t kBackgroundArt = 5170;
    static constexpr int32_t kMapX = 24;
    static constexpr int32_t kMapY = 31;
    static constexpr int32_t kMaxPins = 50;
    static constexpr int32_t kNearSegment = 10;
    static constexpr int32_t kSegmentMargin = 9;
    static constexpr uint16_t kLineColour = 0x7FFF;
    static constexpr uint16_t kMinimisedColour = 0x1414;
    // The largest map picture a server may ask for, either way.
    static constexpr int32_t kMaxMapSide = 2048;

    enum Action : uint8_t {
        kAppendPin = 1,
        kInsertPin = 2,
        kMovePin = 3,
        kRemovePin = 4,
        kClearCourse = 5,
        kAskToEdit = 6,
        kEditGranted = 7,
        kEditDenied = 8,
    };

    CourseGump(int32_t x, int32_t y, int32_t art, MapItem& map, const CourseArea& area, int32_t mapWidth,
        int32_t mapHeight);
    ~CourseGump() override;

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;

    void redrawMap();
    // The server's answer to an edit request.
    void setEditMode(bool on);
    // The buttons: ask to start or end editing; clear the course.
    void requestEdit();
    void clearCourse();

    bool isEditMode() const { return m_editMode; }
    uint32_t mapSerial() const { return ownerSerial(); }
    int32_t mapWidth() const { return m_mapWidth; }
    int32_t mapHeight() const { return m_mapHeight; }
    bool isInsertMarkOn() const { return m_insertMarkOn; }
    int32_t insertMarkX() const { return m_insertMarkX; }
    int32_t insertMarkY() const { return m_insertMarkY; }
    bool isDraggingPin() const { return m_dragIndex >= 0; }
    Button* clearButton() const;
    Button* editButton() const;
    // A point of the map picture (exclusive of its frame).
    bool inMapArea(int32_t x, int32_t y) const;

private:
    struct Neighbour {
        int32_t x = 0;
        int32_t y = 0;
        int32_t number = 0;
    };
    // A segment near a point: the index of its second pin and its middle.
    struct NearSegment {
        int32_t secondPin = -1;
        int32_t middleX = 0;
        int32_t middleY = 0;
    };

    MapItem* mapItem() const;
    const std::vector<PlotPoint>& pins() const;
    int32_t pinAt(int32_t x, int32_t y) const;
    NearSegment segmentNear(int32_t x, int32_t y, bool forHover) const;
    void addPinAt(int32_t x, int32_t y);
    void startPinDrag(int32_t x, int32_t y);
    void drawRubberBand(int32_t x, int32_t y);
    void eraseRubberBand();
    void drawPin(int32_t x, int32_t y, int32_t number);
    void sendPin(uint8_t action, int32_t index, int32_t x, int32_t y);
    void drawWorldPicture();

    WindowClicks m_clicks;
    // The pin under the press in edit mode (-1 none); its index.
    int32_t m_grabbedPin = -1;
    // While a pin is dragged: its former index (-1 otherwise).
    int32_t m_dragIndex = -1;
    // The pin whose segment to the next is not drawn during a drag, or -1.
    int32_t m_segmentHidden = -1;
    bool m_segmentHiddenOn = false;
    bool m_rubberBandDrawn = false;
    bool m_insertMarkOn = false;
    bool m_editMode = false;
    int32_t m_insertMarkX = 0;
    int32_t m_insertMarkY = 0;
    int32_t m_rubberBandX = 0;
    int32_t m_rubberBandY = 0;
    int32_t m_neighbourCount = 0;
    Neighbour m_neighbours[2];
    GumpPage m_cleanPage;
    GumpHandle m_clearButton;
    GumpHandle m_editButton;
    int32_t m_art;
    CourseArea m_area;
    int32_t m_mapWidth;
    int32_t m_mapHeight;
    // The world picture, made once when the window opens.
    std::vector<uint16_t> m_worldPicture;
};

// The course windows of a map item.
CourseGump* findCourseGump(uint32_t map);
// The server opened a map (0x90): its window, or null when the object is no
// map, the art is below the course art or the size is out of bounds.
CourseGump* openCourseMap(uint32_t serial, int32_t art, const CourseArea& area, int32_t mapWidth, int32_t mapHeight);
