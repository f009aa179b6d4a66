#pragma once
// Fixture: the built module loaded through HostSession, one effect created, as a host does it.

#include "host/HostSession.h"

#include <gtest/gtest.h>

class LoadedPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.load(QX_MODULE_PATH)) << host.error();
        effect = host.create();
        ASSERT_NE(effect, nullptr);
    }
    qxhost::HostSession host;
    AEffect* effect = nullptr;
};
