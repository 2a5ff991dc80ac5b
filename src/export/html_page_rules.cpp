#include "export/html_page_rules.h"

#include <algorithm>

#include <ctime>
#include <limits>

#include "app/entry_order_rules.h"
#include "platform/enumerate.h"

namespace html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one
// (stray continuation bytes, overlong forms, surrogates and values beyond U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

void AppendKilobytes(std::string& out, std::int64_t bytes) {
  out += std::to_string(bytes / 1024);
}

}  // namespace

std::vector<PageFile> ListPageFiles(const std::string& path) {
  std::vector<PageFile> files;
  platform::EnumOptions options;
  options.details = true;
  platform::EnumerateEntries(path + "*.*", options, [&](const platform::DirEntry& entry) {
    if (entry.is_dir || entry.hidden) return;
    files.push_back({entry.name, entry.size, entry.mtime});
  });
  // The page lists the files in the file list's name order.
  const app::EntryOrder order;
  std::vector<std::pair<app::EntryOrder::Key, std::size_t>> keyed;
  for (std::size_t i = 0; i < files.size(); ++i)
    keyed.emplace_back(order.MakeKey(files[i].name), i);
  std::sort(keyed.begin(), keyed.end(),
            [&](const auto& a, const auto& b) { return order.Less(a.first, b.first); });
  std::vector<PageFile> sorted;
  sorted.reserve(files.size());
  for (const auto& [key, i] : keyed) sorted.push_back(std::move(files[i]));
  return sorted;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    switch (text[i]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default: {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
          out += kReplacement;
          ++i;
        } else {
          out.append(text, i, length);
          i += length;
        }
        continue;
      }
    }
    ++i;
  }
  return out;
}

std::string DateColumn::Text(std::int64_t mtime) {
  // The packed file date of the original platform keeps seconds in steps of two.
  mtime -= ((mtime % 2) + 2) % 2;
  std::tm local{};
  const auto t = static_cast<std::time_t>(mtime);
  localtime_r(&t, &local);
  const long long key = static_cast<long long>(local.tm_year) * 400 + local.tm_yday;
  if (key != day_key_) {
    day_key_ = key;
    day_text_ = format_.date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  }
  if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) return day_text_;
  zone_.assign(local.tm_zone ? local.tm_zone : "");
  return day_text_ + ' ' + format_.time(local.tm_hour, local.tm_min, local.tm_sec, zone_);
}

std::string BuildFileListPage(const std::vector<PageFile>& files, const PageOptions& options,
                              std::string_view title, const std::optional<std::string>& style,
                              const std::function<std::string(std::int64_t)>& date_text) {
  const std::string safe_title = EscapeHtml(title);
  const std::string safe_path = options.full_path ? EscapeHtml(options.path) : std::string();
  std::string page;
  page.reserve(files.size() * (40 + safe_path.size()) + (style ? style->size() : 0) + 512);
  page += "<HTML><HEAD><META charset=\"utf-8\">\r\n";
  if (style) {
    page += "<STYLE>\r\n";
    page += *style;
    if (!style->empty() && style->back() != '\n' && style->back() != '\r') page += "\r\n";
    page += "</STYLE>\r\n";
  }
  page += "<TITLE>" + safe_title + "</TITLE></HEAD>\r\n";
  page += "<BODY><CENTER><BIG><B>" + safe_title +
          "</B></BIG></CENTER><HR><TABLE WIDTH=\"100%\" ALIGN=\"CENTER\">\r\n";

  constexpr std::int64_t kMaxTotal = std::numeric_limits<std::int64_t>::max();
  std::int64_t total = 0;
  std::int64_t count = 0;
  for (const PageFile& file : files) {
    ++count;
    // Sparse files can claim sizes near the 64-bit limit: the total stops at the largest value
    // instead of wrapping round to a negative number.
    if (__builtin_add_overflow(total, file.size, &total)) total = kMaxTotal;
    page += "<TR><TD>";
    page += safe_path;
    page += EscapeHtml(file.name);
    page += "</TD>";
    if (options.date) {
      page += "<TD>";
      page += date_text(file.mtime);
      page += "</TD>";
    }
    if (options.size) {
      page += "<TD>";
      AppendKilobytes(page, file.size);
      page += " KBytes</TD>";
    }
    page += "</TR>\r\n";
  }

  page += "</TABLE>\r\n";
  page += "<HR>Totlal: <B>";
  AppendKilobytes(page, total);
  page += "</B> KBytes in <B>" + std::to_string(count) + "</B> files\r\n";
  page += "</BODY>\r\n</HTML>\r\n";
  return page;
}

}  // namespace html
