#pragma once
// The hardware survey's record as it leaves the client: the text file
// "metrics.txt", replaced whole right after the survey, and the metrics
// packet 0xD9, sent to the login server at most once an hour when the shard
// list arrives. The hour is kept as "LastHarvestTime" under the maker's key
// of the key store; without that key, or with CollectMetrics off, nothing is
// sent. Main thread only.

#include "app/hardware_survey.h"

#include <string>

class PacketBuffer;

// The fixed length of the metrics packet.
constexpr size_t kMetricsPacketLength = 268;
// The packet is sent again once this many seconds have passed.
constexpr uint32_t kMetricsIntervalSeconds = 3600;

// The text of "metrics.txt" for a record.
std::string formatMetricsText(const HardwareSurveyRecord& record);
// Replaces "metrics.txt" (in the first data folder it can be made in) with
// the record's text; false, the old file untouched, when it cannot.
bool writeMetricsFile(const HardwareSurveyRecord& record);

bool buildMetricsPacket(PacketBuffer& buffer, const HardwareSurveyRecord& record);

// The step the shard list's handler takes first: sends the process-wide
// record on the connection of the session being dispatched (else on the
// current connection) when an hour has passed since the last sending, or
// there was none. True when the packet was sent.
bool sendMetricsHourly();
