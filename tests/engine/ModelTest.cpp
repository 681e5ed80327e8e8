#include <gtest/gtest.h>
#include "model/RoundNumber.h"
namespace tarvik { TEST(RoundNumber, Basic) { EXPECT_EQ(RoundNumber(0.125, 2), 0.13); } }
