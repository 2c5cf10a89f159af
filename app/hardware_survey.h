#pragma once
// The survey of the machine and its installation, taken once per start when
// the CollectMetrics setting is on; its record goes to "metrics.txt" and to
// the login server (app/survey_report.h). Because a probe of the hardware
// could bring the process down, every step first leaves its number as
// "HarvestStage" under the maker's key of the key store: a start that finds
// 21 or more there (a run that died inside a probe) skips the survey from
// then on and reports that number as its instance id. Without the maker's
// key nothing is read or written there and the survey runs every start.
// Main thread only.

#include "platform/system_facts.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class Window;
}

// The maker's key, and the key store values the survey and its report keep there.
extern const char* const kMakerKeyPath;
extern const char* const kHarvestStageValue;
extern const char* const kInstanceIdValue;
extern const char* const kLastHarvestTimeValue;

// A stage mark of 21 or more left by an earlier start: that run died inside the survey.
constexpr uint32_t kFirstSurveyStage = 21;

// Bits of HardwareSurveyRecord::installFlags.
constexpr uint8_t kMapFileMissing = 0x01; // "map0.mul" is not in the first data folder
constexpr uint8_t kMainProgramDiffers = 0x02; // "vo.exe" missing or not the expected size
constexpr uint8_t kPatcherDiffers = 0x04; // "vopatch.exe" likewise
constexpr uint8_t kPatchLibraryDiffers = 0x08; // "patchw32.dll" likewise
constexpr uint8_t kDvdDrivePresent = 0x10;

// Bits of HardwareSurveyRecord::clientsInstalled.
constexpr uint8_t kMainClientInstalled = 0x02;
constexpr uint8_t kEarlierEditionInstalled = 0x04;

// What the client running now reports of itself.
constexpr uint8_t kClientRunning = 2;

struct HardwareSurveyRecord {
    uint32_t instanceId = 0; // the first survey's time on this machine, or the stage mark of a run that died
    uint32_t osMajor = 0;
    uint32_t osMinor = 0;
    uint32_t osBuild = 0;
    uint8_t cpuVendor = 0; // 1..9 (vendorCodeForString)
    uint32_t cpuFamily = 0;
    uint32_t cpuModel = 0;
    uint32_t cpuMhz = 0;
    uint8_t processorCount = 0;
    uint32_t physicalMemoryMiB = 0; // a multiple of 4
    uint32_t desktopWidth = 0;
    uint32_t desktopHeight = 0;
    uint32_t colourDepth = 0; // bits per pixel
    uint16_t directXMajor = 0;
    uint16_t directXMinor = 0;
    std::array<char16_t, 64> adapterDescription {}; // 0-padded
    uint32_t adapterVendorId = 0; // PCI ids
    uint32_t adapterDeviceId = 0;
    uint32_t videoMemoryMiB = 0;
    uint8_t distribution = 0; // the client edition of "verinfo", 0..10
    uint8_t clientRunning = 0;
    uint8_t clientsInstalled = 0;
    uint8_t installFlags = 0;
    std::array<char16_t, 4> language {}; // 3 lower-case letters and 0
    std::array<uint8_t, 64> reserved {};
};

// What the survey reads of the machine: the running program's come from the
// platform layer and the main window, a test gives its own.
class SurveySources {
public:
    virtual ~SurveySources() = default;
    virtual platform::VersionNumbers osVersion() = 0;
    virtual uint64_t physicalMemoryBytes() = 0;
    virtual void desktopMode(uint32_t& width, uint32_t& height, uint32_t& bitsPerPixel) = 0;
    virtual std::string languageCode() = 0;
    virtual bool dvdDrivePresent() = 0;
    virtual bool cpuid(uint32_t leaf, platform::CpuidRegisters& registers) = 0;
    virtual platform::ProcessorTable processorTable() = 0;
    virtual platform::DisplayAdapterFacts displayAdapter() = 0;
    // Where the program is, and the folder relative names are opened in
    // ("" for the working folder); both end in "/" when not empty.
    virtual std::string programFolder() = 0;
    virtual std::string workingFolder() = 0;
};

// The process-wide record: zero until a survey ran.
HardwareSurveyRecord& hardwareSurvey();

// The start-up step: when CollectMetrics is on, surveys the machine into the
// process-wide record and writes "metrics.txt".
void startHardwareSurvey(const platform::Window& window);

// Zeroes the record and fills it, leaving stage marks as it goes.
void surveyHardware(HardwareSurveyRecord& record, SurveySources& sources);

// The vendor code of a 12-character identification string; 1 for one not known.
uint8_t vendorCodeForString(std::string_view vendor);
// Vendor, family and model from the identification instruction; all 0 when
// the processor has none.
void cpuVendorCode(SurveySources& sources, uint8_t& vendor, uint32_t& family, uint32_t& model);
// The client edition named by the first line of "verinfo" that starts with
// one of the known identifiers; 0 for none or no file.
uint8_t readClientEdition();

// Memory in MiB, rounded up to a multiple of 4.
uint32_t physicalMemoryMiB(uint64_t bytes);
// The adapter's memory plus the desktop's own surface, in MiB: up to a
// multiple of 2 below 16 MiB, of 8 from there.
uint32_t videoMemoryMiB(uint64_t videoBytes, uint32_t bitsPerPixel, uint32_t width, uint32_t height);
