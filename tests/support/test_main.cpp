#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  // As the programs do: the ODBC driver manager converts text for narrow
  // drivers by the character type locale.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
