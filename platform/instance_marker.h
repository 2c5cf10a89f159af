#pragma once
// Named single-instance markers: the client's way of noticing other running
// copies of itself. A marker is a lock file "<runtime dir>/vardun/<name>.lock"
// held with flock, so the kernel releases it when the holder dies, even on a
// crash. Main thread only.

#include <memory>
#include <string>

namespace platform {

// The directory holding the marker files ($XDG_RUNTIME_DIR/vardun, or a
// per-user directory under /tmp). VARDUN_RUNTIME_DIR overrides it (tests).
std::string instanceMarkerDirectory();

class InstanceMarker {
public:
    ~InstanceMarker();
    InstanceMarker(const InstanceMarker&) = delete;
    InstanceMarker& operator=(const InstanceMarker&) = delete;

    // True when the marker `name` is held. flock locks belong to open files,
    // not processes, so a marker this process holds counts as held too.
    static bool probe(const std::string& name);

    // Takes the marker exclusively and holds it until destroyed. Null when
    // another process already holds it (`existedBefore` is then true) or the
    // file cannot be made.
    static std::unique_ptr<InstanceMarker> acquire(const std::string& name, bool& existedBefore);

    // Joins the marker as one holder among many and returns, through
    // `othersHolding`, whether any other process held it when we joined.
    static std::unique_ptr<InstanceMarker> join(const std::string& name, bool& othersHolding);

private:
    explicit InstanceMarker(int descriptor);
    int m_descriptor;
};

} // namespace platform
