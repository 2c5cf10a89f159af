// The settings as the program reads and saves them: an arbitrary "vo.cfg"
// applied through the real key rules into a fresh registry, then saved by the
// whole-file saver. The saved file keeps every line that names no setting,
// holds one separator, and saving again gives the same bytes; the clamped
// settings stay in their ranges.
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Lines of the saved file (all end in CR LF) equal to the separator.
size_t separatorLines(const std::string& text)
{
    size_t found = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        if (std::string_view(text).substr(at, end - at) == kSettingsSeparator)
            ++found;
        at = end + 2;
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    // No name is ever looked up on the network.
    static bool resolverInstalled = [] {
        installHostResolver([](const std::string&) { return std::vector<uint32_t> {}; });
        return true;
    }();
    (void)resolverInstalled;
    std::string before(reinterpret_cast<const char*>(data), size);
    client.write("vo.cfg", before);

    SettingsRegistry registry;
    SettingsRegistry* previousSettings = installSettings(&registry);
    ConfigFiles files;
    ConfigFiles* previousFiles = installConfigFiles(&files);
    resetConfigValues();
    files.setRules(&settingsKeyRules());
    files.setLoginCount(10);
    if (!files.readConfigFile("vo.cfg", true))
        __builtin_trap();
    if (fuzz::readFile(client.path() + "/vo.cfg") != before)
        __builtin_trap();

    if (registry.getFontSetting(u"ToolTipFont") < 0 || registry.getFontSetting(u"ToolTipFont") > 2
        || registry.getIntSetting(u"ToolTipPreDelay") < 100 || registry.getIntSetting(u"SkillReportDiff") > 100
        || configValues().lastServerId < 0 || configValues().loginServers.size() > kMaxLoginServers)
        __builtin_trap();
    for (const StringSettingRow& row : registry.stringRows()) {
        if (row.value.size() > kMaxSettingTextLength)
            __builtin_trap();
    }

    saveGlobalSettings();
    std::string saved = fuzz::readFile(client.path() + "/vo.cfg");
    if (separatorLines(saved) != 1)
        __builtin_trap();
    saveGlobalSettings();
    if (fuzz::readFile(client.path() + "/vo.cfg") != saved)
        __builtin_trap();

    installConfigFiles(previousFiles);
    installSettings(previousSettings);
    resetConfigValues();
    return 0;
}
