// Server-described gumps once built: pages and groups, buttons, switches and
// entries under the pointer and keys, the reply bytes, closing, moving,
// tooltips, the virtue item, the bounds on what a server can make them draw,
// and a golden picture of a gump that uses every command.
#include "generic_gump_test_support.h"

#include "gfx/hue_table.h"
#include "gump/entry_core.h"
#include "gump/html_view.h"
#include "support/png_writer.h"
#include "text/unicode_font.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
using gump_test::GenericGumpDesktop;

size_t openGenericGumpCount() { return gump_test::openGenericGumps().size(); }

Bytes replyHeader(uint16_t length, uint32_t button)
{
    return { 0xB1, uint8_t(length >> 8), uint8_t(length), 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0xAB, 0xCD,
        uint8_t(button >> 24), uint8_t(button >> 16), uint8_t(button >> 8), uint8_t(button) };
}

// A reply with no switch and no text.
Bytes plainReply(uint32_t button)
{
    Bytes bytes = replyHeader(23, button);
    bytes.insert(bytes.end(), 8, 0);
    return bytes;
}

using GenericGumpInput = GenericGumpDesktop;

TEST_F(GenericGumpInput, ReplyCarriesTheCheckedSwitchesAndEveryEntryOfEveryPage)
{
    GenericGump* gump = open("{page 0}{checkbox 0 0 200 201 0 3}"
                             "{page 1}{checkbox 20 0 200 201 1 4}{button 40 0 100 101 1 0 1}"
                             "{page 2}{textentry 0 20 100 18 0 7 0}{checkbox 0 40 200 201 0 9}",
        { u"abc" });
    click(gump, 2, 2);
    const Bytes expected = [] {
        Bytes bytes = replyHeader(41, 1);
        const uint8_t rest[] = { 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 1, 0, 7, 0, 3, 0, 'a', 0, 'b', 0, 'c' };
        bytes.insert(bytes.end(), std::begin(rest), std::end(rest));
        return bytes;
    }();
    EXPECT_EQ(gump->replyPacket(1), expected);

    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    GumpHandle alive(gump);
    click(gump, 42, 2);
    EXPECT_FALSE(alive) << "a reply button closes the gump";
    EXPECT_EQ(server.sent(expected.size()), expected);
}

TEST_F(GenericGumpInput, SwitchesFollowTheLayoutThroughNestedGroups)
{
    GenericGump* gump = open("{checkbox 0 0 200 201 1 1}{group 5}{checkbox 0 0 200 201 1 2}"
                             "{group 6}{radio 0 0 200 201 1 3}{endgroup}{radio 0 0 200 201 1 4}");
    const Bytes reply = gump->replyPacket(0);
    ASSERT_EQ(reply.size(), 23u + 16u);
    const Bytes ids(reply.begin() + 19, reply.begin() + 35);
    EXPECT_EQ(ids, (Bytes { 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4 }))
        << "depth first through group 5 and the group 6 inside it";
}

TEST_F(GenericGumpInput, PageButtonSwitchesThePageAndSendsNothing)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    GenericGump* gump = open("{page 2}{button 0 0 100 101 0 3 0}{page 3}{gumppic 20 0 100}");
    gump->setShownPage(2);
    gump->layout();
    EXPECT_FALSE(gump->containsPoint(22, 2));
    click(gump, 2, 2);
    EXPECT_EQ(gump->shownPage(), 3);
    EXPECT_TRUE(gump->containsPoint(22, 2));
    EXPECT_FALSE(gump->containsPoint(2, 2)) << "the button lies on page 2";
    EXPECT_TRUE(server.sentWithin(50).empty());
    EXPECT_EQ(openGenericGumpCount(), 1u);
}

TEST_F(GenericGumpInput, ReplyButtonSendsItsIdAndCloses)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    GenericGump* gump = open("{button 0 0 100 101 1 0 5}");
    click(gump, 5, 5);
    EXPECT_EQ(openGenericGumpCount(), 0u);
    EXPECT_EQ(server.sent(23), plainReply(5));
}

TEST_F(GenericGumpInput, ReleaseOutsideOrOverAnotherButtonFiresNothing)
{
    GenericGump* gump = open("{button 0 0 100 101 1 0 5}{button 20 0 100 101 1 0 6}{resizepic 0 20 300 40 20}");
    GenericGumpElement& first = *gump->elements()[0];
    gump->onLeftDown(5, 5);
    EXPECT_EQ(first.state, 1);
    EXPECT_EQ(gump->pressedElement(), &first);
    gump->onLeftUp(5, 30);
    EXPECT_EQ(first.state, 0) << "the button pops up again";
    EXPECT_EQ(gump->pressedElement(), nullptr);
    gump->onLeftDown(5, 5);
    gump->onLeftUp(25, 5);
    EXPECT_EQ(openGenericGumpCount(), 1u) << "the release was judged for the pressed button, outside it";
    EXPECT_EQ(first.state, 0);
}

// A frame whose first art id is at or near the largest one: its pieces would
// run past that id, so it draws nothing and the gump still opens.
TEST_F(GenericGumpInput, AFrameAtTheLastArtIdDrawsNothing)
{
    GenericGump* gump = open("{resizepic 0 0 2147483647 60 60}{resizepic 0 0 2147483630 60 60}");
    ASSERT_NE(gump, nullptr);
    EXPECT_EQ(openGenericGumpCount(), 1u);
    for (uint16_t pixel : gump->page(0)->pixels)
        ASSERT_EQ(pixel, 0);
}

TEST_F(GenericGumpInput, CheckBoxFlipsOnlyOnARelease)
{
    GenericGump* gump = open("{checkbox 0 0 200 201 0 3}");
    GenericGumpElement& box = *gump->elements()[0];
    gump->onLeftDown(2, 2);
    EXPECT_EQ(box.state, 0);
    gump->onLeftUp(2, 2);
    EXPECT_EQ(box.state, 1);
    click(gump, 2, 2);
    EXPECT_EQ(box.state, 0);
}

TEST_F(GenericGumpInput, RadioGroupsAreIndependent)
{
    GenericGump* gump = open("{radio 0 0 200 201 1 1}{radio 10 0 200 201 0 2}"
                             "{group 1}{radio 0 20 200 201 1 11}{radio 10 20 200 201 0 12}{endgroup}"
                             "{group 2}{radio 0 40 200 201 1 21}{radio 10 40 200 201 0 22}");
    auto& top = gump->elements();
    GenericGumpElement& groupOne = *top[2];
    GenericGumpElement& groupTwo = *top[3];
    click(gump, 12, 22);
    EXPECT_EQ(groupOne.children[0]->state, 0);
    EXPECT_EQ(groupOne.children[1]->state, 1);
    EXPECT_EQ(top[0]->state, 1) << "the top level is a group of its own";
    EXPECT_EQ(groupTwo.children[0]->state, 1);
    click(gump, 2, 42);
    EXPECT_EQ(groupTwo.children[0]->state, 1) << "a radio already on stays on";
    EXPECT_EQ(groupTwo.children[1]->state, 0);
    click(gump, 12, 2);
    EXPECT_EQ(top[0]->state, 0);
    EXPECT_EQ(top[1]->state, 1);
    EXPECT_EQ(groupOne.children[1]->state, 1);
}

TEST_F(GenericGumpInput, EntryTakesKeysUpToItsCap)
{
    GenericGump* gump = open("{textentry 0 0 200 18 0 7 0}{textentrylimited 0 30 200 18 0 8 1 3}", { u"ab" });
    GenericGumpElement& entry = *gump->elements()[0];
    GenericGumpElement& limited = *gump->elements()[1];
    click(gump, 5, 5);
    EXPECT_EQ(gumpFocus(), gump);
    EXPECT_EQ(gump->focusedEntry(), &entry);
    EXPECT_EQ(entry.state, 1);
    gump->onKey('c');
    gump->onKey(GumpKey::kUp);
    gump->onKey(9);
    EXPECT_EQ(entry.text, u"abc");
    gump->onKey(8);
    gump->onKey(GumpKey::kDelete);
    EXPECT_EQ(entry.text, u"a");
    for (int i = 0; i < 300; ++i)
        gump->onKey('x');
    EXPECT_EQ(entry.text.size(), size_t(GenericGump::kMaxTypedCharacters));
    gump->onKey(13);
    EXPECT_EQ(gumpFocus(), nullptr);
    EXPECT_EQ(entry.state, 0);
    EXPECT_EQ(gump->focusedEntry(), nullptr);
    gump->onKey('y');
    EXPECT_EQ(entry.text.size(), size_t(GenericGump::kMaxTypedCharacters)) << "no focused entry takes it";

    click(gump, 5, 35);
    for (char16_t c : u"12345")
        gump->onKey(c);
    EXPECT_EQ(limited.text, u"123") << "a smaller limit of the server stops typing earlier";
}

TEST_F(GenericGumpInput, FocusMovesBetweenEntriesOfOneGump)
{
    GenericGump* gump = open("{textentry 0 0 200 18 0 7 0}{textentry 0 30 200 18 0 8 0}");
    click(gump, 5, 5);
    click(gump, 5, 35);
    EXPECT_EQ(gump->elements()[0]->state, 0);
    EXPECT_EQ(gump->elements()[1]->state, 1);
    EXPECT_EQ(gump->focusedEntry(), gump->elements()[1].get());
}

TEST_F(GenericGumpInput, RightClickRepliesZeroUnlessNoClose)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    GenericGump* kept = open("{noclose}{gumppic 0 0 100}");
    kept->onRightUp(2, 2);
    EXPECT_EQ(openGenericGumpCount(), 1u);
    EXPECT_TRUE(server.sentWithin(50).empty());
    closeGump(kept);

    GenericGump* gump = open("{gumppic 0 0 100}");
    gump->onRightUp(2, 2);
    EXPECT_EQ(openGenericGumpCount(), 0u);
    EXPECT_EQ(server.sent(23), plainReply(0));

    GenericGump* silent = open("{button 0 0 100 101 1 0 5}", {}, 0, 0, 0);
    click(silent, 2, 2);
    EXPECT_EQ(openGenericGumpCount(), 0u) << "a reply button closes even without a sender";
    EXPECT_TRUE(server.sentWithin(50).empty()) << "sender 0 sends nothing";
}

TEST_F(GenericGumpInput, ServerCloseShutsEveryGumpOfItsTypeWithoutAReply)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    open("{gumppic 0 0 100}", {}, 0, 0, 1, 0x10);
    open("{gumppic 0 0 100}", {}, 20, 0, 1, 0x10);
    open("{gumppic 0 0 100}", {}, 40, 0, 1, 0x11);
    genericGumpCloseById(0x10);
    EXPECT_EQ(openGenericGumpCount(), 1u);
    EXPECT_TRUE(server.sentWithin(50).empty());
}

TEST_F(GenericGumpInput, CloseAllRepliesZeroAndSparesNoDispose)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    open("{nodispose}{gumppic 0 0 100}");
    open("{gumppic 0 0 100}");
    gumpCloseAllClosable();
    EXPECT_EQ(openGenericGumpCount(), 1u);
    EXPECT_EQ(server.sent(23), plainReply(0));
}

TEST_F(GenericGumpInput, DragMovesAndIsRememberedForTheFamily)
{
    GenericGump* gump = open("{mastergump 9}{resizepic 0 0 300 60 40}{button 20 20 100 101 1 0 5}", {}, 100, 100,
        1, 0x20);
    gump->onLeftDown(5, 5);
    gump->onDrag(15, 12);
    gump->onLeftUp(15, 12);
    EXPECT_EQ(gump->x(), 110);
    EXPECT_EQ(gump->y(), 107);
    GenericGump* sibling = open("{mastergump 9}{gumppic 0 0 100}", {}, 0, 0, 1, 0x21);
    EXPECT_EQ(sibling->x(), 110) << "a gump of the same master opens where the last was dragged";
    EXPECT_EQ(sibling->y(), 107);

    gump->onLeftDown(22, 22);
    gump->onDrag(40, 40);
    EXPECT_EQ(gump->x(), 110) << "a pressed button holds the gump still";
    gump->onLeftUp(100, 100);

    GenericGump* fixed = open("{nomove}{resizepic 0 0 300 60 40}", {}, 200, 200, 1, 0x30);
    fixed->onLeftDown(5, 5);
    fixed->onDrag(20, 20);
    EXPECT_EQ(fixed->x(), 200);
}

TEST_F(GenericGumpInput, TooltipOfTheElementUnderThePointer)
{
    GenericGump* gump = open("{resizepic 0 0 300 60 40}{checkbox 5 5 200 201 0 1}{tooltip 500123}");
    EXPECT_EQ(gump->getTooltipText(7, 7).length(), 0) << "an id with no text gives nothing";
    EXPECT_EQ(gump->elements()[1]->tooltipId, 500123);
    gump->setTooltipId(7);
    EXPECT_EQ(gump->getTooltipText(200, 200).length(), 0) << "nothing hit, and the gump's own id has no text";
}

TEST_F(GenericGumpInput, VirtueItemShowsItsNameAndAsksOnADoubleClick)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    setPlayerSerial(0x00000F01);
    GenericGump* gump = open("{gumppic 10 10 108 hue=1153 class=virtueGUMPitem}");
    gump->onMouseOver(12, 12);
    ASSERT_EQ(gump->elements().size(), 2u) << "the label joins the top level";
    const GenericGumpElement& label = *gump->elements()[1];
    EXPECT_EQ(label.text, u" Seeker of Humility");
    EXPECT_TRUE(label.highlighted);
    EXPECT_EQ(label.x + label.width / 2, 155) << "centred at (155, 165)";
    gump->onMouseOver(150, 150);
    EXPECT_EQ(label.text, u"");
    EXPECT_EQ(label.width, 0);

    gump->onLeftDown(12, 12);
    gump->onLeftUp(12, 12);
    clock.advance(kDoubleClickMs);
    gump->onLeftDown(12, 12);
    EXPECT_EQ(server.sent(15), (Bytes { 0xB1, 0, 15, 0, 0, 0x0F, 0x01, 0, 0, 0x01, 0xCD, 0, 0, 0, 108 }));
    EXPECT_EQ(openGenericGumpCount(), 1u);
    setPlayerSerial(0);
}

using VirtueLabel = GenericGumpDesktop;

TEST_F(VirtueLabel, NamesTheVirtueAtEachStep)
{
    EXPECT_EQ(virtueLabelText(108, 0), u" Humility");
    EXPECT_EQ(virtueLabelText(108, 1153), u" Seeker of Humility");
    EXPECT_EQ(virtueLabelText(108, 2403), u" Follower of Humility");
    EXPECT_EQ(virtueLabelText(300, 0), u"INVALID");
}

// ---- Bounds on what the server can make a gump draw ---------------------------

using GenericGumpBounds = GenericGumpDesktop;

TEST_F(GenericGumpBounds, PageIsCappedAndNegativePlacesAreClipped)
{
    GenericGump* gump = open("{gumppictiled -20 -20 999999 999999 100}{resizepic -5 -5 300 30 30}"
                             "{croppedtext -100 -100 150 150 5 0}{text 4090 4090 5 0}",
        { u"Hello" });
    GumpPage& page = *gump->page(0);
    EXPECT_EQ(page.width, GenericGump::kMaxPageSize);
    EXPECT_EQ(page.height, GenericGump::kMaxPageSize);
    EXPECT_EQ(gump->width(), GenericGump::kMaxPageSize);
}

TEST_F(GenericGumpBounds, HuesOutsideTheTableAreNeverIndexed)
{
    // Hue 0, one past the table and the largest word: text in the first
    // entry's colour, pictures without a hue.
    const uint16_t firstColour = hueTable().entry(0).colours[30];
    for (int32_t hue : { 0, 3001, 65535, -7 }) {
        GenericGump* gump = open("{text 0 0 " + std::to_string(hue) + " 0}{gumppic 40 0 100 hue="
                + std::to_string(hue) + "}{tilepichue 60 0 256 " + std::to_string(hue)
                + "}{buttontileart 80 0 100 101 0 0 0 256 " + std::to_string(hue) + " 0 0}",
            { u"A" });
        const GumpPage& page = *gump->page(0);
        bool inked = false;
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 20; ++x)
                inked = inked || page.pixel(x, y) == firstColour;
        EXPECT_TRUE(inked) << "hue " << hue;
        const fixture::GumpArtPicture picture = fixture::patternPicture(10, 10, 0x0100);
        EXPECT_EQ(page.pixel(42, 1), picture.at(2, 1)) << "hue " << hue << ": the picture is drawn as it is";
        closeGump(gump);
    }
}

TEST_F(GenericGumpBounds, ReplyStaysWithinTheLengthWord)
{
    std::string layout;
    std::vector<std::u16string> lines { std::u16string(400, u'w') };
    for (int i = 0; i < 300; ++i)
        layout += "{textentry 0 0 10 10 0 " + std::to_string(i) + " 0}";
    GenericGump* gump = open(layout, lines);
    const Bytes reply = gump->replyPacket(1);
    ASSERT_FALSE(reply.empty());
    EXPECT_LE(reply.size(), 65535u);
    EXPECT_EQ(size_t(reply[1] << 8 | reply[2]), reply.size());
    const size_t texts = size_t(reply[19]) << 24 | size_t(reply[20]) << 16 | size_t(reply[21]) << 8 | reply[22];
    EXPECT_EQ(texts, (65535u - 23u) / (4u + 2u * 239u)) << "as many whole texts as fit, each cut at 239";
    EXPECT_EQ(reply.size(), 23u + texts * (4u + 2u * 239u));
}

TEST_F(GenericGumpBounds, HtmlAreasShareAPixelBudget)
{
    std::string layout;
    for (int i = 0; i < 20; ++i)
        layout += "{htmlgump 0 0 4000 4000 0 0 0}";
    GenericGump* gump = open(layout, { u"x" });
    int32_t views = 0;
    for (CGump* child = gump->firstChild(); child; child = child->next())
        ++views;
    EXPECT_EQ(views, int32_t(GenericGump::kMaxHtmlPixels / (4000 * 4000)));
}

TEST_F(GenericGumpBounds, ViewsOfAGroupOnAnotherPageAreHidden)
{
    GenericGump* gump = open("{page 1}{button 0 0 100 101 0 2 0}{group 3}{htmlgump 20 0 40 20 0 0 0}"
                             "{page 2}{gumppic 0 0 100}",
        { u"words" });
    HtmlView* view = static_cast<HtmlElement&>(*gump->elements()[1]->children[0]).view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    click(gump, 2, 2);
    EXPECT_EQ(gump->shownPage(), 2);
    EXPECT_FALSE(view->isVisible()) << "the group is not shown, so neither is its HTML area";
}

// ---- The picture -------------------------------------------------------------------

using GenericGumpPicture = GenericGumpDesktop;

TEST_F(GenericGumpPicture, EveryCommandDrawn)
{
    const std::string layout = "{page 0}{nomove}{noclose}{nodispose}{mastergump 3}"
                               "{resizepic 0 0 300 180 110}"
                               "{gumppic 8 8 100}{tooltip 1}"
                               "{gumppic 22 8 100 hue=5}"
                               "{gumppictiled 36 8 25 14 101}"
                               "{tilepic 66 8 256}{tilepic 76 8 256,9}{tilepichue 86 8 256 12}"
                               "{checkertrans 100 6 20 14}"
                               "{text 8 26 20 0}"
                               "{croppedtext 8 46 30 16 25 1}"
                               "{textentry 60 46 60 16 30 7 2}{textentrylimited 60 66 60 16 35 8 2 10}"
                               "{button 130 30 100 101 1 0 5}{buttontileart 145 30 100 101 0 2 6 256 0 2 3}"
                               "{checkbox 130 50 200 201 1 3}{radio 145 50 200 201 0 4}"
                               "{htmlgump 8 86 80 20 3 0 0}{xmfhtmlgump 90 86 40 20 1000001 1 0}"
                               "{xmfhtmlgumpcolor 132 86 40 20 1000001 0 0 31}"
                               "{page 1}{group 2}{radio 160 50 200 201 1 10}{endgroup}"
                               "{page 2}{gumppic 160 70 100}";
    GenericGump* gump = open(layout, { u"Hi!", u"Cropped words", u"entry", u"<b>bold</b> words" }, 4, 6);
    // The focused entry shows its caret in the picture.
    click(gump, 62, 48);
    ASSERT_EQ(gump->focusedEntry(), gump->elements()[10].get());
    gumpRedrawRect({ 0, 0, 200, 130 }, false);
    std::vector<uint16_t> drawn;
    for (int32_t y = 0; y < 130; ++y)
        for (int32_t x = 0; x < 200; ++x)
            drawn.push_back(screenPixel(x, y));

    // Independently of the hash: the plain picture at (8, 8) shows its art
    // wherever the art has a pixel, and the checker lets the world through
    // on every other pixel.
    const fixture::GumpArtPicture picture = fixture::patternPicture(10, 10, 0x0100);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            if (picture.at(x, y)) {
                EXPECT_EQ(screenPixel(4 + 8 + x, 6 + 8 + y), picture.at(x, y)) << x << "," << y;
            }
        }
    }
    for (int32_t y = 6; y < 20; ++y) {
        for (int32_t x = 100; x < 120; ++x) {
            if (((x ^ y) & 1) == 0) {
                EXPECT_EQ(screenPixel(4 + x, 6 + y), worldPicture()[size_t(6 + y) * 640 + size_t(4 + x)]);
            }
        }
    }
    const fixture::GumpArtPicture corner = fixture::patternPicture(7, 5, 0x0800);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            if (corner.at(x, y)) {
                EXPECT_EQ(screenPixel(4 + x, 6 + y), corner.at(x, y));
            }
        }
    }

    // Three times as large, for a person to look at.
    std::vector<uint16_t> large;
    for (int32_t y = 0; y < 130 * 3; ++y)
        for (int32_t x = 0; x < 200 * 3; ++x)
            large.push_back(drawn[size_t(y / 3) * 200 + size_t(x / 3)]);
    test::writeSurfacePng(test::picturePath("generic_gump.png"), large.data(), 600, 390, 600);
    EXPECT_EQ(test::surfaceHash(drawn.data(), 200, 130, 200), 0x8faa3e0604a2c7f7ull)
        << "picture changed; see " << test::picturePath("generic_gump.png");
    gumpRedrawRect({}, true);
}

} // namespace
