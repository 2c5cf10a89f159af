#pragma once
// Test helpers for the MPEG audio decoder: signals made with sox, encoded with
// lame and twolame, and decoded by the reference decoder (libmpg123) through
// its public interface. A missing tool is a test failure, never a skip.

#include <cstdint>
#include <string>
#include <vector>

namespace test {

class TempDir;

// Runs a shell command; on a non-zero exit records a failure naming the command.
bool runTool(const std::string& command);

struct ReferenceDecode {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<float> floats; // every decoded sample of every frame, from the first
    std::vector<int16_t> samples;
};

// Makes a signal with sox (`synth` holds the synth effect's arguments) and
// encodes it with `encoder`, a command with {in} and {out}; empty on failure.
std::string makeEncodedFile(
    const TempDir& dir, int rate, int channels, const std::string& synth, const std::string& encoder);

// Byte offsets of a stream's frames, found by walking the frame headers.
std::vector<size_t> frameOffsets(const std::string& bytes);

// Decodes a whole stream with our decoder, carrying on after short reads
// until the end (with a bound, so that a decoder that never ends fails).
std::vector<float> decodeAllFloat(const std::string& bytes, bool fixed16 = false);
std::vector<int16_t> decodeAll16(const std::string& bytes, bool fixed16 = false);

// Decodes every frame (no gapless trimming, no info-frame skipping).
ReferenceDecode referenceDecode(const std::string& bytes);

// Signal-to-noise ratio in dB of `ours` against `reference` over `count` samples.
double signalToNoise(const float* reference, const float* ours, size_t count);

} // namespace test
