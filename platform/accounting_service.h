#pragma once
// The accounting service of internet game rooms: a closed library of some
// installations that takes one kind of report (a text, a number, a text and
// a query string) and answers whether it accepted it. No such service exists
// on this platform, so the process-wide service answers "not available" and
// refuses every report; callers then take the failure path they already
// have. Tests install a stand-in. Reports are made from worker threads; the
// service is installed on the main thread before any of them starts.

#include <cstdint>
#include <string>

namespace platform {

class AccountingService {
public:
    virtual ~AccountingService() = default;
    virtual bool isAvailable() const = 0;
    // One report; true when the service accepted it.
    virtual bool sendPingMessage(
        const std::string& textA, int32_t number, const std::string& textB, const std::string& query)
        = 0;
};

// The service in use: the unavailable one unless another was installed.
AccountingService& accountingService();
// Installs `replacement` (null goes back to the unavailable one); returns the
// previous one.
AccountingService* installAccountingService(AccountingService* replacement);

} // namespace platform
