#pragma once
// A fresh settings registry, program values and settings files with the key
// rules installed, over a client directory of its own; restored afterwards.

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "fixtures/client_directory.h"

#include <gtest/gtest.h>
#include <string>

class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture()
        : m_previousSettings(installSettings(&m_settings))
        , m_previousFiles(installConfigFiles(&m_files))
    {
        resetConfigValues();
        m_files.setRules(&settingsKeyRules());
        // Not a first play: the obscenity rule stays out of the way.
        m_files.setLoginCount(10);
    }
    ~SettingsFixture() override
    {
        installConfigFiles(m_previousFiles);
        installSettings(m_previousSettings);
        resetConfigValues();
    }
    // Writes "vo.cfg" and reads it as start-up does.
    void read(const std::string& text)
    {
        m_client.write("vo.cfg", text);
        ASSERT_TRUE(m_files.readConfigFile("vo.cfg", true));
    }

    fixture::ClientDirectory m_client;
    SettingsRegistry m_settings;
    SettingsRegistry* m_previousSettings;
    ConfigFiles m_files;
    ConfigFiles* m_previousFiles;
};
