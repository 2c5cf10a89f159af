// Reads every frame of arbitrary bytes taken as one animation record, then
// draws each frame that was read, in every hue mode, straight and mirrored,
// with its shadow, into a small target framed by guard pixels that must stay
// untouched and outside the clip nothing may change; hit tests it; renders
// it into the sitting canvas; and resolves the input's body, state and
// facing through the lookup over bodies of every type and flag.
#include "fuzz_byte_reader.h"

#include "gfx/animation_blitter.h"
#include "gfx/animation_frame.h"
#include "world/body_animation.h"
#include "world/body_tables.h"
#include "world/sitting_mobiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kWidth = 48;
constexpr int32_t kHeight = 40;
constexpr int32_t kGuard = 64;
constexpr uint16_t kGuardValue = 0x5A5A;
constexpr size_t kSettingsBytes = 12;

int32_t near(uint8_t byte) { return fuzz::nearPosition(byte, 100); }

void drawFrame(const AnimationFrameRecord& frame, const uint8_t* settings)
{
    const int32_t anchorX = near(settings[0]);
    const int32_t anchorY = near(settings[1]);
    const ScreenRect clip { near(settings[2]) / 4, near(settings[3]) / 4, near(settings[4]) / 2, near(settings[5]) / 2 };
    std::vector<uint16_t> memory(kGuard + kWidth * kHeight + kGuard, kGuardValue);
    std::fill(memory.begin() + kGuard, memory.end() - kGuard, 0x1234);
    BlitTarget target = BlitTarget::surface(memory.data() + kGuard, kWidth, kHeight, kWidth);
    FrameHue hue { int32_t(settings[6]) * 12 - 1, (settings[7] & 1) != 0, (settings[7] & 2) != 0 };
    for (bool mirrored : { false, true }) {
        blitFrameRuns(target, clip, mirrored, hue, anchorX, anchorY, frame.palette, frame.pixelData);
        blitFrameShadow(target, clip, mirrored, anchorX, anchorY, frame.pixelData);
        hitTestFrameRuns(near(settings[8]), near(settings[9]), mirrored, anchorX, anchorY, frame.pixelData);
    }
    for (int32_t i = 0; i < kGuard; ++i)
        fuzz::require(memory[size_t(i)] == kGuardValue && memory[memory.size() - 1 - size_t(i)] == kGuardValue);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            fuzz::require(clip.contains(x, y) || *target.at(x, y) == 0x1234);
    sittingCanvas().clear();
    sittingCanvas().renderFrame(uint16_t(settings[6] << 8 | settings[7]), frame, (settings[7] & 4) != 0);
}

void resolve(FuzzByteReader& input)
{
    static bool typesLoaded = false;
    if (!typesLoaded) {
        // Every type with every flag the lookup tests, alone and together.
        std::string text;
        const char* words[] = { "MONSTER", "SEA_MONSTER", "ANIMAL", "HUMAN", "EQUIPMENT" };
        for (int32_t body = 1; body < 2048; ++body)
            text += std::to_string(body) + " " + words[body % 5] + " " + std::to_string(body * 37 % 0x8000) + "\n";
        bodyTypes().load(text);
        typesLoaded = true;
    }
    AnimationState state;
    int32_t body = int32_t(input.u16());
    state.directionByte = input.u8();
    state.stepCounter = int32_t(input.u32());
    // A mobile's frame is 16 bits wide, or -1 while no action plays.
    uint16_t serverFrame = input.u16();
    state.serverFrame = serverFrame == 0xFFFF ? -1 : serverFrame;
    state.action = input.u16();
    state.repetition = input.u16();
    state.running = input.u8() & 1;
    state.standingStill = input.u8() & 1;
    int32_t index = 0;
    int32_t frame = 0;
    resolveMobileAnimation(body, state, nullptr, index, frame);
    fuzz::require(frame >= 0);
    resolveCorpseAnimation(body, state.directionByte, index, frame);
    int32_t sittingFacing = state.directionByte & 7;
    sittingAnimationIndex(body, sittingFacing, index, frame);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kSettingsBytes)
        return 0;
    FuzzByteReader settings(data, kSettingsBytes);
    std::span<const uint8_t> record(data + kSettingsBytes, size - kSettingsBytes);
    for (int32_t frameNumber = -1; frameNumber < 40; ++frameNumber) {
        int32_t count = -1;
        std::optional<AnimationFrameRecord> frame = readAnimationFrame(record, 0, frameNumber, &count);
        if (!frame)
            continue;
        fuzz::require(frameNumber < count);
        fuzz::require(measureFrameRuns(frame->pixelData) == frame->pixelData.size());
        fuzz::require(frame->pixelData.data() >= record.data()
            && frame->pixelData.data() + frame->pixelData.size() <= record.data() + record.size());
        drawFrame(*frame, data);
    }
    resolve(settings);
    return 0;
}
