#include "app/survey_report.h"

#include "data/managed_files.h"
#include "data/settings_registry.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "platform/clock.h"
#include "platform/key_store.h"

namespace {

constexpr uint8_t kMetricsPacketId = 0xD9;
constexpr uint8_t kMetricsFormatVersion = 2;

// The record's text fields are printable ASCII; anything else is shown as '?', so that
// no field can break the lines of the file.
template <size_t N> std::string metricsFieldText(const std::array<char16_t, N>& field)
{
    std::string text;
    for (char16_t unit : field) {
        if (unit == 0)
            break;
        text.push_back(unit >= 0x20 && unit < 0x7F ? char(unit) : '?');
    }
    return text;
}

std::string metricsNumber(uint32_t value) { return std::to_string(value); }

} // namespace

std::string formatMetricsText(const HardwareSurveyRecord& record)
{
    const char* partial = (record.installFlags & kMapFileMissing) ? "yes" : "no";
    const char* dvd = (record.installFlags & kDvdDrivePresent) ? "yes" : "no";
    std::string text;
    text += "Instance Id: " + metricsNumber(record.instanceId) + "\n\n";
    text += "OS Version: " + metricsNumber(record.osMajor) + "." + metricsNumber(record.osMinor) + "."
        + metricsNumber(record.osBuild) + "\n\n";
    text += "CPU Manufacturer: " + metricsNumber(record.cpuVendor) + "\n";
    text += "CPU Family: " + metricsNumber(record.cpuFamily) + "\n";
    text += "CPU Model: " + metricsNumber(record.cpuModel) + "\n";
    text += "CPU Clock Speed: " + metricsNumber(record.cpuMhz) + "MHz\n";
    text += "CPU Quantity: " + metricsNumber(record.processorCount) + "\n\n";
    text += "Physical Memory: " + metricsNumber(record.physicalMemoryMiB) + "MB\n\n";
    text += "Desktop Resolution and Color Depth: " + metricsNumber(record.desktopWidth) + "x"
        + metricsNumber(record.desktopHeight) + "x" + metricsNumber(record.colourDepth) + "\n";
    text += "DirectX Version: " + metricsNumber(record.directXMajor) + "." + metricsNumber(record.directXMinor) + "\n";
    text += "Video Card Description: " + metricsFieldText(record.adapterDescription) + "\n";
    text += "Video Card Vendor Id: " + metricsNumber(record.adapterVendorId) + "\n";
    text += "Video Card Device Id: " + metricsNumber(record.adapterDeviceId) + "\n";
    text += "Video Card Memory: " + metricsNumber(record.videoMemoryMiB) + "MB\n\n";
    text += "Distribution: " + metricsNumber(record.distribution) + "\n";
    text += "Client Running: " + metricsNumber(record.clientRunning) + "\n";
    text += "Clients Installed: " + metricsNumber(record.clientsInstalled) + "\n";
    text += std::string("Partial Install: ") + partial + "\n\n";
    text += "Language Preference: " + metricsFieldText(record.language) + "\n\n";
    text += std::string("DVD-ROM drive: ") + dvd + "\n";
    return text;
}

bool writeMetricsFile(const HardwareSurveyRecord& record)
{
    return writeManagedFile("metrics.txt", formatMetricsText(record));
}

bool buildMetricsPacket(PacketBuffer& buffer, const HardwareSurveyRecord& record)
{
    packetBegin(buffer, kMetricsPacketId);
    packetPutByte(buffer, kMetricsFormatVersion);
    packetPutLong(buffer, record.instanceId);
    packetPutLong(buffer, record.osMajor);
    packetPutLong(buffer, record.osMinor);
    packetPutLong(buffer, record.osBuild);
    packetPutByte(buffer, record.cpuVendor);
    packetPutLong(buffer, record.cpuFamily);
    packetPutLong(buffer, record.cpuModel);
    packetPutLong(buffer, record.cpuMhz);
    packetPutByte(buffer, record.processorCount);
    packetPutLong(buffer, record.physicalMemoryMiB);
    packetPutLong(buffer, record.desktopWidth);
    packetPutLong(buffer, record.desktopHeight);
    packetPutLong(buffer, record.colourDepth);
    packetPutShort(buffer, record.directXMajor);
    packetPutShort(buffer, record.directXMinor);
    packetPutWideString(buffer, record.adapterDescription.data(), record.adapterDescription.size());
    packetPutLong(buffer, record.adapterVendorId);
    packetPutLong(buffer, record.adapterDeviceId);
    packetPutLong(buffer, record.videoMemoryMiB);
    packetPutByte(buffer, record.distribution);
    packetPutByte(buffer, record.clientRunning);
    packetPutByte(buffer, record.clientsInstalled);
    packetPutByte(buffer, record.installFlags);
    packetPutWideString(buffer, record.language.data(), record.language.size());
    packetPutBytes(buffer, record.reserved.data(), record.reserved.size());
    return !buffer.failed() && buffer.position() == kMetricsPacketLength;
}

bool sendMetricsHourly()
{
    const uint32_t now = platform::clock().unixSeconds();
    platform::KeyStore& store = platform::keyStore();
    if (settings().getBoolSetting(u"CollectMetrics") == 0 || !store.keyExists(kMakerKeyPath))
        return false;
    uint32_t last = 0;
    // A time in the future (a clock set back) holds the packet until an hour
    // after it; counted in 64 bits so that a time near the end of the 32-bit
    // range does not wrap round to "long ago".
    if (store.readDword(kMakerKeyPath, kLastHarvestTimeValue, last)
        && uint64_t(now) < uint64_t(last) + kMetricsIntervalSeconds)
        return false;
    PacketStorage<kMetricsPacketLength> packet;
    bool sent = false;
    if (buildMetricsPacket(packet, hardwareSurvey())) {
        ShardSession* session = currentSession();
        sent = session && session->connection ? session->connection->queuePacket(packet) : sendPacket(packet);
    }
    store.writeDword(kMakerKeyPath, kLastHarvestTimeValue, now);
    return sent;
}
