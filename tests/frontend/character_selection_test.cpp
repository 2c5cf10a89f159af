// The character selection and the requests of the login road that leave
// from it: play, delete, the way back, and the client information block.

#include "front_end_test_support.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "fixtures/server_packet.h"
#include "frontend/character_selection.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "net/new_character_record.h"
#include "platform/sockets.h"
#include "protocol/login_packets.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "support/packet_tap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using front_end_test::Screens;
using Bytes = std::vector<uint8_t>;

uint32_t big32(const Bytes& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

std::string field(const Bytes& bytes, size_t at, size_t width)
{
    std::string text(reinterpret_cast<const char*>(bytes.data()) + at, width);
    return text.substr(0, text.find('\0'));
}

class MaskShell final : public ClientShell {
public:
    uint16_t mapFileMask() override { return 0x1203; }
};

class Selection : public Screens {
protected:
    Selection() { installClientShell(&maskShell); }
    ~Selection() override { installClientShell(nullptr); }

    CharacterSelectionGump* open(std::initializer_list<const char*> names)
    {
        loginScreens().openCharacterSelection();
        int32_t key = 0;
        for (const char* name : names) {
            characterSlots().names[size_t(key)] = name;
            characterSlots().keys[size_t(key)] = key;
            loginScreens().addCharacter(name, key++);
        }
        loginScreens().presentCharacterSelection();
        return rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
    }

    MaskShell maskShell;
};

TEST_F(Selection, TheNewButtonHidesAtTheSlotLimit)
{
    struct Limit {
        uint32_t flags;
        uint32_t features;
        int32_t slots;
    };
    for (const Limit& limit : { Limit { 1u << 4, 0, 1 }, Limit { 0, 0, 5 }, Limit { 1u << 6, 0x20, 6 } }) {
        storeCharacterListFlags(limit.flags);
        setServerFeatures(limit.features);
        CharacterSelectionGump* window = open({});
        for (int32_t i = 0; i < limit.slots - 1; ++i)
            window->addCharacter("Char" + std::to_string(i), i);
        EXPECT_TRUE(window->newCharacterButton()->isVisible()) << limit.slots;
        window->addCharacter("Last", limit.slots - 1);
        EXPECT_FALSE(window->newCharacterButton()->isVisible()) << limit.slots;
        window->addCharacter("Beyond", limit.slots);
        EXPECT_EQ(window->characterCount(), limit.slots) << "nothing past the limit";
        window->removeCharacter(0);
        EXPECT_TRUE(window->newCharacterButton()->isVisible()) << limit.slots;
    }
}

TEST_F(Selection, RemovingTheFirstOfThreeMovesTheOthersUp)
{
    CharacterSelectionGump* window = open({ "Aldric", "Brenna", "Cato" });
    window->removeCharacter(0);
    EXPECT_EQ(window->characterCount(), 2);
    EXPECT_EQ(window->nameAt(0), "Brenna");
    EXPECT_EQ(window->keyAt(0), 1);
    EXPECT_EQ(window->nameAt(1), "Cato");
    EXPECT_EQ(window->keyAt(1), 2);
    EXPECT_EQ(window->keyAt(2), -1);
    EXPECT_FALSE(window->entry(2)->isVisible());
    window->removeCharacter(7);
    EXPECT_EQ(window->characterCount(), 2) << "an unknown key changes nothing";
}

TEST_F(Selection, ADefaultCharacterOutsideTheSixEntriesIsClamped)
{
    for (int32_t slot : { -3, 9, 1000 }) {
        configValues().defaultCharacterSlot = slot;
        CharacterSelectionGump* window = open({ "Aldric" });
        EXPECT_GE(window->selectedPosition(), 0);
        EXPECT_LE(window->selectedPosition(), 5);
        EXPECT_TRUE(window->entry(window->selectedPosition())->options.selected);
    }
}

TEST_F(Selection, PlayingStoresThePositionAndSendsTheSlotKey)
{
    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());
    configFiles().setLoginCount(41);
    CharacterSelectionGump* window = open({ "Aldric", "Brenna" });
    // The second entry shows the server's slot 4.
    window->removeCharacter(1);
    window->addCharacter("Brenna", 4);
    window->selectPosition(1);
    window->onPlay();

    const std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    const Bytes& play = sent[0];
    ASSERT_EQ(play[0], 0x5D);
    EXPECT_EQ(big32(play, 1), 0xEDEDEDEDu);
    EXPECT_EQ(field(play, 5, 30), "Brenna");
    // The client information block: the map mask low byte first at 5, the
    // sync flag at 9, the count after its increment big-endian at 10.
    const size_t block = 35;
    EXPECT_EQ(play[block + 5], 0x03);
    EXPECT_EQ(play[block + 6], 0x12);
    EXPECT_EQ(play[block + 9], 0);
    EXPECT_EQ(big32(play, block + 10), 42u);
    EXPECT_EQ(play[block + 14], 0);
    EXPECT_EQ(big32(play, 65), 4u) << "the slot key";
    EXPECT_EQ(configValues().defaultCharacterSlot, 4);
    EXPECT_NE(client.read("vo.cfg").find("DefaultChar=1"), std::string::npos) << "the position";
    EXPECT_NE(client.read("vo.cfg").find("ClientLogin=42"), std::string::npos);
    EXPECT_EQ(messageText(), kEnteringText);
    EXPECT_FALSE(window->isVisible());

    // A second request counts on.
    const auto next = nextClientInfoBlock(1, 7);
    EXPECT_EQ(big32(Bytes(std::begin(next), std::end(next)), 10), 43u);
}

// A server's character name with a line break and a settings key in it
// (within the 30 bytes of its field), played: no settings file gains a line,
// the next read of the settings names no journal file, and the name's
// folder has no control byte.
TEST_F(Selection, AServersNameCannotAddASettingsLine)
{
    test::PacketTap tap;
    // The names that make the per-character path, given back afterwards.
    struct KeptNames {
        ConfigFiles& files = configFiles();
        std::string account = files.accountName();
        std::string shard = files.shardName();
        std::string character = files.characterName();
        ~KeptNames()
        {
            files.setAccountName(account);
            files.setShardName(shard);
            files.setCharacterName(character);
        }
    } kept;
    kept.files.setAccountName("acct");
    kept.files.setShardName("Shard");
    const std::string name = "X\nJournalSaveFile=/tmp/j";
    fixture::ServerPacket list(0xA9);
    list.u8(1).text(name, 30).text("", 30);
    for (int i = 1; i < 5; ++i)
        list.text("", 30).text("", 30);
    list.u8(0).u32(0);
    handleCharacterList(list.bytes().data());
    auto* window = rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
    ASSERT_NE(window, nullptr);
    window->selectPosition(0);
    window->onPlay();
    ASSERT_EQ(tap.take().size(), 1u);

    const std::optional<std::string> own = configFiles().perCharacterPath("vo.cfg");
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->find_first_of("\n\r"), std::string::npos) << *own;
    EXPECT_NE(client.read("vo.cfg").find("PlayerName="), std::string::npos);
    for (const std::string& file : { std::string("vo.cfg"), *own }) {
        const std::string text = "\n" + client.read(file);
        EXPECT_EQ(text.find("\nJournalSaveFile"), std::string::npos) << file << ":" << text;
        EXPECT_EQ(text.find("\rJournalSaveFile"), std::string::npos) << file << ":" << text;
    }
    ASSERT_TRUE(readConfigFile("vo.cfg", true));
    EXPECT_TRUE(configValues().journalFile.empty());
}

TEST_F(Selection, TheLargestLoginCountInTheSettingsStaysThereOnPlay)
{
    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());
    client.write("vo.cfg", "ClientLogin=2147483647\r\n");
    // Read as start-up reads it, with the keys' rules.
    configFiles().setRules(&settingsKeyRules());
    const bool read = readConfigFile("vo.cfg", false);
    configFiles().setRules(nullptr);
    ASSERT_TRUE(read);
    ASSERT_EQ(configFiles().loginCount(), 2147483647);
    open({ "Aldric" })->onPlay();
    const std::vector<Bytes> sent = tap.take();
    configFiles().setLoginCount(0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(big32(sent[0], 35 + 10), 0x7FFFFFFFu);
    EXPECT_NE(client.read("vo.cfg").find("ClientLogin=2147483647"), std::string::npos) << client.read("vo.cfg");
}

TEST_F(Selection, APasswordRowAsksFirstAndAnyPasswordIsAccepted)
{
    test::PacketTap tap;
    characterSlots().passwords[0] = "hidden";
    CharacterSelectionGump* window = open({ "Aldric" });
    window->onPlay();
    auto* dialog = static_cast<PlayCharGump*>(findGump("PlayChar gump"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(tap.take().empty());
    dialog->passwordEntry()->setNarrowText("whatever");
    dialog->onEnter();
    EXPECT_EQ(findGump("PlayChar gump"), nullptr);
    const std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], 0x5D);
    EXPECT_EQ(configValues().characterPassword, "whatever") << "kept, not sent";
}

TEST_F(Selection, AnEmptySlotCannotBePlayedOrDeleted)
{
    CharacterSelectionGump* window = open({ "Aldric" });
    window->selectPosition(3);
    window->onPlay();
    EXPECT_EQ(messageText(), kNoCharacterToPlayText);
    findMessage()->onCancel();
    EXPECT_TRUE(window->isVisible());
    window->onDelete();
    EXPECT_EQ(messageText(), kNoCharacterToDeleteText);
}

TEST_F(Selection, DeletingAsksThenSendsTheRequest)
{
    test::PacketTap tap;
    loginSession().password = "secret";
    CharacterSelectionGump* window = open({ "Aldric", "Brenna" });
    window->selectPosition(1);
    window->onDelete();
    auto* dialog = static_cast<DeleteCharGump*>(findGump("DeleteChar gump"));
    ASSERT_NE(dialog, nullptr);
    dialog->onEnter();
    const std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    const Bytes& request = sent[0];
    ASSERT_EQ(request.size(), 39u);
    EXPECT_EQ(request[0], 0x83);
    EXPECT_EQ(field(request, 1, 30), "secret");
    EXPECT_EQ(big32(request, 31), 1u);
    EXPECT_EQ(big32(request, 35), platform::localIPv4Address());
    EXPECT_EQ(messageText(), kDeletingText);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Selection, ADoubleClickOnAnEmptySlotStartsCreatingACharacter)
{
    CharacterSelectionGump* window = open({ "Aldric" });
    window->onControlReleased(window->entry(2));
    EXPECT_EQ(creation.opened, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Selection, AWindowWithoutCharactersGoesStraightToCreation)
{
    open({});
    EXPECT_EQ(creation.opened, 1);
}

TEST_F(Selection, AtTheLimitNewSaysSo)
{
    storeCharacterListFlags(1u << 4);
    CharacterSelectionGump* window = open({ "Aldric" });
    window->onNewCharacter();
    EXPECT_EQ(creation.opened, 0);
    EXPECT_EQ(messageText(), kMaximumCharactersText);
}

TEST_F(Selection, TheCreateRequestCarriesTheProfessionAndTheSyncFlag)
{
    test::PacketTap tap;
    configFiles().setLoginCount(7);
    NewCharacterRecord record;
    std::snprintf(record.name, sizeof record.name, "Dara");
    record.professionId = 3;
    sendCreateCharacter(record, nullptr);
    const std::vector<Bytes> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], 0x00);
    const size_t block = 40;
    EXPECT_EQ(sent[0][block + 9], 1) << "creating sets the sync flag";
    EXPECT_EQ(big32(sent[0], block + 10), 8u);
    EXPECT_EQ(sent[0][block + 14], 3) << "the profession";
    EXPECT_EQ(messageText(), kCreatingText);
}

} // namespace
