// The fixture of the window tests: the real main window, shown on the
// offscreen platform, on a temporary program directory, with scripted
// platform services.
#pragma once

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/program_state.h"
#include "tests/app/scripted_platform_services.h"

namespace lcr::testing {

class WindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramState state;
    ScriptedPlatformServices services;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<MainWindow>(state, services, dir.path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

}  // namespace lcr::testing
