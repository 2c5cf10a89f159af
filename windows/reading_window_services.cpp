#include "windows/reading_window_services.h"

#include "net/client_packets.h"
#include "protocol/world_packet_windows.h"
#include "windows/bulletin_board.h"
#include "windows/course_map.h"
#include "windows/server_window_packets.h"
#include "windows/window_packets.h"
#include "world/container_item.h"
#include "world/world_services.h"

#include <array>

namespace {

constexpr uint8_t kRequestSummary = 4;

void removePostingLine(const Item& message)
{
    BBLineGump* line = nullptr;
    if (BulletinBoardGump* board = findBoardOfMessage(message.serial, line))
        board->onLineRemoved(line);
}

class ReadingContainerViews final : public ContainerViews {
public:
    explicit ReadingContainerViews(ContainerViews& next)
        : m_next(next)
    {
    }
    void itemEntered(ContainerItem& container, Item& item) override
    {
        BulletinBoardGump* board = findBulletinBoard(container.serial);
        if (board && !board->isClosing()) {
            std::array<uint8_t, 16> storage {};
            PacketBuffer packet(storage.data(), storage.size());
            if (buildBulletinBoardRequestPacket(packet, kRequestSummary, container.serial, item.serial))
                sendWindowPacket(packet);
        }
        m_next.itemEntered(container, item);
    }
    void itemLeft(Item& parent, Item& item) override { m_next.itemLeft(parent, item); }
    void containerDestroyed(ContainerItem& container) override
    {
        if (BulletinBoardGump* board = findBulletinBoard(container.serial); board && !board->isClosing()) {
            board->boardGoing();
            closeGump(board);
        }
        m_next.containerDestroyed(container);
    }

private:
    ContainerViews& m_next;
};

class ReadingObjectViews final : public ObjectViews {
public:
    explicit ReadingObjectViews(ObjectViews& next)
        : m_next(next)
    {
    }
    void objectLeftWorld(Item& item) override
    {
        removePostingLine(item);
        m_next.objectLeftWorld(item);
    }
    void mobileHidden(Mobile& mobile) override { m_next.mobileHidden(mobile); }
    void objectDestroyed(Item& item) override
    {
        removePostingLine(item);
        m_next.objectDestroyed(item);
    }
    void refreshStatusBars(Item& item, int32_t kind) override { m_next.refreshStatusBars(item, kind); }
    void mobileMoved(Mobile& mobile, bool wasMoving) override { m_next.mobileMoved(mobile, wasMoving); }

private:
    ObjectViews& m_next;
};

class CourseMapWindows final : public MapWindows {
public:
    bool isOpenFor(const MapItem& map) override { return findCourseGump(map.serial) != nullptr; }
    void closeFor(MapItem& map) override
    {
        while (CourseGump* window = findCourseGump(map.serial))
            closeGump(window);
    }
};

class ReadingWorldEvents final : public WorldEventWindows {
public:
    explicit ReadingWorldEvents(WorldEventWindows& next)
        : m_next(next)
    {
    }
    void playerDied() override { m_next.playerDied(); }
    void openCourseMap(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area) override
    {
        ::openCourseMap(serial, art, { area[0], area[1], area[2], area[3] }, area[4], area[5]);
    }
    void closeBankBox() override { m_next.closeBankBox(); }
    CGump* openSpellbook(uint32_t serial) override { return m_next.openSpellbook(serial); }

private:
    WorldEventWindows& m_next;
};

} // namespace

struct ReadingWindowServices::Objects {
    Objects()
        : containers(worldService<ContainerViews>())
        , objects(worldService<ObjectViews>())
        , events(service<WorldEventWindows>())
    {
    }
    ReadingContainerViews containers;
    ReadingObjectViews objects;
    CourseMapWindows maps;
    ReadingWorldEvents events;

    ContainerViews* previousContainers = nullptr;
    ObjectViews* previousObjects = nullptr;
    MapWindows* previousMaps = nullptr;
    WorldEventWindows* previousEvents = nullptr;
};

ReadingWindowServices::ReadingWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousContainers = installWorldService<ContainerViews>(&o.containers);
    o.previousObjects = installWorldService<ObjectViews>(&o.objects);
    o.previousMaps = installWorldService<MapWindows>(&o.maps);
    o.previousEvents = installService<WorldEventWindows>(&o.events);
}

ReadingWindowServices::~ReadingWindowServices()
{
    Objects& o = *m_objects;
    installWorldService<ContainerViews>(o.previousContainers);
    installWorldService<ObjectViews>(o.previousObjects);
    installWorldService<MapWindows>(o.previousMaps);
    installService<WorldEventWindows>(o.previousEvents);
}

namespace {

std::unique_ptr<ReadingWindowServices>& programReadingServices()
{
    static std::unique_ptr<ReadingWindowServices> services;
    return services;
}

} // namespace

void installReadingWindowServices()
{
    std::unique_ptr<ReadingWindowServices>& services = programReadingServices();
    services.reset();
    services = std::make_unique<ReadingWindowServices>();
    registerServerWindowHandlers();
}

void uninstallReadingWindowServices() { programReadingServices().reset(); }
