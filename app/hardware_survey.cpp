#include "app/hardware_survey.h"

#include "app/survey_report.h"
#include "data/file_manager.h"
#include "data/settings_registry.h"
#include "platform/ascii_text.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/key_store.h"
#include "platform/window.h"
#include "text/localization.h"

#include <algorithm>
#include <cstdio>

const char* const kMakerKeyPath = "SOFTWARE\\Halcyr Worlds Online";
const char* const kHarvestStageValue = "HarvestStage";
const char* const kInstanceIdValue = "UniqueInstanceId";
const char* const kLastHarvestTimeValue = "LastHarvestTime";

namespace {

struct SurveyVendorRow {
    std::string_view vendor;
    uint8_t code;
};

constexpr SurveyVendorRow kVendorRows[] = {
    { "GenuineIntel", 2 },
    { "AuthenticAMD", 3 },
    { "AMD ISBETTER", 3 },
    { "CyrixInstead", 4 },
    { "UMC UMC UMC ", 5 },
    { "NexGenDriven", 6 },
    { "CentaurHauls", 7 },
    { "RiseRiseRise", 8 },
    { "GenuineTMx86", 9 },
};

struct EditionRow {
    std::string_view prefix;
    uint8_t code;
};

// Tried in this order on every line, so that a longer identifier wins over
// the shorter one it starts with.
constexpr EditionRow kEditionRows[] = {
    { "Win32_JD", 10 },
    { "Win32_DSK3D", 9 },
    { "Win32_DSK2D", 8 },
    { "Win32_RMN3D_FanEvent", 6 },
    { "Win32_RMN3D", 7 },
    { "Win32_RMN2D_FanEvent", 4 },
    { "Win32_RMN2D", 5 },
    { "Win32_VOGW", 3 },
    { "Win32_VO_Cobalt", 2 },
    { "Win32_client_555", 1 },
};

// The lines of "verinfo" are looked at up to this many characters.
constexpr size_t kMaxEditionLine = 255;

// The files of an installation whose size is checked, in the working folder.
struct InstalledFileRow {
    const char* name;
    int64_t size;
    uint8_t flag;
};

constexpr InstalledFileRow kInstalledFileRows[] = {
    { "vo.exe", 53248, kMainProgramDiffers },
    { "vopatch.exe", 266240, kPatcherDiffers },
    { "patchw32.dll", 202240, kPatchLibraryDiffers },
};

const char* const kMainClientKeyPath = "SOFTWARE\\Halcyr Worlds Online\\Vardun Online";
const char* const kEarlierEditionKeyPath = "SOFTWARE\\Halcyr Worlds Online\\Vardun Online Greywake";

constexpr std::u16string_view kUnknownAdapter = u"Unknown";

// The running program's view of the machine.
class MachineSurveySources final : public SurveySources {
public:
    explicit MachineSurveySources(const platform::Window& window)
        : m_window(window)
    {
    }

    platform::VersionNumbers osVersion() override { return platform::runningKernelVersion(); }
    uint64_t physicalMemoryBytes() override { return platform::runningMemoryTotal(); }
    void desktopMode(uint32_t& width, uint32_t& height, uint32_t& bitsPerPixel) override
    {
        int32_t screenWidth = 0;
        int32_t screenHeight = 0;
        m_window.screenSize(screenWidth, screenHeight);
        width = uint32_t(std::max(screenWidth, 0));
        height = uint32_t(std::max(screenHeight, 0));
        bitsPerPixel = uint32_t(std::max(m_window.desktopBitsPerPixel(), 0));
    }
    std::string languageCode() override { return getLanguageCode(); }
    bool dvdDrivePresent() override { return platform::readDvdDrivePresent("/"); }
    bool cpuid(uint32_t leaf, platform::CpuidRegisters& registers) override
    {
        return platform::runCpuid(leaf, registers);
    }
    platform::ProcessorTable processorTable() override { return platform::runningProcessorTable(); }
    platform::DisplayAdapterFacts displayAdapter() override { return platform::readDisplayAdapter("/"); }
    std::string programFolder() override { return FileManager::getModuleDirAlloc(); }
    std::string workingFolder() override { return {}; }

private:
    const platform::Window& m_window;
};

// Leaves the step about to run in the key store, where a start after a crash
// finds it. Without the maker's key nothing is written.
void markStage(uint32_t stage) { platform::keyStore().writeDword(kMakerKeyPath, kHarvestStageValue, stage); }

// The time of the first survey on this machine, kept under the maker's key;
// 0 without the key.
uint32_t surveyInstanceId()
{
    platform::KeyStore& store = platform::keyStore();
    if (!store.keyExists(kMakerKeyPath))
        return 0;
    uint32_t id = 0;
    if (!store.readDword(kMakerKeyPath, kInstanceIdValue, id)) {
        id = platform::clock().unixSeconds();
        store.writeDword(kMakerKeyPath, kInstanceIdValue, id);
    }
    return id;
}

template <size_t N> void copySurveyText(std::array<char16_t, N>& field, std::u16string_view text)
{
    field.fill(0);
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}

void identifyProcessor(HardwareSurveyRecord& record, SurveySources& sources)
{
    cpuVendorCode(sources, record.cpuVendor, record.cpuFamily, record.cpuModel);
    if (record.cpuVendor == 0) {
        // No identification instruction: reported as an early Pentium-class part.
        record.cpuVendor = 1;
        record.cpuFamily = 5;
        record.cpuModel = 0;
    }
    platform::ProcessorTable table = sources.processorTable();
    record.cpuMhz = table.mhz;
    record.processorCount = uint8_t(table.count & 0xFF);
}

bool fileInFolder(const std::string& folder, const char* name)
{
    return !folder.empty() && fileManager().findFile(folder.c_str(), name).has_value();
}

void checkInstallation(HardwareSurveyRecord& record, SurveySources& sources)
{
    record.distribution = readClientEdition();
    record.clientRunning = kClientRunning;

    const platform::KeyStore& store = platform::keyStore();
    const std::string programFolder = sources.programFolder();
    if (store.keyExists(kMainClientKeyPath) || fileInFolder(programFolder, "client.exe"))
        record.clientsInstalled |= kMainClientInstalled;
    if (store.keyExists(kEarlierEditionKeyPath) || fileInFolder(programFolder, "vogw.exe"))
        record.clientsInstalled |= kEarlierEditionInstalled;

    const SearchPath* firstDataFolder = fileManager().getSearchPath(0);
    if (!firstDataFolder || !fileInFolder(firstDataFolder->directory, "map0.mul"))
        record.installFlags |= kMapFileMissing;

    const std::string workingFolder = sources.workingFolder();
    for (const InstalledFileRow& row : kInstalledFileRows) {
        std::optional<std::string> real = platform::resolvePath(workingFolder + row.name);
        if (!real || platform::fileSize(*real) != row.size)
            record.installFlags |= row.flag;
    }
}

// The display adapter, with the marks of each of its steps. This system has
// no driver interface that names the adapter, so the description stays
// "Unknown"; the ids and the memory come from the kernel's device table where
// it has them.
void surveyDisplayAdapter(HardwareSurveyRecord& record, SurveySources& sources)
{
    markStage(31);
    markStage(32);
    markStage(35);
    platform::DisplayAdapterFacts adapter = sources.displayAdapter();
    markStage(36);
    copySurveyText(record.adapterDescription, kUnknownAdapter);
    if (adapter.found) {
        markStage(37);
        record.adapterVendorId = adapter.vendorId;
        record.adapterDeviceId = adapter.deviceId;
    }
    markStage(38);
    markStage(39);
    record.videoMemoryMiB
        = videoMemoryMiB(adapter.videoMemoryBytes, record.colourDepth, record.desktopWidth, record.desktopHeight);
}

} // namespace

HardwareSurveyRecord& hardwareSurvey()
{
    static HardwareSurveyRecord record;
    return record;
}

void startHardwareSurvey(const platform::Window& window)
{
    if (settings().getBoolSetting(u"CollectMetrics") == 0)
        return;
    MachineSurveySources sources(window);
    surveyHardware(hardwareSurvey(), sources);
    writeMetricsFile(hardwareSurvey());
}

void surveyHardware(HardwareSurveyRecord& record, SurveySources& sources)
{
    record = {};
    uint32_t stage = 0;
    if (!platform::keyStore().readDword(kMakerKeyPath, kHarvestStageValue, stage))
        stage = 0;
    if (stage >= kFirstSurveyStage) {
        // An earlier start died inside a probe: none runs again.
        record.instanceId = stage;
        return;
    }
    markStage(21);
    markStage(22);
    record.instanceId = surveyInstanceId();

    markStage(23);
    platform::VersionNumbers os = sources.osVersion();
    record.osMajor = os.major;
    record.osMinor = os.minor;
    record.osBuild = os.build;

    markStage(24);
    record.physicalMemoryMiB = physicalMemoryMiB(sources.physicalMemoryBytes());

    markStage(25);
    sources.desktopMode(record.desktopWidth, record.desktopHeight, record.colourDepth);

    // No DirectX on this system: its version stays 0.0.
    markStage(26);

    markStage(27);
    std::string language = sources.languageCode();
    std::u16string code;
    for (size_t i = 0; i < language.size() && i < 3; ++i)
        code.push_back(char16_t(uint8_t(platform::foldAsciiCase(language[i]))));
    copySurveyText(record.language, code);

    markStage(28);
    if (sources.dvdDrivePresent())
        record.installFlags |= kDvdDrivePresent;

    markStage(29);
    identifyProcessor(record, sources);

    markStage(30);
    checkInstallation(record, sources);

    surveyDisplayAdapter(record, sources);
    markStage(0);
}

uint8_t vendorCodeForString(std::string_view vendor)
{
    for (const SurveyVendorRow& row : kVendorRows) {
        if (vendor == row.vendor)
            return row.code;
    }
    return 1;
}

void cpuVendorCode(SurveySources& sources, uint8_t& vendor, uint32_t& family, uint32_t& model)
{
    vendor = 0;
    family = 0;
    model = 0;
    platform::CpuidRegisters highest;
    if (!sources.cpuid(0, highest))
        return;
    // The identification string is spread over EBX, EDX and ECX, low byte first.
    char text[12];
    uint32_t parts[] = { highest.ebx, highest.edx, highest.ecx };
    for (size_t i = 0; i < 12; ++i)
        text[i] = char((parts[i / 4] >> (8 * (i % 4))) & 0xFF);
    vendor = vendorCodeForString(std::string_view(text, sizeof text));
    platform::CpuidRegisters signature;
    if (highest.eax >= 1 && sources.cpuid(1, signature)) {
        family = ((signature.eax >> 8) & 0xF) + 16 * ((signature.eax >> 20) & 0xFF);
        model = ((signature.eax >> 4) & 0xF) + 16 * ((signature.eax >> 16) & 0xF);
    }
}

uint8_t readClientEdition()
{
    FileManager& files = fileManager();
    FILE* stream = files.open("verinfo", "r");
    if (!stream)
        return 0;
    uint8_t edition = 0;
    std::string line;
    for (;;) {
        int c = std::fgetc(stream);
        if (c != EOF && c != '\n') {
            if (line.size() < kMaxEditionLine)
                line.push_back(char(c));
            continue;
        }
        for (const EditionRow& row : kEditionRows) {
            if (line.starts_with(row.prefix)) {
                edition = row.code;
                break;
            }
        }
        if (edition != 0 || c == EOF)
            break;
        line.clear();
    }
    files.close(stream);
    return edition;
}

uint32_t physicalMemoryMiB(uint64_t bytes)
{
    constexpr uint64_t kStep = 4 * 1024 * 1024;
    uint64_t steps = bytes / kStep + (bytes % kStep != 0 ? 1 : 0);
    return uint32_t(std::min<uint64_t>(steps * 4, UINT32_MAX));
}

uint32_t videoMemoryMiB(uint64_t videoBytes, uint32_t bitsPerPixel, uint32_t width, uint32_t height)
{
    constexpr uint64_t kSmall = 16 * 1024 * 1024;
    constexpr uint64_t kSmallStep = 2 * 1024 * 1024;
    constexpr uint64_t kLargeStep = 8 * 1024 * 1024;
    // In 128 bits no sizes a system could report make the sum wrap.
    using Wide = unsigned __int128;
    Wide bytes = Wide(bitsPerPixel) * height * width / 8 + videoBytes;
    Wide mib = bytes < kSmall ? (bytes + kSmallStep - 1) / kSmallStep * 2 : (bytes + kLargeStep - 1) / kLargeStep * 8;
    return uint32_t(std::min<Wide>(mib, UINT32_MAX));
}
