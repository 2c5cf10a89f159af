// Writes a small synthetic set of game data files into a directory, so that
// the client can be started without the real game data:
//   make_sample_data <directory>
// Beside the set the tests use, it writes a short tune as the music the test
// server's stage plays, so that a player of ./run.sh hears music too (the
// tests leave it out: playing it would load the soundfont in every one), and
// a newcomer's layout that opens the messenger's web page and "Messages"
// windows on entering the world, over the test server's messenger peer (the
// tests write the layouts they need themselves).

#include "audio/music_player.h"
#include "fixtures/midi_writer.h"
#include "fixtures/sample_data_writer.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "support/stage_world.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// Eight bars of a slow tune in D minor on a flute, twice round.
std::string stageTune()
{
    constexpr uint16_t kQuarter = 480;
    static constexpr uint8_t kMelody[] = { 62, 65, 69, 67, 65, 64, 62, 64, 65, 67, 69, 72, 70, 69, 67, 65, 64, 65,
        67, 69, 65, 64, 62, 61, 62, 65, 69, 74, 72, 70, 69, 62 };
    std::vector<fixture::MidiNote> notes;
    uint32_t at = 0;
    for (int round = 0; round < 2; ++round) {
        for (uint8_t key : kMelody) {
            notes.push_back({ at, kQuarter - 20, key, 90 });
            at += kQuarter;
        }
    }
    constexpr uint8_t kFlute = 73;
    return fixture::midiFile(notes, kQuarter, 600000, kFlute);
}

// The messenger's two windows the layout keeps, side by side below the
// menubar.
std::string newcomerLayout()
{
    DesktopEntry page;
    page.type = DesktopRecordType::kWebPage;
    page.x = 10;
    page.y = 300;
    page.width = 330;
    page.height = 200;
    page.open = 1;
    DesktopEntry messages = page;
    messages.type = DesktopRecordType::kMessageList;
    messages.x = 390;
    messages.y = 40;
    messages.width = 400;
    messages.height = 360;
    const std::vector<uint8_t> bytes = joinDesktopFile(0, { encodeDesktopRecord(page), encodeDesktopRecord(messages) });
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_data <directory>\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    if (!fixture::writeSampleDataSet(directory)) {
        std::fprintf(stderr, "make_sample_data: cannot write %s\n", argv[1]);
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(directory / "music", error);
    const std::string tune = stageTune();
    std::ofstream music(directory / "music" / midiFileName(test::StageWorld::kMusic), std::ios::binary);
    music.write(tune.data(), std::streamsize(tune.size()));
    const std::string layout = newcomerLayout();
    std::ofstream desktop(directory / kFirstTimeDesktopFile, std::ios::binary);
    desktop.write(layout.data(), std::streamsize(layout.size()));
    if (error || !music || !desktop) {
        std::fprintf(stderr, "make_sample_data: cannot write the music or the layout into %s\n", argv[1]);
        return 1;
    }
    std::printf("Sample data written to %s\n", argv[1]);
    return 0;
}
