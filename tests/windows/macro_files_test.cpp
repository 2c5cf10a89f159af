// The macro files: key lines scanned from their end, '+' lines of UTF-16
// units (with the blank repair), the argument kinds read and written back,
// the ten-action bound, and the character's file on disk.

#include "windows/macro_files.h"

#include "data/settings_fixture.h"
#include "data/skill_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace macro;

// A spell table of three spells.
class ThreeSpells final : public SpellNames {
public:
    int32_t spellCount() override { return 3; }
    int32_t spellIdByIndex(int32_t index) override { return index == 0 ? 5 : index == 1 ? 42 : 101; }
    std::string spellName(int32_t id) override
    {
        return id == 5 ? "Magic Arrow" : id == 42 ? "Energy Bolt" : id == 101 ? "Animate Dead" : "Bad Spell";
    }
};

// The key names as "keynames.txt" gives them: the built-in names.
KeyNameTable builtInKeyNames()
{
    KeyNameTable names {};
    for (int32_t scan = 0; scan < kKeyNameCount; ++scan)
        names[size_t(scan)] = std::string(keyNameForScanCode(scan));
    return names;
}

std::string keyNamesFile()
{
    std::string text;
    for (int32_t scan = 0; scan < kKeyNameCount; ++scan)
        text += std::string(keyNameForScanCode(scan)) + "\r\n";
    return text;
}

// A '+' line as the writer stores it, before the text stream's CR LF.
std::string wideLine(std::u16string_view text)
{
    std::string line = "+";
    for (char16_t unit : text) {
        line.push_back(char(unit & 0xFF));
        line.push_back(char(unit >> 8));
    }
    return line;
}

class MacroFilesTest : public ::testing::Test {
protected:
    MacroFilesTest()
        : m_spells(m_spellTable)
    {
    }
    ThreeSpells m_spellTable;
    ScopedService<SpellNames> m_spells;
};

TEST_F(MacroFilesTest, KeyLinesActionsAndUnknownNamesAreReadAsTheFileGivesThem)
{
    KeyNameTable keyNames {};
    keyNames[59] = "F1";
    keyNames[79] = "Num 1";
    const std::string file = "F1 0 0 1\r\n"
                             "Say hello  world\r\n"
                             "########\r\n"
                             "\r\n"
                             "Num 1 1 0 0\r\n"
        + wideLine(u"CastSpell Magic Arrow") + "\r\n"
        + "Walk NE\r\n"
          "Bogus\r\n"
          "Say never read\r\n"
          "########\r\n"
          "F2 0 0 0\r\n"
          "Say unknown key\r\n"
          "########\r\n"
          "F1 0 1\r\n"
          "Say too few flags\r\n"
          "########\r\n";
    const std::vector<MacroRecord> macros = parseMacroFile(file, keyNames);
    ASSERT_EQ(macros.size(), 2u);

    const MacroRecord& f1 = macros[0];
    EXPECT_EQ(f1.virtualKey, 0x70u);
    EXPECT_EQ(f1.keyData, 59u << 16);
    EXPECT_FALSE(f1.control);
    EXPECT_FALSE(f1.alt);
    EXPECT_TRUE(f1.shift);
    ASSERT_EQ(f1.count, 1);
    EXPECT_EQ(f1.actions[0].action, kSay);
    EXPECT_EQ(f1.actions[0].text, u"hello world");

    // The name ends in a digit: only the last three '0'/'1' are flags.
    const MacroRecord& num1 = macros[1];
    EXPECT_EQ(num1.scanCode(), 79);
    EXPECT_EQ(num1.virtualKey, 0x23u);
    EXPECT_TRUE(num1.control);
    EXPECT_FALSE(num1.shift);
    // The unknown action ends the macro: what came before it stays.
    ASSERT_EQ(num1.count, 2);
    EXPECT_EQ(num1.actions[0].action, kCastSpell);
    EXPECT_EQ(num1.actions[0].argument, 5);
    EXPECT_EQ(num1.actions[1].action, kWalk);
    EXPECT_EQ(num1.actions[1].argument, 2);
}

TEST_F(MacroFilesTest, WithoutKeyNamesNoMacroIsRead)
{
    EXPECT_TRUE(parseMacroFile("F1 0 0 0\r\nSay hi\r\n########\r\n", KeyNameTable {}).empty());
}

struct RoundTripCase {
    const char* name;
    const char* line;
    int32_t action;
    int32_t argument;
    std::u16string text;
    const char* written;
};

class MacroRoundTrip : public MacroFilesTest, public ::testing::WithParamInterface<RoundTripCase> { };

TEST_P(MacroRoundTrip, ALineReadsToItsArgumentAndIsWrittenBackSo)
{
    const RoundTripCase& c = GetParam();
    MacroAction action;
    ASSERT_TRUE(parseMacroAction(c.line, action));
    EXPECT_EQ(action.action, c.action);
    EXPECT_EQ(action.argument, c.argument);
    EXPECT_EQ(action.text, c.text);
    const std::u16string written = formatMacroAction(action);
    EXPECT_EQ(written, std::u16string(c.written, c.written + std::char_traits<char>::length(c.written)));

    // Saved and loaded, the action is the same.
    MacroRecord record;
    record.keyData = 59u << 16;
    record.virtualKey = 0x70;
    record.count = 1;
    record.actions[0] = action;
    const std::vector<MacroRecord> back = parseMacroFile(formatMacroFile({ record }), builtInKeyNames());
    ASSERT_EQ(back.size(), 1u);
    ASSERT_EQ(back[0].count, 1);
    EXPECT_EQ(back[0].actions[0].action, action.action);
    EXPECT_EQ(back[0].actions[0].argument, action.argument);
    EXPECT_EQ(back[0].actions[0].text, action.text);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MacroRoundTrip,
    ::testing::Values(RoundTripCase { "Text", "Yell  run   away", kYell, 0, u"run away", "Yell run away" },
        RoundTripCase { "EmptyText", "Say", kSay, 0, u"", "Say " },
        RoundTripCase { "Delay", "Delay 10", kDelay, 0, u"10", "Delay 10" },
        RoundTripCase { "SignedRange", "ModifyUpdateRange -3", kModifyUpdateRange, 0, u"-3", "ModifyUpdateRange -3" },
        RoundTripCase { "Direction", "Walk SW", kWalk, 6, u"", "Walk SW" },
        RoundTripCase { "UnknownDirection", "Walk up", kWalk, 0, u"", "Walk NW" },
        RoundTripCase { "Window", "Close Journal", kClose, 3, u"", "Close Journal" },
        RoundTripCase { "OldSpellbookName", "Open Spellbook", kOpen, 5, u"", "Open MageSpellbook" },
        RoundTripCase { "Spell", "CastSpell Energy Bolt", kCastSpell, 42, u"", "CastSpell Energy Bolt" },
        RoundTripCase { "UnknownSpell", "CastSpell Fly", kCastSpell, 0, u"", "CastSpell Bad Spell" },
        RoundTripCase { "LeftHand", "Arm/Disarm LeftHand", kArmDisarm, 1, u"", "Arm/Disarm LeftHand" },
        RoundTripCase { "NoHand", "Arm/Disarm", kArmDisarm, 2, u"", "Arm/Disarm RightHand" },
        RoundTripCase { "Virtue", "InvokeVirtue valor", kInvokeVirtue, 3, u"", "InvokeVirtue Valor" },
        RoundTripCase { "UnknownVirtue", "InvokeVirtue", kInvokeVirtue, 1, u"", "InvokeVirtue Honor" },
        RoundTripCase { "OldAbilityName", "WresStun", kSecondaryAbility, 0, u"", "SecondaryAbility " },
        RoundTripCase { "NoArgument", "LastTarget ignored", kLastTarget, 0, u"", "LastTarget " }),
    [](const ::testing::TestParamInfo<RoundTripCase>& row) { return std::string(row.param.name); });

TEST_F(MacroFilesTest, UnknownActionsAndCaseAreRefused)
{
    MacroAction action;
    action.action = kSay;
    EXPECT_FALSE(parseMacroAction("say hi", action));
    EXPECT_EQ(action.action, kNone);
    EXPECT_FALSE(parseMacroAction("", action));
    EXPECT_FALSE(parseMacroAction("+", action));
}

TEST_F(MacroFilesTest, AWideLineWhoseZeroBytesBecameBlanksIsRepaired)
{
    MacroAction action;
    ASSERT_TRUE(parseMacroAction("+S a y   h i ", action));
    EXPECT_EQ(action.action, kSay);
    EXPECT_EQ(action.text, u"hi");
    // Units past Latin-1 survive the wide form.
    ASSERT_TRUE(parseMacroAction(wideLine(u"Say \u4F60\u597D"), action));
    EXPECT_EQ(action.text, u"\u4F60\u597D");
}

TEST_F(MacroFilesTest, UseSkillMatchesTheLastSkillOfTheName)
{
    SkillNameTable saved = skillNameTable();
    skillNameTable() = SkillNameTable {};
    skillNameTable().setSkill(3, 1, "Arms Lore");
    skillNameTable().setSkill(9, 1, "Hiding");
    MacroAction action;
    ASSERT_TRUE(parseMacroAction("UseSkill Arms   Lore", action));
    EXPECT_EQ(action.argument, 3);
    EXPECT_EQ(formatMacroAction(action), u"UseSkill Arms Lore");
    ASSERT_TRUE(parseMacroAction("UseSkill Juggling", action));
    EXPECT_EQ(action.argument, 0);
    skillNameTable() = saved;
}

TEST_F(MacroFilesTest, WithoutASpellTableTheSpellsNameIsKeptForTheWriter)
{
    SpellNames none;
    ScopedService<SpellNames> noTable(none);
    MacroAction action;
    ASSERT_TRUE(parseMacroAction("CastSpell Magic  Arrow", action));
    EXPECT_EQ(action.argument, 0);
    EXPECT_EQ(formatMacroAction(action), u"CastSpell Magic Arrow");
}

TEST_F(MacroFilesTest, AMacroHoldsTenActions)
{
    std::string file = "F1 0 0 0\r\n";
    for (int i = 0; i < 12; ++i)
        file += "Say " + std::to_string(i) + "\r\n";
    file += "########\r\nF2 0 0 0\r\nBow\r\n########\r\n";
    const std::vector<MacroRecord> macros = parseMacroFile(file, builtInKeyNames());
    ASSERT_EQ(macros.size(), 2u);
    EXPECT_EQ(macros[0].count, kMaxActions);
    EXPECT_EQ(macros[0].actions[9].text, u"9");
    EXPECT_EQ(macros[1].actions[0].action, kBow);
}

TEST_F(MacroFilesTest, AUnitHoldingALineFeedByteCutsItsLineAsTheStoredFormatDoes)
{
    MacroRecord record;
    record.keyData = 60u << 16;
    record.count = 2;
    record.actions[0].action = kSay;
    record.actions[0].text = u"a\u010Ab";
    record.actions[1].action = kBow;
    MacroRecord next;
    next.keyData = 61u << 16;
    next.count = 1;
    next.actions[0].action = kSalute;
    const std::string bytes = formatMacroFile({ record, next });
    const std::vector<MacroRecord> back = parseMacroFile(bytes, builtInKeyNames());
    // The text is cut at the unit and the rest of that macro is lost; the
    // next macro is read whole.
    ASSERT_EQ(back.size(), 2u);
    ASSERT_EQ(back[0].count, 1);
    EXPECT_EQ(back[0].actions[0].text, u"a");
    EXPECT_EQ(back[1].actions[0].action, kSalute);
}

class MacroFileOnDisk : public SettingsFixture {
protected:
    MacroFileOnDisk()
        : m_spells(m_spellTable)
    {
    }
    ~MacroFileOnDisk() override { freeMacros(); }
    ThreeSpells m_spellTable;
    ScopedService<SpellNames> m_spells;
};

TEST_F(MacroFileOnDisk, TheCharactersMacrosAreWrittenWithCrLfAndReadBack)
{
    m_client.write(kKeyNamesFile, keyNamesFile());
    m_client.write(kMacrosFile, "F1 0 0 1\r\nSay hi\r\n########\r\n");
    loadMacros();
    ASSERT_EQ(macroList().macros.size(), 1u);
    const uint32_t generation = macroList().generation;

    MacroRecord record;
    record.keyData = 79u << 16;
    record.virtualKey = virtualKeyForScanCode(79);
    record.alt = true;
    record.count = 1;
    record.actions[0].action = kCastSpell;
    record.actions[0].argument = 101;
    std::vector<MacroRecord> list = macroList().macros;
    list.push_back(record);
    macroList().replace(std::move(list));
    ASSERT_TRUE(saveMacros());
    EXPECT_EQ(m_client.read(kMacrosFile),
        "F1 0 0 1\r\n" + wideLine(u"Say hi") + "\r\n########\r\nNum 1 0 1 0\r\n" + wideLine(u"CastSpell Animate Dead")
            + "\r\n########\r\n");

    loadMacros();
    EXPECT_NE(macroList().generation, generation);
    ASSERT_EQ(macroList().macros.size(), 2u);
    EXPECT_TRUE(macroList().macros[1].alt);
    EXPECT_EQ(macroList().macros[1].actions[0].argument, 101);
}

TEST_F(MacroFileOnDisk, AMissingFileGivesAnEmptyList)
{
    m_client.write(kKeyNamesFile, keyNamesFile());
    loadMacros();
    EXPECT_TRUE(macroList().macros.empty());
}

} // namespace
