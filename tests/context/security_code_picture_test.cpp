// The security-code picture: a font that cannot be opened is reported as the
// picture's own failure, and the characters are laid out one after another.
#include "context/security_code_picture.h"

#include <gtest/gtest.h>

#include "util/exception.h"

namespace tessaro {
namespace {

TEST(SecurityCodePicture, AFontThatCannotBeOpenedIsReportedAsFONT) {
  for (const std::string& file : {std::string("/nonexistent/font.ttf"), std::string("/etc/hostname")}) {
    try {
      DrawSecurityCodePicture("1234", file);
      ADD_FAILURE() << file;
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "FONT") << file;
    }
  }
}

TEST(SecurityCodePicture, IsTwiceTheTextHighAndGrowsWithTheText) {
  const TRgbImage four = DrawSecurityCodePicture("1234");
  const TRgbImage eight = DrawSecurityCodePicture("12341234");
  EXPECT_EQ(four.Height, eight.Height);
  EXPECT_GE(four.Height, 76);
  EXPECT_LE(four.Height, 84);
  // Each character moves on by at least half its smallest height.
  EXPECT_GE(eight.Width - four.Width, 4 * 11);
  EXPECT_EQ(four.Pixels.size(), static_cast<size_t>(four.Width) * four.Height * 3);
}

}  // namespace
}  // namespace tessaro
