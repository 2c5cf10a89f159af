#pragma once
// The typed settings: six tables of named values (booleans, settings that take
// effect after a restart, colours, integers, fonts and texts), each row with
// its default. The options window and the rest of the program read and write
// them by name; the settings reader fills them from the files, and the savers
// write them back as one block after a separator line, keeping every other
// line of the file in front of it. Changing some settings acts at once through
// the services of data/settings_services.h. Main thread only.
//
// A name matches a row when it equals the row's name or is a beginning of it
// (case-sensitive); the first matching row in table order is taken. A name
// ending in "$" reaches the restart table (without the "$"), no other does.

#include "core/wide_string.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BoolSettingRow {
    const char* name;
    uint8_t value;
    uint8_t defaultValue;
};

// The program value holds for the whole run; a change is kept as pending and
// reaches the file, and so the next run.
struct RestartSettingRow {
    const char* name;
    uint8_t value;
    uint8_t pending;
    uint8_t pendingValue;
    uint8_t defaultValue;
    uint8_t effective() const { return pending ? pendingValue : value; }
};

struct ColourSettingRow {
    const char* name;
    int32_t value;
    int32_t defaultValue;
    // A hue number (written in decimal) rather than a 5-5-5 colour (written
    // as "#rrggbb").
    bool isHue;
};

// Integer and font rows.
struct NumberSettingRow {
    const char* name;
    int32_t value;
    int32_t defaultValue;
};

struct StringSettingRow {
    const char* name;
    std::string value;
    std::string defaultValue;
};

// Texts are kept in 512-byte buffers by the files' users: at most 511 bytes.
constexpr size_t kMaxSettingTextLength = 511;
// The line the savers put between the kept lines and the settings.
constexpr std::string_view kSettingsSeparator = ";------------------------------";

class SettingsRegistry {
public:
    // Every row at its default; no restart pending.
    SettingsRegistry();

    bool isBoolSetting(const WString& name) const;
    uint8_t getBoolSetting(const WString& name) const;
    uint8_t getBoolSettingDefault(const WString& name) const;
    void setBoolSetting(const WString& name, uint8_t value);

    bool isColourSetting(const WString& name) const;
    int32_t getColourSetting(const WString& name) const;
    int32_t getColourSettingDefault(const WString& name) const;
    void setColourSetting(const WString& name, int32_t value);

    int32_t getIntSetting(const WString& name) const;
    int32_t getIntSettingDefault(const WString& name) const;
    void setIntSetting(const WString& name, int32_t value);

    int32_t getFontSetting(const WString& name) const;
    int32_t getFontSettingDefault(const WString& name) const;
    void setFontSetting(const WString& name, int32_t value);

    std::string getStringSetting(const WString& name) const;
    std::string getStringSettingDefault(const WString& name) const;
    void setStringSetting(const WString& name, const WString& text);

    // Booleans, colours, integers and fonts back to their defaults; restart
    // rows and texts stay.
    void resetSettingsToDefaults();

    bool settingsRestartNeeded() const { return m_restartNeeded; }
    void clearSettingsRestartNeeded() { m_restartNeeded = false; }

    // True for the separator line and for a line whose first word is the
    // whole name of a setting of any table (any case; a restart setting
    // without its "$").
    bool isManagedSettingLine(std::string_view line) const;
    // The file as the savers write it: `kept` (the lines that name no
    // setting), the separator, every boolean, then what differs from its
    // default. Lines end in CR LF. `perCharacter` leaves the account lines out.
    std::string savedFileText(
        const std::vector<std::string>& kept, bool forgetAccountPassword, bool perCharacter) const;

    // The rows, for the key rules and the savers: exact names, no prefixes.
    BoolSettingRow* boolRow(std::string_view name);
    RestartSettingRow* restartRow(std::string_view name);
    ColourSettingRow* colourRow(std::string_view name);
    NumberSettingRow* integerRow(std::string_view name);
    NumberSettingRow* fontRow(std::string_view name);
    StringSettingRow* stringRow(std::string_view name);

    const std::vector<BoolSettingRow>& boolRows() const { return m_bools; }
    const std::vector<RestartSettingRow>& restartRows() const { return m_restarts; }
    const std::vector<ColourSettingRow>& colourRows() const { return m_colours; }
    const std::vector<NumberSettingRow>& integerRows() const { return m_integers; }
    const std::vector<NumberSettingRow>& fontRows() const { return m_fonts; }
    const std::vector<StringSettingRow>& stringRows() const { return m_strings; }

private:
    template <typename Row> static const Row* findByPrefix(const std::vector<Row>& rows, const WString& name);
    template <typename Row> Row* findByPrefix(std::vector<Row>& rows, const WString& name)
    {
        return const_cast<Row*>(findByPrefix(static_cast<const std::vector<Row>&>(rows), name));
    }
    const RestartSettingRow* restartRowFor(const WString& name) const;
    // Stores a text (cut to its room) and applies what the name does.
    void storeString(StringSettingRow& row, std::string text);

    std::vector<BoolSettingRow> m_bools;
    std::vector<RestartSettingRow> m_restarts;
    std::vector<ColourSettingRow> m_colours;
    std::vector<NumberSettingRow> m_integers;
    std::vector<NumberSettingRow> m_fonts;
    std::vector<StringSettingRow> m_strings;
    bool m_restartNeeded = false;
};

// The process-wide registry, unless another was installed (tests).
SettingsRegistry& settings();
SettingsRegistry* installSettings(SettingsRegistry* replacement);

// The rows at their defaults, in table order (settings_tables.cpp).
std::vector<BoolSettingRow> defaultBoolRows();
std::vector<RestartSettingRow> defaultRestartRows();
std::vector<ColourSettingRow> defaultColourRows();
std::vector<NumberSettingRow> defaultIntegerRows();
std::vector<NumberSettingRow> defaultFontRows();
std::vector<StringSettingRow> defaultStringRows();

// The item-property display mode a text selects by its beginning (any case):
// "At Icon" 0, "Always Up" 1, "Follow Mouse" 2, "Single Click" 3; -1 for none.
int32_t itemPropsModeFor(std::string_view text);

// Rewrites "vo.cfg" (found through the file manager; a missing file is not
// created) with the settings block; a file that cannot be replaced is left
// as it was.
void saveGlobalSettings();
// saveGlobalSettings, the character data, then the per-character copy when a
// character is chosen and that copy exists.
void saveSettings();
