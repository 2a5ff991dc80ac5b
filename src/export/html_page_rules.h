#pragma once

// The HTML file list page as plain functions: which files a directory contributes, how names are
// made safe for markup, and the page text itself.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// One listed file, with its size in bytes and last write time in seconds since the epoch.
struct PageFile {
  std::string name;  // bytes as the file system holds them
  std::int64_t size = 0;
  std::int64_t mtime = 0;
};

// The ordinary files of `path` + "*.*" (directories and hidden files left out), in the order the
// file system reports them. An empty `path` lists the working directory; a directory that does
// not exist gives none.
std::vector<PageFile> ListPageFiles(const std::string& path);

// The text with "&", "<", ">", '"' and "'" written as character references, and every byte that
// is not part of valid UTF-8 written as U+FFFD, so that the result is valid UTF-8 markup text.
std::string EscapeHtml(std::string_view text);

// How the date column writes a local date and time of day; the window gives the locale's short
// date and long time formats. `zone` is the abbreviation of the time zone in force at that time.
struct DateFormat {
  std::function<std::string(int year, int month, int day)> date;
  std::function<std::string(int hour, int minute, int second, const std::string& zone)> time;
};

// The date column's text for a last write time: the local date, a space and the time of day,
// at two-second precision; a time of exactly midnight gives the date alone. Remembers the last
// day it formatted, as the files of one directory mostly share a few days.
class DateColumn {
 public:
  explicit DateColumn(DateFormat format) : format_(std::move(format)) {}
  std::string Text(std::int64_t mtime);

 private:
  DateFormat format_;
  long long day_key_ = -1;
  std::string day_text_;
  std::string zone_;
};

struct PageOptions {
  std::string path;        // the listed directory as the user sees it, ending in the delimiter
  bool full_path = false;  // write `path` in front of each name
  bool date = false;       // add the date column
  bool size = false;       // add the size column
};

// The whole page, each line followed by CR LF: the style element only when `style` is given
// (its text unchanged, closed on a line of its own), the title, one table row per file, and the
// total in kilobytes (the exact byte total divided by 1024) with the number of files.
// `date_text` writes the date column (see DateColumn) and is called only when it is asked for.
std::string BuildFileListPage(const std::vector<PageFile>& files, const PageOptions& options,
                              std::string_view title, const std::optional<std::string>& style,
                              const std::function<std::string(std::int64_t)>& date_text);

}  // namespace html
