// Decode throughput of our MPEG audio decoder against the reference decoder
// (libmpg123) on the same 60-second 128 kbit/s joint-stereo file, made with
// sox and lame when the benchmark starts. Each benchmark reports its speed as
// times real time (x_realtime); ours also report speed_vs_reference, their
// speed divided by the reference's on the same output format, the two
// decoding in turn in the same iterations.

#include "audio/mpeg_decoder.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kSeconds = 60.0;

const std::string& testFile()
{
    static const std::string bytes = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path()
            / ("vardun-mpeg-bench-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir);
        const std::string wav = (dir / "signal.wav").string();
        const std::string mp3 = (dir / "signal.mp3").string();
        const std::string command = "sox -R -n -r 44100 -c 2 -b 16 " + wav
            + " synth 60 pinknoise sine 440 gain -8 >/dev/null 2>&1 && lame --quiet -b 128 -m j " + wav + " " + mp3;
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not make the benchmark file with sox and lame\n");
            std::exit(1);
        }
        std::ifstream in(mp3, std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove_all(dir);
        return data;
    }();
    return bytes;
}

size_t decodeOurs(const std::string& bytes, SynthesisPath path, bool asFloat)
{
    static MpegAudioDecoder decoder;
    decoder.setSynthesisPath(path);
    decoder.open(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    static float floats[4608];
    static int16_t samples[4608];
    size_t total = 0;
    while (!decoder.endOfStream()) {
        const size_t got = asFloat ? decoder.readFloatSamples(floats) : decoder.readSamples(samples);
        if (got == 0)
            break;
        total += got;
    }
    benchmark::DoNotOptimize(floats);
    benchmark::DoNotOptimize(samples);
    return total;
}

size_t decodeReference(const std::string& bytes, int encoding)
{
    mpg123_init();
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, 44100, MPG123_STEREO, encoding);
    mpg123_open_feed(handle);
    mpg123_feed(handle, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    static unsigned char buffer[1 << 15];
    size_t total = 0;
    for (;;) {
        size_t done = 0;
        const int status = mpg123_read(handle, buffer, sizeof buffer, &done);
        total += done;
        if (status == MPG123_NEW_FORMAT)
            continue;
        if (status != MPG123_OK)
            break;
    }
    mpg123_delete(handle);
    benchmark::DoNotOptimize(buffer);
    return total;
}

// Processor time, not wall time: the machine may be shared.
template <typename Decode>
double timed(Decode decode)
{
    const std::clock_t start = std::clock();
    benchmark::DoNotOptimize(decode());
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void measureReference(benchmark::State& state, int encoding)
{
    const std::string& bytes = testFile();
    double seconds = 0.0;
    for (auto _ : state)
        seconds += timed([&] { return decodeReference(bytes, encoding); });
    state.counters["x_realtime"] = kSeconds * static_cast<double>(state.iterations()) / seconds;
}

// Ours, each decode of the file followed by one of the reference decoder on
// the same output format, so that both see the same load on the machine.
void measureOurs(benchmark::State& state, SynthesisPath path, bool asFloat, int encoding)
{
    const std::string& bytes = testFile();
    double seconds = 0.0;
    double referenceSeconds = 0.0;
    for (auto _ : state) {
        seconds += timed([&] { return decodeOurs(bytes, path, asFloat); });
        referenceSeconds += timed([&] { return decodeReference(bytes, encoding); });
    }
    state.counters["x_realtime"] = kSeconds * static_cast<double>(state.iterations()) / seconds;
    state.counters["speed_vs_reference"] = referenceSeconds / seconds;
}

void BM_ReferenceFloat(benchmark::State& state) { measureReference(state, MPG123_ENC_FLOAT_32); }

void BM_OursFloat(benchmark::State& state) { measureOurs(state, SynthesisPath::Float, true, MPG123_ENC_FLOAT_32); }

void BM_Reference16(benchmark::State& state) { measureReference(state, MPG123_ENC_SIGNED_16); }

void BM_Ours16(benchmark::State& state) { measureOurs(state, SynthesisPath::Float, false, MPG123_ENC_SIGNED_16); }

void BM_OursFixed16(benchmark::State& state)
{
    measureOurs(state, SynthesisPath::Fixed16, false, MPG123_ENC_SIGNED_16);
}

BENCHMARK(BM_ReferenceFloat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursFloat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursFixed16)->Unit(benchmark::kMillisecond);

} // namespace
