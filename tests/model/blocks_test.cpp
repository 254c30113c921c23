#include "model/blocks.h"

#include <gtest/gtest.h>

namespace qdx {
namespace {

TEST(Blocks, SizesAreFixedAndZeroFilled) {
  ProjectImage image;
  EXPECT_EQ(image.size(), 1'796'856u);
  EXPECT_EQ(PasswordBlock::size(), 550u);
  EXPECT_EQ(PidTable::size(), 1'360u);
  EXPECT_TRUE(std::all_of(image.data(), image.data() + image.size(), [](auto b) { return b == 0; }));
}

}  // namespace
}  // namespace qdx
