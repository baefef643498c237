#include "engine/CCopyEstimate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace
{
struct EstimateCase
{
    std::int32_t size;
    long copySeconds;
    long explodeSeconds;
};

class CopyEstimateTest : public ::testing::TestWithParam<EstimateCase>
{
};

TEST_P(CopyEstimateTest, TruncatesSizeTimesTheRateAndDoublesTheTruncatedValueForTheArchive)
{
    EXPECT_EQ(CCopyEstimate::CopySeconds(GetParam().size), GetParam().copySeconds);
    EXPECT_EQ(CCopyEstimate::ExplodeSeconds(GetParam().size), GetParam().explodeSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CopyEstimateTest,
    ::testing::Values(EstimateCase{4194304, 132, 264}, EstimateCase{0, 0, 0},
                      EstimateCase{31607, 0, 0}, EstimateCase{31608, 1, 2},
                      // 1.99 s truncates to 1 before doubling: 2, not 3.
                      EstimateCase{63000, 1, 2}, EstimateCase{63217, 2, 4},
                      EstimateCase{std::numeric_limits<std::int32_t>::max(), 67941, 135882},
                      // A size that wrapped below zero gives no negative duration.
                      EstimateCase{-4194304, 0, 0}));
} // namespace
