#include "data/login_servers.h"
#include "fixtures/client_directory.h"

#include <gtest/gtest.h>

namespace {

struct DottedCase {
    const char* name;
    const char* text;
    bool dotted;
    uint32_t address;
    uint16_t port;
};

class DottedAddress : public testing::TestWithParam<DottedCase> { };

TEST_P(DottedAddress, NeedsFourGroupsAndAPortOfFourOrFiveDigits)
{
    const DottedCase& row = GetParam();
    uint32_t address = 0;
    uint16_t port = 0;
    EXPECT_EQ(isDottedAddress(row.text, &address, &port), row.dotted);
    if (row.dotted) {
        EXPECT_EQ(address, row.address);
        EXPECT_EQ(port, row.port);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, DottedAddress,
    testing::Values(DottedCase { "FourDigitPort", "10.0.0.1,7775", true, 0x0A000001, 7775 },
        DottedCase { "FiveDigitPort", "192.168.1.20,12000", true, 0xC0A80114, 12000 },
        DottedCase { "ThreeDigitPort", "10.0.0.1,775", false, 0, 0 },
        DottedCase { "SixDigitPort", "10.0.0.1,123456", false, 0, 0 }, DottedCase { "NoPort", "10.0.0.1", false, 0, 0 },
        DottedCase { "ThreeGroups", "10.0.1,7775", false, 0, 0 },
        DottedCase { "LongGroup", "1000.0.0.1,7775", false, 0, 0 },
        DottedCase { "HostName", "login.example,7775", false, 0, 0 }, DottedCase { "Empty", "", false, 0, 0 }),
    [](const testing::TestParamInfo<DottedCase>& row) { return std::string(row.param.name); });

TEST(LoginServerList, KeepsEightEntriesAndNamesForLaterResolution)
{
    LoginServerList list;
    list.append("10.0.0.1,7775");
    list.append("10.0.0.1,775");
    for (int i = 0; i < 10; ++i)
        list.append("spare.example,7775");
    EXPECT_EQ(list.count, 8);
    EXPECT_EQ(list.entries[0].address, 0x0A000001u);
    EXPECT_EQ(list.entries[0].port, 7775);
    EXPECT_TRUE(list.entries[0].hostName.empty());
    EXPECT_EQ(list.entries[1].address, 0u);
    EXPECT_EQ(list.entries[1].hostName, "10.0.0.1,775");
}

TEST(LoginServerList, ResolvingANameGivesItsAddressAndThePortAfterTheComma)
{
    uint32_t address = 0;
    uint16_t port = 0;
    ASSERT_TRUE(resolveServerAddress("localhost,2593", address, port));
    EXPECT_EQ(address >> 24, 127u);
    EXPECT_EQ(port, 2593);
    // A name that does not resolve leaves the address as it was.
    address = 77;
    EXPECT_FALSE(resolveServerAddress("no-such-host.invalid,1", address, port));
    EXPECT_EQ(address, 77u);
}

TEST(LoginServerList, FileLinesFillBothListsAndStartTheIndex)
{
    fixture::ClientDirectory client;
    client.write("login.cfg",
        "LoginServer=10.0.0.1,7775\nloginserver=10.0.0.2,7776\nBackupLoginServer=10.0.0.9,7777\n"
        "AcctID=someone\n");
    LoginServerList saved = loginServers();
    LoginServerList savedBackup = backupLoginServers();
    int32_t savedIndex = loginServerIndex();
    loginServers() = {};
    backupLoginServers() = {};
    loginServerIndex() = -1;
    ASSERT_TRUE(loadLoginServerFile("login.cfg"));
    EXPECT_EQ(loginServers().count, 2);
    EXPECT_EQ(loginServers().entries[1].address, 0x0A000002u);
    EXPECT_EQ(backupLoginServers().count, 1);
    EXPECT_EQ(loginServerIndex(), 0);
    loginServers() = saved;
    backupLoginServers() = savedBackup;
    loginServerIndex() = savedIndex;
}

} // namespace
