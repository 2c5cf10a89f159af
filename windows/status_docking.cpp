// Docking status bars edge to edge into groups: the side test, the snap
// while dragging, linking the neighbours on release, and leaving a group.
#include "windows/status_gump.h"

#include "gump/gump_manager.h"

#include <cstdlib>

namespace {

// Which neighbour of the candidate the side takes, and which of this bar's
// points back.
struct SideLinks {
    int32_t candidateSlot;
    int32_t ownSlot;
    // The candidate's neighbours whose neighbour on `candidateSlot` becomes
    // this bar's neighbour on the matching side.
    int32_t firstVia;
    int32_t secondVia;
};

SideLinks linksFor(int32_t side)
{
    switch (side) {
    case StatusGump::RightOf:
        return { StatusGump::kRight, StatusGump::kLeft, StatusGump::kUpper, StatusGump::kLower };
    case StatusGump::LeftOf:
        return { StatusGump::kLeft, StatusGump::kRight, StatusGump::kUpper, StatusGump::kLower };
    case StatusGump::Below:
        return { StatusGump::kLower, StatusGump::kUpper, StatusGump::kLeft, StatusGump::kRight };
    default:
        return { StatusGump::kUpper, StatusGump::kLower, StatusGump::kLeft, StatusGump::kRight };
    }
}

int32_t opposite(int32_t slot)
{
    switch (slot) {
    case StatusGump::kLeft:
        return StatusGump::kRight;
    case StatusGump::kRight:
        return StatusGump::kLeft;
    case StatusGump::kUpper:
        return StatusGump::kLower;
    default:
        return StatusGump::kUpper;
    }
}

} // namespace

int32_t StatusGump::dockSideAgainst(StatusGump& other)
{
    if (!other.isVisible())
        return NoSide;
    const int32_t w = minimisedWidth();
    const int32_t h = minimisedHeight();
    const int32_t dx = x() - other.x();
    const int32_t dy = y() - other.y();
    if (dx <= -w || dx >= w || dy <= -h || dy >= h)
        return NoSide;
    // Only the side the offset points to is tried; a taken one gives none.
    if (std::abs(dx) > std::abs(dy)) {
        if (dx >= 0)
            return other.m_neighbours[kRight] ? NoSide : RightOf;
        return other.m_neighbours[kLeft] ? NoSide : LeftOf;
    }
    if (dy >= 0)
        return other.m_neighbours[kLower] ? NoSide : Below;
    return other.m_neighbours[kUpper] ? NoSide : Above;
}

std::vector<StatusGump*> StatusGump::groupMembers()
{
    std::vector<StatusGump*> members;
    if (!m_groupHead) {
        members.push_back(this);
        return members;
    }
    for (StatusGump* member = m_groupHead; member; member = member->m_nextMember)
        members.push_back(member);
    return members;
}

void StatusGump::dragTo(int32_t x, int32_t y)
{
    const int32_t beforeX = this->x();
    const int32_t beforeY = this->y();
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
    if (m_groupHead) {
        const int32_t movedX = this->x() - beforeX;
        const int32_t movedY = this->y() - beforeY;
        for (StatusGump* member : groupMembers()) {
            if (member != this)
                member->moveBy(movedX, movedY, true, nullptr, false);
        }
        return;
    }
    if (isMinimised())
        findSnapCandidate();
}

void StatusGump::findSnapCandidate()
{
    m_snapCandidate = nullptr;
    m_snapSide = NoSide;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump == this || !gump->is(GumpKind::StatusGump) || !gump->isVisible() || !gump->isMinimised())
            continue;
        auto* other = static_cast<StatusGump*>(gump);
        const int32_t side = dockSideAgainst(*other);
        if (side == NoSide)
            continue;
        m_snapCandidate = other;
        m_snapSide = side;
        int32_t toX = other->x();
        int32_t toY = other->y();
        switch (side) {
        case RightOf:
            toX = other->x() + other->minimisedWidth();
            break;
        case LeftOf:
            toX = other->x() - minimisedWidth();
            break;
        case Below:
            toY = other->y() + other->minimisedHeight();
            break;
        default:
            toY = other->y() - minimisedHeight();
            break;
        }
        moveTo(toX, toY, true, nullptr, false);
        return;
    }
}

void StatusGump::linkSide(StatusGump& candidate, int32_t side)
{
    const SideLinks links = linksFor(side);
    candidate.m_neighbours[size_t(links.candidateSlot)] = this;
    m_neighbours[size_t(links.ownSlot)] = &candidate;
    // The diagonals: the neighbour beside the candidate's neighbour on each
    // side across becomes this bar's neighbour there.
    for (int32_t via : { links.firstVia, links.secondVia }) {
        StatusGump* across = candidate.m_neighbours[size_t(via)];
        StatusGump* diagonal = across ? across->m_neighbours[size_t(links.candidateSlot)] : nullptr;
        if (!diagonal || diagonal == this)
            continue;
        m_neighbours[size_t(via)] = diagonal;
        diagonal->m_neighbours[size_t(opposite(via))] = this;
    }
}

void StatusGump::dockToCandidate()
{
    StatusGump* candidate = m_snapCandidate;
    const int32_t side = m_snapSide;
    m_snapCandidate = nullptr;
    m_snapSide = NoSide;
    if (!candidate || !isValidGump(candidate) || candidate == this || side == NoSide)
        return;
    linkSide(*candidate, side);
    if (StatusGump* head = candidate->m_groupHead) {
        m_groupHead = head;
        StatusGump* last = head;
        while (last->m_nextMember)
            last = last->m_nextMember;
        last->m_nextMember = this;
        m_nextMember = nullptr;
    } else {
        candidate->m_groupHead = candidate;
        candidate->m_nextMember = this;
        m_groupHead = candidate;
        m_nextMember = nullptr;
    }
    m_groupHead->recomputeExtremes();
}

void StatusGump::recomputeExtremes()
{
    m_extremes = { this, this, this, this };
    for (StatusGump* member = m_nextMember; member; member = member->m_nextMember) {
        if (member->x() < m_extremes[0]->x())
            m_extremes[0] = member;
        if (member->x() > m_extremes[1]->x())
            m_extremes[1] = member;
        if (member->y() < m_extremes[2]->y())
            m_extremes[2] = member;
        if (member->y() > m_extremes[3]->y())
            m_extremes[3] = member;
    }
}

void StatusGump::leaveGroup()
{
    if (StatusGump* head = m_groupHead) {
        StatusGump* newHead = head;
        if (head == this) {
            newHead = m_nextMember;
            for (StatusGump* member = newHead; member; member = member->m_nextMember)
                member->m_groupHead = newHead;
        } else {
            for (StatusGump* member = head; member; member = member->m_nextMember) {
                if (member->m_nextMember == this) {
                    member->m_nextMember = m_nextMember;
                    break;
                }
            }
        }
        if (newHead && newHead->m_nextMember) {
            newHead->recomputeExtremes();
        } else if (newHead) {
            // A group of one is no group.
            newHead->m_groupHead = nullptr;
            newHead->m_extremes = {};
            for (StatusGump*& link : newHead->m_neighbours)
                link = nullptr;
        }
    }
    for (StatusGump* neighbour : m_neighbours) {
        if (!neighbour)
            continue;
        for (StatusGump*& back : neighbour->m_neighbours) {
            if (back == this)
                back = nullptr;
        }
    }
    m_neighbours = {};
    m_groupHead = nullptr;
    m_nextMember = nullptr;
    m_extremes = {};
    // A bar being dragged forgets this one as the place it would dock.
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::StatusGump) && static_cast<StatusGump*>(gump)->m_snapCandidate == this) {
            static_cast<StatusGump*>(gump)->m_snapCandidate = nullptr;
            static_cast<StatusGump*>(gump)->m_snapSide = NoSide;
        }
    }
}
