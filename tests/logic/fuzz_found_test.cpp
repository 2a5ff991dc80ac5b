// Inputs the fuzz targets found faults with, kept so that the faults stay mended.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "export/html_page_rules.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

std::string TotalLine(const std::vector<html::PageFile>& files) {
  const std::string page = html::BuildFileListPage(files, html::PageOptions{}, "T", std::nullopt,
                                                   [](std::int64_t) { return std::string(); });
  const std::size_t at = page.find("Totlal: ");
  return at == std::string::npos ? std::string() : page.substr(at, page.find("\r\n", at) - at);
}

// Sparse files may claim sizes near the 64-bit limit; their sum must not wrap round to a
// negative total (which was also undefined behaviour).
TEST(FuzzFoundTest, PageTotalOfHugeSparseFilesStopsAtTheLimit) {
  EXPECT_EQ(TotalLine({{"a", kMax, 0}, {"b", kMax, 0}}),
            "Totlal: <B>" + std::to_string(kMax / 1024) + "</B> KBytes in <B>2</B> files");
  EXPECT_EQ(TotalLine({{"a", kMax - 2048, 0}, {"b", 1024, 0}}),
            "Totlal: <B>" + std::to_string((kMax - 1024) / 1024) + "</B> KBytes in <B>2</B> files");
}

}  // namespace
