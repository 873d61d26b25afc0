#include "settings/web_app_options.h"

#include <gtest/gtest.h>

#include <string>
#include <typeindex>
#include <vector>

#include "settings/published_visitors.h"

namespace tessaro {
namespace {

std::vector<std::string> PropertyNames(const TPublishedObject& object) {
  std::vector<std::string> names;
  for (const auto& property : object.PublishedProperties().Properties()) names.push_back(property->Name());
  return names;
}

TEST(WebAppOptionsTest, KeysAndTheirValuesAfterConstruction) {
  TWebAppOptions options;
  EXPECT_EQ(PropertyNames(options),
            (std::vector<std::string>{"bad_login", "bad_logineng", "cookie_expires", "global_banners",
                                      "header_csp_frame_ancestors", "header_frame_options", "header_nosniff",
                                      "header_referrer_policy", "initial_table_rows", "path_to_templates", "pgLOGIN",
                                      "pgLOGINeng", "pgLOGOK", "pgLOGOKeng", "Port", "script_base_url",
                                      "simple_pages_ids", "SSLPort", "table_empty"}));
  // Empty texts and lists are not written, so this is every value that is not empty.
  TStrings written;
  WritePublishedToStrings(options, written, true);
  EXPECT_EQ(written.Items(),
            (std::vector<std::string>{"cookie_expires=1", "header_csp_frame_ancestors=1", "header_frame_options=1",
                                      "header_nosniff=1", "header_referrer_policy=1", "initial_table_rows=25", "Port=0",
                                      "SSLPort=0"}));
  // The constructor and the declared defaults agree, so nothing at its default is stored.
  for (const auto& property : options.PublishedProperties().Properties())
    EXPECT_TRUE(property->IsDefault(options)) << property->Name();
  EXPECT_TRUE(options.LoginPath.empty());
}

struct ModuleA {};
struct ModuleB {};
struct ModuleFromA : ModuleA {};

class WebAppOptionsManagerTest : public ::testing::Test {
 protected:
  void TearDown() override { manager_.Clear(); }
  TWebAppOptionsManager& manager_ = TWebAppOptionsManager::Instance();
};

TEST_F(WebAppOptionsManagerTest, OneOptionsObjectPerExactModuleClass) {
  manager_.Clear();
  EXPECT_EQ(manager_.Find(typeid(ModuleA)), nullptr);

  TWebAppOptions* a = manager_.Register(typeid(ModuleA), std::make_unique<TWebAppOptions>());
  TWebAppOptions* b = manager_.Register(typeid(ModuleB), std::make_unique<TWebAppOptions>());
  EXPECT_EQ(manager_.Find(typeid(ModuleA)), a);
  EXPECT_EQ(manager_.Find(typeid(ModuleB)), b);
  EXPECT_EQ(manager_.Find(typeid(ModuleFromA)), nullptr);  // a derived class is another class

  // Registering a class again replaces its options in place.
  auto replacement = std::make_unique<TWebAppOptions>();
  replacement->table_empty = "second";
  TWebAppOptions* a2 = manager_.Register(typeid(ModuleA), std::move(replacement));
  EXPECT_EQ(manager_.Find(typeid(ModuleA)), a2);
  EXPECT_EQ(manager_.Find(typeid(ModuleA))->table_empty, "second");
  ASSERT_EQ(manager_.Containers().size(), 2u);
  EXPECT_EQ(manager_.Containers()[0]->ModuleClass, std::type_index(typeid(ModuleA)));

  manager_.Clear();
  EXPECT_EQ(manager_.Find(typeid(ModuleB)), nullptr);
  EXPECT_TRUE(manager_.Containers().empty());
}

}  // namespace
}  // namespace tessaro
