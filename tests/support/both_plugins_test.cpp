/*
** Loading and unloading the two deliverables for a test suite.
*/
#include "both_plugins_test.h"

#include <string>

#include "test_support.h"

std::unique_ptr<LoadedPlugin> BothPluginsTest::reader_, BothPluginsTest::writer_;

void BothPluginsTest::SetUpTestSuite()
{
    std::string error;
    reader_ = LoadedPlugin::Load(BesideTestProgram(L"ics_reader.zvdll"), &error);
    ASSERT_TRUE(reader_) << error;
    writer_ = LoadedPlugin::Load(BesideTestProgram(L"ics_writer.zvdll"), &error);
    ASSERT_TRUE(writer_) << error;
}

void BothPluginsTest::TearDownTestSuite()
{
    reader_.reset();
    writer_.reset();
}
