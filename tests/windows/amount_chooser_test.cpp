// The amount chooser as a player meets it: a stack dragged out of a
// container window without Shift asks how many, the keys and the slider set
// the amount, OK lifts that many (nothing for 0), and its picture.

#include "trade_windows_fixture.h"

#include "fixtures/sample_status_art.h"
#include "fixtures/sample_window_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/thumb.h"
#include "support/png_writer.h"
#include "windows/amount_chooser.h"
#include "windows/container_gump.h"
#include "windows/drag_gump.h"
#include "world/object_interaction.h"

#include <gtest/gtest.h>

namespace {

using windows_test::hexOf;

constexpr uint32_t kStack = 0x40000700;
constexpr int32_t kPackX = 200;
constexpr int32_t kPackY = 100;
// Where the stack lies in the backpack's window.
constexpr int32_t kStackX = 60;
constexpr int32_t kStackY = 80;

class AmountChooser : public windows_test::TradeWindows {
protected:
    // A stack of coins in the backpack, its window open.
    void openPackWithStack(uint16_t amount)
    {
        ContainerItem* pack = playerBackpack();
        addToContainer(kStack, fixture::kSampleCoinGraphic, kStackX, kStackY, pack->serial, amount);
        m_pack = static_cast<ContainerGump*>(openContainerGump(pack->serial, 60));
        m_pack->moveTo(kPackX, kPackY, true, nullptr, false);
    }
    // The player presses on a pixel of the stack's picture and moves the
    // pointer away, the button held, as a hand drags.
    void dragStackOut()
    {
        int32_t x = -1;
        int32_t y = -1;
        for (int32_t dy = 0; dy < 40 && x < 0; ++dy)
            for (int32_t dx = 0; dx < 40 && x < 0; ++dx)
                if (m_pack->itemSerialAt(kStackX + dx, kStackY + dy) == kStack)
                    x = kStackX + dx, y = kStackY + dy;
        ASSERT_GE(x, 0) << "the stack shows in the window";
        screenPoint(m_pack, x, y);
        pointAt(x, y);
        pressLeft(x, y);
        advance(30);
        pointAt(x + 12, y + 3);
    }
    StackGump* chooser() { return static_cast<StackGump*>(findTopLevel(GumpKind::StackGump)); }

    ContainerGump* m_pack = nullptr;
};

TEST_F(AmountChooser, DraggingAStackWithoutShiftAsksAndOkLiftsTheAmount)
{
    openPackWithStack(40);
    dragStackOut();
    StackGump* asked = chooser();
    ASSERT_NE(asked, nullptr) << "the drag asks how many";
    EXPECT_EQ(asked->x(), pointer.x - 50);
    EXPECT_EQ(asked->y(), pointer.y - 37);
    EXPECT_EQ(asked->amount(), 40);
    EXPECT_TRUE(takePackets().empty()) << "nothing lifted yet";
    // The chooser follows the pointer while the button is held.
    pointAt(pointer.x + 10, pointer.y + 4);
    EXPECT_EQ(asked->x(), pointer.x - 50);
    releaseLeft(pointer.x, pointer.y);
    EXPECT_EQ(chooser(), asked);
    EXPECT_TRUE(takePackets().empty()) << "the release is no click on the stack";
    for (uint32_t key : { uint32_t('1'), uint32_t('2'), uint32_t(13) })
        gumpFocus()->onKey(key);
    EXPECT_EQ(chooser(), nullptr);
    std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "07 40 00 07 00 00 0C");
    EXPECT_NE(dragGump(), nullptr) << "twelve coins follow the pointer";
}

TEST_F(AmountChooser, TheSliderAtTheLeftLiftsNothing)
{
    openPackWithStack(40);
    dragStackOut();
    releaseLeft(pointer.x, pointer.y);
    StackGump* asked = chooser();
    ASSERT_NE(asked, nullptr);
    Thumb* thumb = asked->thumb();
    // The knob dragged to the left end of its track.
    int32_t x = thumb->width() / 2;
    int32_t y = thumb->height() / 2;
    screenPoint(thumb, x, y);
    pointAt(x, y);
    pressLeft(x, y);
    pointAt(x - 200, y);
    releaseLeft(x - 200, y);
    EXPECT_EQ(asked->amount(), 0);
    EXPECT_EQ(asked->text(), "0");
    int32_t okX = 5;
    int32_t okY = 5;
    screenPoint(asked->okButton(), okX, okY);
    clickAt(okX, okY);
    EXPECT_EQ(chooser(), nullptr) << "OK closes";
    EXPECT_TRUE(takePackets().empty()) << "and lifts nothing";
    EXPECT_EQ(dragGump(), nullptr);
}

TEST_F(AmountChooser, AStackOfOneOpensAtOneOnASliderOfOne)
{
    Item* single = addItem(kStack, fixture::kSampleCoinGraphic, player()->x + 1, player()->y, 1);
    auto* asked = new StackGump(100, 100, single);
    gumpLink(asked, nullptr);
    EXPECT_EQ(asked->amount(), 1);
    EXPECT_EQ(asked->maximum(), 1);
    EXPECT_EQ(asked->thumb()->x(), asked->thumb()->maxX()) << "at the right end";
    asked->onSlider(0, asked->thumb()->range(), asked->thumb());
    EXPECT_EQ(asked->amount(), 0);
    asked->onSlider(asked->thumb()->range(), asked->thumb()->range(), asked->thumb());
    EXPECT_EQ(asked->amount(), 1);
}

TEST_F(AmountChooser, ARightClickLiftsNothing)
{
    openPackWithStack(40);
    dragStackOut();
    releaseLeft(pointer.x, pointer.y);
    StackGump* asked = chooser();
    ASSERT_NE(asked, nullptr);
    int32_t x = 10;
    int32_t y = 10;
    screenPoint(asked, x, y);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_EQ(chooser(), nullptr);
    EXPECT_TRUE(takePackets().empty());
}

struct KeyCase {
    const char* name;
    std::vector<uint32_t> keys;
    std::string text;
    int32_t amount;
};

class AmountKeys : public AmountChooser, public testing::WithParamInterface<KeyCase> { };

TEST_P(AmountKeys, TypeTheAmount)
{
    Item* stack = addItem(kStack, fixture::kSampleCoinGraphic, player()->x + 1, player()->y, 50);
    auto* asked = new StackGump(100, 100, stack);
    gumpLink(asked, nullptr);
    for (uint32_t key : GetParam().keys)
        asked->onKey(key);
    EXPECT_EQ(asked->text(), GetParam().text);
    EXPECT_EQ(asked->amount(), GetParam().amount);
    // The knob follows the amount.
    Thumb expected(asked->thumb()->minX(), 0, false, asked->thumb()->maxX() + asked->thumb()->width(),
        StackGump::kThumbArt);
    expected.setPosition(GetParam().amount, 50);
    EXPECT_EQ(asked->thumb()->x(), expected.x());
}

INSTANTIATE_TEST_SUITE_P(Keys, AmountKeys,
    testing::Values(KeyCase { "ZeroFirstStaysEmpty", { '0' }, "", 0 },
        KeyCase { "TheFirstDigitReplacesTheText", { '7' }, "7", 7 },
        KeyCase { "ANumberOverTheStackTakesTheDigitBack", { '4', '9', '7' }, "49", 49 },
        KeyCase { "SixtyIsRefusedAtItsZero", { '6', '0' }, "6", 6 },
        KeyCase { "BackspaceTakesTheLastDigit", { '1', '2', 8 }, "1", 1 },
        KeyCase { "BackspaceFirstClears", { 8 }, "", 0 },
        KeyCase { "OtherKeysAreIgnored", { 'a', ' ' }, "50", 50 }),
    [](const testing::TestParamInfo<KeyCase>& key) { return key.param.name; });

TEST_F(AmountChooser, ThePicture)
{
    Item* stack = addItem(kStack, fixture::kSampleCoinGraphic, player()->x + 1, player()->y, 250);
    auto* asked = new StackGump(100, 100, stack);
    gumpLink(asked, nullptr);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("amount_chooser.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x748a09be87b54776ull) << std::hex << hash;
    // The face, the knob at the right end, the OK button.
    static const auto art = fixture::sampleTradeGumpArt();
    static const auto thumbArt = fixture::sampleStatusGumpArt().at(StackGump::kThumbArt);
    EXPECT_EQ(screenPixel(100 + 10, 100 + 60), art.at(StackGump::kFaceArt).at(10, 60));
    EXPECT_EQ(screenPixel(100 + asked->thumb()->x() + 5, 100 + 16 + 5), thumbArt.at(5, 5));
    EXPECT_EQ(screenPixel(100 + 102 + 2, 100 + 37 + 2), art.at(StackGump::kOkArt).at(2, 2));
}

} // namespace
