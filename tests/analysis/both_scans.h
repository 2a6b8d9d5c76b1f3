#pragma once
// A suite whose cases run once with the vector scan allowed and once with the plain scan, so
// that both are held to the same rules on any machine.

#include <gtest/gtest.h>

#include <string>

#include "analysis/word_scanner.h"
#include "platform/processor.h"

namespace kelmarin {

class BothScansTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { SetFastPaths(GetParam() ? FastPaths::Vector : FastPaths::None); }
    void TearDown() override { SetFastPaths(FastPaths::Vector); }
};

inline std::string ScanName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Vector" : "Plain";
}

}  // namespace kelmarin
