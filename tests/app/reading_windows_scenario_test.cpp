// The reading windows in the running program, against the test server's
// stage, as a player meets them: the chronicle on the ground read and
// turned, the blank book in the backpack written in and found again as
// written; the bulletin board's thread opened, a reply read and answered,
// a new posting made; the quest arrow on the horse clicked on to the board,
// the house sign read, a help text over the chronicle; the map in the
// backpack edited while the server grants it. Each family checks what the
// client shows and what the server received.

#include "app/scenario_runner.h"
#include "fixtures/facet_writer.h"
#include "fixtures/language_files.h"
#include "fixtures/sample_scene.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/unicode_input_control.h"
#include "platform/clock.h"
#include "support/stage_reading.h"
#include "support/world_point.h"
#include "windows/book_gump.h"
#include "windows/bulletin_board.h"
#include "windows/bulletin_message.h"
#include "windows/container_gump.h"
#include "windows/course_map.h"
#include "windows/help_text_popup.h"
#include "windows/picture_windows.h"
#include "windows/quest_pointer.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stage_scenario.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app_test::StageLog;
using app_test::StageScenario;

std::string readingNarrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A point on an item shown in the backpack's window.
bool pointInBackpack(uint32_t serial, int32_t& x, int32_t& y)
{
    CGump* pack = test::sceneBackpackWindow();
    Item* item = findItemBySerial(serial);
    if (!pack || !item)
        return false;
    x = pack->x() + item->x + 4;
    y = pack->y() + item->y + 4;
    return true;
}

// The centre of a window's button showing `art`.
bool buttonCentre(CGump* window, int32_t art, int32_t& x, int32_t& y)
{
    for (CGump* child = window ? window->firstChild() : nullptr; child; child = child->next()) {
        if (child->is(GumpKind::Button) && static_cast<Button*>(child)->upArt() == art) {
            const ScreenRect rect = child->screenRect();
            x = (rect.left + rect.right) / 2;
            y = (rect.top + rect.bottom) / 2;
            return true;
        }
    }
    return false;
}

class BookSession final : public StageScenario {
public:
    BookSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void addSteps() override
    {
        step("the chronicle",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageChronicle, x, y);
                doubleClick(x, y);
            },
            [this] {
                BookGump* book = findBookGump(test::kStageChronicle);
                if (!book || !book->textPage(1) || book->textPage(1)->lineCount() == 0)
                    return false;
                say("the chronicle opens at page 1: " + readingNarrow(book->textPage(1)->lines[0]));
                return true;
            });
        step("turning the page",
            [this] {
                int32_t x = 0, y = 0;
                // The next-page corner, below the menubar that lies over the
                // top of a book opened at the screen's corner.
                pointOf(findBookGump(test::kStageChronicle), 400, 28, x, y);
                click(x, y);
            },
            [this] {
                BookGump* book = findBookGump(test::kStageChronicle);
                if (!book || book->currentPage() != 2 || book->textPage(3)->lineCount() == 0)
                    return false;
                say("page 2 reads: " + readingNarrow(book->textPage(2)->lines[0]) + " after " + std::to_string(m_log.count(0x66))
                    + " page requests");
                return true;
            });
        step("closing the chronicle",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findBookGump(test::kStageChronicle), 200, 230, x, y);
                rightClick(x, y);
            },
            [] { return findBookGump(test::kStageChronicle) == nullptr; });
        addOpenBackpackSteps();
        step("the blank book",
            [this] {
                int32_t x = 0, y = 0;
                if (pointInBackpack(test::kStageBlankBook, x, y))
                    doubleClick(x, y);
            },
            [] {
                BookGump* book = findBookGump(test::kStageBlankBook);
                return book && book->isWritable() && book->pageCount() == test::kBlankBookPages;
            });
        step("writing the title",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findBookGump(test::kStageBlankBook), 60, 70, x, y);
                click(x, y);
                type("My Notes");
            },
            [] {
                BookGump* book = findBookGump(test::kStageBlankBook);
                return book && book->titleEntry()->text() == u"My Notes";
            });
        step("writing page 1",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findBookGump(test::kStageBlankBook), BookGump::kRightTextX + 2, BookGump::kTextTop + 2, x, y);
                click(x, y);
                type("Hello stage\rsecond line");
            },
            [] {
                BookGump* book = findBookGump(test::kStageBlankBook);
                const BookPage* one = book ? book->textPage(1) : nullptr;
                return one && one->lineCount() == 2 && one->lines[1] == u"second line";
            });
        step("closing the blank book",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findBookGump(test::kStageBlankBook), 200, 230, x, y);
                rightClick(x, y);
            },
            [this] {
                if (findBookGump(test::kStageBlankBook) || m_log.last(0x66).size() < 20)
                    return false;
                const test::WirePacket header = m_log.last(0x93);
                const test::WirePacket page = m_log.last(0x66);
                say("the server got the title " + std::string(header.begin() + 9, header.begin() + 17)
                    + " and page " + std::to_string(page[9] << 8 | page[10]));
                return true;
            });
        step("the blank book again",
            [this] {
                int32_t x = 0, y = 0;
                if (pointInBackpack(test::kStageBlankBook, x, y))
                    doubleClick(x, y);
            },
            [this] {
                BookGump* book = findBookGump(test::kStageBlankBook);
                const BookPage* one = book ? book->textPage(1) : nullptr;
                if (!one || one->lineCount() < 1)
                    return false;
                say("reopened as written: " + readingNarrow(book->title()) + ", " + readingNarrow(one->lines[0]));
                return true;
            });
        addQuitStep();
    }

    StageLog& m_log;
};

class BoardSession final : public StageScenario {
public:
    BoardSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    static BulletinBoardGump* board() { return findBulletinBoard(test::kStageBoard); }
    void clickLine(uint32_t message, int32_t dx, bool twice)
    {
        BBLineGump* line = board()->lineFor(message);
        int32_t x = 0, y = 0;
        pointOf(line, dx, 5, x, y);
        if (twice)
            doubleClick(x, y);
        else
            click(x, y);
    }
    void clickButton(CGump* window, int32_t art)
    {
        int32_t x = 0, y = 0;
        if (buttonCentre(window, art, x, y))
            click(x, y);
    }
    void clickBody(CGump* window)
    {
        int32_t x = 0, y = 0;
        pointOf(window, 40, BBMessageGump::kBodyTop + 4, x, y);
        click(x, y);
    }

    void addSteps() override
    {
        const uint32_t first = test::kStageFirstPosting;
        step("the board",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageBoard, x, y);
                doubleClick(x, y);
            },
            [this, first] {
                BulletinBoardGump* open = board();
                if (!open || open->lines().size() != 2 || !open->lineFor(first + 1))
                    return false;
                say("the board lists 2 postings, the reply folded: " + std::to_string(open->lineFor(first)->expandState())
                    + std::string(open->lineFor(first + 1)->isVisible() ? " shown" : " hidden"));
                return true;
            });
        step("opening the thread", [this, first] { clickLine(first, 4, false); },
            [this, first] { return board()->lineFor(first + 1)->isVisible(); });
        step("reading the reply", [this, first] { clickLine(first + 1, 60, true); },
            [this, first] {
                BBMessageGump* message = findMessageWindow(first + 1);
                if (!message || message->body().lineCount() == 0)
                    return false;
                say("the reply reads: " + readingNarrow(message->body().lines[0]));
                return true;
            });
        step("taking the reply's grip",
            [this, first] {
                BBMessageGump* message = findMessageWindow(first + 1);
                m_heightBefore = message->height();
                if (buttonCentre(message, BBMessageGump::kGripArt, m_gripX, m_gripY))
                    click(m_gripX, m_gripY);
            },
            [] {
                CGump* outline = service<GumpPointer>().pointerCapture();
                return outline && std::string(outline->typeName()) == "resize gump";
            });
        step("stretching the reply",
            [this] {
                // The outline follows the pointer; the next release gives the window its size.
                click(m_gripX, m_gripY + 60);
            },
            [this, first] {
                BBMessageGump* message = findMessageWindow(first + 1);
                if (!message || message->height() == m_heightBefore)
                    return false;
                // The outline's bottom edge is the pointer.
                const int32_t bottom = message->screenRect().top + message->height();
                say("the reply grows to the pointer: "
                    + (bottom == m_gripY + 60 ? std::string("yes") : std::to_string(bottom - m_gripY - 60)));
                return true;
            });
        step("answering", [this, first] { clickButton(findMessageWindow(first + 1), 2180); },
            [this] {
                BBMessageGump* compose = findMessageWindow(test::kStageBoard);
                if (!compose)
                    return false;
                say("a compose window opens with the subject " + readingNarrow(compose->subjectEntry()->text()));
                return true;
            });
        step("writing the answer",
            [this] {
                clickBody(findMessageWindow(test::kStageBoard));
                type("Give it two.");
            },
            [] {
                BBMessageGump* compose = findMessageWindow(test::kStageBoard);
                return compose && compose->body().lineCount() == 1 && compose->body().lines[0] == u"Give it two.";
            });
        step("posting the answer", [this] { clickButton(findMessageWindow(test::kStageBoard), 2182); },
            [this, first] {
                BulletinBoardGump* open = board();
                if (findMessageWindow(test::kStageBoard) || !open || open->lines().size() != 3)
                    return false;
                say("the answer joins the thread, 3 postings, reply to " + std::to_string(open->lines()[2]->parentMessage() == first));
                return true;
            });
        step("a new posting",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(board(), 50, 200, x, y);
                click(x, y);
            },
            [this] {
                BBMessageGump* compose = findMessageWindow(test::kStageBoard);
                return compose && compose->subjectEntry() == gumpFocus();
            });
        step("its subject and text",
            [this] {
                type("Fresh news");
                clickBody(findMessageWindow(test::kStageBoard));
                type("The stage is open.");
            },
            [] {
                BBMessageGump* compose = findMessageWindow(test::kStageBoard);
                return compose && compose->body().lineCount() == 1 && compose->subjectEntry()->text() == u"Fresh news";
            });
        step("posting it", [this] { clickButton(findMessageWindow(test::kStageBoard), 2182); },
            [this] {
                BulletinBoardGump* open = board();
                if (!open || open->lines().size() != 4)
                    return false;
                say("a new thread opens: " + std::to_string(open->lines().back()->parentMessage()) + ", "
                    + std::to_string(m_log.count(0x71)) + " board requests");
                return true;
            });
        step("closing the board",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(board(), 20, 20, x, y);
                rightClick(x, y);
            },
            [] { return board() == nullptr; });
        addQuitStep();
    }

    StageLog& m_log;
    int32_t m_heightBefore = 0;
    int32_t m_gripX = 0;
    int32_t m_gripY = 0;
};

class SmallWindowsSession final : public StageScenario {
public:
    SmallWindowsSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void clickArrow(bool right)
    {
        int32_t x = 0, y = 0;
        pointOf(pointerGump(), pointerGump()->width() / 2, pointerGump()->height() / 2, x, y);
        if (right)
            rightClick(x, y);
        else
            click(x, y);
    }

    void addSteps() override
    {
        step("the quest arrow", nullptr, [this] {
            PointerGump* arrow = pointerGump();
            if (!settled(arrow && arrow->isVisible()))
                return false;
            say("the arrow points at the horse with art " + std::to_string(arrow->shownArt()));
            return true;
        });
        step("clicking the arrow", [this] { clickArrow(false); },
            [this] {
                PointerGump* arrow = pointerGump();
                if (m_log.count(0xBF, 0x07) != 1 || arrow->targetY() != fixture::kSampleCentreY - 2)
                    return false;
                say("the arrow moves on to the board");
                return true;
            });
        step("the sign",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageSign, x, y);
                doubleClick(x, y);
            },
            [] { return findSignGump(test::kStageSign) != nullptr; });
        step("closing the sign",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(findSignGump(test::kStageSign), 20, 20, x, y);
                rightClick(x, y);
            },
            [] {
                if (findSignGump(test::kStageSign))
                    return false;
                say("the sign was read and closed");
                return true;
            });
        step("help over the chronicle",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageChronicle, x, y);
                moveTo(x, y);
            },
            [this] {
                if (!helpTextPopup() || m_log.count(0xB6) == 0)
                    return false;
                say("a help text pops up over the chronicle");
                return true;
            });
        step("the help text goes", [this] { moveTo(5, 5); }, [] { return helpTextPopup() == nullptr; });
        step("putting the arrow away", [this] { clickArrow(true); },
            [this] {
                if (pointerGump()->isVisible() || m_log.count(0xBF, 0x07) != 2)
                    return false;
                say("the right button puts the arrow away");
                return true;
            });
        addQuitStep();
    }

    StageLog& m_log;
};

// A sticky help popup: the first run drags it to a place of the player's
// choosing and quits; the desktop file keeps the place, and in the second
// run the popup opens there.
class StickyHelpSession final : public StageScenario {
public:
    StickyHelpSession(test::StageWorld& stage, bool drag)
        : StageScenario(stage)
        , m_drag(drag)
    {
    }

    static constexpr int32_t kDraggedX = 300;
    static constexpr int32_t kDraggedY = 200;

private:
    void addSteps() override
    {
        step("help over the chronicle",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageChronicle, x, y);
                moveTo(x, y);
            },
            [] { return helpTextPopup() != nullptr; });
        if (m_drag) {
            step("dragging the help text",
                [this] {
                    using platform::MessageKind;
                    // Taken below the menubar, which lies over the top of a
                    // popup shown at the screen's corner.
                    HelpTextPopup* popup = helpTextPopup();
                    const int32_t x = popup->x() + 2;
                    const int32_t y = popup->y() + 40;
                    const int32_t toX = kDraggedX + 2;
                    const int32_t toY = kDraggedY + 40;
                    const uint32_t now = platform::clock().tickMs();
                    post({ MessageKind::MouseMove, 0, 0, x, y });
                    post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                    window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, (x + toX) / 2, (y + toY) / 2 });
                    window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, toX, toY });
                    window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, toX, toY });
                },
                [this] {
                    HelpTextPopup* popup = helpTextPopup();
                    if (!popup || popup->x() != kDraggedX || popup->y() != kDraggedY || !settled(true))
                        return false;
                    say("the help text was dragged to 300,200");
                    return true;
                });
        } else {
            step("the remembered place", nullptr, [] {
                HelpTextPopup* popup = helpTextPopup();
                say("the help text opens at " + std::to_string(popup->x()) + "," + std::to_string(popup->y()));
                return true;
            });
        }
        addQuitStep();
    }

    bool m_drag;
};

class MapSession final : public StageScenario {
public:
    static constexpr int32_t kMapDrop = 40;

    MapSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    static CourseGump* course() { return findCourseGump(test::kStageMap); }
    static int32_t pins()
    {
        Item* map = findItemBySerial(test::kStageMap);
        return map && map->isMap() ? static_cast<MapItem*>(map)->plotPointCount() : -1;
    }
    void openMap()
    {
        int32_t x = 0, y = 0;
        if (pointInBackpack(test::kStageMap, x, y))
            doubleClick(x, y);
    }

    void addSteps() override
    {
        addOpenBackpackSteps();
        step("the map", [this] { openMap(); },
            [] {
                if (!course() || pins() != 3)
                    return false;
                say("the map shows 3 pins");
                return true;
            });
        // The map opens at the screen's corner, its edit button under the
        // menubar: the player drags it down first.
        step("the map dragged below the menubar",
            [this] {
                using platform::MessageKind;
                int32_t x = 0, y = 0;
                pointOf(course(), 60, 100, x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x, y + kMapDrop / 2 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, x, y + kMapDrop });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, x, y + kMapDrop });
            },
            [this] { return course()->y() >= kMapDrop && settled(true); });
        step("asking to edit",
            [this] {
                const ScreenRect toggle = course()->editButton()->screenRect();
                click(toggle.left + 3, toggle.top + 3);
            },
            [] {
                if (!course()->isEditMode() || !course()->clearButton()->isVisible())
                    return false;
                say("editing granted");
                return true;
            });
        step("a new pin",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(course(), 60, 180, x, y);
                click(x, y);
            },
            [this] { return pins() == 4 && m_log.count(0x56) >= 2; });
        step("dragging the first pin off",
            [this] {
                using platform::MessageKind;
                const PlotPoint first = static_cast<MapItem*>(findItemBySerial(test::kStageMap))->plotPoints()[0];
                int32_t x = 0, y = 0;
                pointOf(course(), first.x, first.y, x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 8, y + 8 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, x - 70, y - 60 });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, x - 70, y - 60 });
            },
            [this] {
                if (pins() != 3 || m_log.last(0x56).size() < 6 || m_log.last(0x56)[5] != CourseGump::kRemovePin)
                    return false;
                say("a pin was added and one dragged off, 3 left");
                return true;
            });
        step("closing the map",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(course(), 10, 10, x, y);
                rightClick(x, y);
            },
            [this] {
                if (course() || m_log.last(0x56).size() < 6 || m_log.last(0x56)[5] != CourseGump::kAskToEdit)
                    return false;
                say("closing ends the edit");
                return true;
            });
        step("the map again", [this] { openMap(); },
            [] {
                if (!course() || pins() != 3 || course()->isEditMode())
                    return false;
                say("reopened with the server's 3 pins");
                return true;
            });
        addQuitStep();
    }

    StageLog& m_log;
};

class ReadingPlay : public app_test::HeadlessClientTest {
protected:
    ReadingPlay()
        : HeadlessClientTest("600000")
    {
    }

    template <typename Session>
    [[noreturn]] void play()
    {
        test::StageWorld stage;
        StageLog log;
        Session session(stage, log);
        app_test::playStageScenario(client.path(), stage, log, session);
    }
    [[noreturn]] void playStickyHelp(bool drag)
    {
        test::StageWorld stage;
        StageLog log;
        StickyHelpSession session(stage, drag);
        app_test::playStageScenario(client.path(), stage, log, session);
    }
};

TEST_F(ReadingPlay, BooksAreReadTurnedWrittenAndKept)
{
    EXPECT_EXIT(play<BookSession>(), ::testing::ExitedWithCode(0),
        "the chronicle opens at page 1: On the first day the stage\n"
        "page 2 reads: The horse came next, after 3 page requests\n"
        "the server got the title My Notes and page 1\n"
        "reopened as written: My Notes, Hello stage\n");
}

TEST_F(ReadingPlay, TheBoardsThreadsAreReadAnsweredAndAddedTo)
{
    EXPECT_EXIT(play<BoardSession>(), ::testing::ExitedWithCode(0),
        "the board lists 2 postings, the reply folded: 0 hidden\n"
        "the reply reads: It only wants an apple.\n"
        "the reply grows to the pointer: yes\n"
        "a compose window opens with the subject RE: The horse is calm\n"
        "the answer joins the thread, 3 postings, reply to 1\n"
        "a new thread opens: 0, ");
}

TEST_F(ReadingPlay, TheArrowTheSignAndHelpTextsAnswerThePlayer)
{
    // The client runs in German: help texts show.
    client.write("vo.cfg", "MouseThread=off\nUserLanguageCodeString=deu\n");
    client.write("langcode.iff", fixture::languageListImage({ { "deu", 'd', "German", "Germany" } }));
    EXPECT_EXIT(play<SmallWindowsSession>(), ::testing::ExitedWithCode(0),
        "the arrow points at the horse with art 4504\n"
        "the arrow moves on to the board\n"
        "the sign was read and closed\n"
        "a help text pops up over the chronicle\n"
        "the right button puts the arrow away\n");
}

TEST_F(ReadingPlay, AStickyHelpTextOpensWhereItWasDraggedInTheLastRun)
{
    const std::string settings = "MouseThread=off\nUserLanguageCodeString=deu\nPopupHelpSticky=on\n";
    client.write("vo.cfg", settings);
    client.write("langcode.iff", fixture::languageListImage({ { "deu", 'd', "German", "Germany" } }));
    EXPECT_EXIT(playStickyHelp(true), ::testing::ExitedWithCode(0), "the help text was dragged to 300,200\n");
    // The settings as they were, so that the login goes as before; the
    // desktop file stays as the first run left it.
    client.write("vo.cfg", settings);
    EXPECT_EXIT(playStickyHelp(false), ::testing::ExitedWithCode(0), "the help text opens at 300,200\n");
}

TEST_F(ReadingPlay, TheMapIsEditedWhileTheServerGrantsIt)
{
    EXPECT_EXIT(play<MapSession>(), ::testing::ExitedWithCode(0),
        "the map shows 3 pins\n"
        "editing granted\n"
        "a pin was added and one dragged off, 3 left\n"
        "closing ends the edit\n"
        "reopened with the server's 3 pins\n");
}

} // namespace
