// The layout language of server-described gumps: every command, the parse
// state of pages and groups, and the tokenizer's bounds.
#include "generic_gump_test_support.h"

#include "gump/html_view.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using gump_test::GenericGumpDesktop;

int32_t textWidth(const std::u16string& text)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t zero = 0;
    measureUnicodeText(text.c_str(), width, height, zero);
    return width;
}

struct LayoutCase {
    const char* name;
    std::string layout;
    std::vector<std::u16string> lines;
    std::function<void(GenericGump&)> check;
};

void expectRect(const GenericGumpElement& element, int32_t x, int32_t y, int32_t width, int32_t height)
{
    EXPECT_EQ(element.x, x);
    EXPECT_EQ(element.y, y);
    EXPECT_EQ(element.width, width);
    EXPECT_EQ(element.height, height);
}

// The one top-level element a row makes.
const GenericGumpElement& only(GenericGump& gump)
{
    EXPECT_EQ(gump.elements().size(), 1u);
    static const GenericGumpElement kNone(ElementKind::Group);
    return gump.elements().empty() ? kNone : *gump.elements().front();
}

class LayoutCommand : public GenericGumpDesktop, public testing::WithParamInterface<LayoutCase> { };

TEST_P(LayoutCommand, MakesWhatTheCommandSays)
{
    GenericGump* gump = open(GetParam().layout, GetParam().lines);
    GetParam().check(*gump);
}

std::vector<LayoutCase> layoutCases()
{
    return {
        { "Page", "{page 2}{gumppic 1 2 100}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).page, 2);
                EXPECT_EQ(gump.shownPage(), 1);
                EXPECT_FALSE(gump.containsPoint(3, 3)) << "page 2 is not shown";
            } },
        { "PageResetsTheGroup", "{group 4}{page 1}{checkbox 0 0 200 201 0 3}", {},
            [](GenericGump& gump) { EXPECT_EQ(gump.elements().size(), 2u) << "the check box is top level"; } },
        { "NoDispose", "{nodispose}", {},
            [](GenericGump& gump) {
                EXPECT_FALSE(gump.isDisposable());
                EXPECT_FALSE(gump.isClosableByCloseAll());
                EXPECT_TRUE(gump.isMovable());
                EXPECT_TRUE(gump.isClosable());
            } },
        { "NoMove", "{nomove}", {},
            [](GenericGump& gump) {
                EXPECT_FALSE(gump.isMovable());
                EXPECT_TRUE(gump.isDisposable());
            } },
        { "NoClose", "{noclose}", {}, [](GenericGump& gump) { EXPECT_FALSE(gump.isClosable()); } },
        { "Group", "{page 1}{group 7}{checkbox 3 4 200 201 0 3}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& group = only(gump);
                EXPECT_EQ(group.kind, ElementKind::Group);
                EXPECT_EQ(group.group, 7);
                EXPECT_EQ(group.page, 1);
                EXPECT_EQ(group.currentPage, 1);
                ASSERT_EQ(group.children.size(), 1u);
                EXPECT_EQ(group.children[0]->parent, &group);
                EXPECT_EQ(group.children[0]->group, 7);
                EXPECT_EQ(group.children[0]->page, 1);
            } },
        { "EndGroup", "{group 7}{group 8}{endgroup}{checkbox 3 4 200 201 0 3}", {},
            [](GenericGump& gump) {
                ASSERT_EQ(gump.elements().size(), 2u) << "back to the top level, also from a nested group";
                EXPECT_EQ(gump.elements()[0]->children.size(), 1u) << "group 8 lies inside group 7";
                EXPECT_EQ(gump.elements()[1]->kind, ElementKind::Checkbox);
            } },
        { "GumpPic", "{gumppic 5 6 100 hue=33 class=other stray}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& picture = only(gump);
                EXPECT_EQ(picture.kind, ElementKind::GumpPic);
                expectRect(picture, 5, 6, 10, 10);
                EXPECT_EQ(picture.art, 100);
                EXPECT_EQ(picture.hue, 33);
            } },
        { "GumpPicNeedsThreeWords", "{gumppic 5 6}", {},
            [](GenericGump& gump) { EXPECT_TRUE(gump.elements().empty()); } },
        { "TilePic", "{tilepic 3 4 256}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& tile = only(gump);
                EXPECT_EQ(tile.kind, ElementKind::TilePic);
                expectRect(tile, 3, 4, gump_test::kTileWidth, gump_test::kTileHeight);
                EXPECT_EQ(tile.art, gump_test::kTileGraphic);
                EXPECT_EQ(tile.hue, 0);
            } },
        { "TilePicWithCommaHue", "{tilepic 3 4 256,33}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).art, gump_test::kTileGraphic);
                EXPECT_EQ(only(gump).hue, 33);
            } },
        { "TilePicHue", "{tilepichue 3 4 256 12}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::TilePic);
                EXPECT_EQ(only(gump).hue, 12);
            } },
        { "Text", "{text 1 2 5 0}", { u"Hi" },
            [](GenericGump& gump) {
                const GenericGumpElement& text = only(gump);
                EXPECT_EQ(text.kind, ElementKind::Text);
                EXPECT_EQ(text.text, u"Hi");
                expectRect(text, 1, 2, textWidth(u"Hi") + 2, kUnicodeLineHeight + 2);
                EXPECT_EQ(text.hue, 5);
            } },
        { "TextLineEqualToTheCountIsEmpty", "{text 1 2 5 1}", { u"Hi" },
            [](GenericGump& gump) { EXPECT_EQ(only(gump).text, u""); } },
        { "TextNegativeLineIsEmpty", "{text 1 2 5 -1}", { u"Hi" },
            [](GenericGump& gump) { EXPECT_EQ(only(gump).text, u""); } },
        { "CroppedText", "{croppedtext 1 2 40 16 5 0}", { u"Hello" },
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::CroppedText);
                EXPECT_EQ(only(gump).text, u"Hello");
                expectRect(only(gump), 1, 2, 42, 18);
            } },
        { "TextEntry", "{textentry 1 2 80 16 5 7 0}", { u"Hi" },
            [](GenericGump& gump) {
                const GenericGumpElement& entry = only(gump);
                EXPECT_EQ(entry.kind, ElementKind::TextEntry);
                EXPECT_EQ(entry.id, 7);
                EXPECT_EQ(entry.value, 1024);
                EXPECT_EQ(entry.text, u"Hi");
                expectRect(entry, 1, 2, 82, 18);
            } },
        { "TextEntryLimited", "{textentrylimited 1 2 80 16 5 7 1 20}", { u"Hi" },
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::TextEntry);
                EXPECT_EQ(only(gump).value, 20);
                EXPECT_EQ(only(gump).text, u"") << "line 1 of one line";
            } },
        { "Radio", "{radio 1 2 200 201 1 9}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& radio = only(gump);
                EXPECT_EQ(radio.kind, ElementKind::Radio);
                expectRect(radio, 1, 2, 9, 9);
                EXPECT_EQ(radio.secondArt, 201);
                EXPECT_EQ(radio.state, 1);
                EXPECT_EQ(radio.id, 9);
            } },
        { "Button", "{button 1 2 100 101 1 3 5}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& button = only(gump);
                EXPECT_EQ(button.kind, ElementKind::Button);
                expectRect(button, 1, 2, 10, 10);
                EXPECT_EQ(button.buttonFlags, ButtonFlag::kReplies | ButtonFlag::kSwitchesPage);
                EXPECT_EQ(button.value, 3);
                EXPECT_EQ(button.id, 5);
            } },
        { "ButtonTileArt", "{buttontileart 1 2 100 101 0 2 5 256 7 3 4}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& button = only(gump);
                EXPECT_EQ(button.kind, ElementKind::ButtonTileArt);
                EXPECT_EQ(button.buttonFlags, ButtonFlag::kSwitchesPage);
                EXPECT_EQ(button.tileGraphic, gump_test::kTileGraphic);
                EXPECT_EQ(button.tileHue, 7);
                EXPECT_EQ(button.tileX, 3);
                EXPECT_EQ(button.tileY, 4);
            } },
        { "Checkbox", "{checkbox 1 2 200 201 0 4}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::Checkbox);
                EXPECT_EQ(only(gump).state, 0);
                EXPECT_EQ(only(gump).id, 4);
            } },
        { "ResizePic", "{resizepic 1 2 300 50 40}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::ResizePic);
                expectRect(only(gump), 1, 2, 50, 40);
                EXPECT_EQ(only(gump).art, 300);
            } },
        { "HtmlGump", "{htmlgump 1 2 60 30 0 1 0}", { u"plain words" },
            [](GenericGump& gump) {
                ASSERT_EQ(only(gump).kind, ElementKind::Html);
                HtmlView* view = static_cast<HtmlElement&>(*gump.elements()[0]).view();
                ASSERT_NE(view, nullptr);
                EXPECT_EQ(view->parent(), &gump);
                EXPECT_EQ(view->flags(), HtmlViewFlag::kReadOnly | HtmlViewFlag::kFrame3000 | HtmlViewFlag::kNoScrollBar);
                EXPECT_EQ(view->text(), u"plain words");
                EXPECT_EQ(view->x(), 1);
                EXPECT_EQ(view->y(), 2);
            } },
        { "XmfHtmlGump", "{xmfhtmlgump 1 2 60 30 1000001 0 1}", {},
            [](GenericGump& gump) {
                ASSERT_EQ(only(gump).kind, ElementKind::Html);
                HtmlView* view = static_cast<HtmlElement&>(*gump.elements()[0]).view();
                ASSERT_NE(view, nullptr);
                EXPECT_EQ(view->flags(), HtmlViewFlag::kReadOnly | HtmlViewFlag::kFrame3000 | HtmlViewFlag::kNoFrame);
            } },
        { "XmfHtmlGumpColor", "{xmfhtmlgumpcolor 1 2 60 30 1000001 0 0 31744}", {},
            [](GenericGump& gump) {
                ASSERT_EQ(only(gump).kind, ElementKind::Html);
                HtmlView* view = static_cast<HtmlElement&>(*gump.elements()[0]).view();
                ASSERT_NE(view, nullptr);
                EXPECT_EQ(view->flags(),
                    HtmlViewFlag::kReadOnly | HtmlViewFlag::kFrame3000 | HtmlViewFlag::kNoFrame
                        | HtmlViewFlag::kNoScrollBar);
            } },
        { "CheckerTrans", "{checkertrans 1 2 30 20}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::CheckerTrans);
                expectRect(only(gump), 1, 2, 30, 20);
            } },
        { "GumpPicTiled", "{gumppictiled 1 2 30 20 100}", {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).kind, ElementKind::GumpPicTiled);
                expectRect(only(gump), 1, 2, 30, 20);
                EXPECT_EQ(only(gump).art, 100);
            } },
        { "Tooltip", "{checkbox 1 2 200 201 0 4}{tooltip 1011}", {},
            [](GenericGump& gump) { EXPECT_EQ(only(gump).tooltipId, 1011); } },
        { "TooltipAsTheFirstCommandDoesNothing", "{tooltip 1011}{checkbox 1 2 200 201 0 4}", {},
            [](GenericGump& gump) { EXPECT_EQ(only(gump).tooltipId, kNoTooltip); } },
        { "MasterGump", "{mastergump 77}", {},
            [](GenericGump& gump) {
                masterGumpStorePosition(gump.typeId(), 50, 60);
                EXPECT_EQ(masterGumpPosition(77).x, 50) << "the gump's family is the master's";
                EXPECT_EQ(masterGumpPosition(77).y, 60);
            } },
        { "UnknownKeywordIsSkipped", "{bogus 1 2}{gumppic 1 1 100}", {},
            [](GenericGump& gump) { EXPECT_EQ(only(gump).kind, ElementKind::GumpPic); } },
        { "KeywordsAreCaseSensitive", "{GumpPic 1 1 100}{Page 3}", {},
            [](GenericGump& gump) { EXPECT_TRUE(gump.elements().empty()); } },
        { "MissingIntegersReadZero", "{button}", {},
            [](GenericGump& gump) {
                const GenericGumpElement& button = only(gump);
                expectRect(button, 0, 0, 0, 0);
                EXPECT_EQ(button.buttonFlags, 0);
                EXPECT_EQ(button.id, 0);
            } },
        { "TextOutsideBracesIsSkipped", "junk {  gumppic 1 1 100  } more } {junk", {},
            [](GenericGump& gump) { EXPECT_EQ(only(gump).kind, ElementKind::GumpPic); } },
        { "LayoutEndsAtItsFirstZero", std::string("{gumppic 1 1 100}\0{gumppic 2 2 100}", 35), {},
            [](GenericGump& gump) { EXPECT_EQ(gump.elements().size(), 1u); } },
        { "LongCommandIsCutAt1024", "{gumppic 1 1 100" + std::string(2000, ' ') + "hue=5}{checkertrans 0 0 1 1}", {},
            [](GenericGump& gump) {
                ASSERT_EQ(gump.elements().size(), 2u);
                EXPECT_EQ(gump.elements()[0]->hue, 0) << "the option lay past the cut";
                EXPECT_EQ(gump.elements()[1]->kind, ElementKind::CheckerTrans);
            } },
        { "RectanglesAreClamped", "{resizepic -99999 99999999 300 999999 -5}", {},
            [](GenericGump& gump) {
                expectRect(only(gump), -GenericGump::kMaxLayoutCoordinate, GenericGump::kMaxLayoutCoordinate,
                    GenericGump::kMaxLayoutCoordinate, 0);
            } },
        { "NumbersSaturate", "{checkertrans 99999999999999999999 -99999999999999999999 5 5}{tooltip 99999999999}",
            {},
            [](GenericGump& gump) {
                EXPECT_EQ(only(gump).x, GenericGump::kMaxLayoutCoordinate);
                EXPECT_EQ(only(gump).y, -GenericGump::kMaxLayoutCoordinate);
                EXPECT_EQ(only(gump).tooltipId, 2147483647);
            } },
    };
}

INSTANTIATE_TEST_SUITE_P(Commands, LayoutCommand, testing::ValuesIn(layoutCases()),
    [](const testing::TestParamInfo<LayoutCase>& row) { return std::string(row.param.name); });

using Layout = GenericGumpDesktop;

TEST_F(Layout, ElementsOfAnUnknownGroupAreNotMadeAndTheCapHolds)
{
    std::string layout;
    for (size_t i = 0; i < GenericGump::kMaxElements + 10; ++i)
        layout += "{checkertrans 0 0 1 1}";
    // The group is refused by the cap, so its contents have nowhere to go.
    layout += "{group 3}{checkbox 0 0 200 201 1 5}";
    GenericGump* gump = open(layout);
    EXPECT_EQ(gump->elementCount(), GenericGump::kMaxElements);
    EXPECT_EQ(gump->replyPacket(1).size(), 23u) << "no switch was made";
}

TEST_F(Layout, RadiosOfEachGroupAndOfTheTopLevelAreApart)
{
    GenericGump* gump = open("{page 1}{radio 0 0 200 201 1 1}{radio 10 0 200 201 0 2}"
                             "{group 1}{radio 0 20 200 201 1 11}{radio 10 20 200 201 0 12}"
                             "{group 2}{radio 0 40 200 201 1 21}{radio 10 40 200 201 0 22}");
    ASSERT_EQ(gump->elements().size(), 3u);
    const GenericGumpElement& first = *gump->elements()[2];
    ASSERT_EQ(first.children.size(), 3u) << "group 2 was made inside group 1";
    EXPECT_EQ(first.children[2]->kind, ElementKind::Group);
    EXPECT_EQ(first.children[2]->children.size(), 2u);
}

TEST_F(Layout, PositionComesFromTheMasterFamilyWhenStored)
{
    masterGumpSet(0x99, 5);
    masterGumpStorePosition(0x99, 120, 34);
    GenericGump* placed = open("{mastergump 5}{gumppic 0 0 100}", {}, 10, 20, 1, 0x77);
    EXPECT_EQ(placed->x(), 120);
    EXPECT_EQ(placed->y(), 34);
    GenericGump* plain = open("{gumppic 0 0 100}", {}, 10, 20, 1, 0x78);
    EXPECT_EQ(plain->x(), 10);
    EXPECT_EQ(plain->y(), 20);
}

} // namespace
