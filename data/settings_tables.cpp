#include "data/settings_registry.h"

std::vector<BoolSettingRow> defaultBoolRows()
{
    struct Entry {
        const char* name;
        uint8_t defaultValue;
    };
    static const Entry kEntries[] = {
        { "Sound", 1 },
        { "Music", 1 },
        { "Footsteps", 1 },
        { "AllowPathfind", 1 },
        { "HoldTabForCombat", 1 },
        { "OffsetGumps", 1 },
        { "AutoArrangeMinimized", 1 },
        { "AssumePlayAsGhost", 0 },
        { "UseCircleTrans", 0 },
        { "ScaleBarkTimes", 1 },
        { "FrameSkipping", 0 },
        { "NotorietyQuery", 1 },
        { "ShowIntroAnim", 0 },
        { "OrderCacheOnStartup", 0 },
        { "SaveJournal", 0 },
        { "JournalSaveUnicode", 0 },
        { "RememberAcctPW", 0 },
        { "GlobalQueue", 0 },
        { "FilterPWOn", 0 },
        { "ObscenityFilter", 1 },
        { "FullScreen", 0 },
        { "UseToolTips", 1 },
        { "PopupHelpEnabled", 1 },
        { "PopupHelpSticky", 0 },
        { "PopupHelpPersistant", 1 },
        { "TranslationServer", 0 },
        { "TranslationServerAutomatic", 1 },
        { "ColoredLighting", 1 },
        { "ShadedFonts", 0 },
        { "ShowIncomingNames", 1 },
        { "StatReport", 1 },
        { "DarkNights", 0 },
        { "AlwaysRun", 0 },
        { "NewbieDesktop", 0 },
        { "TreeCanopies", 0 },
        { "Desolation", 1 },
        { "CombatMusic", 1 },
        { "ColorOutOfRange", 1 },
        { "ShiftForContext", 0 },
        { "DisableMenubar", 0 },
        { "ItemPropsIcon", 1 },
        { "CollectMetrics", 1 },
        { "ObjectHandles", 1 },
        { "IgnoreGuildChat", 0 },
        { "IgnoreAllianceChat", 0 },
    };
    std::vector<BoolSettingRow> rows;
    for (const Entry& entry : kEntries)
        rows.push_back({ entry.name, entry.defaultValue, entry.defaultValue });
    return rows;
}

std::vector<RestartSettingRow> defaultRestartRows()
{
    struct Entry {
        const char* name;
        uint8_t defaultValue;
    };
    static const Entry kEntries[] = {
        { "Sound8Bit", 0 },
        { "ReverseSpeakers", 0 },
        { "UnicodeSpeech", 0 },
        { "MouseThread", 1 },
        { "PageFlip", 1 },
        { "GDIFullScreen", 0 },
        { "Use565", 0 },
        { "EnableMessenger", 1 },
        { "VOMessengerPing", 1 },
    };
    std::vector<RestartSettingRow> rows;
    for (const Entry& entry : kEntries)
        rows.push_back({ entry.name, entry.defaultValue, 0, 0, entry.defaultValue });
    return rows;
}

std::vector<ColourSettingRow> defaultColourRows()
{
    struct Entry {
        const char* name;
        int32_t defaultValue;
        bool isHue;
    };
    static const Entry kEntries[] = {
        { "ChatColorInput", 0x7BDE, false },
        { "ChatColorMenuOption", 0x7FE0, false },
        { "ChatColorName", 0x3DE0, false },
        { "ChatColorText", 0x7FE0, false },
        { "ChatColorMutedName", 0x000F, false },
        { "ChatColorMutedText", 0x001F, false },
        { "ChatColorOpsName", 0x3C0F, false },
        { "ChatColorOpsText", 0x7C1F, false },
        { "ChatColorSelfName", 0x3DEF, false },
        { "ChatColorSelfText", 0x7FFF, false },
        { "ChatColorSystemMessage", 0x03E0, false },
        { "ChatColorTextBackground", 0, false },
        { "ChatColorInputBackground", 0, false },
        { "ChatColorUserListBackground", 0, false },
        { "ChatColorConferenceMenuBackground", 0x0C63, false },
        { "ChatColorCommandMenuBackground", 0x0C63, false },
        { "ChatColorDialogBackground", 0, false },
        { "ToolTipTextColor", 0x7FFF, false },
        { "HighlightColorInnocent", 89, true },
        { "HighlightColorFriend", 63, true },
        { "HighlightColorCanAttack", 946, true },
        { "HighlightColorCriminal", 946, true },
        { "HighlightColorEnemy", 144, true },
        { "HighlightColorMurderer", 34, true },
        { "PopupHelpTextColor", 0x7FFF, false },
        { "PartyMessageColor", 144, true },
        { "GuildChatColor", 63, true },
        { "AllianceChatColor", 89, true },
    };
    std::vector<ColourSettingRow> rows;
    for (const Entry& entry : kEntries)
        rows.push_back({ entry.name, entry.defaultValue, entry.defaultValue, entry.isHue });
    return rows;
}

std::vector<NumberSettingRow> defaultIntegerRows()
{
    return {
        { "SkillReportDiff", 10, 10 },
        { "SoundVol", 255, 255 },
        { "MusicVol", 255, 255 },
        { "BarkTimeModifier", 100, 100 },
        { "CircleTransRadius", 64, 64 },
        { "ToolTipPreDelay", 1000, 1000 },
        { "PopupHelpPreDelay", 1000, 1000 },
        { "QuestionFlags", 0, 0 },
        { "HouseCacheSize", 300, 300 },
    };
}

std::vector<NumberSettingRow> defaultFontRows()
{
    return {
        { "ChatFontNumber", 2, 2 },
        { "BarkFontNumber", 0, 0 },
        { "PopupHelpTextFont", 1, 1 },
        { "ToolTipFont", 1, 1 },
    };
}

std::vector<StringSettingRow> defaultStringRows()
{
    return {
        { "FullScreenRes", "640x480", "640x480" },
        { "GamePlayWindowSize", "640x480", "640x480" },
        { "Language", "English", "English" },
        { "ItemPropsMode", "Follow Mouse", "Follow Mouse" },
    };
}
