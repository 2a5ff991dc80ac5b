// The listing reports each entry it reads, so that a window can keep answering through a huge
// directory; the listed result is the same with or without the report.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/listing_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(ListingProgress, EveryEntryReadIsReportedAndTheListIsUnchanged) {
  TempDir dir;
  for (int i = 0; i < 600; ++i) dir.CreateFile("f" + std::to_string(i));
  dir.CreateDir("sub");
  std::vector<std::string> plain, reported;
  const std::size_t found = app::FillFileList(dir.Slash(), "*.*", plain);
  int calls = 0;
  EXPECT_EQ(app::FillFileList(dir.Slash(), "*.*", reported, [&] { ++calls; }), found);
  EXPECT_EQ(reported, plain);
  EXPECT_EQ(found, 602u);  // the files, "sub/" and "../"
  EXPECT_EQ(calls, 602);
}

}  // namespace
