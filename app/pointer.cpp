#include "app/pointer.h"

#include "audio/sound_effects.h"
#include "gfx/colour_tables.h"
#include "gfx/pixel_spans.h"
#include "platform/display.h"
#include "platform/window.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace {

struct CursorImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> normal;
    std::vector<uint16_t> grey;
};

// The ring pixels under the pointer's box, row by row, as they were before
// the pointer was drawn over them.
struct SavedPixels {
    bool saved = false;
    int64_t firstRow = 0; // ring index of the box's top-left pixel
    int32_t rowLength = 0;
    int32_t rowCount = 0;
    int32_t ringWidth = 0;
    int64_t ringSize = 0;
    std::vector<uint16_t> pixels;
};

// Calls run(ring index, offset in the row, count) for the one or two pieces
// of a row of `count` ring pixels from `index`, which may run over the end.
template<typename Run>
void forRingRow(int64_t index, int32_t count, int64_t ringSize, Run run)
{
    int32_t first = int32_t(std::min<int64_t>(count, ringSize - index));
    run(index, 0, first);
    if (first < count)
        run(0, first, count - first);
}

// False when nothing moved and the kind stayed: the timer may sleep.
bool pointerTimerTick(platform::Window* window);

// The thread of the 25 ms pointer timer. The orderly shutdown stops and joins
// it. Should the process end another way while it runs (a library's fatal
// error path calling exit), the destructor of the static pointer state would
// otherwise destroy a joinable thread, which terminates the process: this
// destructor stops and joins it instead.
class PointerTimer {
public:
    PointerTimer() = default;
    ~PointerTimer() { stop(); }
    PointerTimer(const PointerTimer&) = delete;
    PointerTimer& operator=(const PointerTimer&) = delete;

    void start(platform::Window& window)
    {
        if (m_thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = false;
        }
        m_thread = std::thread([this, &window] { run(&window); });
    }

    void stop()
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        nudge();
        // The timer thread cannot wait for itself (an exit on that thread).
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach();
        else
            m_thread.join();
    }

    bool running() const { return m_thread.joinable(); }

    // The mouse moved or the kind changed: a sleeping timer ticks again.
    void nudge()
    {
        m_activity.fetch_add(1);
        m_activity.notify_one();
    }

private:
    void run(platform::Window* window)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, std::chrono::milliseconds(25));
            if (m_stop)
                break;
            const uint32_t seen = m_activity.load();
            if (pointerTimerTick(window))
                continue;
            // Nothing to follow: no ticks until the mouse moves (or the kind
            // changes) again, which an idle program would pay for 40 times
            // a second. A nudge since `seen` ends the wait at once.
            lock.unlock();
            m_activity.wait(seen);
            lock.lock();
        }
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<uint32_t> m_activity { 0 };
};

struct PointerState {
    CursorKindRow kinds[kCursorKindCount];
    CursorImage images[kCursorImageCount];
    bool greyBuilt = false;
    bool use565 = false;
    int32_t pointerX = 0;
    int32_t pointerY = 0;
    std::atomic<int32_t> requestedKind { 0 };
    std::atomic<int32_t> cursorDirty { 0 };
    int32_t shownKind = -1;
    int32_t shownImage = -1;
    int32_t shownWidth = 0;
    int32_t shownHeight = 0;
    int32_t busyCount = 0;
    std::atomic<bool> drawingAllowed { false };
    // The newest mouse position as x in the high and y in the low 32 bits;
    // meaningful once mouseKnown is set (any pair, negative ones included, is
    // a position: a captured pointer goes past the left and top edges).
    std::atomic<uint64_t> mousePosition { 0 };
    std::atomic<bool> mouseKnown { false };
    SavedPixels underPointer;
    // The place and image the next frame draws, held since the composition
    // under it was planned (the timer thread may move the pointer meanwhile).
    bool held = false;
    int32_t heldX = 0;
    int32_t heldY = 0;
    int32_t heldImage = -1;
    PointerServices services;
    // The game area inside the client area; read by the timer thread too.
    std::atomic<int32_t> gameOffsetX { 0 };
    std::atomic<int32_t> gameOffsetY { 0 };
    std::atomic<int32_t> gameWidth { 640 };
    std::atomic<int32_t> gameHeight { 480 };

    std::recursive_mutex positionLock;
    std::recursive_mutex kindLock;
    std::recursive_mutex imageLock;

    // Last, so that it is stopped before anything it uses goes away.
    PointerTimer timer;
};

PointerState& state()
{
    static PointerState pointer;
    return pointer;
}

uint16_t convert565To555(uint16_t pixel) { return uint16_t((pixel & 0x001F) | ((pixel >> 1) & 0x7FE0)); }

uint64_t packPosition(int32_t x, int32_t y) { return (uint64_t(uint32_t(x)) << 32) | uint32_t(y); }

// The newest mouse position the event loop noted; false before the first.
bool newestMousePosition(int32_t& x, int32_t& y)
{
    PointerState& s = state();
    if (!s.mouseKnown.load())
        return false;
    uint64_t packed = s.mousePosition.load();
    x = int32_t(uint32_t(packed >> 32));
    y = int32_t(uint32_t(packed));
    return true;
}

// Moves the pointer to the newest mouse position when it is elsewhere, or
// anyway when `evenWhenThere`; true when it was moved.
bool followMouse(bool evenWhenThere)
{
    int32_t x = 0;
    int32_t y = 0;
    if (!newestMousePosition(x, y))
        return false;
    int32_t px = 0;
    int32_t py = 0;
    getPointerPosition(px, py);
    if (px == x && py == y && !evenWhenThere)
        return false;
    movePointerTo(x, y);
    return true;
}

bool isWarMode()
{
    PointerState& s = state();
    return s.services.isWarMode && s.services.isWarMode();
}

bool inGame()
{
    PointerState& s = state();
    return s.services.isInGame && s.services.isInGame();
}

// The hotspot of the kind on show, (0, 0) when none with art is; the caller
// holds the kind lock.
void shownHotspot(int32_t& x, int32_t& y)
{
    PointerState& s = state();
    x = 0;
    y = 0;
    if (s.shownKind >= 0 && s.kinds[s.shownKind].loaded) {
        x = s.kinds[s.shownKind].hotspotX;
        y = s.kinds[s.shownKind].hotspotY;
    }
}

// A cursor image from the source of a cursor's size, with as many pixels as
// its size says.
bool readCursorArt(CursorArtSource& source, int32_t artId, CursorArt& art)
{
    return source.cursorArt(artId, art) && art.width > 0 && art.height > 0 && art.width <= kMaxCursorSide
        && art.height <= kMaxCursorSide && art.pixels.size() >= size_t(art.width) * size_t(art.height);
}

void fillKindArt(int kind, int32_t first, int32_t last)
{
    state().kinds[kind].firstArt = first;
    state().kinds[kind].lastArt = last;
}

void resetKindTable()
{
    for (int i = 0; i < 8; ++i) {
        fillKindArt(i, 24659 + i, 24659 + i);
        fillKindArt(8 + i, 24659 + i, 24659 + i);
        fillKindArt(23 + i, 24682 + i, 24682 + i);
        fillKindArt(31 + i, 24682 + i, 24682 + i);
    }
    fillKindArt(16, 24667, 24667);
    fillKindArt(17, 24668, 24669);
    for (int i = 0; i < 5; ++i)
        fillKindArt(18 + i, 24670 + i, 24670 + i);
    fillKindArt(39, 24690, 24690);
    fillKindArt(40, 24691, 24692);
    for (int i = 0; i < 5; ++i)
        fillKindArt(41 + i, 24693 + i, 24693 + i);
}

// The pixel offset (dx, dy) of the hot point from the game-area centre.
bool centreOffset(int32_t x, int32_t y, bool ignoreBounds, int32_t& dx, int32_t& dy)
{
    PointerState& s = state();
    int32_t offsetX = s.gameOffsetX.load();
    int32_t offsetY = s.gameOffsetY.load();
    int32_t gameWidth = s.gameWidth.load();
    int32_t gameHeight = s.gameHeight.load();
    if (!ignoreBounds
        && (x < offsetX || x >= offsetX + gameWidth || y < offsetY || y >= offsetY + gameHeight))
        return false;
    dx = x - (offsetX + gameWidth / 2);
    dy = y - (offsetY + gameHeight / 2);
    return true;
}

int32_t directionOf(int32_t dx, int32_t dy)
{
    if (dx > 0) {
        if (dy < -2 * dx)
            return 0;
        if (2 * dy < -dx)
            return 1;
        if (2 * dy < dx)
            return 2;
        if (dy >= 2 * dx)
            return 4;
        return 3;
    }
    if (dy > -2 * dx)
        return 4;
    if (2 * dy > -dx)
        return 5;
    if (2 * dy > dx)
        return 6;
    if (dy <= 2 * dx)
        return 0;
    return 7;
}

bool nearCentre(int32_t dx, int32_t dy) { return 9 * int64_t(dx) * dx + 16 * int64_t(dy) * dy <= 409600; }

bool useGreySet()
{
    PointerState& s = state();
    return !isWarMode() && s.services.currentFacet && s.services.currentFacet() != 0;
}

void buildGreySet()
{
    PointerState& s = state();
    if (s.greyBuilt || !s.services.greyOf)
        return;
    for (CursorImage& image : s.images) {
        for (uint16_t& pixel : image.grey) {
            if (!pixel)
                continue;
            // The look-up is in 5-5-5; a 5-6-5 pixel is narrowed for it and the
            // result widened back.
            uint16_t narrow = s.use565 ? convert565To555(pixel) : pixel;
            // A zero field is raised first so that no pixel turns transparent.
            uint16_t red = std::max<uint16_t>((narrow >> 10) & 31, 1);
            uint16_t green = std::max<uint16_t>((narrow >> 5) & 31, 1);
            uint16_t blue = std::max<uint16_t>(narrow & 31, 1);
            uint16_t grey = s.services.greyOf(uint16_t((red << 10) | (green << 5) | blue));
            pixel = s.use565 ? convert555To565(grey) : grey;
        }
    }
    s.greyBuilt = true;
}

// One run of the pointer timer (on its thread).
bool pointerTimerTick(platform::Window* window)
{
    PointerState& s = state();
    // A run that finds the sound code at work on its buffers is skipped.
    if (!tryAcquireSoundBusy())
        return true;
    // A changed kind is chosen again even when the mouse stood still.
    const bool moved = followMouse(s.cursorDirty.load() != 0);
    if (moved) {
        // Only the main thread presents: ask it for a present of what
        // changed (a paint message would send the whole picture).
        s.cursorDirty.store(1);
        if (window)
            window->postMessage({ platform::MessageKind::Timer, kPointerTimerId, 0, 0, 0 });
    }
    releaseSoundBusy();
    return moved;
}

} // namespace

void initPointerState()
{
    PointerState& s = state();
    std::scoped_lock lock(s.positionLock, s.kindLock, s.imageLock);
    for (CursorKindRow& row : s.kinds)
        row = CursorKindRow {};
    resetKindTable();
    for (CursorImage& image : s.images)
        image = CursorImage {};
    s.greyBuilt = false;
    s.pointerX = 0;
    s.pointerY = 0;
    s.shownKind = -1;
    s.shownImage = -1;
    s.shownWidth = 0;
    s.shownHeight = 0;
    s.busyCount = 0;
    s.requestedKind.store(0);
    s.cursorDirty.store(1);
    s.drawingAllowed.store(false);
    s.mouseKnown.store(false);
    s.underPointer = SavedPixels {};
}

void releasePointerState()
{
    stopPointerTimer();
    PointerState& s = state();
    std::scoped_lock lock(s.positionLock, s.kindLock, s.imageLock);
    for (CursorImage& image : s.images)
        image = CursorImage {};
    s.greyBuilt = false;
    s.underPointer = SavedPixels {};
}

void setPointerServices(PointerServices services) { state().services = std::move(services); }
void setPointerGameArea(int32_t offsetX, int32_t offsetY, int32_t width, int32_t height)
{
    PointerState& s = state();
    s.gameOffsetX.store(offsetX);
    s.gameOffsetY.store(offsetY);
    s.gameWidth.store(width);
    s.gameHeight.store(height);
}
void setPointerDrawingAllowed(bool allowed) { state().drawingAllowed.store(allowed); }

const CursorKindRow& cursorKindRow(int kind) { return state().kinds[std::clamp(kind, 0, kCursorKindCount - 1)]; }

void loadCursors(CursorArtSource& source, uint16_t combatHue, bool use565)
{
    PointerState& s = state();
    std::scoped_lock lock(s.kindLock, s.imageLock);
    CursorArt art;
    for (CursorKindRow& row : s.kinds) {
        for (int32_t id = row.firstArt; id <= row.lastArt; ++id) {
            if (!readCursorArt(source, id, art))
                continue;
            // Hotspot x: the marker within the first run of row 0.
            int32_t column = 0;
            while (column < art.width && art.pixels[size_t(column)] == 0)
                ++column;
            for (; column < art.width && art.pixels[size_t(column)] != 0; ++column) {
                if (art.pixels[size_t(column)] == kHotspotMarker) {
                    row.hotspotX = uint8_t(std::min(column, 255));
                    break;
                }
            }
            // Hotspot y: the first row whose first opaque pixel is the marker.
            for (int32_t y = 0; y < art.height; ++y) {
                const uint16_t* line = art.pixels.data() + size_t(y) * size_t(art.width);
                const uint16_t* first = std::find_if(line, line + art.width, [](uint16_t p) { return p != 0; });
                if (first != line + art.width && *first == kHotspotMarker) {
                    row.hotspotY = uint8_t(std::min(y, 255));
                    break;
                }
            }
            row.maxWidth = std::max(row.maxWidth, art.width);
            row.maxHeight = std::max(row.maxHeight, art.height);
            row.loaded = true;
        }
    }
    uint16_t tintRed = (combatHue >> 10) & 31;
    uint16_t tintGreen = (combatHue >> 5) & 31;
    uint16_t tintBlue = combatHue & 31;
    for (int i = 0; i < kCursorImageCount; ++i) {
        CursorImage& image = s.images[i];
        image = CursorImage {};
        if (!readCursorArt(source, kFirstCursorArt + i, art))
            continue;
        image.width = art.width & ~1;
        image.height = art.height;
        image.normal.assign(size_t(image.width) * size_t(image.height), 0);
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x)
                image.normal[size_t(y * image.width + x)] = art.pixels[size_t(y) * size_t(art.width) + size_t(x)];
        }
        image.grey = image.normal;
        if (i < kPeaceKindOffset && combatHue != 0) {
            // The red field is the pixel's intensity.
            for (uint16_t& pixel : image.normal) {
                if (!pixel)
                    continue;
                uint32_t intensity = (pixel >> 10) & 31;
                pixel = uint16_t((((intensity * tintRed) >> 5) << 10) | (((intensity * tintGreen) >> 5) << 5)
                    | ((intensity * tintBlue) >> 5));
            }
        }
        if (use565) {
            for (uint16_t& pixel : image.normal)
                pixel = convert555To565(pixel);
            for (uint16_t& pixel : image.grey)
                pixel = convert555To565(pixel);
        }
    }
    s.greyBuilt = false;
    s.use565 = use565;
    s.shownKind = -1;
}

void setCursorKind(int32_t kind)
{
    PointerState& s = state();
    if (!inGame())
        kind = kNormalCursorKind;
    else if (kind == kBusyCursorKind && s.busyCount <= 0)
        s.busyCount = 1;
    int32_t effective = s.busyCount > 0 ? kBusyCursorKind : kind;
    if (effective != s.requestedKind.load()) {
        s.requestedKind.exchange(effective);
        s.cursorDirty.exchange(1);
        s.timer.nudge();
    }
}

int32_t getCursorKind() { return state().requestedKind.load(); }
bool isCursorDirty() { return state().cursorDirty.load() != 0; }
void beginBusyCursor() { ++state().busyCount; }
void endBusyCursor()
{
    if (state().busyCount > 0)
        --state().busyCount;
}
int32_t busyCount() { return state().busyCount; }

void setCursorForGumpType(int32_t code)
{
    bool arrow = (code >= 1 && code <= 8) || (code >= 31 && code <= 38);
    setCursorKind(arrow ? 0 : kNormalCursorKind);
}

int32_t shownCursorKind()
{
    std::lock_guard<std::recursive_mutex> lock(state().kindLock);
    return state().shownKind;
}

void getPointerPosition(int32_t& x, int32_t& y)
{
    PointerState& s = state();
    std::scoped_lock lock(s.positionLock, s.kindLock);
    int32_t hotX = 0;
    int32_t hotY = 0;
    shownHotspot(hotX, hotY);
    x = s.pointerX + hotX;
    y = s.pointerY + hotY;
}

void getCursorImageSize(int32_t& width, int32_t& height)
{
    std::lock_guard<std::recursive_mutex> lock(state().imageLock);
    width = state().shownWidth;
    height = state().shownHeight;
}

int32_t getPointerDirection(bool ignoreBounds)
{
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    int32_t dx = 0;
    int32_t dy = 0;
    if (!centreOffset(x, y, ignoreBounds, dx, dy))
        return -1;
    return directionOf(dx, dy);
}

bool isPointerNearCentre()
{
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    int32_t dx = 0;
    int32_t dy = 0;
    centreOffset(x, y, true, dx, dy);
    return nearCentre(dx, dy);
}

void movePointerTo(int32_t x, int32_t y)
{
    PointerState& s = state();
    int32_t hotX = 0;
    int32_t hotY = 0;
    {
        std::scoped_lock lock(s.positionLock, s.kindLock);
        shownHotspot(hotX, hotY);
        s.pointerX = x - hotX;
        s.pointerY = y - hotY;
    }
    chooseShownCursor();
    // The new kind may have another hotspot: keep the hot point where it is.
    std::scoped_lock lock(s.positionLock, s.kindLock);
    shownHotspot(hotX, hotY);
    s.pointerX = x - hotX;
    s.pointerY = y - hotY;
}

void chooseShownCursor()
{
    PointerState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.kindLock);
    int32_t kind = s.requestedKind.load();
    if (kind == 0) {
        int32_t direction = getPointerDirection(false);
        if (direction == -1) {
            kind = kNormalCursorKind;
        } else {
            kind = direction;
            if (isPointerNearCentre())
                kind = direction + 8;
        }
    }
    if (!isWarMode())
        kind += kPeaceKindOffset;
    // Only kinds of the table: a requested kind of -24 would otherwise come
    // out as -1 in peace and read the row before the table.
    if (kind >= 0 && kind < kCursorKindCount && kind != s.shownKind) {
        s.cursorDirty.exchange(1);
        s.shownKind = kind;
        std::lock_guard<std::recursive_mutex> imageLock(s.imageLock);
        s.shownImage = s.kinds[kind].firstArt - kFirstCursorArt;
        if (s.shownImage >= 0 && s.shownImage < kCursorImageCount) {
            s.shownWidth = s.images[s.shownImage].width;
            s.shownHeight = s.images[s.shownImage].height;
        } else {
            s.shownWidth = 0;
            s.shownHeight = 0;
        }
    }
}

void notePointerMoved(int32_t x, int32_t y)
{
    // The position first: a reader that sees the flag sees a position.
    state().mousePosition.store(packPosition(x, y));
    state().mouseKnown.store(true);
    state().timer.nudge();
}

bool pointerNeedsRedraw()
{
    PointerState& s = state();
    if (!s.drawingAllowed.load())
        return false;
    if (s.cursorDirty.load())
        return true;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    if (!newestMousePosition(mouseX, mouseY))
        return false;
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    return x != mouseX || y != mouseY;
}

platform::ScreenRect holdPointerForFrame(int32_t width, int32_t height)
{
    PointerState& s = state();
    s.held = false;
    if (!s.drawingAllowed.load() || width <= 0 || height <= 0)
        return {};
    followMouse(false);
    std::scoped_lock lock(s.positionLock, s.kindLock, s.imageLock);
    s.held = true;
    s.heldX = s.pointerX;
    s.heldY = s.pointerY;
    s.heldImage = s.shownImage;
    if (s.heldImage < 0 || s.heldImage >= kCursorImageCount)
        return {};
    const CursorImage& image = s.images[s.heldImage];
    return platform::ScreenRect { s.heldX, s.heldY, s.heldX + image.width, s.heldY + image.height }.intersected(
        { 0, 0, width, height });
}

platform::ScreenRect drawPointerIntoFrame(uint16_t* ring, int32_t width, int32_t height, int64_t ringOffset)
{
    PointerState& s = state();
    SavedPixels& saved = s.underPointer;
    saved.saved = false;
    const bool held = s.held;
    s.held = false;
    if (!ring || !s.drawingAllowed.load() || width <= 0 || height <= 0)
        return {};
    if (!held)
        followMouse(false);
    std::scoped_lock lock(s.positionLock, s.kindLock, s.imageLock);
    const int32_t x = held ? s.heldX : s.pointerX;
    const int32_t y = held ? s.heldY : s.pointerY;
    const int32_t shown = held ? s.heldImage : s.shownImage;
    if (shown < 0 || shown >= kCursorImageCount)
        return {};
    bool grey = useGreySet();
    if (grey)
        buildGreySet();
    const CursorImage& image = s.images[shown];
    const std::vector<uint16_t>& pixels = grey ? image.grey : image.normal;
    if (pixels.empty())
        return {};
    // The image's box within the picture; each of its rows is one run of the
    // ring that may continue at the array's start. The whole box is kept, so
    // that putting it back needs no record of single pixels.
    const platform::ScreenRect box
        = platform::ScreenRect { x, y, x + image.width, y + image.height }.intersected({ 0, 0, width, height });
    if (box.isEmpty())
        return {};
    saved.ringSize = int64_t(width) * height;
    saved.ringWidth = width;
    saved.rowLength = box.width();
    saved.rowCount = box.height();
    saved.firstRow = ((ringOffset + int64_t(box.top) * width + box.left) % saved.ringSize + saved.ringSize)
        % saved.ringSize;
    saved.pixels.resize(size_t(saved.rowLength) * size_t(saved.rowCount));
    int64_t rowStart = saved.firstRow;
    for (int32_t row = 0; row < saved.rowCount; ++row) {
        uint16_t* keep = saved.pixels.data() + size_t(row) * size_t(saved.rowLength);
        const uint16_t* line
            = pixels.data() + size_t(box.top + row - y) * size_t(image.width) + size_t(box.left - x);
        forRingRow(rowStart, saved.rowLength, saved.ringSize, [&](int64_t index, int32_t offset, int32_t count) {
            std::memcpy(keep + offset, ring + index, size_t(count) * sizeof(uint16_t));
            copySpanTransparent(ring + index, line + offset, count);
        });
        rowStart += width;
        if (rowStart >= saved.ringSize)
            rowStart -= saved.ringSize;
    }
    saved.saved = true;
    return box;
}

void removePointerFromFrame(uint16_t* ring)
{
    PointerState& s = state();
    SavedPixels& saved = s.underPointer;
    if (ring && saved.saved) {
        int64_t rowStart = saved.firstRow;
        for (int32_t row = 0; row < saved.rowCount; ++row) {
            const uint16_t* keep = saved.pixels.data() + size_t(row) * size_t(saved.rowLength);
            forRingRow(rowStart, saved.rowLength, saved.ringSize, [&](int64_t index, int32_t offset, int32_t count) {
                std::memcpy(ring + index, keep + offset, size_t(count) * sizeof(uint16_t));
            });
            rowStart += saved.ringWidth;
            if (rowStart >= saved.ringSize)
                rowStart -= saved.ringSize;
        }
    }
    saved.saved = false;
    s.cursorDirty.store(0);
}

void startPointerTimer(platform::Window& window) { state().timer.start(window); }

void stopPointerTimer()
{
    std::lock_guard<std::mutex> display(platform::displayLock());
    state().timer.stop();
}

bool pointerTimerRunning() { return state().timer.running(); }
