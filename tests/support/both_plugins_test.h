/*
** A fixture base for tests that drive the shipped deliverables: ics_reader and
** ics_writer are loaded once per test suite from beside the test program, as the host
** loads them, and unloaded after it.
*/
#ifndef BOTH_PLUGINS_TEST_H
#define BOTH_PLUGINS_TEST_H

#include <gtest/gtest.h>

#include <memory>

#include "plugin_harness.h"

class BothPluginsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static bool BothLoaded() { return reader_ && writer_; }
    static LoadedPlugin &Reader() { return *reader_; }
    static LoadedPlugin &Writer() { return *writer_; }

private:
    static std::unique_ptr<LoadedPlugin> reader_, writer_;
};

#endif
