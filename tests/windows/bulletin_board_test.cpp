// Bulletin boards as the server opens them: the threads of posting lines in
// their band, expanding and collapsing, scrolling, lines leaving with their
// messages, message requests one at a time, and the message window that
// reads, answers and composes.

#include "reading_desktop.h"

#include "fixtures/facet_writer.h"
#include "fixtures/sample_reading_art.h"
#include "gump/thumb.h"
#include "gump/unicode_input_control.h"
#include "protocol/login_state.h"
#include "support/png_writer.h"
#include "support/reading_window_packets.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/bulletin_board.h"
#include "windows/bulletin_message.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kBoard = 0x40000503;
constexpr uint32_t kFirstMessage = 0x40000601;

class Boards : public windows_test::ReadingDesktop {
protected:
    Boards()
    {
        addItem(kBoard, fixture::kSampleBoardGraphic, fixture::kSampleCentreX + 1, fixture::kSampleCentreY);
        boardRequest() = BoardRequest {};
    }

    BulletinBoardGump* openBoard()
    {
        dispatch(test::boardOpenPacket(kBoard, "Town Board"));
        return findBulletinBoard(kBoard);
    }
    // A message item in the board and its summary.
    void post(uint32_t message, uint32_t parent, const std::string& subject)
    {
        addToContainer(message, fixture::kSampleMessageGraphic, 10, 10, kBoard);
        dispatch(test::boardSummaryPacket(kBoard, message, parent, "Aldo", subject, "noon"));
    }
    static int32_t yOf(BulletinBoardGump& board, uint32_t message) { return board.lineFor(message)->y(); }
    static bool shows(BulletinBoardGump& board, uint32_t message) { return board.lineFor(message)->isVisible(); }
    // A click on a line's icon (x below 22 releases at once).
    void clickIcon(BulletinBoardGump& board, uint32_t message)
    {
        BBLineGump* line = board.lineFor(message);
        const int32_t x = board.x() + line->x() + 4;
        const int32_t y = board.y() + line->y() + 4;
        pressLeft(x, y);
        releaseLeft(x, y);
        advance(kDoubleClickMs + 10);
    }
    void doubleClickLine(BulletinBoardGump& board, uint32_t message)
    {
        BBLineGump* line = board.lineFor(message);
        doubleClick(board.x() + line->x() + 60, board.y() + line->y() + 5);
    }
};

TEST_F(Boards, AnOpenBoardAsksForTheSummaryOfEachMessageThatEnters)
{
    BulletinBoardGump* board = openBoard();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->x(), (640 - board->width()) / 2);
    EXPECT_EQ(board->y(), (480 - board->height()) / 2);
    takePackets();
    addToContainer(kFirstMessage, fixture::kSampleMessageGraphic, 10, 10, kBoard);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "71 00 0C 04 40 00 05 03 40 00 06 01");
    // A second board packet raises the open window instead of making another.
    dispatch(test::boardOpenPacket(kBoard, "Town Board"));
    EXPECT_EQ(findBulletinBoard(kBoard), board);
}

TEST_F(Boards, RepliesWaitInACollapsedThreadUntilItOpens)
{
    BulletinBoardGump* board = openBoard();
    post(kFirstMessage, 0, "First");
    post(kFirstMessage + 1, 0, "Second");
    EXPECT_EQ(yOf(*board, kFirstMessage), BulletinBoardGump::kListTop);
    EXPECT_EQ(yOf(*board, kFirstMessage + 1), BulletinBoardGump::kListTop + 18);
    EXPECT_EQ(board->lineFor(kFirstMessage)->expandState(), -1);

    post(kFirstMessage + 2, kFirstMessage, "Reply one");
    post(kFirstMessage + 3, kFirstMessage, "Reply two");
    // The first reply makes the thread collapsed; the replies are hidden and
    // nothing below them moves.
    EXPECT_EQ(board->lineFor(kFirstMessage)->expandState(), 0);
    EXPECT_FALSE(shows(*board, kFirstMessage + 2));
    EXPECT_EQ(yOf(*board, kFirstMessage + 1), BulletinBoardGump::kListTop + 18);
    composeAll();
    const fixture::GumpArtPicture collapsed = fixture::sampleReadingGumpArt().at(55);
    BBLineGump* first = board->lineFor(kFirstMessage);
    EXPECT_EQ(screenPixel(board->x() + first->x() + 6, board->y() + first->y() + 7), collapsed.at(6, 7));

    clickIcon(*board, kFirstMessage);
    EXPECT_EQ(board->lineFor(kFirstMessage)->expandState(), 1);
    EXPECT_TRUE(shows(*board, kFirstMessage + 2));
    EXPECT_EQ(yOf(*board, kFirstMessage + 2), BulletinBoardGump::kListTop + 18);
    EXPECT_EQ(yOf(*board, kFirstMessage + 3), BulletinBoardGump::kListTop + 36);
    EXPECT_EQ(yOf(*board, kFirstMessage + 1), BulletinBoardGump::kListTop + 54);
    // A reply to an open thread shows at once and pushes the next thread down.
    post(kFirstMessage + 4, kFirstMessage, "Reply three");
    EXPECT_TRUE(shows(*board, kFirstMessage + 4));
    EXPECT_EQ(yOf(*board, kFirstMessage + 1), BulletinBoardGump::kListTop + 72);

    clickIcon(*board, kFirstMessage);
    EXPECT_EQ(board->lineFor(kFirstMessage)->expandState(), 0);
    EXPECT_EQ(yOf(*board, kFirstMessage + 1), BulletinBoardGump::kListTop + 18);
}

TEST_F(Boards, TheLastReplyLeavingEmptiesTheThreadIcon)
{
    BulletinBoardGump* board = openBoard();
    post(kFirstMessage, 0, "First");
    post(kFirstMessage + 1, kFirstMessage, "Only reply");
    post(kFirstMessage + 2, 0, "Next");
    clickIcon(*board, kFirstMessage);
    ASSERT_EQ(yOf(*board, kFirstMessage + 2), BulletinBoardGump::kListTop + 36);
    deleteObjectBySerial(kFirstMessage + 1);
    EXPECT_EQ(board->lineFor(kFirstMessage + 1), nullptr);
    EXPECT_EQ(board->lineFor(kFirstMessage)->expandState(), -1);
    EXPECT_EQ(yOf(*board, kFirstMessage + 2), BulletinBoardGump::kListTop + 18);
    // The top line leaving gives the top to the next line.
    deleteObjectBySerial(kFirstMessage);
    EXPECT_EQ(board->topLine(), board->lineFor(kFirstMessage + 2));
    EXPECT_EQ(yOf(*board, kFirstMessage + 2), BulletinBoardGump::kListTop);
}

TEST_F(Boards, ScrollingMovesTheLinesThroughTheBand)
{
    BulletinBoardGump* board = openBoard();
    constexpr int32_t kPostings = 12;
    for (int32_t i = 0; i < kPostings; ++i)
        post(kFirstMessage + uint32_t(i), 0, "Posting " + std::to_string(i));
    // The band holds nine lines: the tenth is hidden.
    EXPECT_TRUE(shows(*board, kFirstMessage + 8));
    EXPECT_FALSE(shows(*board, kFirstMessage + 9));
    for (int32_t i = 0; i < 20; ++i)
        board->scrollDown();
    // Down until the last line is at the top.
    EXPECT_EQ(board->topLine(), board->lineFor(kFirstMessage + kPostings - 1));
    EXPECT_EQ(yOf(*board, kFirstMessage + kPostings - 1), BulletinBoardGump::kListTop);
    EXPECT_FALSE(shows(*board, kFirstMessage));
    EXPECT_EQ(board->thumb()->position(), board->thumb()->range());
    board->scrollUp();
    EXPECT_EQ(board->topLine(), board->lineFor(kFirstMessage + kPostings - 2));
    // The thumb dragged to the end of its track shows the last line at the top.
    board->onSlider(100, 100, board->thumb());
    EXPECT_EQ(yOf(*board, kFirstMessage + kPostings - 1), BulletinBoardGump::kListTop);
    EXPECT_TRUE(shows(*board, kFirstMessage + kPostings - 1));
    board->onSlider(0, 100, board->thumb());
    EXPECT_EQ(yOf(*board, kFirstMessage), BulletinBoardGump::kListTop);
}

TEST_F(Boards, ScrolledLinesShowOnlyInsideTheBand)
{
    BulletinBoardGump* board = openBoard();
    constexpr int32_t kPostings = 12;
    constexpr int32_t kScrolled = 3;
    constexpr int32_t kBandLines = 9;
    for (int32_t i = 0; i < kPostings; ++i)
        post(kFirstMessage + uint32_t(i), 0, "Posting number " + std::to_string(i));
    for (int32_t i = 0; i < kScrolled; ++i)
        board->scrollDown();
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_board.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0xcadef0cef184b2c4ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);

    // Each row of the band shows the message picture of the posting
    // scrolled there; above and below the band the board's own art shows.
    const auto art = fixture::sampleReadingGumpArt();
    const fixture::GumpArtPicture& back = art.at(BulletinBoardGump::kArt);
    const fixture::GumpArtPicture& note = art.at(BBLineGump::kMessageArt);
    constexpr int32_t kNoteX = BulletinBoardGump::kListLeft + 18;
    for (int32_t y = BulletinBoardGump::kListTop - 2 * kBoardLineHeight;
         y < BulletinBoardGump::kListBottom + kBoardLineHeight; ++y) {
        const int32_t row = y - BulletinBoardGump::kListTop;
        const bool inBand = row >= 0 && row < kBandLines * kBoardLineHeight;
        for (int32_t x = kNoteX; x < kNoteX + note.width; ++x) {
            const uint16_t shown = screenPixel(board->x() + x, board->y() + y);
            if (inBand && row % kBoardLineHeight < note.height) {
                ASSERT_EQ(shown, note.at(x - kNoteX, row % kBoardLineHeight)) << x << "," << y;
            } else if (!inBand) {
                ASSERT_EQ(shown, back.at(x, y)) << x << "," << y;
            }
        }
    }
    // The text of the first line in the band is the fourth posting's.
    EXPECT_EQ(board->topLine(), board->lineFor(kFirstMessage + kScrolled));
}

TEST_F(Boards, AScrolledMessageShowsItsLinesFromTheFirstShownDownToTheTextBottom)
{
    openBoard();
    post(kFirstMessage, 0, "Rows");
    post(kFirstMessage + 1, 0, "Blank");
    constexpr int32_t kRows = 30;
    constexpr int32_t kScrolled = 2;
    auto rowText = [](int32_t row) { return row % 3 == 1 ? std::string() : "row " + std::to_string(row); };
    std::vector<std::string> rows;
    for (int32_t row = 0; row < kRows; ++row)
        rows.push_back(rowText(row));
    auto openAt = [this](uint32_t message, const std::vector<std::string>& body) {
        dispatch(test::boardMessagePacket(kBoard, message, "Aldo", "Rows", "noon", body));
        BBMessageGump* window = findMessageWindow(message);
        if (window)
            window->moveTo(200, 60, true, nullptr, false);
        return window;
    };
    // The same window with every line empty gives the picture under the text.
    BBMessageGump* blank = openAt(kFirstMessage + 1, std::vector<std::string>(kRows));
    ASSERT_NE(blank, nullptr);
    composeAll();
    const std::vector<uint16_t> under = screenPicture();
    closeGump(blank);
    BBMessageGump* message = openAt(kFirstMessage, rows);
    ASSERT_NE(message, nullptr);
    for (int32_t i = 0; i < kScrolled; ++i)
        message->scrollDown();
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_message.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0x310ad6f00268a8bdull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);

    // The label font's line step; a line is drawn while it ends above the
    // text bottom.
    int32_t unusedWidth = 0;
    int32_t step = 0;
    int32_t baseline = 0;
    ASSERT_TRUE(measureAsciiText(9, "Aq", unusedWidth, step, baseline));
    const int32_t drawn = (message->textBottom() - BBMessageGump::kBodyTop - 1) / step;
    ASSERT_GT(drawn, 3);
    // Which rows have ink; each line's ink starts where a run of inked
    // rows starts, a whole number of steps below the first line's.
    std::vector<bool> inkedRow(size_t(message->height()), false);
    for (int32_t y = BBMessageGump::kBodyTop; y < message->height(); ++y) {
        for (int32_t x = BBMessageGump::kLeft; x <= BBMessageGump::kRight; ++x) {
            const size_t at = size_t(message->y() + y) * 640 + size_t(message->x() + x);
            if (picture[at] != under[at]) {
                ASSERT_LT(y, message->textBottom()) << x << "," << y;
                inkedRow[size_t(y)] = true;
            }
        }
    }
    std::vector<int32_t> starts;
    for (int32_t y = BBMessageGump::kBodyTop; y < message->height(); ++y)
        if (inkedRow[size_t(y)] && !inkedRow[size_t(y - 1)])
            starts.push_back(y);
    ASSERT_FALSE(starts.empty());
    ASSERT_LT(starts[0] - BBMessageGump::kBodyTop, step);
    std::vector<int32_t> shownBands;
    for (int32_t start : starts) {
        EXPECT_EQ((start - starts[0]) % step, 0) << start;
        shownBands.push_back((start - starts[0]) / step);
    }
    std::vector<int32_t> expected;
    for (int32_t band = 0; band < drawn; ++band)
        if (!rowText(kScrolled + band).empty())
            expected.push_back(band);
    EXPECT_EQ(shownBands, expected);
}

TEST_F(Boards, OneMessageIsAskedForAtATime)
{
    BulletinBoardGump* board = openBoard();
    post(kFirstMessage, 0, "First");
    post(kFirstMessage + 1, kFirstMessage, "Reply");
    post(kFirstMessage + 2, 0, "Other");
    clickIcon(*board, kFirstMessage);
    takePackets();
    doubleClickLine(*board, kFirstMessage + 1);
    std::vector<Bytes> sent = takePacketsWithId(0x71);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "71 00 0C 03 40 00 05 03 40 00 06 02");
    doubleClickLine(*board, kFirstMessage + 2);
    EXPECT_TRUE(takePacketsWithId(0x71).empty());
    // The message opens with the thread it belongs to as its reply-to.
    dispatch(test::boardMessagePacket(kBoard, kFirstMessage + 1, "Aldo", "Reply", "noon", { "Hello" }));
    BBMessageGump* message = findMessageWindow(kFirstMessage + 1);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->replyTo(), kFirstMessage);
    EXPECT_FALSE(boardRequest().pending);
    doubleClickLine(*board, kFirstMessage + 2);
    EXPECT_EQ(takePacketsWithId(0x71).size(), 1u);
}

TEST_F(Boards, AMessageShowsItsFirstEightyLines)
{
    openBoard();
    post(kFirstMessage, 0, "Long");
    std::vector<std::string> body;
    for (int32_t i = 0; i < 90; ++i)
        body.push_back("line " + std::to_string(i));
    body[5] = "";
    dispatch(test::boardMessagePacket(kBoard, kFirstMessage, "Aldo", "Long", "noon", body));
    BBMessageGump* message = findMessageWindow(kFirstMessage);
    ASSERT_NE(message, nullptr);
    ASSERT_EQ(message->body().lineCount(), BBMessageGump::kMaxReadLines);
    // Each line keeps all its characters, the empty one too.
    EXPECT_EQ(message->body().lines[79], u"line 79");
    EXPECT_EQ(message->body().lines[5], u"");
    for (int32_t i = 0; i < 100; ++i)
        message->scrollDown();
    EXPECT_EQ(message->body().firstShown, BBMessageGump::kMaxReadLines);
}

TEST_F(Boards, ARepliesSubjectStartsWithReAndIsCutToItsRoom)
{
    BulletinBoardGump* board = openBoard();
    post(kFirstMessage, 0, "Top");
    dispatch(test::boardMessagePacket(kBoard, kFirstMessage, "Aldo", std::string(78, 's'), "noon", { "x" }));
    BBMessageGump* read = findMessageWindow(kFirstMessage);
    ASSERT_NE(read, nullptr);
    read->reply();
    BBMessageGump* compose = findMessageWindow(kBoard);
    ASSERT_NE(compose, nullptr);
    EXPECT_TRUE(compose->isCompose());
    // Replying to a top-level message replies to that message.
    EXPECT_EQ(compose->replyTo(), kFirstMessage);
    const std::u16string subject = compose->subjectEntry()->text();
    EXPECT_EQ(subject.substr(0, 4), u"RE: ");
    EXPECT_LE(subject.size(), 79u);
    (void)board;
}

TEST_F(Boards, APostSendsExactlyTheLinesWritten)
{
    BulletinBoardGump* board = openBoard();
    loginSession().playerName = "Brenna";
    takePackets();
    board->composeMessage(0, u"");
    BBMessageGump* compose = findMessageWindow(kBoard);
    ASSERT_NE(compose, nullptr);
    compose->subjectEntry()->setText(u"Hi");
    // Focus on the body, then two lines.
    pressLeft(compose->x() + 40, compose->y() + BBMessageGump::kBodyTop + 2);
    releaseLeft(compose->x() + 40, compose->y() + BBMessageGump::kBodyTop + 2);
    for (char16_t c : std::u16string(u"one\rtwo"))
        compose->onKey(c);
    compose->post();
    EXPECT_EQ(findMessageWindow(kBoard), nullptr);
    std::vector<Bytes> sent = takePacketsWithId(0x71);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "71 00 1B 05 40 00 05 03 00 00 00 00 03 48 69 00 02 04 6F 6E 65 00 04 74 77 6F 00");
    // An empty window posts no line.
    board->composeMessage(0, u"");
    findMessageWindow(kBoard)->post();
    sent = takePacketsWithId(0x71);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "71 00 0E 05 40 00 05 03 00 00 00 00 00 00");
}

class MessageEditor : public Boards {
protected:
    MessageEditor()
    {
        openBoard()->composeMessage(0, u"");
        window = findMessageWindow(kBoard);
        font = std::make_unique<ScopedUnicodeFont>(1);
    }
    void type(std::u16string_view text)
    {
        for (char16_t c : text)
            body.key(c, view());
    }
    MessageBody::View view() const { return { BBMessageGump::kBodyTop, BBMessageGump::kBodyTop, 240, 18 }; }

    BBMessageGump* window = nullptr;
    std::unique_ptr<ScopedUnicodeFont> font;
    MessageBody body;
};

TEST_F(MessageEditor, TypingWrapsAtTheLastBlankBeforeTheWidth)
{
    std::u16string words;
    for (int i = 0; i < 200; ++i)
        words += i % 5 == 4 ? u' ' : u'a';
    type(words);
    ASSERT_GT(body.lineCount(), 1);
    std::u16string joined;
    for (const std::u16string& line : body.lines) {
        EXPECT_LE(measureUnicodeString(line.c_str()), MessageBody::kWrapWidth);
        joined += line;
    }
    EXPECT_EQ(joined, words);
    EXPECT_EQ(body.caretLine, body.lineCount() - 1);
}

TEST_F(MessageEditor, TheTextStopsAtSeventyNineLines)
{
    for (int i = 0; i < 100; ++i)
        body.key(GumpKey::kEnter, view());
    EXPECT_EQ(body.lineCount(), MessageBody::kMaxLines);
    std::u16string words(3000, u'q');
    type(words);
    EXPECT_EQ(body.lineCount(), MessageBody::kMaxLines);
    EXPECT_LE(body.caretColumn, int32_t(body.caretText().size()));
}

TEST_F(MessageEditor, BackspaceJoinsLinesAndSplitsThemAgainWhenTooWide)
{
    type(std::u16string(30, u'a'));
    body.key(GumpKey::kEnter, view());
    type(std::u16string(20, u'b'));
    body.key(GumpKey::kHome, view());
    ASSERT_EQ(body.caretLine, 1);
    body.key(GumpKey::kBackspace, view());
    // Whatever the join does, every character is still there, in order,
    // and every line fits.
    std::u16string joined;
    for (const std::u16string& line : body.lines) {
        EXPECT_LE(measureUnicodeString(line.c_str()), MessageBody::kJoinWidth);
        joined += line;
    }
    EXPECT_EQ(joined, std::u16string(30, u'a') + std::u16string(20, u'b'));
    EXPECT_EQ(body.lineCount(), 2);
    // Emptying the only line empties the body.
    MessageBody single;
    single.key(u'x', view());
    single.key(GumpKey::kBackspace, view());
    EXPECT_EQ(single.lineCount(), 0);
}

} // namespace
