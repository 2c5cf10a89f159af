// The hardware survey on a key store, a client directory and a machine the
// tests make up: the stage marks each probe runs under, the skip after a run
// that died inside one, the instance id, the processor's identification, the
// client edition, the installation checks and the rounding of the sizes.

#include "app/hardware_survey.h"

#include "app/survey_report.h"
#include "data/settings_registry.h"
#include "fixtures/client_directory.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/key_store.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The three registers of a 12-character identification string, in the
// order the instruction gives them out.
platform::CpuidRegisters vendorLeaf(const std::string& vendor, uint32_t highestLeaf)
{
    auto part = [&vendor](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value |= uint32_t(uint8_t(vendor[at + i])) << (8 * i);
        return value;
    };
    return { highestLeaf, part(0), part(8), part(4) };
}

// A machine the test describes. Each probe notes the stage mark standing in
// the key store while it runs.
class SurveyTestMachine final : public SurveySources {
public:
    platform::VersionNumbers osVersion() override { return note("os", os); }
    uint64_t physicalMemoryBytes() override { return note("memory", memoryBytes); }
    void desktopMode(uint32_t& width, uint32_t& height, uint32_t& bitsPerPixel) override
    {
        note("desktop", 0);
        width = 1024;
        height = 768;
        bitsPerPixel = 32;
    }
    std::string languageCode() override { return note("language", language); }
    bool dvdDrivePresent() override { return note("dvd", dvd); }
    bool cpuid(uint32_t leaf, platform::CpuidRegisters& registers) override
    {
        note("cpuid", 0);
        if (!hasCpuid || leaf > 1)
            return false;
        registers = leaves[leaf];
        return true;
    }
    platform::ProcessorTable processorTable() override { return note("processors", processors); }
    platform::DisplayAdapterFacts displayAdapter() override { return note("adapter", adapter); }
    std::string programFolder() override { return note("program folder", programDirectory); }
    std::string workingFolder() override { return note("working folder", workingDirectory); }

    platform::VersionNumbers os { 6, 1, 7 };
    uint64_t memoryBytes = 1001ull * 1024 * 1024;
    std::string language = "ENU";
    bool dvd = true;
    bool hasCpuid = true;
    platform::CpuidRegisters leaves[2] = { vendorLeaf("GenuineIntel", 1), { 0x000906EA, 0, 0, 0 } };
    platform::ProcessorTable processors { 3192, 0x10C };
    platform::DisplayAdapterFacts adapter { true, 0x1002, 0x73BF, 30ull * 1024 * 1024 };
    std::string programDirectory;
    std::string workingDirectory;

    // Each probe and the stage mark it ran under (-1: none).
    std::vector<std::pair<std::string, int64_t>> probes;

private:
    template <typename Value> Value note(const char* name, Value value)
    {
        uint32_t stage = 0;
        bool marked = platform::keyStore().readDword(kMakerKeyPath, kHarvestStageValue, stage);
        probes.emplace_back(name, marked ? int64_t(stage) : -1);
        return value;
    }
};

class HardwareSurveyTest : public ::testing::Test {
protected:
    HardwareSurveyTest()
        : m_previousStore(platform::installKeyStore(&store))
        , m_previousSettings(installSettings(&m_settings))
    {
        clock.setUnixSeconds(1700000000);
        machine.programDirectory = client.root().file("program/");
        machine.workingDirectory = client.root().file("work/");
    }
    ~HardwareSurveyTest() override
    {
        installSettings(m_previousSettings);
        platform::installKeyStore(m_previousStore);
    }

    uint32_t storedValue(const char* name)
    {
        uint32_t value = 0xDEADBEEF;
        store.readDword(kMakerKeyPath, name, value);
        return value;
    }

    fixture::ClientDirectory client;
    platform::KeyStore store { client.root().file("config/registry.ini") };
    platform::FakeClock clock;
    platform::ScopedClock scopedClock { clock };
    SurveyTestMachine machine;
    HardwareSurveyRecord record;

private:
    platform::KeyStore* m_previousStore;
    SettingsRegistry m_settings;
    SettingsRegistry* m_previousSettings;
};

TEST_F(HardwareSurveyTest, EveryProbeRunsUnderItsOwnStageMarkAndACompleteRunEndsAtZero)
{
    ASSERT_TRUE(store.createKey(kMakerKeyPath));
    // The first survey's time is the instance id from then on.
    ASSERT_TRUE(store.writeDword(kMakerKeyPath, kInstanceIdValue, 1600000000));
    surveyHardware(record, machine);
    EXPECT_EQ(record.instanceId, 1600000000u);
    const std::vector<std::pair<std::string, int64_t>> expected = {
        { "os", 23 },
        { "memory", 24 },
        { "desktop", 25 },
        { "language", 27 },
        { "dvd", 28 },
        { "cpuid", 29 },
        { "cpuid", 29 },
        { "processors", 29 },
        { "program folder", 30 },
        { "working folder", 30 },
        { "adapter", 35 },
    };
    EXPECT_EQ(machine.probes, expected);
    EXPECT_EQ(storedValue(kHarvestStageValue), 0u);
}

TEST_F(HardwareSurveyTest, TheFirstSurveyOnAMachineStoresItsTimeAsTheInstanceId)
{
    ASSERT_TRUE(store.createKey(kMakerKeyPath));
    surveyHardware(record, machine);
    EXPECT_EQ(record.instanceId, 1700000000u);
    EXPECT_EQ(storedValue(kInstanceIdValue), 1700000000u);
}

TEST_F(HardwareSurveyTest, AStageLeftByARunThatDiedMeansNoProbeRunsAgain)
{
    ASSERT_TRUE(store.createKey(kMakerKeyPath));
    ASSERT_TRUE(store.writeDword(kMakerKeyPath, kHarvestStageValue, 28));
    record.cpuMhz = 5;
    surveyHardware(record, machine);
    EXPECT_TRUE(machine.probes.empty());
    EXPECT_EQ(record.instanceId, 28u);
    HardwareSurveyRecord expected;
    expected.instanceId = 28;
    EXPECT_EQ(formatMetricsText(record), formatMetricsText(expected)) << "everything else stays zero";
    EXPECT_EQ(storedValue(kHarvestStageValue), 28u) << "the mark stays for every later start";

    // Below 21 the mark is an ordinary one: the survey runs.
    ASSERT_TRUE(store.writeDword(kMakerKeyPath, kHarvestStageValue, 20));
    surveyHardware(record, machine);
    EXPECT_FALSE(machine.probes.empty());
}

TEST_F(HardwareSurveyTest, WithoutTheMakersKeyNothingIsMarkedAndTheSurveyStillRuns)
{
    surveyHardware(record, machine);
    EXPECT_EQ(record.instanceId, 0u);
    EXPECT_FALSE(machine.probes.empty());
    for (const auto& [probe, stage] : machine.probes)
        EXPECT_EQ(stage, -1) << probe;
    EXPECT_FALSE(store.keyExists(kMakerKeyPath));
    EXPECT_EQ(record.physicalMemoryMiB, 1004u);
}

TEST_F(HardwareSurveyTest, TheRecordTakesWhatTheMachineSays)
{
    surveyHardware(record, machine);
    EXPECT_EQ(record.osMajor, 6u);
    EXPECT_EQ(record.osMinor, 1u);
    EXPECT_EQ(record.osBuild, 7u);
    EXPECT_EQ(record.physicalMemoryMiB, 1004u);
    EXPECT_EQ(record.desktopWidth, 1024u);
    EXPECT_EQ(record.desktopHeight, 768u);
    EXPECT_EQ(record.colourDepth, 32u);
    EXPECT_EQ(record.directXMajor, 0u);
    EXPECT_EQ(record.directXMinor, 0u);
    EXPECT_EQ(std::u16string(record.language.data()), u"enu");
    EXPECT_EQ(record.language[3], 0);
    EXPECT_EQ(record.cpuVendor, 2u);
    EXPECT_EQ(record.cpuFamily, 6u);
    EXPECT_EQ(record.cpuModel, 0x9Eu);
    EXPECT_EQ(record.cpuMhz, 3192u);
    EXPECT_EQ(record.processorCount, 0x0Cu) << "the low byte of the count";
    EXPECT_EQ(std::u16string(record.adapterDescription.data()), u"Unknown");
    EXPECT_EQ(record.adapterVendorId, 0x1002u);
    EXPECT_EQ(record.adapterDeviceId, 0x73BFu);
    EXPECT_EQ(record.videoMemoryMiB, 40u) << "30 MiB and the 3 MiB desktop";
    EXPECT_EQ(record.clientRunning, 2u);

    machine.hasCpuid = false;
    machine.adapter = {};
    machine.language = "de";
    surveyHardware(record, machine);
    EXPECT_EQ(record.cpuVendor, 1u);
    EXPECT_EQ(record.cpuFamily, 5u);
    EXPECT_EQ(record.cpuModel, 0u);
    EXPECT_EQ(record.adapterVendorId, 0u);
    EXPECT_EQ(std::u16string(record.adapterDescription.data()), u"Unknown");
    EXPECT_EQ(record.videoMemoryMiB, 4u) << "the 3 MiB desktop surface alone, up to a step of 2";
    EXPECT_EQ(std::u16string(record.language.data()), u"de");
}

TEST(SurveySizes, MemoryAndVideoMemoryRoundUp)
{
    constexpr uint64_t kMiB = 1024 * 1024;
    EXPECT_EQ(physicalMemoryMiB(0), 0u);
    EXPECT_EQ(physicalMemoryMiB(1000 * kMiB), 1000u);
    EXPECT_EQ(physicalMemoryMiB(1001 * kMiB), 1004u);
    EXPECT_EQ(physicalMemoryMiB(1000 * kMiB + 1), 1004u);
    EXPECT_EQ(physicalMemoryMiB(UINT64_MAX), UINT32_MAX);
    EXPECT_EQ(videoMemoryMiB(30 * kMiB, 32, 1024, 768), 40u);
    EXPECT_EQ(videoMemoryMiB(12 * kMiB, 16, 1024, 768), 14u) << "12 MiB and 1.5 MiB";
    EXPECT_EQ(videoMemoryMiB(16 * kMiB - 1, 0, 0, 0), 16u) << "below 16 MiB: steps of 2";
    EXPECT_EQ(videoMemoryMiB(16 * kMiB + 1, 0, 0, 0), 24u) << "from 16 MiB: steps of 8";
    EXPECT_EQ(videoMemoryMiB(UINT64_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX), UINT32_MAX);
}

struct ProcessorVendorCase {
    const char* label;
    std::string vendor; // 12 characters
    uint8_t code;
};

class ProcessorVendor : public ::testing::TestWithParam<ProcessorVendorCase> { };

TEST_P(ProcessorVendor, IsComparedOverAllTwelveCharacters)
{
    const ProcessorVendorCase& entry = GetParam();
    ASSERT_EQ(entry.vendor.size(), 12u);
    SurveyTestMachine machine;
    machine.leaves[0] = vendorLeaf(entry.vendor, 1);
    uint8_t vendor = 0;
    uint32_t family = 0;
    uint32_t model = 0;
    cpuVendorCode(machine, vendor, family, model);
    EXPECT_EQ(vendor, entry.code);
}

INSTANTIATE_TEST_SUITE_P(Strings, ProcessorVendor,
    ::testing::Values(ProcessorVendorCase { "Intel", "GenuineIntel", 2 },
        ProcessorVendorCase { "Amd", "AuthenticAMD", 3 }, ProcessorVendorCase { "EarlyAmd", "AMD ISBETTER", 3 },
        ProcessorVendorCase { "Cyrix", "CyrixInstead", 4 }, ProcessorVendorCase { "Umc", "UMC UMC UMC ", 5 },
        ProcessorVendorCase { "NexGen", "NexGenDriven", 6 }, ProcessorVendorCase { "Centaur", "CentaurHauls", 7 },
        ProcessorVendorCase { "Rise", "RiseRiseRise", 8 }, ProcessorVendorCase { "Transmeta", "GenuineTMx86", 9 },
        ProcessorVendorCase { "UmcWithoutItsBlank", std::string("UMC UMC UMC\0", 12), 1 },
        ProcessorVendorCase { "LastLetterDiffers", "GenuineIntex", 1 },
        ProcessorVendorCase { "CaseDiffers", "genuineintel", 1 }, ProcessorVendorCase { "Unknown", "HygonGenuine", 1 }),
    [](const ::testing::TestParamInfo<ProcessorVendorCase>& entry) { return std::string(entry.param.label); });

TEST(ProcessorSignature, FamilyAndModelTakeTheirExtendedBits)
{
    SurveyTestMachine machine;
    machine.leaves[0] = vendorLeaf("AuthenticAMD", 0x10);
    machine.leaves[1] = { 0x00A20F12, 0, 0, 0 };
    uint8_t vendor = 0;
    uint32_t family = 0;
    uint32_t model = 0;
    cpuVendorCode(machine, vendor, family, model);
    EXPECT_EQ(vendor, 3u);
    EXPECT_EQ(family, 15u + 16 * 0x0A);
    EXPECT_EQ(model, 1u + 16 * 2);

    // A processor whose highest leaf is 0 gives no signature.
    machine.leaves[0] = vendorLeaf("AuthenticAMD", 0);
    cpuVendorCode(machine, vendor, family, model);
    EXPECT_EQ(vendor, 3u);
    EXPECT_EQ(family, 0u);
    EXPECT_EQ(model, 0u);
}

struct ClientEditionCase {
    const char* label;
    const char* verinfo; // null: no file
    uint8_t code;
};

class ClientEdition : public ::testing::TestWithParam<ClientEditionCase> { };

TEST_P(ClientEdition, TheFirstLineNamingAnEditionDecides)
{
    const ClientEditionCase& entry = GetParam();
    fixture::ClientDirectory client;
    if (entry.verinfo)
        client.write("verinfo", entry.verinfo);
    EXPECT_EQ(readClientEdition(), entry.code);
}

const std::string kLongEditionLine = std::string(255, 'x') + "Win32_JD\nWin32_VOGW\n";

INSTANTIATE_TEST_SUITE_P(Files, ClientEdition,
    ::testing::Values(ClientEditionCase { "NoFile", nullptr, 0 }, ClientEditionCase { "Empty", "", 0 },
        ClientEditionCase { "FanEventBeforeJd", "Win32_RMN3D_FanEvent\nWin32_JD\n", 6 },
        ClientEditionCase { "LongerIdentifierFirst", "Win32_RMN2D_FanEvent_2004", 4 },
        ClientEditionCase { "ShorterIdentifier", "Win32_RMN2D\r\n", 5 },
        ClientEditionCase { "OnlyAtTheStartOfALine", "build Win32_JD\nWin32_DSK2D\n", 8 },
        ClientEditionCase { "LastLineWithoutLineEnd", "notes\nWin32_client_555", 1 },
        ClientEditionCase { "NoneKnown", "Win32_XYZ\nwin32_jd\n", 0 },
        ClientEditionCase { "ALongLinesTailIsNoLine", kLongEditionLine.c_str(), 3 }),
    [](const ::testing::TestParamInfo<ClientEditionCase>& entry) { return std::string(entry.param.label); });

TEST_F(HardwareSurveyTest, TheInstallationChecksLookAtTheDataProgramAndWorkingFolders)
{
    surveyHardware(record, machine);
    EXPECT_EQ(record.installFlags,
        kMapFileMissing | kMainProgramDiffers | kPatcherDiffers | kPatchLibraryDiffers | kDvdDrivePresent);
    EXPECT_EQ(record.clientsInstalled, 0u);

    client.write("map0.mul", "");
    client.root().write("work/VO.EXE", std::string(53248, 'v'));
    client.root().write("work/vopatch.exe", std::string(266239, 'p'));
    client.root().write("work/patchw32.dll", std::string(202240, 'd'));
    client.root().write("program/client.exe", "");
    ASSERT_TRUE(store.createKey("SOFTWARE\\Halcyr Worlds Online\\Vardun Online Greywake"));
    platform::forgetDirectoryCache();
    machine.dvd = false;
    surveyHardware(record, machine);
    EXPECT_EQ(record.installFlags, kPatcherDiffers) << "one byte short";
    EXPECT_EQ(record.clientsInstalled, kMainClientInstalled | kEarlierEditionInstalled);
}

} // namespace
