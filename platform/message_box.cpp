#include "platform/message_box.h"

#include <cstdio>

namespace platform {

namespace {

class StandardErrorSink final : public MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, MessageBoxIcon) override
    {
        printMessageBox(caption, text);
    }
};

MessageBoxSink* g_installedSink = nullptr;

MessageBoxSink& defaultSink()
{
    static StandardErrorSink standardError;
    static MessageBoxSink* chosen = nullptr;
    if (!chosen) {
        chosen = displayMessageBoxSink();
        if (!chosen)
            chosen = &standardError;
    }
    return *chosen;
}

} // namespace

void printMessageBox(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

void showMessageBox(const std::string& caption, const std::string& text, MessageBoxIcon icon)
{
    MessageBoxSink& sink = g_installedSink ? *g_installedSink : defaultSink();
    sink.show(caption, text, icon);
}

MessageBoxSink* installMessageBoxSink(MessageBoxSink* sink)
{
    MessageBoxSink* previous = g_installedSink;
    g_installedSink = sink;
    return previous;
}

} // namespace platform
