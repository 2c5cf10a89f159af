#include "core/error_report.h"

#include "core/text_console.h"
#include "core/wide_text.h"
#include "platform/instance_marker.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace {

// The level bits of each report; a box is shown only when both kShowBoxBits
// are set, which only the fatal level has.
constexpr uint8_t kFatalLevel = 63;
constexpr uint8_t kErrorLevel = 31;
constexpr uint8_t kMessageLevel = 21;
constexpr uint8_t kShowBoxBits = 0x20 | 0x08;

constexpr size_t kReportTextSize = 2048;
// A fatal report ends the process as a failure.
constexpr int kFatalExitCode = 1;

struct ReporterState {
    bool opened = false;
    bool closed = false;
    int32_t instanceCount = 0;
    char text[kReportTextSize] = {};
    std::unique_ptr<platform::InstanceMarker> reportMarker;
    std::unique_ptr<TextConsole> console;
};

ReporterState& reporter()
{
    static ReporterState state;
    return state;
}

[[noreturn]] void endFatally(const char* text)
{
    platform::showMessageBox("fatal: ", narrowToUtf8String(text), platform::MessageBoxIcon::Error);
    platform::orderlyExit(kFatalExitCode);
}

void report(uint8_t level, const char* caption, const char* format, va_list arguments)
{
    if (!format && caption[0] == '\0')
        return;
    ReporterState& state = reporter();
    state.text[0] = '\0';
    if (format) {
        // vsnprintf cuts the text at 2047 characters and always terminates it.
        std::vsnprintf(state.text, sizeof state.text, format, arguments);
    }
    if (!state.opened)
        reporterOpen();
    if ((level & kShowBoxBits) == kShowBoxBits)
        platform::showMessageBox(caption, narrowToUtf8String(state.text), platform::MessageBoxIcon::Error);
    if (level == kFatalLevel)
        platform::orderlyExit(kFatalExitCode);
}

} // namespace

void reporterOpen()
{
    ReporterState& state = reporter();
    if (!state.opened) {
        // A report after the exit clean-ups closed the reporter is a fault of
        // its own; it ends the process here rather than reopening.
        if (state.closed)
            endFatally("");
        state.opened = true;
        // Every copy joins the marker "report" and holds it for the whole run,
        // so a later copy finds it held.
        bool othersHolding = false;
        state.reportMarker = platform::InstanceMarker::join("report", othersHolding);
        state.instanceCount = othersHolding ? 1 : 0;
    }
    if (!state.console)
        state.console = std::make_unique<TextConsole>();
}

void reporterClose()
{
    ReporterState& state = reporter();
    if (state.opened && !state.closed) {
        state.opened = false;
        state.closed = true;
    }
}

int32_t reporterInstanceCount() { return reporter().instanceCount; }

TextConsole* reporterConsole() { return reporter().console.get(); }

void reportFatal(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    report(kFatalLevel, "fatal: ", format, arguments);
    va_end(arguments);
    // report() never returns from a fatal report; this tells the compiler so.
    platform::orderlyExit(kFatalExitCode);
}

void reportError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    report(kErrorLevel, "error: ", format, arguments);
    va_end(arguments);
}

void reportMessage(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    report(kMessageLevel, "message: ", format, arguments);
    va_end(arguments);
}

void reportPlain(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    report(kMessageLevel, "", format, arguments);
    va_end(arguments);
}
