// The messenger window base over the sample data's pictures: where its
// buttons and controls go, its icon, its mouse rules, and a frame with a
// missing piece.

#include "gump/html_view.h"
#include "messenger/message_store.h"
#include "messenger/messenger_test_support.h"
#include "messenger/messenger_window.h"

#include "fixtures/sample_messenger_art.h"
#include "support/messenger_desktop.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kFrameTestWidth = 400;
constexpr int32_t kFrameTestHeight = 300;
// The sample frame's top-right piece (art 2602) is 20 x 20: L and H.
constexpr int32_t kFrameTestCorner = 20;

class FrameTestWindow final : public MessengerWindow {
public:
    struct Parts {
        int32_t frameKind = 0;
        int32_t kind = -1;
        int32_t code = 0;
        bool to = false;
        bool from = false;
        bool subject = false;
        bool controls = false;
    };
    explicit FrameTestWindow(const Parts& parts)
        : MessengerWindow(parts.frameKind)
    {
        if (parts.kind >= 0)
            addMessengerButton(parts.kind, parts.code);
        addMessengerButton(MessengerButton::Resize, 0);
        addMessengerButton(MessengerButton::Minimise, 0);
        addMessengerButton(MessengerButton::Close, 0);
        m_headerShown = { parts.to, parts.from, false, parts.subject };
        if (parts.controls) {
            m_subjectControl = GumpHandle(new HtmlView(this, 0, 309, true, true));
            m_bodyControl = GumpHandle(new HtmlView(this, 0, 64, true, true));
        }
        finishWindow(nullptr, 50, 40, kFrameTestWidth, kFrameTestHeight);
    }
    using MessengerWindow::bodyControl;
    using MessengerWindow::subjectControl;
};

class MessengerFrame : public test::MessengerDesktop {
protected:
    MessengerFrame() { messenger_test::resetMessenger(); }
    ~MessengerFrame() override { messenger_test::resetMessenger(); }

    static const fixture::GumpArtPicture& art(int32_t id)
    {
        static const auto pictures = fixture::sampleMessengerGumpArt();
        return pictures.at(id);
    }
};

struct FramePlaceCase {
    const char* name;
    int32_t code;
    int32_t x;
    bool bottomRow;
};

class ButtonPlaces : public MessengerFrame, public testing::WithParamInterface<FramePlaceCase> { };

// A 40-pixel OK button (art 4023) on a 400 x 300 window with 20-pixel
// corners, worked out by hand from the position codes.
TEST_P(ButtonPlaces, FollowThePositionCode)
{
    const FramePlaceCase& c = GetParam();
    FrameTestWindow window({ 0, MessengerButton::Ok, c.code });
    Button* ok = window.messengerButton(MessengerButton::Ok);
    ASSERT_NE(ok, nullptr);
    ASSERT_EQ(ok->width(), 40);
    EXPECT_EQ(ok->x(), c.x);
    EXPECT_EQ(ok->y(), c.bottomRow ? kFrameTestHeight - ok->height() - kFrameTestCorner : kFrameTestHeight - kFrameTestCorner);
    // The title-bar buttons and the grip go by their kind.
    const Button* close = window.messengerButton(MessengerButton::Close);
    const Button* minimise = window.messengerButton(MessengerButton::Minimise);
    const Button* grip = window.messengerButton(MessengerButton::Resize);
    EXPECT_EQ(close->x(), kFrameTestWidth - 14 - kFrameTestCorner);
    EXPECT_EQ(close->y(), 12);
    EXPECT_EQ(minimise->x(), kFrameTestWidth - 14 - kFrameTestCorner - 14);
    EXPECT_EQ(grip->x(), kFrameTestWidth - 12);
    EXPECT_EQ(grip->y(), kFrameTestHeight - 12);
}

INSTANTIATE_TEST_SUITE_P(Codes, ButtonPlaces,
    testing::Values(FramePlaceCase { "Left", 1, 25, true }, FramePlaceCase { "Centre", 2, 180, true },
        FramePlaceCase { "SecondOfFour", 3, 128, true }, FramePlaceCase { "ThirdOfFour", 4, 232, true },
        FramePlaceCase { "Right", 5, 335, true }, FramePlaceCase { "SecondOfSix", 6, 87, true },
        FramePlaceCase { "ThirdOfSix", 7, 149, true }, FramePlaceCase { "FourthOfSix", 8, 211, true },
        FramePlaceCase { "FifthOfSix", 9, 273, true }, FramePlaceCase { "Other", 0, 180, false }),
    [](const testing::TestParamInfo<FramePlaceCase>& row) { return std::string(row.param.name); });

TEST_F(MessengerFrame, ToAndSubjectPutTheContentFiftyOneBelowTheFrame)
{
    FrameTestWindow window({ 0, -1, 0, true, false, true, true });
    ASSERT_NE(window.subjectControl(), nullptr);
    EXPECT_EQ(window.subjectControl()->x(), 120);
    EXPECT_EQ(window.subjectControl()->y(), kFrameTestCorner + 28);
    // The body goes 4 pixels into the content area, which starts at H + 51.
    EXPECT_EQ(window.bodyControl()->y(), kFrameTestCorner + 51 + 4);
    EXPECT_EQ(window.bodyControl()->x(), kFrameTestCorner / 2);
    EXPECT_EQ(window.bodyControl()->width(), kFrameTestWidth - kFrameTestCorner);
    EXPECT_EQ(window.bodyControl()->height(), kFrameTestHeight - (kFrameTestCorner + 51) - kFrameTestCorner - 5 - 4);
}

TEST_F(MessengerFrame, TheMinimisedIconShowsWhetherMailIsUnread)
{
    FrameTestWindow window({});
    window.minimize();
    const int32_t x = window.x();
    const int32_t y = window.y();
    parseMessageList(u"1\r\nTo: <a> \"A\" ()\r\nRead: 0\r\n");
    composeAll();
    // The seal at the letter's middle: red while unread.
    EXPECT_EQ(window.iconArt(), kUnreadIconArt);
    EXPECT_EQ(screenPixel(x + 20, y + 15), art(kUnreadIconArt).at(20, 15));
    findMessageRecord(1)->readState = 1;
    composeAll();
    EXPECT_EQ(screenPixel(x + 20, y + 15), art(kIconArt).at(20, 15));
    EXPECT_NE(art(kIconArt).at(20, 15), art(kUnreadIconArt).at(20, 15));
    // A transparent corner of the icon is no hit.
    EXPECT_EQ(window.findChildAt(0, 0, nullptr), nullptr);
    EXPECT_EQ(window.findChildAt(20, 15, nullptr), &window);
}

TEST_F(MessengerFrame, TwoQuickPressesOnTheIconRestoreTheWindow)
{
    FrameTestWindow window({});
    window.minimize();
    const int32_t x = window.x() + 20;
    const int32_t y = window.y() + 15;
    click(x, y);
    advance(600);
    click(x, y);
    EXPECT_TRUE(window.isMinimised());
    EXPECT_TRUE(sounds.played.empty());
    click(x, y);
    advance(100);
    click(x, y);
    EXPECT_FALSE(window.isMinimised());
    EXPECT_EQ(window.x(), 50);
    EXPECT_EQ(sounds.played, (std::vector<int32_t> { kOpenSound }));
}

TEST_F(MessengerFrame, ARightClickAnywhereClosesIt)
{
    auto* made = new FrameTestWindow({ 0, -1, 0, false, false, false, true });
    GumpHandle window(made);
    const int32_t x = made->x() + kFrameTestWidth / 2;
    const int32_t y = made->y() + kFrameTestHeight / 2;
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_FALSE(window);
}

TEST_F(MessengerFrame, ADragMovesAWindowWithAGrip)
{
    FrameTestWindow window({});
    pressLeft(window.x() + 100, window.y() + 5);
    pointAt(window.x() + 130, window.y() + 25);
    releaseLeft(window.x() + 100, window.y() + 5);
    EXPECT_EQ(window.x(), 80);
    EXPECT_EQ(window.y(), 60);
}

TEST_F(MessengerFrame, AFrameWithMissingPiecesIsBuiltAndDrawn)
{
    // The sample data has no art 9200..9208: every piece has no size, and
    // tiling by their heights must still end.
    FrameTestWindow window({ 2 });
    composeAll();
    EXPECT_EQ(window.width(), kFrameTestWidth);
    EXPECT_EQ(window.frameCornerWidth(), 0);
}

TEST_F(MessengerFrame, ResizingKeepsTheMinimumAndLaysOutAgain)
{
    FrameTestWindow window({ 0, MessengerButton::Ok, 5 });
    window.resize(100, 90, false);
    EXPECT_EQ(window.width(), 320);
    EXPECT_EQ(window.height(), 160);
    window.resize(500, 0, false);
    EXPECT_EQ(window.width(), 500);
    EXPECT_EQ(window.height(), 160);
    EXPECT_EQ(window.messengerButton(MessengerButton::Ok)->x(), 500 - 40 - kFrameTestCorner - 5);
}

} // namespace
