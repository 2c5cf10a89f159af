#include "frontend/front_end_dialogs.h"

#include "frontend/character_selection.h"
#include "frontend/front_end_state.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/html_view.h"
#include "gump/input_control.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <vector>

namespace {

constexpr int32_t kDialogHue = 902;
constexpr int32_t kYesArt = 2074;
constexpr int32_t kNoArt = 2071;

Button* addDialogButton(
    CGump& parent, int32_t x, int32_t y, GumpCallback callback, int32_t up, int32_t down, int32_t hover)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, callback, up, down, false);
    button->setHoverArt(hover);
    gumpLink(button, &parent);
    return button;
}

// The size of a gump art, and a position that centres it on the front-end
// screen.
GumpArtSize centredArt(int32_t art, int32_t& x, int32_t& y)
{
    const GumpArtSize size = gumpArtSize(art);
    x = kFrontEndWidth / 2 - size.width / 2;
    y = kFrontEndHeight / 2 - size.height / 2;
    return size;
}

void closeSelf(CGump* dialog) { closeGump(dialog); }

// The questions and notices made, while they live.
std::vector<GumpHandle>& openBoxes()
{
    static std::vector<GumpHandle> boxes;
    return boxes;
}

void rememberBox(CGump* box)
{
    std::vector<GumpHandle>& boxes = openBoxes();
    std::erase_if(boxes, [](const GumpHandle& handle) { return !handle; });
    boxes.push_back(GumpHandle(box));
}

// Closes the dialog, then runs its answer: the answer may build the next
// screen, which must not find the dialog still up.
void closeThenAnswer(CGump* dialog, std::function<void()>& answer)
{
    std::function<void()> taken = std::move(answer);
    answer = nullptr;
    closeGump(dialog);
    if (taken)
        taken();
}

} // namespace

// The question ------------------------------------------------------------------

YesNoGump::YesNoGump(const std::string& text, std::function<void()> onYes, std::function<void()> onNo, CGump* owner)
    : FrontEndGump(0, 0, 0, 0)
    , m_yes(std::move(onYes))
    , m_no(std::move(onNo))
    , m_owner(owner)
{
    setTypeName("YesNo gump");
    int32_t x = 0;
    int32_t y = 0;
    const GumpArtSize size = centredArt(kBackgroundArt, x, y);
    setLocation(x, y);
    setSize(size.width, size.height);
    GumpPage& face = makePage();
    drawGumpArt(copySpanTransparent, kBackgroundArt, face.target(), 0, 0);
    drawAsciiTextWrapped(
        33, 30, 1, kDialogHue, text.c_str(), 115, face.surface(), TextClip { 33, 30, 148, 63 }, 0, 0, false);
    addDialogButton(*this, 100, 75, onParent<&YesNoGump::answerYes>, kYesArt, kYesArt + 1, kYesArt + 2);
    addDialogButton(*this, 37, 75, onParent<&YesNoGump::answerNo>, kNoArt, kNoArt + 1, kNoArt + 2);
    gumpSetModal(this);
    rememberBox(this);
}

YesNoGump::~YesNoGump() { gumpClearModalIf(this); }

void YesNoGump::answerYes() { closeThenAnswer(this, m_yes); }
void YesNoGump::answerNo() { closeThenAnswer(this, m_no); }

YesNoHtmlGump::YesNoHtmlGump(const std::u16string& text, std::function<void()> onButton, CGump* owner)
    : FrontEndGump(kFrontEndWidth / 2 - 200, kFrontEndHeight / 2 - 150, 400, 300)
    , m_callback(std::move(onButton))
    , m_owner(owner)
{
    setTypeName("YesNo gump");
    GumpPage& face = makePage();
    drawNinePatch(5054, face, true);
    drawNinePatchRecord(10, 10, width() - 20, height() - 50, 3500, face, true);
    auto* view = new HtmlView(
        this, 1, HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoFrame | HtmlViewFlag::kNoScrollBar, false, true);
    view->setRect(25, 30, width() - 50, height() - 100);
    view->setText(text, 0);
    const GumpArtSize button = gumpArtSize(kYesArt);
    addDialogButton(*this, (width() - button.width) / 2, height() - 10 - button.height, onParent<&YesNoHtmlGump::press>,
        kYesArt, kYesArt + 1, kYesArt + 2);
    rememberBox(this);
}

YesNoHtmlGump::~YesNoHtmlGump() { gumpClearModalIf(this); }

void YesNoHtmlGump::press() { closeThenAnswer(this, m_callback); }

// The character confirmations ----------------------------------------------------

CharacterDialog::CharacterDialog(int32_t x, int32_t y, int32_t width, int32_t height)
    : FrontEndGump(x, y, width, height)
{
}

CharacterDialog::~CharacterDialog()
{
    if (gumpManager().bulkClosing)
        return;
    if (CGump* selection = frontEnd().characterSelection.get())
        selection->setVisible(true);
}

void CharacterDialog::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_dragging = true;
}

void CharacterDialog::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    releasePointerCapture();
}

void CharacterDialog::onRightUp(int32_t, int32_t)
{
    releasePointerCapture();
    close();
}

void CharacterDialog::onEscape() { onRightUp(0, 0); }

void CharacterDialog::onKey(uint32_t code)
{
    if (code == GumpKey::kEnter)
        onEnter();
    else if (code == GumpKey::kEscape)
        onEscape();
}

void CharacterDialog::close() { closeGump(this); }

DeleteCharGump::DeleteCharGump(const std::string& name)
    : CharacterDialog(0, 0, 0, 0)
{
    setTypeName("DeleteChar gump");
    const GumpArtSize corner = gumpArtSize(kFrameArt);
    setSize(2 * corner.width + 268, 2 * corner.height + 124);
    const GumpScreen& screen = gumpScreen();
    setLocation(screen.gameWidth / 2 - width() / 2, screen.gameHeight / 2 - height() / 2);
    GumpPage& face = makePage();
    drawNinePatch(kFrameArt, face, true);
    const std::string text = "Permanently delete " + name + "?";
    drawAsciiTextWrapped(60, 50, 2, kDialogHue, text.c_str(), width() - 120, face.surface(),
        TextClip { 0, 0, width(), height() }, 0, 0, true);
    const GumpArtSize button = gumpArtSize(kNoArt);
    const int32_t left = (width() - 4 * button.width) / 2;
    addDialogButton(*this, left, height() - 2 * button.height, onParent<&DeleteCharGump::confirm>, kYesArt, kYesArt + 2,
        kYesArt + 1);
    addDialogButton(
        *this, left + 3 * button.width, height() - 2 * button.height, closeSelf, kNoArt, kNoArt + 2, kNoArt + 1);
}

void DeleteCharGump::confirm() { confirmDeleteCharacter(*this); }

PlayCharGump::PlayCharGump(const std::string& name)
    : CharacterDialog(121, 102, 0, 0)
{
    setTypeName("PlayChar gump");
    const GumpArtSize size = gumpArtSize(kBackgroundArt);
    setSize(size.width, size.height);
    GumpPage& face = makePage();
    drawGumpArt(copySpanTransparent, kBackgroundArt, face.target(), 0, 0);
    int32_t labelWidth = 0;
    int32_t labelHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(2, "Password", labelWidth, labelHeight, baseline);
    drawAsciiText(60, 125 + baseline, 2, kDialogHue, "Password", face.surface(), TextClip { 0, 0, width(), height() });
    const std::string text = "Play as " + name + "?";
    drawAsciiTextWrapped(60, 50, 2, kDialogHue, text.c_str(), width() - 120, face.surface(),
        TextClip { 0, 0, width(), height() }, 0, 0, false);

    EntryArt art;
    art.art = 1141;
    m_password = new InputControl(60, 130, art, int32_t(EntryMode::Text), 30, 1, kDialogHue, true, false);
    m_password->options.hoverArt = 1142;
    m_password->options.selectedArt = 1143;
    m_password->options.password = true;
    m_password->options.marginX = 12;
    m_password->options.marginY = 5;
    m_password->options.selected = true;
    m_password->redraw();
    gumpLink(m_password, this);
    gumpSetFocus(m_password);

    addDialogButton(*this, 117, 190, onParent<&PlayCharGump::confirm>, 1147, 1148, 1149);
    addDialogButton(*this, 204, 190, closeSelf, 1144, 1145, 1146);
}

void PlayCharGump::confirm() { confirmPlayCharacter(*this); }

// The upload notice ----------------------------------------------------------------

IgrSaveGump::IgrSaveGump(const std::u16string& text, CGump* owner)
    : FrontEndGump(0, 0, 0, 0)
    , m_owner(owner)
{
    setTypeName("IGRSave gump");
    int32_t x = 0;
    int32_t y = 0;
    const GumpArtSize size = centredArt(YesNoGump::kBackgroundArt, x, y);
    setLocation(x, y);
    setSize(size.width, size.height);
    GumpPage& face = makePage();
    drawGumpArt(copySpanTransparent, YesNoGump::kBackgroundArt, face.target(), 0, 0);
    drawUnicodeTextLine(
        face.surface(), text.c_str(), 33, 30, 1, TextClip { 33, 30, width() - 33, height() - 30 });
    gumpSetModal(this);
    rememberBox(this);
}

IgrSaveGump::~IgrSaveGump() { gumpClearModalIf(this); }

void closeFrontEndBoxes()
{
    std::vector<GumpHandle> boxes;
    boxes.swap(openBoxes());
    for (const GumpHandle& box : boxes)
        closeGump(box.get());
}
