#include "windows/party_gump.h"

#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/toggle_control.h"
#include "text/ascii_font.h"
#include "windows/party_table.h"
#include "windows/party_words.h"
#include "windows/speech_entry.h"
#include "windows/speech_packets.h"
#include "windows/system_text.h"
#include "world/object_manager.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kPartyFrameArt = 2600;
constexpr int32_t kPartyRowArt = 1141;
constexpr int32_t kPartyTextHue = 902;
constexpr int32_t kPartyRowTop = 50;
constexpr int32_t kPartyRowStep = 25;
constexpr int32_t kPartyLabelArt = 4008;
constexpr const char* kPartyNoOneThere = "There is no one in that party slot.";
constexpr const char* kPartyNotInParty = "You are not in a party.";

GumpHandle& currentPartyHandle()
{
    static GumpHandle gump;
    return gump;
}

// The loot toggle's state as last seen by a draw (process-wide).
bool& lastSeenLootToggle()
{
    static bool seen = true;
    return seen;
}

int32_t partyArtWidth(int32_t art)
{
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(art, width, height);
    return width;
}

int32_t partyWindowWidth() { return partyArtWidth(202) + partyArtWidth(203) + 455; }

void partySystemMessage(const char* text) { addSystemMessage(0, 3, text); }

// Text with its top at `top` (the font draws at the baseline).
void drawPartyLabel(GumpPage& face, int32_t x, int32_t top, int32_t font, const std::string& text)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(font, text.c_str(), width, height, baseline);
    TextSurface surface = face.surface();
    drawAsciiText(x, top + baseline, font, kPartyTextHue, text.c_str(), surface, wholeSurface(surface));
}

void putSpeechLine(std::u16string_view text)
{
    speechEntry().setLine(text, speech_type::kParty);
}

} // namespace

PartyGump::PartyGump()
    : CGump(0, 0, nullptr, 1, partyWindowWidth(), kHeight)
{
    setTypeName("PartyGump");
    addKind(GumpKind::PartyGump);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.gameWidth - width()) / 2, (screen.gameHeight - kHeight) / 2);
    currentPartyHandle() = GumpHandle(this);
    addKickButtons();
    for (int32_t row = 0; row < PartyState::kSlots; ++row)
        addCommandButton(35, kPartyRowTop + kPartyRowStep * row, 4029, 4031, 4030, kTellFirst + row);
    addCommandButton(70, 310, 4029, 4031, 4030, kMessage);
    m_loot = new ToggleControl(70, 335, 4002, 4009, 2, kPartyTextHue, nullptr, partyTable().lootFlag() != 0, 0, 0);
    gumpLink(m_loot, this);
    addCommandButton(70, 360, 4014, 4016, 4015, kLeave);
    addAddMemberButton();
    addCommandButton(225 - partyArtWidth(249) / 2, 430, 249, 248, 247, kOk);
    page(0)->allocate(width(), kHeight);
    repaint();
}

PartyGump::~PartyGump()
{
    deleteChildren();
    if (currentPartyHandle().get() == this)
        currentPartyHandle() = GumpHandle();
}

Button* PartyGump::addCommandButton(int32_t x, int32_t y, int32_t up, int32_t down, int32_t hover, int32_t id)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, up, down, false);
    button->setHoverArt(hover);
    button->setId(id);
    button->setPassId(true);
    gumpLink(button, this);
    return button;
}

void PartyGump::addKickButtons()
{
    if (!partyTable().isLeader())
        return;
    for (int32_t row = 0; row < PartyState::kSlots; ++row) {
        if (!m_kicks[size_t(row)])
            m_kicks[size_t(row)]
                = GumpHandle(addCommandButton(80, kPartyRowTop + kPartyRowStep * row, 4017, 4019, 4018, kKickFirst + row));
    }
}

void PartyGump::removeKickButtons()
{
    for (GumpHandle& kick : m_kicks) {
        closeGump(kick.get());
        kick = GumpHandle();
    }
}

void PartyGump::addAddMemberButton()
{
    if (partyTable().isLeader() && !m_addMember)
        m_addMember = GumpHandle(addCommandButton(70, 385, 4008, 4010, 4009, kAddMember));
}

void PartyGump::removeAddMemberButton()
{
    closeGump(m_addMember.get());
    m_addMember = GumpHandle();
}

Button* PartyGump::kickButton(int32_t row) const
{
    return row >= 0 && row < PartyState::kSlots ? static_cast<Button*>(m_kicks[size_t(row)].get()) : nullptr;
}

Button* PartyGump::addMemberButton() const { return static_cast<Button*>(m_addMember.get()); }

void PartyGump::repaint()
{
    PartyTable& table = partyTable();
    const bool leader = table.isLeader();
    const bool loot = table.lootFlag() != 0;
    std::string shown;
    for (int32_t row = 0; row < PartyState::kSlots; ++row) {
        char line[48];
        std::snprintf(line, sizeof line, "[%d] %.30s", row + 1, table.memberName(row).c_str());
        shown += line;
        shown += '\n';
    }
    shown += loot ? "Party can loot me\n" : "Party CANNOT loot me\n";
    shown += leader ? "Disband the party\nKick\nAdd New Member\n" : "Leave the party\n";
    if (shown == m_shown)
        return;
    m_shown = shown;

    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(0, 0, kFrameWidth, kHeight, kPartyFrameArt, face, false);
    int32_t rowWidth = 0;
    int32_t rowHeight = 0;
    getGumpArtSize(kPartyRowArt, rowWidth, rowHeight);
    size_t lineStart = 0;
    for (int32_t row = 0; row < PartyState::kSlots; ++row) {
        size_t lineEnd = shown.find('\n', lineStart);
        const std::string line = shown.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const int32_t x = (kFrameWidth - rowWidth) / 2 + 45;
        const int32_t y = kPartyRowTop + kPartyRowStep * row;
        drawGumpArt(copySpanTransparent, kPartyRowArt, face.target(), x, y);
        int32_t textWidth = 0;
        int32_t textHeight = 0;
        int32_t baseline = 0;
        measureAsciiText(2, line.c_str(), textWidth, textHeight, baseline);
        drawPartyLabel(face, x + (rowWidth - textWidth) / 2, y + (rowHeight - textHeight) / 2, 2, line);
    }
    int32_t titleWidth = 0;
    int32_t titleHeight = 0;
    int32_t titleBaseline = 0;
    measureAsciiText(2, "Party Manifest", titleWidth, titleHeight, titleBaseline);
    drawPartyLabel(face, (kFrameWidth - titleWidth) / 2, 20, 2, "Party Manifest");
    drawPartyLabel(face, 40, 30, 1, "Tell");
    const int32_t labelX = partyArtWidth(kPartyLabelArt) + 80;
    drawPartyLabel(face, labelX, 307, 2, "Send the party a message");
    drawPartyLabel(face, labelX, 334, 2, loot ? "Party can loot me" : "Party CANNOT loot me");
    if (leader) {
        drawPartyLabel(face, labelX, 360, 2, "Disband the party");
        drawPartyLabel(face, 80, 30, 1, "Kick");
        drawPartyLabel(face, labelX, 385, 2, "Add New Member");
    } else {
        drawPartyLabel(face, labelX, 360, 2, "Leave the party");
    }
}

void PartyGump::syncLootFlag()
{
    const bool checked = m_loot->isChecked();
    if (checked == lastSeenLootToggle())
        return;
    lastSeenLootToggle() = checked;
    PartyTable& table = partyTable();
    if (uint8_t(checked) == table.lootFlag())
        return;
    table.setLootFlagValue(uint8_t(checked));
    if (table.find(playerSerial()))
        sendPartyLootFlag();
}

void PartyGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
    syncLootFlag();
    repaint();
}

bool PartyGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated() || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return false;
    return face->pixel(x, y) != 0;
}

void PartyGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(false);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_dragging = true;
}

void PartyGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void PartyGump::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void PartyGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void PartyGump::onCommand(int32_t commandId)
{
    PartyTable& table = partyTable();
    const bool inParty = table.find(playerSerial()).has_value();
    if (commandId >= kTellFirst && commandId < kTellFirst + PartyState::kSlots) {
        const int32_t row = commandId - kTellFirst;
        if (table.memberSerial(row) == 0) {
            partySystemMessage(kPartyNoOneThere);
            return;
        }
        const std::string tell = "t" + std::to_string(row + 1);
        putSpeechLine(std::u16string(tell.begin(), tell.end()));
    } else if (commandId >= kKickFirst && commandId < kKickFirst + PartyState::kSlots) {
        const uint32_t serial = table.memberSerial(commandId - kKickFirst);
        if (serial == 0) {
            partySystemMessage(kPartyNoOneThere);
        } else if (!table.isLeader()) {
            partySystemMessage("You are not the party leader. You shouldn't have this button.");
        } else {
            sendPartyRemoveMember(serial);
            table.clearRowsOf(serial);
            repaint();
        }
    } else if (commandId == kAddMember) {
        if (!targetingState().targetingActive)
            sendPartyAddMember(0);
    } else if (commandId == kMessage) {
        if (inParty)
            putSpeechLine(u" ");
        else
            partySystemMessage(kPartyNotInParty);
    } else if (commandId == kLeave) {
        if (inParty)
            sendPartyRemoveMember(playerSerial());
        else
            partySystemMessage(kPartyNotInParty);
    } else if (commandId == kOk) {
        closeGump(this);
    }
}

PartyGump* currentPartyGump() { return static_cast<PartyGump*>(currentPartyHandle().get()); }

PartyGump* openPartyGump()
{
    if (PartyGump* open = currentPartyGump()) {
        open->bringToFront(false);
        open->clampToScreen();
        return open;
    }
    auto* gump = new PartyGump();
    gumpLink(gump, nullptr);
    return gump;
}
