#include "machine/material_store.h"

#include <sys/stat.h>

#include <climits>
#include <functional>

#include "support/machine_fixture.h"

namespace cm {
namespace {

class MaterialStoreTest : public test::MachineTest {};

TEST_F(MaterialStoreTest, ReadsSkipWhiteSpaceAndWritesAreBareDigits) {
  writeFile(kWaterFile, "  250\n");
  EXPECT_EQ(waterInterface(), 250);
  EXPECT_EQ(waterData, 250);

  renewWater(250);
  EXPECT_EQ(readFile(kWaterFile), "250");
  renewBean(7);
  EXPECT_EQ(readFile(kBeanFile), "7");
  EXPECT_EQ(beanData, 0) << "a level write leaves the register alone";
}

TEST_F(MaterialStoreTest, NegativeLevelsPassThroughUnchanged) {
  renewPowder(-5);
  EXPECT_EQ(readFile(kPowderFile), "-5");
  EXPECT_EQ(powderInterface(), -5);
  EXPECT_EQ(powderData, -5);
}

TEST_F(MaterialStoreTest, EveryReadGoesToTheFile) {
  writeFile(kBeanFile, "100");
  EXPECT_EQ(beanInterface(), 100);
  writeFile(kBeanFile, "40");
  EXPECT_EQ(beanInterface(), 40);
  EXPECT_EQ(beanData, 40);
}

// On a screen; a level a sequence checks is 0 only when its file is missing.
TEST_F(MaterialStoreTest, MissingEmptyOrGarbageFilesReadAsZero) {
  beanData = 55;
  EXPECT_EQ(beanInterface(), 0);
  EXPECT_EQ(beanData, 0);
  EXPECT_FALSE(exists(kBeanFile)) << "a read never creates a level file";
  writeFile(kPowderFile, "7");
  ASSERT_TRUE(readBrewLevels());
  EXPECT_EQ(powderData + beanData + waterData, 7);

  // Not a plain file: a read that fails at once. A link is read through, never replaced.
  const auto water = folder_ / kWaterFile;
  const std::pair<std::function<void()>, const char*> notFiles[] = {
      {[&] { std::filesystem::create_directory(water); }, "Is a directory"},
      {[&] { ASSERT_EQ(::mkfifo(water.c_str(), 0644), 0); }, "not a regular file"},
      {[&] { std::filesystem::create_symlink("/dev/zero", water); }, "not a regular file"}};
  for (const auto& [make, reason] : notFiles) {
    make();
    EXPECT_EQ(waterInterface() + readCleaningWater(), 0) << reason;
    EXPECT_EQ(lastFileFailure->said(), std::string("cannot read waterSensor.txt: ") + reason);
    EXPECT_FALSE(renewWater(100));
    std::filesystem::remove(water);
  }
  writeFile("elsewhere.txt", "300");
  std::filesystem::create_symlink("elsewhere.txt", water);
  EXPECT_EQ(waterInterface() + renewWater(100), 300);
  EXPECT_EQ(lastFileFailure->said(), "cannot write waterSensor.txt: it is a symbolic link");
  EXPECT_TRUE(std::filesystem::is_symlink(water) && readFile("elsewhere.txt") == "300");
  // Nor is a file with a second name, or one its mode forbids writing.
  std::filesystem::remove(water);
  std::filesystem::create_hard_link("elsewhere.txt", water);
  EXPECT_EQ(waterInterface() + renewWater(100), 300);
  EXPECT_EQ(lastFileFailure->said(), "cannot write waterSensor.txt: it has more than one name");
  std::filesystem::remove("elsewhere.txt");
  std::filesystem::permissions(water, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  EXPECT_EQ(waterInterface() + renewWater(100), 300);
  EXPECT_EQ(lastFileFailure->said(), "cannot write waterSensor.txt: Permission denied");
  std::filesystem::remove(water);

  for (const char* content : {"", "   \n", "abc", "-", "\xff\xfe"}) {
    writeFile(kWaterFile, content);
    waterData = 9;
    EXPECT_EQ(waterInterface(), 0) << '"' << content << '"';
    EXPECT_EQ(waterData, 0);
  }
}

TEST_F(MaterialStoreTest, TrailingTextIsIgnoredAndHugeNumbersSaturate) {
  writeFile(kPowderFile, "8 grams");
  EXPECT_EQ(powderSensor(), 8);
  writeFile(kPowderFile, "123456789012345");
  EXPECT_EQ(powderSensor(), INT_MAX);
  writeFile(kPowderFile, "2147483648");
  EXPECT_EQ(powderSensor(), INT_MAX);
  writeFile(kPowderFile, "-123456789012345");
  EXPECT_EQ(powderSensor(), INT_MIN);
  writeFile(kPowderFile, std::string(1100 * 1024, ' ') + "8");
  EXPECT_EQ(powderSensor(), 8) << "a level file is read whole, past 1 MiB";
}

}  // namespace
}  // namespace cm
