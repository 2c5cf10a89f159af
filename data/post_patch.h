#pragma once
// The step that finishes a patch before the client starts: when the patcher
// left "patpat.def" in the working directory, the launcher is made to end
// (asked, then forced), the file's commands run (replace a file by another,
// set a patch number in "verinfo"), the command file is deleted whatever
// happens, and the launcher is started again in place of the client. Runs on
// the main thread before anything else exists.

#include "platform/process_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr const char* kPostPatchFile = "patpat.def";
constexpr const char* kVersionInfoFile = "verinfo";
constexpr size_t kMaxPostPatchFileSize = 1048575;
constexpr size_t kMaxVersionPairs = 512;
// The launcher gets this many one-second ticks to end by itself.
constexpr int kLauncherWaitTicks = 15;

// What the step works with: the processes, and how a program is started.
struct PostPatchEnvironment {
    platform::ProcessTable& processes;
    std::function<bool(
        const std::string& path, const std::vector<std::string>& arguments, const std::string& workingDirectory)>
        startProgram;
    // The program's directory, ending in '/'.
    std::string programDirectory;
};

bool postPatchPending();
// True when the client must not go on (the launcher takes over).
bool runPostPatchStep(PostPatchEnvironment& environment);
bool waitForLauncherExit(PostPatchEnvironment& environment);

// The program's directory followed by the file a key names: "ExePath" the
// client, "StartExePath" the launcher, "PatchExePath" the patcher,
// "InstCDPath" nothing; empty for any other key or no directory.
std::string programFilePath(const std::string& programDirectory, std::string_view key);

// Runs the commands of a command file's text, in order.
void runPostPatchCommands(std::string_view text);

struct VersionEntry {
    std::string name;
    long number = 0;
};
// The name/number pairs of a version list (a header record starting with the
// word "0" is skipped); false when the file cannot be read as one.
bool readVersionInfo(const std::string& path, std::vector<VersionEntry>& entries, size_t maximum);
// The pairs, one per line, without a header.
bool writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries);
