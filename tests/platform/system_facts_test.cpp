// The readers of the machine's facts, on small trees of /proc and /sys files
// the tests write under a folder of their own.

#include "platform/system_facts.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

struct KernelVersionCase {
    const char* label;
    const char* text;
    bool parses;
    platform::VersionNumbers expected;
};

const KernelVersionCase kVersionCases[] = {
    { "DistributionKernel", "6.1.0-18-amd64\n", true, { 6, 1, 0 } },
    { "TwoGroups", "5.15\n", true, { 5, 15, 0 } },
    { "FourGroupsKeepThree", "4.19.260.7", true, { 4, 19, 260 } },
    { "TrailingDot", "6.", true, { 6, 0, 0 } },
    { "NoDigits", "Linux", false, {} },
    { "Empty", "", false, {} },
    { "Negative", "-6.1", false, {} },
    { "FirstGroupTooBig", "4294967296.1", false, {} },
    { "LaterGroupTooBig", "6.4294967296", false, {} },
};

class KernelVersion : public ::testing::TestWithParam<KernelVersionCase> { };

TEST_P(KernelVersion, IsReadFromTheKernelsReleaseFile)
{
    const KernelVersionCase& entry = GetParam();
    test::TempDir root;
    root.write("proc/sys/kernel/osrelease", entry.text);
    platform::VersionNumbers version { 7, 7, 7 };
    ASSERT_EQ(platform::readKernelVersion(root.path(), version), entry.parses);
    platform::VersionNumbers expected = entry.parses ? entry.expected : platform::VersionNumbers { 7, 7, 7 };
    EXPECT_EQ(version.major, expected.major);
    EXPECT_EQ(version.minor, expected.minor);
    EXPECT_EQ(version.build, expected.build);
}

INSTANTIATE_TEST_SUITE_P(Texts, KernelVersion, ::testing::ValuesIn(kVersionCases),
    [](const ::testing::TestParamInfo<KernelVersionCase>& entry) { return std::string(entry.param.label); });

TEST(ProcessorTable, CountsTheProcessorsAndRoundsTheFirstOnesClock)
{
    test::TempDir root;
    root.write("proc/cpuinfo",
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 3192.614\nflags\t\t: fpu vme\n\n"
        "processor\t: 1\ncpu MHz\t\t: 800.000\n\nprocessor\t: 2\n");
    platform::ProcessorTable table = platform::readProcessorTable(root.path());
    EXPECT_EQ(table.count, 3u);
    EXPECT_EQ(table.mhz, 3193u);
}

TEST(ProcessorTable, WithoutAClockLineTheFrequencyTableSaysIt)
{
    test::TempDir root;
    root.write("proc/cpuinfo", "processor\t: 0\nBogoMIPS\t: 48.00\n");
    root.write("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "1800000\n");
    platform::ProcessorTable table = platform::readProcessorTable(root.path());
    EXPECT_EQ(table.count, 1u);
    EXPECT_EQ(table.mhz, 1800u);

    root.write("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "fast\n");
    EXPECT_EQ(platform::readProcessorTable(root.path()).mhz, 0u);
}

TEST(ProcessorTable, AClockThatIsNotANumberCountsAsNone)
{
    test::TempDir root;
    root.write("proc/cpuinfo", "processor : 0\ncpu MHz : unknown\nprocessor : 1\ncpu MHz : 99999999999\n");
    platform::ProcessorTable table = platform::readProcessorTable(root.path());
    EXPECT_EQ(table.count, 2u);
    EXPECT_EQ(table.mhz, 0u) << "only the first processor's clock is taken";
}

TEST(ProcessorTable, AFileOverTheBoundIsReadUpToItsLastWholeLine)
{
    // 40-byte lines: the bound falls 16 bytes into a line that would read
    // "processor : 0000" on its own.
    constexpr size_t kLine = 40;
    std::string text;
    std::string line = "processor : " + std::string(kLine - 13, '0') + "\n";
    ASSERT_EQ(line.size(), kLine);
    while (text.size() < platform::kMaxFactFileSize + 4 * kLine)
        text += line;
    test::TempDir root;
    root.write("proc/cpuinfo", text);
    EXPECT_EQ(platform::readProcessorTable(root.path()).count, platform::kMaxFactFileSize / kLine);
}

TEST(MemoryTotal, IsTakenInKibibytes)
{
    test::TempDir root;
    root.write("proc/meminfo", "MemFree:  100 kB\nMemTotal:       16318412 kB\n");
    EXPECT_EQ(platform::readMemoryTotal(root.path()), 16318412ull * 1024);

    for (const char* refused : { "MemTotal: 16318412\n", "MemTotal: 16318412 MB\n", "MemTotal: kB\n",
             "MemTotal: 18446744073709551615 kB\n", "MemTotal 16 kB\n", "" }) {
        root.write("proc/meminfo", refused);
        EXPECT_EQ(platform::readMemoryTotal(root.path()), 0u) << refused;
    }
}

TEST(DvdDrive, AnyDriveThatReadsDvdsCounts)
{
    test::TempDir root;
    EXPECT_FALSE(platform::readDvdDrivePresent(root.path())) << "no drive table";
    const std::string header = "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr1\tsr0\n";
    root.write("proc/sys/dev/cdrom/info", header + "Can read DVD:\t\t0\t1\nCan write DVD-R:\t0\t0\n");
    EXPECT_TRUE(platform::readDvdDrivePresent(root.path()));
    root.write("proc/sys/dev/cdrom/info", header + "Can read DVD:\t\t0\t0\nCan write DVD-R:\t1\t1\n");
    EXPECT_FALSE(platform::readDvdDrivePresent(root.path()));
    root.write("proc/sys/dev/cdrom/info", header + "Can read DVD:\t\t10\t01\n");
    EXPECT_FALSE(platform::readDvdDrivePresent(root.path()));
}

TEST(DisplayAdapter, TheFirstDisplayControllerGivesItsIdsAndMemory)
{
    test::TempDir root;
    EXPECT_FALSE(platform::readDisplayAdapter(root.path()).found);
    // card0 is not a display controller, card1's ids are damaged, card2 is
    // the one; card3 would be another.
    root.write("sys/class/drm/card0/device/class", "0x020000\n");
    root.write("sys/class/drm/card0/device/vendor", "0x8086\n");
    root.write("sys/class/drm/card0/device/device", "0x1533\n");
    root.write("sys/class/drm/card1/device/class", "0x030000\n");
    root.write("sys/class/drm/card1/device/vendor", "0x1002x\n");
    root.write("sys/class/drm/card1/device/device", "0x73bf\n");
    root.write("sys/class/drm/card2/device/class", "0x030000\n");
    root.write("sys/class/drm/card2/device/vendor", "0x1002\n");
    root.write("sys/class/drm/card2/device/device", "0x73bf\n");
    root.write("sys/class/drm/card2/device/mem_info_vram_total", "17163091968\n");
    root.write("sys/class/drm/card3/device/class", "0x030000\n");
    root.write("sys/class/drm/card3/device/vendor", "0x10de\n");
    root.write("sys/class/drm/card3/device/device", "0x2204\n");
    platform::DisplayAdapterFacts adapter = platform::readDisplayAdapter(root.path());
    EXPECT_TRUE(adapter.found);
    EXPECT_EQ(adapter.vendorId, 0x1002u);
    EXPECT_EQ(adapter.deviceId, 0x73BFu);
    EXPECT_EQ(adapter.videoMemoryBytes, 17163091968ull);

    // A driver that does not say how much memory the card has.
    root.write("sys/class/drm/card2/device/mem_info_vram_total", "\n");
    EXPECT_EQ(platform::readDisplayAdapter(root.path()).videoMemoryBytes, 0u);
    // Ids beyond 16 bits are not PCI ids: the next card is taken.
    root.write("sys/class/drm/card2/device/device", "0x173bf\n");
    EXPECT_EQ(platform::readDisplayAdapter(root.path()).vendorId, 0x10DEu);
}

TEST(FactFiles, ANamedPipeInAFilesPlaceIsRefusedWithoutWaiting)
{
    test::TempDir root;
    root.write("proc/placeholder", "");
    ASSERT_EQ(mkfifo(root.file("proc/meminfo").c_str(), 0600), 0);
    EXPECT_EQ(platform::readMemoryTotal(root.path()), 0u);
}

TEST(RunningSystem, ReportsAtLeastOneProcessorAndSomeMemory)
{
    EXPECT_GE(platform::runningProcessorTable().count, 1u);
    EXPECT_GT(platform::runningMemoryTotal(), 0u);
    EXPECT_GT(platform::runningKernelVersion().major, 0u);
}

} // namespace
