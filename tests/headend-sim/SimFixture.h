#pragma once
// A simulated head-end on a pseudo-terminal, linked as COM1 in a fresh temporary working directory, so
// that port index 0 reaches it.
#include "HeadendSimulator.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace simtest {

class SimTest : public ::testing::Test {
protected:
    // Starts a simulator playing `devices`; call at the start of a test (before opening a port).
    headend::Simulator& startSim(std::vector<headend::DeviceConfig> devices = {headend::DeviceConfig {}}) {
        headend::Simulator::Options options;
        options.directory = m_Dir.path();
        options.devices = std::move(devices);
        m_Sim = std::make_unique<headend::Simulator>(options);
        std::string error;
        EXPECT_TRUE(m_Sim->start(&error)) << error;
        return *m_Sim;
    }
    headend::Simulator& sim() { return *m_Sim; }

    TempWorkDir m_Dir;
    std::unique_ptr<headend::Simulator> m_Sim;
};

}  // namespace simtest
