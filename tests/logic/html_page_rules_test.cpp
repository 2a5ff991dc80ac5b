// The HTML file list page: its lines for each choice of columns, the style element, the totals,
// and names that must not turn into markup or invalid UTF-8.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/html_page_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

namespace {

using html::PageFile;
using html::PageOptions;

const std::string kHead = "<HTML><HEAD><META charset=\"utf-8\">";
const std::string kEnd = "</BODY>";

std::string FakeDate(std::int64_t mtime) {
  return "D" + std::to_string(mtime);
}

std::vector<std::string> PageLines(const std::vector<PageFile>& files, const PageOptions& options,
                                   std::string_view title = "T",
                                   const std::optional<std::string>& style = std::nullopt) {
  const std::string page = html::BuildFileListPage(files, options, title, style, FakeDate);
  EXPECT_TRUE(page.size() >= 2 && page.substr(page.size() - 2) == "\r\n");
  // Every line ends in CR LF: no lone LF anywhere outside a style text.
  if (!style) {
    for (std::size_t i = 0; i < page.size(); ++i) {
      if (page[i] == '\n') {
        EXPECT_TRUE(i > 0 && page[i - 1] == '\r') << "at " << i;
      }
    }
  }
  return platform::SplitLines(page);
}

TEST(FileListPage, WholePageWithoutStyleOrColumns) {
  const std::vector<PageFile> files = {{"a.txt", 1023, 0}, {"b.bin", 1025, 0}};
  EXPECT_EQ(PageLines(files, {"/d/", false, false, false}, "My files"),
            (std::vector<std::string>{
                "<HTML><HEAD><META charset=\"utf-8\">",
                "<TITLE>My files</TITLE></HEAD>",
                "<BODY><CENTER><BIG><B>My files</B></BIG></CENTER><HR>"
                "<TABLE WIDTH=\"100%\" ALIGN=\"CENTER\">",
                "<TR><TD>a.txt</TD></TR>",
                "<TR><TD>b.bin</TD></TR>",
                "</TABLE>",
                // 2048 bytes in all: the total is not the sum of the rounded rows (0 + 1).
                "<HR>Totlal: <B>2</B> KBytes in <B>2</B> files",
                "</BODY>",
                "</HTML>",
            }));
}

TEST(FileListPage, RowsForEachChoiceOfColumns) {
  const std::vector<PageFile> one = {{"x.doc", 5000, 77}};
  const struct {
    PageOptions options;
    const char* row;
  } cases[] = {
      {{"/home/ann/", true, false, false}, "<TR><TD>/home/ann/x.doc</TD></TR>"},
      {{"/home/ann/", false, true, false}, "<TR><TD>x.doc</TD><TD>D77</TD></TR>"},
      {{"/home/ann/", false, false, true}, "<TR><TD>x.doc</TD><TD>4 KBytes</TD></TR>"},
      {{"/home/ann/", true, true, true},
       "<TR><TD>/home/ann/x.doc</TD><TD>D77</TD><TD>4 KBytes</TD></TR>"},
      {{"", true, false, false}, "<TR><TD>x.doc</TD></TR>"},  // working directory: bare names
  };
  for (const auto& c : cases) {
    const auto lines = PageLines(one, c.options);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], c.row);
  }
}

TEST(FileListPage, StyleElementOnlyWithAStyle) {
  const PageOptions options{"/d/", false, false, false};
  auto lines = PageLines({}, options, "", std::string("BODY\r\n\t{COLOR : red}\r\n"));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], kHead);
  EXPECT_EQ(lines[1], "<STYLE>");
  EXPECT_EQ(lines[2], "BODY");
  EXPECT_EQ(lines[3], "\t{COLOR : red}");
  EXPECT_EQ(lines[4], "</STYLE>");
  // An empty title gives an empty title element and an empty heading.
  EXPECT_EQ(lines[5], "<TITLE></TITLE></HEAD>");
  EXPECT_EQ(lines[6],
            "<BODY><CENTER><BIG><B></B></BIG></CENTER><HR><TABLE WIDTH=\"100%\" ALIGN=\"CENTER\">");

  // A style whose last line has no line break still closes on a line of its own.
  lines = PageLines({}, options, "", std::string("P\r\n\t{}"));
  EXPECT_EQ(lines[3], "\t{}");
  EXPECT_EQ(lines[4], "</STYLE>");
  lines = PageLines({}, options, "", std::string());
  EXPECT_EQ(lines[1], "<STYLE>");
  EXPECT_EQ(lines[2], "</STYLE>");

  // An empty table when there are no files.
  lines = PageLines({}, options);
  EXPECT_EQ(lines[1], "<TITLE>T</TITLE></HEAD>");
  EXPECT_EQ(lines[3], "</TABLE>");
  EXPECT_EQ(lines[4], "<HR>Totlal: <B>0</B> KBytes in <B>0</B> files");
}

TEST(FileListPage, SizesAndTotalsBeyondThirtyTwoBits) {
  const std::int64_t big = 5'000'000'000;  // 4882812.5 KB
  const std::vector<PageFile> files = {{"big.iso", big, 0}, {"huge.img", big, 0}};
  const auto lines = PageLines(files, {"/d/", false, false, true});
  EXPECT_EQ(lines[3], "<TR><TD>big.iso</TD><TD>4882812 KBytes</TD></TR>");
  EXPECT_EQ(lines[6], "<HR>Totlal: <B>9765625</B> KBytes in <B>2</B> files");
}

TEST(FileListPage, HostileNamesStayText) {
  const std::vector<PageFile> files = {{"<script>alert('x')</script>.htm", 0, 0},
                                       {"a&b \"q\".txt", 0, 0},
                                       {"caf\xE9 \xFF.txt", 0, 0}};
  const auto lines = PageLines(files, {"/we<b>/", true, false, false}, "<i>Mine</i> & more");
  EXPECT_EQ(lines[1], "<TITLE>&lt;i&gt;Mine&lt;/i&gt; &amp; more</TITLE></HEAD>");
  EXPECT_NE(lines[2].find("<B>&lt;i&gt;Mine&lt;/i&gt; &amp; more</B>"), std::string::npos);
  EXPECT_EQ(lines[3],
            "<TR><TD>/we&lt;b&gt;/&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;.htm</TD></TR>");
  EXPECT_EQ(lines[4], "<TR><TD>/we&lt;b&gt;/a&amp;b &quot;q&quot;.txt</TD></TR>");
  // Bytes that are not UTF-8 show as replacement marks, so the page stays valid UTF-8.
  EXPECT_EQ(lines[5], "<TR><TD>/we&lt;b&gt;/caf\xEF\xBF\xBD \xEF\xBF\xBD.txt</TD></TR>");
}

TEST(EscapeHtml, KeepsValidUtf8AndReplacesEveryInvalidByte) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain.txt", "plain.txt"},
      {"\xD0\x9F\xD1\x80\xD0\xB8.txt", "\xD0\x9F\xD1\x80\xD0\xB8.txt"},  // Cyrillic
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                          // four bytes
      {"caf\xE9.txt", "caf\xEF\xBF\xBD.txt"},                            // Latin-1 e-acute
      {"\xFF\xFE", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xC0\xBC", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong "<"
      {"\xE0\x80\xBC", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong "<", three bytes
      {"\xF0\x80\x80\xBC", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // four bytes
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // surrogate
      {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short at the end
      {"\xE2\x82<", "\xEF\xBF\xBD\xEF\xBF\xBD&lt;"},
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(html::EscapeHtml(c.in), c.out) << c.in;
}

class DateColumnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = getenv("TZ");
    had_tz_ = tz != nullptr;
    if (had_tz_) old_tz_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (had_tz_) {
      setenv("TZ", old_tz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_tz_ = false;
  std::string old_tz_;
};

TEST_F(DateColumnTest, DateAndTimeAtTwoSecondPrecisionAndMidnightAlone) {
  int days_formatted = 0;
  html::DateColumn column(
      {[&](int y, int m, int d) {
         ++days_formatted;
         return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
       },
       [](int h, int m, int s, const std::string& zone) {
         return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) + " " + zone;
       }});
  const std::int64_t day = 1'700'006'400;  // 15.11.2023 00:00:00 UTC
  EXPECT_EQ(column.Text(day), "15.11.2023");
  EXPECT_EQ(column.Text(day + 1), "15.11.2023");  // 00:00:01 counts as midnight
  EXPECT_EQ(column.Text(day + 2), "15.11.2023 0:0:2 UTC");
  EXPECT_EQ(column.Text(day + 13 * 3600 + 5 * 60 + 59), "15.11.2023 13:5:58 UTC");
  EXPECT_EQ(column.Text(day + 86399), "15.11.2023 23:59:58 UTC");
  EXPECT_EQ(days_formatted, 1);
  EXPECT_EQ(column.Text(day + 86400 + 10), "16.11.2023 0:0:10 UTC");
  EXPECT_EQ(column.Text(day - 1), "14.11.2023 23:59:58 UTC");
  EXPECT_EQ(days_formatted, 3);
}

TEST(ListPageFiles, OrdinaryFilesOnlyWithSizeAndTime) {
  TempDir dir;
  dir.CreateFile("one.txt", std::string(3000, 'x'));
  dir.CreateFile("noext", "ab");
  dir.CreateFile(".hidden", "secret");
  dir.CreateDir("sub");
  dir.CreateDir("sub.txt");
  auto files = html::ListPageFiles(dir.Slash());
  std::sort(files.begin(), files.end(),
            [](const PageFile& a, const PageFile& b) { return a.name < b.name; });
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "noext");
  EXPECT_EQ(files[0].size, 2);
  EXPECT_EQ(files[1].name, "one.txt");
  EXPECT_EQ(files[1].size, 3000);
  EXPECT_GT(files[1].mtime, 1'600'000'000);

  EXPECT_TRUE(html::ListPageFiles(dir.Slash() + "missing/").empty());
}

}  // namespace

TEST(ListPageFiles, InTheFileListsNameOrder) {
  TempDir dir;
  for (const char* name : {"file_10.txt", "File_2.txt", "b", "a.txt"}) dir.CreateFile(name);
  std::vector<std::string> names;
  for (const PageFile& file : html::ListPageFiles(dir.Slash())) names.push_back(file.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b", "File_2.txt", "file_10.txt"}));
}
