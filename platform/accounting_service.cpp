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

std::atomic<AccountingService*>& installedAccounting()
{
    static std::atomic<AccountingService*> service { nullptr };
    return service;
}

} // namespace

AccountingService& accountingService()
{
    if (AccountingService* service = installedAccounting().load())
        return *service;
    static UnavailableAccountingService unavailable;
    return unavailable;
}

AccountingService* installAccountingService(AccountingService* replacement)
{
    return installedAccounting().exchange(replacement);
}

} // namespace platform
