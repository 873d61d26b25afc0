// The picture page /Img through the real program: the default picture fitted
// into the box, the security-code picture (fresh on every request and never
// cached), and the types that send nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "context/jpeg_codec.h"
#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

TRgbImage Picture(int width, int height) {
  TRgbImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<size_t>(width) * height * 3, 200);
  return image;
}

class ImagePage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site = new Deployment();
    site->WriteFile("tessaro0.ini",
                    "[OPTIONS]\npath_to_templates=templates\npgERROR=error.html\ndefault_jpeg_image=nic.jpg\n");
    site->WriteFile("templates/error.html", "ERROR <#tag_errormessage>\n");
    site->WriteFile("templates/nic.jpg", EncodeJpeg(Picture(400, 300)));
  }
  static void TearDownTestSuite() {
    delete site;
    site = nullptr;
  }
  static CgiResponse Get(const std::string& query) { return site->Get("/Img", query, {{"HTTP_COOKIE", kSession}}); }
  static Deployment* site;
};
Deployment* ImagePage::site = nullptr;

TEST_F(ImagePage, DefaultPictureIsFittedIntoTheBox) {
  struct Case {
    std::string query;
    int width, height;
  } cases[] = {
      {"IMGType=0&IMGW=40&IMGH=40", 40, 30},
      {"IMGW=0&IMGH=50", 67, 50},
      {"IMGW=-5&IMGH=-5", 400, 300},
      {"IMGW=1000&IMGH=1000", 400, 300},
  };
  for (const Case& c : cases) {
    CgiResponse r = Get(c.query);
    EXPECT_EQ(r.Header("Content-Type"), "image/jpeg") << c.query;
    std::optional<TRgbImage> picture = DecodeJpeg(r.body);
    ASSERT_TRUE(picture) << c.query << "\n" << r.raw.substr(0, 300);
    EXPECT_EQ(picture->Width, c.width) << c.query;
    EXPECT_EQ(picture->Height, c.height) << c.query;
  }
}

TEST_F(ImagePage, WithoutTheDefaultFileTheJpegBodyIsEmptyAndOtherTypesSendNothing) {
  Deployment bare;
  bare.WriteFile("tessaro0.ini", "[OPTIONS]\ndefault_jpeg_image=missing.jpg\n");
  CgiResponse missing = bare.Get("/Img", "IMGType=0", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(missing.Header("Content-Type"), "image/jpeg");
  EXPECT_EQ(missing.body, "");
  for (std::string type : {"2", "7"}) {
    CgiResponse r = Get("IMGType=" + type);
    EXPECT_EQ(r.exit_code, 0) << type;
    EXPECT_EQ(r.body, "") << type;
  }
}

TEST_F(ImagePage, SecurityCodePictureIsDrawnAnewEachTimeAndNeverCached) {
  CgiResponse first = Get("IMGType=1");
  CgiResponse second = Get("IMGType=1");
  EXPECT_EQ(first.Header("Content-Type"), "image/jpeg") << first.raw.substr(0, 400);
  EXPECT_EQ(first.Header("Cache-Control"), "no-store");
  std::optional<TRgbImage> picture = DecodeJpeg(first.body);
  ASSERT_TRUE(picture);
  // Twice the text's height, and at least as wide as four characters.
  EXPECT_GE(picture->Height, 76);
  EXPECT_LE(picture->Height, 84);
  EXPECT_GT(picture->Width, picture->Height);
  int inked = 0;
  for (size_t i = 0; i + 2 < picture->Pixels.size(); i += 3)
    if (picture->Pixels[i] + picture->Pixels[i + 1] + picture->Pixels[i + 2] < 300) ++inked;
  EXPECT_GT(inked, 100);
  EXPECT_NE(first.body, second.body);

  std::optional<TRgbImage> boxed = DecodeJpeg(Get("IMGType=1&IMGW=50&IMGH=20").body);
  ASSERT_TRUE(boxed);
  EXPECT_LE(boxed->Width, 50);
  EXPECT_EQ(boxed->Height, 20);
}

}  // namespace
}  // namespace tessaro::testing
