#pragma once
// Facts about the machine for the hardware survey: the kernel's version, the
// processor, the memory, an optical drive and the display adapter. They come
// from the text files the kernel publishes (/proc and /sys) under a root
// folder, "/" on the running system (tests give a folder of their own), and
// from the processor's identification instruction where it has one. Every
// file is read up to a bound; text that does not parse leaves its fact at 0.
// The running system's forms fall back on uname, sysinfo and sysconf where a
// file says nothing. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// No fact file is read past this many bytes (a processor table of a few
// hundred processors still fits).
constexpr size_t kMaxFactFileSize = 1024 * 1024;

struct VersionNumbers {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
};

// Up to three leading groups of decimal digits separated by '.', as in
// "6.1.0-18-amd64" or "5.15"; the groups not given stay 0. False when the
// text does not start with a digit or a group does not fit in 32 bits.
bool parseVersionNumbers(std::string_view text, VersionNumbers& version);

struct ProcessorTable {
    uint32_t mhz = 0; // the first processor's "cpu MHz", rounded; 0 when absent
    uint32_t count = 0; // the "processor" entries
};
ProcessorTable parseProcessorTable(std::string_view text);
// "MemTotal" of a memory table, in bytes; 0 when absent or out of range.
uint64_t parseMemoryTotal(std::string_view text);
// True when the drive table's "Can read DVD" line has a drive that can.
bool parseDriveTableHasDvd(std::string_view text);
// A number file of /sys: decimal, or hexadecimal with "0x"; one line. False
// for anything else.
bool parseNumberFile(std::string_view text, uint64_t& value);

struct DisplayAdapterFacts {
    bool found = false;
    uint32_t vendorId = 0; // PCI ids
    uint32_t deviceId = 0;
    uint64_t videoMemoryBytes = 0; // 0 where the driver does not say
};

// The readers, on the files below `root`.
bool readKernelVersion(const std::string& root, VersionNumbers& version); // proc/sys/kernel/osrelease
// proc/cpuinfo; the clock from the first processor's frequency table
// (sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq) when the table has none.
ProcessorTable readProcessorTable(const std::string& root);
uint64_t readMemoryTotal(const std::string& root); // proc/meminfo
bool readDvdDrivePresent(const std::string& root); // proc/sys/dev/cdrom/info
// The first graphics card of sys/class/drm (card0 to card15) whose device is
// a display controller.
DisplayAdapterFacts readDisplayAdapter(const std::string& root);

// The running system.
VersionNumbers runningKernelVersion();
ProcessorTable runningProcessorTable();
uint64_t runningMemoryTotal();

struct CpuidRegisters {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};
// Runs the processor's identification instruction for `leaf`. False on a
// processor without the instruction, or for a leaf above its highest one
// (the registers are then 0).
bool runCpuid(uint32_t leaf, CpuidRegisters& registers);

} // namespace platform
