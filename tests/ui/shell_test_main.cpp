#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui/shell_modal_helper.h"
#include "ui/application.h"

namespace {

class EndOfTest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { ++kelmarin::test::TestGeneration(); }
};

}  // namespace

// Like the shared Qt test main, but with the program's own application object: the shell's
// failure handling lives in its event dispatch.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    kelmarin::TApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new EndOfTest);
    return RUN_ALL_TESTS();
}
