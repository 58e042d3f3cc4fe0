// A test fixture: a scratch home whose configuration folder holds the settings, the
// environment given back afterwards, the application title set and serverPort at 8088.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/gui/gadgets.h"
#include "platform/testing/scratch.h"
#include "receiver/server.h"

class SettingsHome : public testing::Test {
  protected:
    void SetUp() override {
        savedConfigHome_ = Saved("XDG_CONFIG_HOME");
        savedHome_ = Saved("HOME");
        SetEnvironment("XDG_CONFIG_HOME", ConfigFolder().c_str());
        SetEnvironment("HOME", (scratch_.path() + "/home").c_str());
        SetAppTitle(u"Harkenwire");
        serverPort = 8088;
    }
    void TearDown() override {
        SetEnvironment("XDG_CONFIG_HOME", savedConfigHome_ ? savedConfigHome_->c_str() : nullptr);
        SetEnvironment("HOME", savedHome_ ? savedHome_->c_str() : nullptr);
        serverPort = 8088;
    }

    // The user's configuration folder, the settings folder in it and the settings file.
    std::string ConfigFolder() const { return scratch_.path() + "/config"; }
    std::string SettingsFolderPath() const { return ConfigFolder() + "/Harkenwire"; }
    std::string SettingsFile() const { return SettingsFolderPath() + "/Harkenwire.txt"; }

  private:
    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }

    ScratchFolder scratch_;
    std::optional<std::string> savedConfigHome_;
    std::optional<std::string> savedHome_;
};
