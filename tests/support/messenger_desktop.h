#pragma once
// The desktop the messenger's window tests run on: the game windows' desktop
// (sample data art, a game connection that queues what is sent, the pointer
// and the presenter doubles) with the clicks and typing the messenger's
// windows take, delivered the way the program delivers them.

#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "windows/windows_test_support.h"

#include <string_view>

namespace test {

class MessengerDesktop : public windows_test::WindowDesktop {
protected:
    void click(int32_t x, int32_t y)
    {
        pressLeft(x, y);
        releaseLeft(x, y);
    }
    // A click into the view's middle, then keys to whatever holds the focus.
    void type(HtmlView* view, std::u16string_view text)
    {
        int32_t x = view->width() / 2;
        int32_t y = view->height() / 2;
        view->localToScreen(x, y);
        click(x, y);
        ASSERT_EQ(gumpFocus(), view);
        for (char16_t c : text)
            gumpFocus()->onKey(c);
    }
};

} // namespace test
