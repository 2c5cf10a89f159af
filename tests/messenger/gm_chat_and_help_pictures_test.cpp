// The GM chat window and the Context Help window as the screen shows them,
// drawn from the sample data's pictures, fonts and help texts: a golden of
// each opened the way the program opens it, and the layout checked pixel by
// pixel against the art: the GM chat's entry separator where the window's
// height puts it, and the help window's frame corners and buttons.

#include "fixtures/language_files.h"
#include "fixtures/sample_help.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/text_list.h"
#include "messenger/context_help_window.h"
#include "messenger/gm_chat_window.h"
#include "messenger/help_index.h"
#include "messenger/messenger_links.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "support/messenger_desktop.h"
#include "support/png_writer.h"
#include "text/cliloc_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int32_t kPictureWidth = 640;
constexpr int32_t kPictureHeight = 480;

class GmChatPictures : public test::MessengerDesktop {
protected:
    void TearDown() override
    {
        if (GmChatWindow* window = gmChatWindow())
            closeGump(window);
        gmChatPlacement() = {};
    }
    // A GM's request accepted, and a line of each side.
    GmChatWindow* open()
    {
        handleMessengerLine(u"/i  7 Kendra");
        openGmChatWindow();
        handleMessengerLine(u"/m  7 Kendra How can I help?");
        return gmChatWindow();
    }
    messenger_test::RecordingNotices notices;
    messenger_test::Loopback loopback;
    MessengerServices m_services;
};

uint64_t keptPictureHash(const std::vector<uint16_t>& picture, const char* name)
{
    test::writeSurfacePng(test::picturePath(name), picture.data(), kPictureWidth, kPictureHeight, kPictureWidth);
    return test::surfaceHash(picture.data(), kPictureWidth, kPictureHeight, kPictureWidth);
}

TEST_F(GmChatPictures, TheOpenedWindowLooksAsRecorded)
{
    ASSERT_NE(open(), nullptr);
    composeAll();
    const uint64_t hash = keptPictureHash(screenPicture(), "messenger_GmChat.png");
    EXPECT_EQ(hash, 0xa191470eaea0014cull) << std::hex << hash;
}

// A window 200 high puts the entry separator at 90, not at 200 - 120: the
// separator's row shows the edge art tiled from the left side's width.
TEST_F(GmChatPictures, TheEntrySeparatorLiesAt90InAShortWindow)
{
    GmChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    window->resize(300, 200, false);
    window->moveBy(30, 20, true, nullptr, false);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    int32_t edgeWidth = 0, edgeHeight = 0, sideWidth = 0, sideHeight = 0;
    ASSERT_TRUE(getGumpArtSize(2700, edgeWidth, edgeHeight));
    ASSERT_TRUE(getGumpArtSize(2701, sideWidth, sideHeight));
    auto at = [&](int32_t x, int32_t y) { return picture[size_t(y + 20) * kPictureWidth + size_t(x + 30)]; };
    int32_t differing = 0;
    int32_t shown = 0;
    for (int32_t x = sideWidth; x < 300 - sideWidth; ++x) {
        for (int32_t y = 0; y < edgeHeight; ++y) {
            const uint16_t art = getGumpArtPixel(2700, (x - sideWidth) % edgeWidth, y);
            differing += at(x, 90 + y) != art;
            shown += art != 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(shown, 0);
}

class HelpPictures : public test::MessengerDesktop {
protected:
    void SetUp() override
    {
        test::MessengerDesktop::SetUp();
        const std::string image = fixture::clilocImage(fixture::sampleHelpMessages());
        auto table = std::make_unique<ClilocTable>();
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
        resetHelp();
        parseHelpIndex(fixture::sampleHelpIndex());
        pushHelpPage(HelpPageKind::kIndex, 0, u"");
    }
    void TearDown() override
    {
        if (ContextHelpGump* window = contextHelpWindow())
            closeGump(window);
        resetHelp();
        setClilocTable(nullptr);
        test::MessengerDesktop::TearDown();
    }
    MessengerServices m_services;
};

TEST_F(HelpPictures, TheIndexLooksAsRecorded)
{
    openOrRaiseContextHelp();
    ASSERT_NE(contextHelpWindow(), nullptr);
    composeAll();
    const uint64_t hash = keptPictureHash(screenPicture(), "messenger_ContextHelp.png");
    EXPECT_EQ(hash, 0x3a62e32dfe26b034ull) << std::hex << hash;
}

// The frame's corners lie at the window's corners, and the four buttons
// stand at 42 plus whole steps of the art's width and spacing: their left
// edges (clear of the centred labels) show the button art.
TEST_F(HelpPictures, TheFrameAndTheButtonsLieWhereTheArtSays)
{
    openOrRaiseContextHelp();
    ContextHelpGump* window = contextHelpWindow();
    ASSERT_NE(window, nullptr);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    auto at = [&](int32_t x, int32_t y) {
        return picture[size_t(window->y() + y) * kPictureWidth + size_t(window->x() + x)];
    };
    int32_t differing = 0;
    int32_t compared = 0;
    auto compare = [&](int32_t art, int32_t left, int32_t top, int32_t columns) {
        int32_t w = 0, h = 0;
        ASSERT_TRUE(getGumpArtSize(art, w, h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < std::min(w, columns); ++x) {
                const uint16_t pixel = getGumpArtPixel(art, x, y);
                if (pixel == 0)
                    continue;
                ++compared;
                differing += at(left + x, top + y) != pixel;
            }
    };
    int32_t cornerWidth = 0, cornerHeight = 0;
    ASSERT_TRUE(getGumpArtSize(2608, cornerWidth, cornerHeight));
    compare(2600, 0, 0, 1000);
    compare(2608, 400 - cornerWidth, 300 - cornerHeight, 1000);
    int32_t wide = 0, narrow = 0, h = 0;
    ASSERT_TRUE(getGumpArtSize(2445, wide, h));
    ASSERT_TRUE(getGumpArtSize(2443, narrow, h));
    const ContextHelpButtonLayout layout = contextHelpButtonLayout(wide, narrow);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(window->button(i)->x(), 42 + i * (layout.width + layout.spacing)) << i;
        compare(layout.art, 42 + i * (layout.width + layout.spacing), 260, 4);
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(compared, 0);
}

} // namespace
