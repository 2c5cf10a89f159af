#pragma once
// Test helpers for the MPEG audio decoder: signals made with sox, encoded with
// lame and twolame, and decoded by the reference decoder (libmpg123) through
// its public interface. A missing tool is a test failure, never a skip.

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Runs a shell command; on a non-zero exit records a failure naming the command.
bool runTool(const std::string& command);

struct ReferenceDecode {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<float> floats; // every decoded sample of every frame, from the first
    std::vector<int16_t> samples;
};

// Decodes every frame (no gapless trimming, no info-frame skipping).
ReferenceDecode referenceDecode(const std::string& bytes);

// Signal-to-noise ratio in dB of `ours` against `reference` over `count` samples.
double signalToNoise(const float* reference, const float* ours, size_t count);

} // namespace test
