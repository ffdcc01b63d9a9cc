// The QApplication of a test program that opens real windows: made once
// before the tests with the program's private settings and dialog fonts,
// and never ended by a closed window (only the logic ends the loop).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

#include "platform/environment.h"

namespace prismview::test {

class QtApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override {
        settings_ = std::make_unique<PrivateSettings>();  // nothing of the user's configuration is touched
        SubstituteDialogFonts();
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        app_.reset();
        settings_.reset();
    }

private:
    std::unique_ptr<PrivateSettings> settings_;
    std::unique_ptr<QApplication> app_;
};

}  // namespace prismview::test
