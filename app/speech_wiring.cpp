#include "app/speech_wiring.h"

#include "app/frame_render.h"
#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "data/client_services.h"
#include "gump/gump_services.h"
#include "platform/clock.h"
#include "windows/incoming_speech.h"
#include "windows/journal.h"
#include "windows/speech_entry.h"
#include "windows/speech_services.h"
#include "windows/speech_throttle.h"
#include "windows/system_text.h"
#include "windows/translation_client.h"
#include "windows/window_packets.h"

namespace {

// The gump framework's view of the speech line: its caret follows the
// keyboard focus.
class EntrySpeechLine final : public SpeechLine {
public:
    void refresh() override
    {
        if (gameState().isInGame())
            speechEntry().refresh();
    }
};

class FrameDeathFade final : public DeathFade {
public:
    bool isRunning() override { return m_frames && m_frames->deathFadeCounter() != 0; }
    void attach(const FrameRenderer* frames) { m_frames = frames; }

private:
    const FrameRenderer* m_frames = nullptr;
};

FrameDeathFade& frameDeathFade()
{
    static FrameDeathFade fade;
    return fade;
}

} // namespace

void installSpeechServices()
{
    static EntrySpeechLine speechLine;
    installService<SpeechLine>(&speechLine);
    installTranslationSettingsService();
    startSpeechThrottle(platform::clock().tickMs());
}

void startSpeech() { initTranslationClient(); }

void startSystemText() { installSystemTextServices(); }

void wireSpeechWindowServices(WindowServices& services, MainWindow* const& window)
{
    // The held keys as the window read them for this key, and the key's own
    // data: a held walking key's repeats must not queue steps faster than
    // the walk goes.
    services.speechKeyDown = [&window](uint16_t key, uint32_t keyData) {
        bool control = window && window->controlHeld();
        bool alt = window && window->altHeld();
        return speechEntry().onKeyDown(key, control, alt, keyData);
    };
    services.speechChar = [](uint32_t code) { speechEntry().onChar(code); };
    services.answerPendingPrompt = [] { return speechEntry().cancelPrompt(); };
}

void wireSpeech(GameTick& tick, MainLoop& loop, const FrameRenderer& frames)
{
    registerSpeechHandlers();
    frameDeathFade().attach(&frames);
    installService<DeathFade>(&frameDeathFade());
    tick.setStep(TickStep::DecaySpeechBudget, [] { decaySpeechBudgetStep(platform::clock().tickMs()); });
    tick.setStep(TickStep::ReleaseQueuedSpeech, releaseQueuedSpeech);
    loop.setStep(LoopStep::PollTranslationServer, [] { translationClient().poll(); });
}

bool runSpeechCommand(uint16_t id)
{
    if (id != command::kHelpRequest)
        return false;
    sendHelpRequest();
    return true;
}

void shutDownSpeech(GameTick& tick, MainLoop& loop)
{
    tick.setStep(TickStep::DecaySpeechBudget, nullptr);
    tick.setStep(TickStep::ReleaseQueuedSpeech, nullptr);
    loop.setStep(LoopStep::PollTranslationServer, nullptr);
    installService<DeathFade>(nullptr);
    frameDeathFade().attach(nullptr);
    translationClient().stop();
    journal().closeFile();
    uninstallSystemTextServices();
}
