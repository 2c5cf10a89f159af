#include "platform/accounting_service.h"

#include <atomic>

namespace platform {

namespace {

class UnavailableAccountingService final : public AccountingService {
public:
    bool isAvailable() const override { return false; }
    bool sendPingMessage(const std::string&, int32_t, const std::string&, const std::string&) override
    {
        return false;
    }
};

std::atomic<AccountingService*>& installed()
{
    static std::atomic<AccountingService*> service { nullptr };
    return service;
}

} // namespace

AccountingService& accountingService()
{
    if (AccountingService* service = installed().load())
        return *service;
    static UnavailableAccountingService unavailable;
    return unavailable;
}

AccountingService* installAccountingService(AccountingService* replacement) { return installed().exchange(replacement); }

} // namespace platform
