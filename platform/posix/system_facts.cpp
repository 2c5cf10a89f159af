#include "platform/system_facts.h"

#include "platform/ascii_text.h"
#include "platform/file_system.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform {

namespace {

// The highest card number looked at under sys/class/drm.
constexpr int kMaxCardNumber = 15;

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isAsciiSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isAsciiSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Takes the next line off `text` (without its line end); false at the end.
bool takeLine(std::string_view& text, std::string_view& line)
{
    if (text.empty())
        return false;
    size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return true;
}

// A "key : value" line, both sides trimmed; false without a ':'.
bool splitKeyValue(std::string_view line, std::string_view& key, std::string_view& value)
{
    size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return false;
    key = trimBlanks(line.substr(0, colon));
    value = trimBlanks(line.substr(colon + 1));
    return true;
}

// The value of the first "key : value" line with the key.
bool findKeyValue(std::string_view text, std::string_view wanted, std::string_view& value)
{
    std::string_view line;
    while (takeLine(text, line)) {
        std::string_view key;
        if (splitKeyValue(line, key, value) && key == wanted)
            return true;
    }
    return false;
}

// Leading decimal digits of `text` into `value`; the rest stays in `text`.
// False without a digit or when the number does not fit.
bool takeDecimal(std::string_view& text, uint64_t& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end == text.data())
        return false;
    text.remove_prefix(size_t(end - text.data()));
    return true;
}

// A decimal number with an optional fraction, rounded to the nearest whole.
bool parseRoundedDecimal(std::string_view text, uint32_t& value)
{
    uint64_t whole = 0;
    if (!takeDecimal(text, whole) || whole >= std::numeric_limits<uint32_t>::max())
        return false;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() >= '5' && text.front() <= '9')
            ++whole;
    }
    value = uint32_t(whole);
    return true;
}

std::string joinRoot(const std::string& root, const char* relative)
{
    if (root.empty() || root.back() == '/')
        return root + relative;
    return root + "/" + relative;
}

// The file's text, at most kMaxFactFileSize bytes; a line cut by the bound is
// dropped. False when the file cannot be opened as a regular file.
bool readFactFile(const std::string& path, std::string& text)
{
    text.clear();
    FILE* stream = openRegularFile(path, "rb");
    if (!stream)
        return false;
    char chunk[4096];
    bool cut = false;
    while (!cut) {
        size_t room = kMaxFactFileSize - text.size();
        size_t got = std::fread(chunk, 1, sizeof chunk < room ? sizeof chunk : room, stream);
        if (got == 0)
            break;
        text.append(chunk, got);
        cut = text.size() == kMaxFactFileSize && std::fgetc(stream) != EOF;
    }
    std::fclose(stream);
    if (cut) {
        size_t lastLineEnd = text.rfind('\n');
        text.erase(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    }
    return true;
}

bool readNumberFile(const std::string& path, uint64_t& value)
{
    std::string text;
    return readFactFile(path, text) && parseNumberFile(text, value);
}

} // namespace

bool parseVersionNumbers(std::string_view text, VersionNumbers& version)
{
    uint32_t groups[3] = {};
    for (uint32_t& group : groups) {
        uint64_t number = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 10);
        if (error == std::errc::invalid_argument && &group != &groups[0])
            break;
        if (error != std::errc() || number > std::numeric_limits<uint32_t>::max())
            return false;
        group = uint32_t(number);
        text.remove_prefix(size_t(end - text.data()));
        if (text.empty() || text.front() != '.')
            break;
        text.remove_prefix(1);
    }
    version = { groups[0], groups[1], groups[2] };
    return true;
}

ProcessorTable parseProcessorTable(std::string_view text)
{
    ProcessorTable table;
    bool clockSeen = false;
    std::string_view line;
    while (takeLine(text, line)) {
        std::string_view key;
        std::string_view value;
        if (!splitKeyValue(line, key, value))
            continue;
        if (key == "processor") {
            ++table.count;
        } else if (key == "cpu MHz" && !clockSeen) {
            clockSeen = true;
            if (!parseRoundedDecimal(value, table.mhz))
                table.mhz = 0;
        }
    }
    return table;
}

uint64_t parseMemoryTotal(std::string_view text)
{
    std::string_view value;
    uint64_t kibibytes = 0;
    if (!findKeyValue(text, "MemTotal", value) || !takeDecimal(value, kibibytes) || trimBlanks(value) != "kB"
        || kibibytes > std::numeric_limits<uint64_t>::max() / 1024)
        return 0;
    return kibibytes * 1024;
}

bool parseDriveTableHasDvd(std::string_view text)
{
    std::string_view value;
    if (!findKeyValue(text, "Can read DVD", value))
        return false;
    // One column per drive.
    while (!value.empty()) {
        size_t end = 0;
        while (end < value.size() && !isAsciiSpace(value[end]))
            ++end;
        if (value.substr(0, end) == "1")
            return true;
        value = trimBlanks(value.substr(end));
    }
    return false;
}

bool parseNumberFile(std::string_view text, uint64_t& value)
{
    text = trimBlanks(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint64_t parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (error != std::errc() || end == text.data() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

bool readKernelVersion(const std::string& root, VersionNumbers& version)
{
    std::string text;
    return readFactFile(joinRoot(root, "proc/sys/kernel/osrelease"), text) && parseVersionNumbers(text, version);
}

ProcessorTable readProcessorTable(const std::string& root)
{
    std::string text;
    ProcessorTable table;
    if (readFactFile(joinRoot(root, "proc/cpuinfo"), text))
        table = parseProcessorTable(text);
    uint64_t kilohertz = 0;
    if (table.mhz == 0
        && readNumberFile(joinRoot(root, "sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"), kilohertz)
        && kilohertz / 1000 <= std::numeric_limits<uint32_t>::max())
        table.mhz = uint32_t(kilohertz / 1000);
    return table;
}

uint64_t readMemoryTotal(const std::string& root)
{
    std::string text;
    return readFactFile(joinRoot(root, "proc/meminfo"), text) ? parseMemoryTotal(text) : 0;
}

bool readDvdDrivePresent(const std::string& root)
{
    std::string text;
    return readFactFile(joinRoot(root, "proc/sys/dev/cdrom/info"), text) && parseDriveTableHasDvd(text);
}

DisplayAdapterFacts readDisplayAdapter(const std::string& root)
{
    DisplayAdapterFacts adapter;
    for (int card = 0; card <= kMaxCardNumber; ++card) {
        std::string device = joinRoot(root, "sys/class/drm/card") + std::to_string(card) + "/device/";
        uint64_t deviceClass = 0;
        // PCI class 0x03: a display controller.
        if (!readNumberFile(device + "class", deviceClass) || (deviceClass >> 16) != 0x03)
            continue;
        uint64_t vendor = 0;
        uint64_t product = 0;
        if (!readNumberFile(device + "vendor", vendor) || !readNumberFile(device + "device", product) || vendor > 0xFFFF
            || product > 0xFFFF)
            continue;
        adapter.found = true;
        adapter.vendorId = uint32_t(vendor);
        adapter.deviceId = uint32_t(product);
        uint64_t memory = 0;
        if (readNumberFile(device + "mem_info_vram_total", memory))
            adapter.videoMemoryBytes = memory;
        return adapter;
    }
    return adapter;
}

VersionNumbers runningKernelVersion()
{
    VersionNumbers version;
    if (readKernelVersion("/", version))
        return version;
    struct utsname names { };
    if (uname(&names) == 0)
        parseVersionNumbers(names.release, version);
    return version;
}

ProcessorTable runningProcessorTable()
{
    ProcessorTable table = readProcessorTable("/");
    if (table.count == 0) {
        long online = sysconf(_SC_NPROCESSORS_ONLN);
        table.count = online > 0 ? uint32_t(online) : 0;
    }
    return table;
}

uint64_t runningMemoryTotal()
{
    if (uint64_t total = readMemoryTotal("/"))
        return total;
    struct sysinfo facts { };
    if (sysinfo(&facts) != 0)
        return 0;
    return uint64_t(facts.totalram) * facts.mem_unit;
}

bool runCpuid(uint32_t leaf, CpuidRegisters& registers)
{
    registers = {};
#if defined(__x86_64__) || defined(__i386__)
    unsigned int a = 0;
    unsigned int b = 0;
    unsigned int c = 0;
    unsigned int d = 0;
    if (!__get_cpuid(leaf, &a, &b, &c, &d))
        return false;
    registers = { a, b, c, d };
    return true;
#else
    (void)leaf;
    return false;
#endif
}

} // namespace platform
