#include "windows/server_window_packets.h"

#include "core/wide_text.h"
#include "data/settings_services.h"
#include "data/targeting.h"
#include "gump/gump_manager.h"
#include "net/packet_dispatcher.h"
#include "protocol/packet_reader.h"
#include "windows/book_gump.h"
#include "windows/bulletin_board.h"
#include "windows/bulletin_message.h"
#include "windows/course_map.h"
#include "windows/help_text_popup.h"
#include "windows/picture_windows.h"
#include "windows/quest_pointer.h"
#include "windows/system_text.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <string>
#include <vector>

namespace {

constexpr int32_t kBookTitleField = 60;
constexpr int32_t kBookAuthorField = 30;
// Page lines keep at most 78 characters, as the 79-unit buffers did.
constexpr int32_t kPageLineUnits = 79;
constexpr int32_t kBoardNameField = 30;
constexpr int32_t kBoardNameChars = 30;
constexpr int32_t kPosterChars = 28;
constexpr int32_t kSubjectChars = 78;
constexpr int32_t kTimeChars = 78;
constexpr int32_t kSignX = 100;
constexpr int32_t kSignY = 100;
// Signs of objects the client does not know each open a window; past this
// many the oldest goes, so that a server cannot pile them up without end.
constexpr int32_t kMaxSignWindows = 16;

enum BoardCommand : uint8_t {
    kOpenBoard = 0,
    kPostingSummary = 1,
    kWholeMessage = 2,
};

std::u16string decodeUtf8(std::string_view bytes, int32_t maxChars)
{
    const std::string copy(bytes);
    std::vector<char16_t> wide(size_t(maxChars) + 1, u'\0');
    utf8ToWide(wide.data(), copy.c_str(), maxChars + 1);
    return std::u16string(wide.data());
}

// A NUL-terminated text; false (the reader failed) when the packet ends
// before its NUL.
bool readTerminated(PacketReader& reader, std::string& text)
{
    const int32_t before = reader.remaining();
    if (!reader.ok() || before <= 0) {
        reader.skip(before + 1);
        return false;
    }
    text = reader.textToEnd();
    if (before - reader.remaining() != int32_t(text.size()) + 1) {
        reader.skip(1);
        return false;
    }
    return true;
}

// A text after a length byte or word: at most `length` bytes, up to a NUL.
std::string readCounted(PacketReader& reader, int32_t length)
{
    return length > 0 ? reader.fixedText(length, size_t(length)) : std::string();
}

struct BoardTexts {
    std::u16string poster;
    std::u16string subject;
    std::u16string time;
};

BoardTexts readBoardTexts(PacketReader& reader)
{
    BoardTexts texts;
    texts.poster = decodeUtf8(readCounted(reader, reader.u8()), kPosterChars);
    texts.subject = decodeUtf8(readCounted(reader, reader.u8()), kSubjectChars);
    texts.time = decodeUtf8(readCounted(reader, reader.u8()), kTimeChars);
    return texts;
}

void openBook(uint32_t serial, bool writable, bool editable, int32_t pageCount, const std::string& title,
    const std::string& author, int32_t headerKind)
{
    if (!findObjectBySerial(serial))
        return;
    if (BookGump* open = findBookGump(serial)) {
        open->setHeader(title, author);
        return;
    }
    new BookGump(0, 0, BookGump::kArt, serial, title, author, pageCount, writable, editable, headerKind);
}

void openBoard(PacketReader& reader)
{
    const uint32_t serial = reader.u32();
    const std::string name = reader.fixedText(kBoardNameField, kBoardNameField);
    Item* board = reader.ok() ? findItemBySerial(serial) : nullptr;
    if (!board)
        return;
    if (BulletinBoardGump* open = findBulletinBoard(serial)) {
        open->bringToFront(false);
        open->clampToScreen();
        return;
    }
    gumpLink(new BulletinBoardGump(serial, decodeUtf8(name, kBoardNameChars)), nullptr);
}

void addBoardPosting(PacketReader& reader)
{
    const uint32_t boardSerial = reader.u32();
    const uint32_t message = reader.u32();
    const uint32_t parent = reader.u32();
    const BoardTexts texts = readBoardTexts(reader);
    if (!reader.ok())
        return;
    Item* board = findItemBySerial(boardSerial);
    BulletinBoardGump* window = board && board->isContainer() ? findBulletinBoard(boardSerial) : nullptr;
    if (window && findItemBySerial(message))
        window->addPosting(message, parent, texts.poster, texts.subject, texts.time);
}

void showBoardMessage(PacketReader& reader)
{
    reader.u32();
    const uint32_t message = reader.u32();
    const BoardTexts texts = readBoardTexts(reader);
    reader.u16();
    reader.u16();
    const int32_t pairs = reader.u8();
    reader.skip(pairs * 4);
    const int32_t count = reader.u8();
    std::vector<std::u16string> body;
    for (int32_t i = 0; i < count && reader.ok(); ++i) {
        const int32_t length = reader.u8();
        // The length byte may or may not count a terminating NUL: the text
        // is taken up to its NUL either way, so no character is lost.
        const std::string line = readCounted(reader, length);
        if (int32_t(body.size()) < BBMessageGump::kMaxReadLines)
            body.push_back(decodeUtf8(line, length));
    }
    if (!reader.ok() || !findItemBySerial(message))
        return;
    // One window per message: a message sent again replaces its window.
    if (BBMessageGump* open = findMessageWindow(message); open && !open->isCompose())
        closeGump(open);
    BoardRequest& request = boardRequest();
    auto* window = new BBMessageGump(message, request.parent, texts.poster, texts.subject, texts.time, false);
    request.pending = false;
    for (const std::u16string& line : body)
        window->addBodyLine(line);
    window->redrawText();
}

} // namespace

void handleBookHeader(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const bool writable = reader.u8() != 0;
    const bool editable = reader.u8() != 0;
    const int32_t pageCount = reader.u16();
    const std::string title = reader.fixedText(kBookTitleField, kBookTitleField);
    const std::string author = reader.fixedText(kBookAuthorField, kBookAuthorField);
    if (reader.ok())
        openBook(serial, writable, editable, pageCount, title, author, 1);
}

void handleBookHeaderText(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const bool writable = reader.u8() != 0;
    const bool editable = reader.u8() != 0;
    const int32_t pageCount = reader.u16();
    const std::string title = readCounted(reader, reader.u16());
    const std::string author = readCounted(reader, reader.u16());
    if (reader.ok())
        openBook(serial, writable, editable, pageCount, title, author, 2);
}

void handleBookPages(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const int32_t count = reader.u16();
    struct ReceivedPage {
        int32_t number;
        std::vector<std::u16string> lines;
    };
    std::vector<ReceivedPage> pages;
    for (int32_t i = 0; i < count && reader.ok(); ++i) {
        ReceivedPage received { reader.u16(), {} };
        const int32_t lineCount = reader.u16();
        for (int32_t line = 0; line < lineCount && reader.ok(); ++line) {
            std::string text;
            if (!readTerminated(reader, text))
                break;
            // A page holds 20 lines; the rest are read past.
            if (int32_t(received.lines.size()) < BookPage::kMaxLines)
                received.lines.push_back(decodeUtf8(text, kPageLineUnits - 1));
        }
        pages.push_back(std::move(received));
    }
    if (!reader.ok() || !findObjectBySerial(serial))
        return;
    BookGump* book = findBookGump(serial);
    for (const ReceivedPage& received : pages) {
        if (!isValidGump(book))
            return;
        book->receivePage(received.number, received.lines);
    }
}

void handleBulletinBoard(const uint8_t* packet)
{
    PacketReader reader(packet);
    switch (reader.u8()) {
    case kOpenBoard:
        openBoard(reader);
        break;
    case kPostingSummary:
        addBoardPosting(reader);
        break;
    case kWholeMessage:
        showBoardMessage(reader);
        break;
    default:
        break;
    }
}

void handleSign(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const int32_t art = reader.u16();
    readCounted(reader, reader.u16());
    const std::string text = readCounted(reader, reader.u16());
    if (!reader.ok())
        return;
    const bool known = findObjectBySerial(serial) != nullptr;
    if (known && findSignGump(serial))
        return;
    int32_t signs = 0;
    CGump* oldest = nullptr;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Sign)) {
            ++signs;
            oldest = gump;
        }
    }
    if (signs >= kMaxSignWindows)
        closeGump(oldest);
    gumpLink(new SignGump(kSignX, kSignY, art, text, known ? serial : 0), nullptr);
}

void handleHelpText(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    std::u16string text;
    while (reader.ok() && reader.remaining() >= 2) {
        const char16_t unit = char16_t(reader.u16());
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    if (reader.ok() && findObjectBySerial(serial))
        showHelpText(text);
}

void handleQuestPointer(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t active = reader.u8();
    const int32_t x = reader.u16();
    const int32_t y = reader.u16();
    if (reader.ok())
        setPointerGump(x, y, active);
}

void handleMapPlot(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const uint8_t action = reader.u8();
    const uint8_t value = reader.u8();
    const uint16_t x = reader.u16();
    const uint16_t y = reader.u16();
    if (!reader.ok())
        return;
    Item* item = findItemBySerial(serial);
    CourseGump* window = item && item->isMap() ? findCourseGump(serial) : nullptr;
    if (!window)
        return;
    switch (action) {
    case CourseGump::kAppendPin:
    case CourseGump::kInsertPin:
    case CourseGump::kMovePin:
    case CourseGump::kRemovePin:
    case CourseGump::kClearCourse:
        static_cast<MapItem*>(item)->editPlotPoint(
            action, value, uint16_t(x + CourseGump::kMapX), uint16_t(y + CourseGump::kMapY));
        window->redrawMap();
        break;
    case CourseGump::kEditGranted:
        window->setEditMode(value == 1);
        break;
    case CourseGump::kEditDenied:
        addSystemMessage(0, 3, "Request to edit denied.");
        break;
    default:
        break;
    }
}

void handleOpenWebPage(const uint8_t* packet)
{
    PacketReader reader(packet);
    const std::string url = narrowToUtf8String(reader.textToEnd().c_str());
    // Only a web page leaves full screen: anything else is refused before
    // the desktop changes.
    if (!reader.ok() || !isWebLink(url))
        return;
    DisplaySettingsService& display = displaySettings();
    if (display.isFullScreen())
        display.setDisplayMode(false);
    openUrlInBrowser(url);
}

void registerServerWindowHandlers()
{
    registerPacketHandler(0x56, handleMapPlot);
    registerPacketHandler(0x66, handleBookPages);
    registerPacketHandler(0x71, handleBulletinBoard);
    registerPacketHandler(0x8B, handleSign);
    registerPacketHandler(0x93, handleBookHeader);
    registerPacketHandler(0xA5, handleOpenWebPage);
    registerPacketHandler(0xB7, handleHelpText);
    registerPacketHandler(0xBA, handleQuestPointer);
    registerPacketHandler(0xD4, handleBookHeaderText);
}
