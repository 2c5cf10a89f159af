#pragma once
// The fixture of the tests that run the whole program headless on the sample
// data as a player meets it against the test server: a client directory with
// the sample set, the pointer following on the tick, a fixed time zone and
// language (the shard list's zone sort and a few texts depend on them), and a
// headless close long after the player's script should have closed the
// window itself.

#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

namespace app_test {

class HeadlessClientTest : public ::testing::Test {
protected:
    // `closeAfterMs`: the safety net, in the client's milliseconds.
    explicit HeadlessClientTest(const char* closeAfterMs)
        : headless("VARDUN_HEADLESS", "1")
        , closeAfter("VARDUN_HEADLESS_CLOSE_MS", closeAfterMs)
        , timeZone("TZ", "UTC")
        , language("LC_ALL", "C")
    {
        fixture::writeSampleDataSet(client.path());
        client.write("vo.cfg", "MouseThread=off\n");
    }

    fixture::ClientDirectory client;
    test::ScopedEnvironment headless;
    test::ScopedEnvironment closeAfter;
    test::ScopedEnvironment timeZone;
    test::ScopedEnvironment language;
};

} // namespace app_test
