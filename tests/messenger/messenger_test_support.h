#pragma once
// What the messenger's tests share: the messenger's process-wide state put
// back to a fresh start, and a connection on loopback to a peer that records
// every line the client sends.

#include "data/client_services.h"
#include "messenger/messenger_services.h"
#include "support/stage_messenger.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace messenger_test {

// No connection, empty stores, no request pending, an empty page history.
void resetMessenger();

// The messenger connection of the process, connected to `peer`.
class Loopback {
public:
    // `answering`: the peer plays the stage (mail, addresses, answers).
    explicit Loopback(bool answering = false);
    ~Loopback();
    Loopback(const Loopback&) = delete;
    Loopback& operator=(const Loopback&) = delete;

    // The lines the client queued since the last call, as the peer received
    // them (everything queued before is flushed first).
    std::vector<std::u16string> takeSent();
    // Polls the connection until `done` holds or a few seconds passed.
    bool pumpUntil(const std::function<bool()>& done);

    test::StageMessenger peer;

private:
    size_t m_taken = 0;
    int32_t m_marks = 0;
};

// The system messages the messenger shows: "/K" notices (UTF-16) and the
// new-mail line, recorded while the object lives.
class RecordingNotices final : public WindowNotices, public MessengerNotices {
public:
    RecordingNotices();
    ~RecordingNotices() override;
    void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) override;
    void addSystemText(uint16_t hue, uint16_t font, std::u16string_view text) override;
    void showWaitingBox(std::string_view) override { }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { }
    void reloadMacros() override { }

    std::vector<std::string> messages;
    std::vector<std::u16string> texts;
    std::vector<uint16_t> textHues;

private:
    WindowNotices* m_previousNotices;
    MessengerNotices* m_previousText;
};

} // namespace messenger_test
