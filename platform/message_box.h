#pragma once
// Modal message boxes with one OK button. Texts are UTF-8 here; the client's
// narrow and wide texts are converted by the caller. The sink is process-wide:
// app/ leaves the default (an SDL box when a display exists, else standard
// error) and tests install a RecordingMessageBoxSink through ScopedMessageBoxSink.

#include <string>
#include <vector>

namespace platform {

enum class MessageBoxIcon {
    None,
    Information,
    Warning,
    Error,
};

class MessageBoxSink {
public:
    virtual ~MessageBoxSink() = default;
    virtual void show(const std::string& caption, const std::string& text, MessageBoxIcon icon) = 0;
};

// Shows a box through the current sink; returns when the player closed it.
void showMessageBox(const std::string& caption, const std::string& text, MessageBoxIcon icon = MessageBoxIcon::None);

MessageBoxSink* installMessageBoxSink(MessageBoxSink* sink);

// A box as a line on standard error: the default without a display, and the
// fallback when a display cannot show the box after all.
void printMessageBox(const std::string& caption, const std::string& text);

// The display backend's box (an SDL box), or null when no display can be used.
MessageBoxSink* displayMessageBoxSink();

struct RecordedMessageBox {
    std::string caption;
    std::string text;
    MessageBoxIcon icon;
};

class RecordingMessageBoxSink final : public MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, MessageBoxIcon icon) override
    {
        boxes.push_back({ caption, text, icon });
    }
    std::vector<RecordedMessageBox> boxes;
};

class ScopedMessageBoxSink {
public:
    explicit ScopedMessageBoxSink(MessageBoxSink& sink)
        : m_previous(installMessageBoxSink(&sink))
    {
    }
    ~ScopedMessageBoxSink() { installMessageBoxSink(m_previous); }
    ScopedMessageBoxSink(const ScopedMessageBoxSink&) = delete;
    ScopedMessageBoxSink& operator=(const ScopedMessageBoxSink&) = delete;

private:
    MessageBoxSink* m_previous;
};

} // namespace platform
