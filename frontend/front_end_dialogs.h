#pragma once
// The small dialogs of the login road and the game: a yes/no question (in
// 8-bit text, or in HTML with one button), the confirmations before a
// character is deleted or played (the latter asks the character's
// password), and the notice shown while settings are uploaded before a
// logout or quit. Each is a top-level gump with one page; the question and
// the notice make themselves the modal gump, the confirmations swallow every
// click while they are up and give the character selection back when they
// go. Main thread only.

#include "frontend/front_end_gump.h"

#include <functional>
#include <string>

class InputControl;

class YesNoGump final : public FrontEndGump {
public:
    static constexpr int32_t kBackgroundArt = 2070;

    // The dialog closes before either answer runs.
    YesNoGump(const std::string& text, std::function<void()> onYes, std::function<void()> onNo, CGump* owner);
    ~YesNoGump() override;

    CGump* owner() const { return m_owner.get(); }

private:
    void answerYes();
    void answerNo();

    std::function<void()> m_yes;
    std::function<void()> m_no;
    GumpHandle m_owner;
};

class YesNoHtmlGump final : public FrontEndGump {
public:
    YesNoHtmlGump(const std::u16string& text, std::function<void()> onButton, CGump* owner);
    ~YesNoHtmlGump() override;

private:
    void press();

    std::function<void()> m_callback;
    GumpHandle m_owner;
};

// A dialog that takes every click while it is up, is dragged by any point,
// closes on Escape and on a right click, and shows the character selection
// again when it goes.
class CharacterDialog : public FrontEndGump {
public:
    ~CharacterDialog() override;

    bool containsPoint(int32_t, int32_t) override { return true; }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override { dragDialog(x, y); }
    void onRightUp(int32_t x, int32_t y) override;
    void onEscape() override;
    void onKey(uint32_t code) override;

protected:
    CharacterDialog(int32_t x, int32_t y, int32_t width, int32_t height);
    void close();
    virtual void confirm() = 0;
};

class DeleteCharGump final : public CharacterDialog {
public:
    static constexpr int32_t kFrameArt = 2600;
    static constexpr int32_t kNoArt = 1150;
    static constexpr int32_t kYesArt = 1153;

    explicit DeleteCharGump(const std::string& name);

    void onEnter() override { confirm(); }

private:
    void confirm() override;
};

class PlayCharGump final : public CharacterDialog {
public:
    static constexpr int32_t kBackgroundArt = 1140;

    explicit PlayCharGump(const std::string& name);

    void onEnter() override { confirm(); }
    InputControl* passwordEntry() const { return m_password; }

private:
    void confirm() override;

    InputControl* m_password = nullptr;
};

class IgrSaveGump final : public FrontEndGump {
public:
    IgrSaveGump(const std::u16string& text, CGump* owner);
    ~IgrSaveGump() override;

    bool containsPoint(int32_t, int32_t) override { return true; }

private:
    GumpHandle m_owner;
};

// Closes every question and notice above that is still up (the login
// completed: none may stay over the world).
void closeFrontEndBoxes();
