// The reading windows' share of the test server's stage: a chronicle lying
// on the ground (read-only, three pages), a blank book in the backpack that
// keeps what the player writes, a bulletin board beside the house with a
// posting and a reply to it, a sign on the house, a map in the backpack with
// three pins whose editing the stage grants on request, and the quest arrow
// pointing at the horse. Help texts answer the pointer resting on them.

#include "fixtures/facet_writer.h"
#include "fixtures/sample_reading_art.h"
#include "fixtures/sample_scene.h"
#include "support/reading_window_packets.h"
#include "support/stage_part.h"
#include "support/stage_reading.h"
#include "support/stage_world.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace test {

namespace {

constexpr uint16_t kMessageGumpArt = 0x0EB0;
constexpr uint8_t kPointerClick = 0x07;
constexpr uint8_t kPostAction = 5;
constexpr uint8_t kRequestMessage = 3;
constexpr uint8_t kRequestSummary = 4;
constexpr uint16_t kWholePage = 0xFFFF;

uint16_t be16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

uint32_t be32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8
        | packet[at + 3];
}

// A NUL-ended text from `at`, which moves past its NUL; false when the
// packet ends first.
bool takeText(const WirePacket& packet, size_t& at, std::string& text)
{
    text.clear();
    while (at < packet.size() && packet[at] != 0)
        text.push_back(char(packet[at++]));
    if (at >= packet.size())
        return false;
    ++at;
    return true;
}

// A text after its length byte (which counts the NUL).
bool takeBoardText(const WirePacket& packet, size_t& at, std::string& text)
{
    if (at >= packet.size())
        return false;
    const size_t length = packet[at++];
    if (length == 0 || at + length > packet.size()) {
        text.clear();
        at += length;
        return length == 0;
    }
    text.assign(reinterpret_cast<const char*>(packet.data() + at), length - 1);
    at += length;
    return true;
}

struct Posting {
    uint32_t serial;
    uint32_t parent;
    std::string poster;
    std::string subject;
    std::string time;
    std::vector<std::string> body;
};

class ReadingStage final : public StagePart {
public:
    void populate(StageWorld& stage) override
    {
        stage.addGroundThing(kStageChronicle, fixture::kSampleBookGraphic, 1, -2, 0);
        stage.addContainedThing(kStageBlankBook, fixture::kSampleBlankBookGraphic, 1, fixture::kSceneBackpackSerial,
            40, 120);
        stage.addContainedThing(kStageMap, fixture::kSampleMapGraphic, 1, fixture::kSceneBackpackSerial, 100, 130);
        stage.addGroundThing(kStageBoard, fixture::kSampleBoardGraphic, 1, 3, -2);
        stage.addGroundThing(kStageSign, fixture::kSampleSignGraphic, 1, 6, -2);
        m_postings = {
            { kStageFirstPosting, 0, "Mirela", "Welcome to the stage", "morning",
                { "Read the chronicle by the path,", "and mind the horse." } },
            { kStageFirstPosting + 1, kStageFirstPosting, "Aldo", "The horse is calm", "noon",
                { "It only wants an apple." } },
        };
        m_nextPosting = kStageFirstPosting + 2;
        m_pins = { { 60, 40 }, { 140, 90 }, { 200, 150 } };
        m_editing = false;
        m_blankPages.assign(kBlankBookPages, {});
        m_blankTitle.clear();
        m_blankAuthor.clear();
    }

    void enter(StageWorld&, std::vector<WirePacket>& out) override
    {
        out.push_back(questPointerPacket(1, uint16_t(fixture::kSampleCentreX + 2), uint16_t(fixture::kSampleCentreY + 3)));
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x06:
            return packet.size() >= 5 && use(be32(packet, 1) & 0x7FFFFFFF, out);
        case 0x66:
            return bookPages(packet, out);
        case 0x93:
            if (packet.size() >= 99 && be32(packet, 1) == kStageBlankBook) {
                m_blankTitle = fixedText(packet, 9, 60);
                m_blankAuthor = fixedText(packet, 69, 30);
            }
            return true;
        case 0xD4:
            return true;
        case 0x71:
            return board(stage, packet, out);
        case 0x56:
            return mapPin(packet, out);
        case 0xBF:
            if (packet.size() >= 6 && be16(packet, 3) == kPointerClick) {
                // A left click points on to the board, a right click puts the arrow away.
                if (packet[5] == 0)
                    out.push_back(questPointerPacket(
                        1, uint16_t(fixture::kSampleCentreX + 3), uint16_t(fixture::kSampleCentreY - 2)));
                else
                    out.push_back(questPointerPacket(0, 0, 0));
                return true;
            }
            return false;
        case 0xB6:
            return packet.size() >= 5 && helpText(be32(packet, 1), out);
        default:
            return false;
        }
    }

private:
    static std::string fixedText(const WirePacket& packet, size_t at, size_t width)
    {
        std::string text;
        for (size_t i = at; i < at + width && i < packet.size() && packet[i]; ++i)
            text.push_back(char(packet[i]));
        return text;
    }

    bool use(uint32_t serial, std::vector<WirePacket>& out)
    {
        switch (serial) {
        case kStageChronicle:
            out.push_back(bookHeaderTextPacket(kStageChronicle, false, false, uint16_t(chronicle().size()),
                "The Stage Chronicle", "Mirela"));
            return true;
        case kStageBlankBook: {
            out.push_back(bookHeaderPacket(kStageBlankBook, true, true, kBlankBookPages, m_blankTitle, m_blankAuthor));
            std::vector<BookPageText> pages;
            for (size_t i = 0; i < m_blankPages.size(); ++i)
                pages.push_back({ uint16_t(i + 1), m_blankPages[i] });
            out.push_back(bookPagesPacket(kStageBlankBook, pages));
            return true;
        }
        case kStageBoard: {
            out.push_back(boardOpenPacket(kStageBoard, "The Stage Board"));
            std::vector<ContentEntry> contents;
            uint16_t x = 10;
            for (const Posting& posting : m_postings)
                contents.push_back({ posting.serial, kMessageGumpArt, 1, x++, 10 });
            out.push_back(containerContentsPacket(kStageBoard, contents));
            return true;
        }
        case kStageSign:
            out.push_back(signPacket(kStageSign, uint16_t(fixture::kSampleSignArt), "sign",
                "The Stage House. Players welcome; the board beside the door has the news."));
            return true;
        case kStageMap: {
            out.push_back(courseMapPacket(kStageMap, 5021, kStageMapArea));
            // The map's course, whatever the client remembers of it.
            out.push_back(mapPlotPacket(kStageMap, 5, 0, 0, 0));
            for (const auto& [x, y] : m_pins)
                out.push_back(mapPlotPacket(kStageMap, 1, 0, x, y));
            if (m_editing)
                out.push_back(mapPlotPacket(kStageMap, 7, 1, 0, 0));
            return true;
        }
        default:
            return false;
        }
    }

    static const std::vector<std::vector<std::string>>& chronicle()
    {
        static const std::vector<std::vector<std::string>> pages = {
            { "On the first day the stage", "was built of grass and sand,", "and a house was raised." },
            { "The horse came next,", "then Mirela with her shirt." },
            { "Whoever reads this far", "may write in the blank book." },
        };
        return pages;
    }

    bool bookPages(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (packet.size() < 13)
            return true;
        const uint32_t book = be32(packet, 3);
        const uint16_t page = be16(packet, 9);
        const uint16_t lines = be16(packet, 11);
        if (book == kStageChronicle && lines == kWholePage && page >= 1 && page <= chronicle().size()) {
            out.push_back(bookPagesPacket(kStageChronicle, { { page, chronicle()[page - 1] } }));
        } else if (book == kStageBlankBook && page >= 1 && page <= m_blankPages.size()) {
            std::vector<std::string> text;
            size_t at = 13;
            for (uint16_t i = 0; i < lines; ++i) {
                std::string line;
                if (!takeText(packet, at, line))
                    break;
                text.push_back(line);
            }
            m_blankPages[page - 1] = text;
        }
        return true;
    }

    bool board(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (packet.size() < 12)
            return true;
        const uint8_t action = packet[3];
        const uint32_t boardSerial = be32(packet, 4);
        if (boardSerial != kStageBoard)
            return true;
        if (action == kRequestSummary || action == kRequestMessage) {
            for (const Posting& posting : m_postings) {
                if (posting.serial != be32(packet, 8))
                    continue;
                out.push_back(action == kRequestSummary
                        ? boardSummaryPacket(kStageBoard, posting.serial, posting.parent, posting.poster,
                            posting.subject, posting.time)
                        : boardMessagePacket(
                            kStageBoard, posting.serial, posting.poster, posting.subject, posting.time, posting.body));
            }
        } else if (action == kPostAction) {
            size_t at = 12;
            Posting posting { m_nextPosting++, be32(packet, 8), stage.playerName(), {}, "just now", {} };
            if (!takeBoardText(packet, at, posting.subject) || at >= packet.size())
                return true;
            const size_t count = packet[at++];
            for (size_t i = 0; i < count; ++i) {
                std::string line;
                if (!takeBoardText(packet, at, line))
                    return true;
                posting.body.push_back(line);
            }
            m_postings.push_back(posting);
            out.push_back(containerItemPacket(kStageBoard, { posting.serial, kMessageGumpArt, 1, 12, 12 }, 0));
        }
        return true;
    }

    bool mapPin(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (packet.size() < 11 || be32(packet, 1) != kStageMap)
            return true;
        const uint8_t action = packet[5];
        const size_t index = packet[6];
        const std::pair<uint16_t, uint16_t> at { be16(packet, 7), be16(packet, 9) };
        switch (action) {
        case 1:
            m_pins.push_back(at);
            break;
        case 2:
            if (index <= m_pins.size())
                m_pins.insert(m_pins.begin() + std::ptrdiff_t(index), at);
            break;
        case 3:
            if (index < m_pins.size())
                m_pins[index] = at;
            break;
        case 4:
            if (index < m_pins.size())
                m_pins.erase(m_pins.begin() + std::ptrdiff_t(index));
            break;
        case 5:
            m_pins.clear();
            break;
        case 6:
            m_editing = !m_editing;
            out.push_back(mapPlotPacket(kStageMap, 7, m_editing ? 1 : 0, 0, 0));
            break;
        default:
            break;
        }
        return true;
    }

    bool helpText(uint32_t serial, std::vector<WirePacket>& out)
    {
        static const std::map<uint32_t, std::u16string> texts = {
            { kStageChronicle, u"The Stage Chronicle. Double-click it to read." },
            { kStageBoard, u"The stage's bulletin board: double-click a posting to read it." },
            { kStageSign, u"The sign of the Stage House." },
            { kStageBlankBook, u"A blank book. Write in it; it keeps what you write." },
            { kStageMap, u"A map of the stage with a course of three pins." },
        };
        auto found = texts.find(serial);
        if (found == texts.end())
            return false;
        out.push_back(helpTextPacket(serial, found->second));
        return true;
    }

    std::vector<Posting> m_postings;
    uint32_t m_nextPosting = 0;
    std::vector<std::pair<uint16_t, uint16_t>> m_pins;
    bool m_editing = false;
    std::vector<std::vector<std::string>> m_blankPages;
    std::string m_blankTitle;
    std::string m_blankAuthor;
};

} // namespace

std::unique_ptr<StagePart> makeReadingStage() { return std::make_unique<ReadingStage>(); }

} // namespace test
