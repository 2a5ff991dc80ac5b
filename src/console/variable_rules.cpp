#include "console/variable_rules.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "console/command_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace console {

namespace {

constexpr size_t kNpos = std::string::npos;

// A callback the caller left empty answers with an empty text.
std::string Ask(const std::function<std::string()>& ask) {
  return ask ? ask() : std::string();
}

void Print(const VariableSource& source, const std::string& line) {
  if (source.print) source.print(line);
}

// The text being substituted, as a run of pieces: the caller's own text (with the values of
// external variables, which later lines may replace again) and the values of built-in variables,
// which reach the result as they are. A path from $THIS or $DIR that happens to hold "$TMP" must
// never be turned into another path.
struct Piece {
  std::string text;
  std::string upper;  // `text` upper-cased, kept for open pieces
  bool open = true;   // may still be replaced
};
using Pieces = std::vector<Piece>;

Piece OpenPiece(std::string text) {
  Piece piece;
  piece.upper = UpperAscii(text);
  piece.text = std::move(text);
  return piece;
}

Piece ClosedPiece(std::string_view value) {
  Piece piece;
  piece.text = std::string(value);
  piece.open = false;
  return piece;
}

std::string Join(const Pieces& pieces) {
  size_t size = 0;
  for (const Piece& piece : pieces) size += piece.text.size();
  std::string out;
  out.reserve(size);
  for (const Piece& piece : pieces) out += piece.text;
  return out;
}

bool OpenTextContains(const Pieces& pieces, std::string_view upper_name) {
  for (const Piece& piece : pieces) {
    if (piece.open && piece.upper.find(upper_name) != kNpos) return true;
  }
  return false;
}

// Replaces occurrences of `name` in the open pieces by `value`, which becomes a closed piece.
// `name` matches without regard to ASCII case, or, with `exact`, only as written; with
// `first_only` only the first occurrence goes.
void CloseOccurrences(Pieces& pieces, std::string_view name, std::string_view value, bool exact,
                      bool first_only) {
  const std::string upper_name = UpperAscii(name);
  const bool found = std::any_of(pieces.begin(), pieces.end(), [&](const Piece& piece) {
    return piece.open && (exact ? piece.text.find(name) : piece.upper.find(upper_name)) != kNpos;
  });
  if (!found) return;  // the usual case: most names are in no text
  Pieces out;
  bool done = false;
  for (Piece& piece : pieces) {
    const std::string& haystack = exact ? piece.text : piece.upper;
    const std::string_view needle = exact ? name : std::string_view(upper_name);
    size_t pos = (!piece.open || done) ? kNpos : haystack.find(needle);
    if (pos == kNpos) {
      out.push_back(std::move(piece));
      continue;
    }
    size_t from = 0;
    while (pos != kNpos) {
      if (pos > from) out.push_back(OpenPiece(piece.text.substr(from, pos - from)));
      out.push_back(ClosedPiece(value));
      from = pos + needle.size();
      if (first_only) {
        done = true;
        break;
      }
      pos = haystack.find(needle, from);
    }
    if (from < piece.text.size()) out.push_back(OpenPiece(piece.text.substr(from)));
  }
  pieces = std::move(out);
}

// Position of `name` in `upper`, an upper-case text, comparing `name` upper-cased; npos when
// absent. Works without copying the name, as it runs for every line of the variables file.
size_t FindInUpper(std::string_view upper, std::string_view name) {
  const char first = ToUpperAscii(name.front());
  for (size_t pos = upper.find(first); pos != kNpos; pos = upper.find(first, pos + 1)) {
    if (upper.size() - pos < name.size()) return kNpos;
    size_t k = 1;
    while (k < name.size() && upper[pos + k] == ToUpperAscii(name[k])) ++k;
    if (k == name.size()) return pos;
  }
  return kNpos;
}

// Tells quickly whether a name can occur in the open pieces at all, so that the many lines of a
// long variables file whose names are absent cost the length of their name rather than a search
// of the whole text. It keeps the hashes of every window of the open text for each name length
// asked; a replacement makes them stale. While the text keeps changing (or for a short file) the
// lines are searched directly, which costs less than building the hashes again each time.
class OpenTextIndex {
 public:
  explicit OpenTextIndex(const Pieces& pieces) : pieces_(pieces), open_size_(OpenSize()) {}

  // False only when the name (ASCII case ignored) is certainly absent.
  bool MayContain(std::string_view name) {
    // A short text is searched faster than its hashes are made.
    if (open_size_ < kIndexFrom) return true;
    if (lines_since_change_ < kDirectLines) {
      ++lines_since_change_;
      return true;
    }
    const size_t length = name.size();
    auto it = windows_.find(length);
    if (it == windows_.end()) {
      if (entries_ + open_size_ > kMaxEntries) return true;  // too big to index: search directly
      it = windows_.emplace(length, Build(length)).first;
    }
    return it->second.count(Hash(name)) != 0;
  }

  void Invalidate() {
    windows_.clear();
    entries_ = 0;
    lines_since_change_ = 0;
    open_size_ = OpenSize();
  }

 private:
  static constexpr std::uint64_t kBase = 0x100000001b3ULL;
  static constexpr int kDirectLines = 64;
  static constexpr size_t kIndexFrom = 512;
  static constexpr size_t kMaxEntries = size_t{1} << 22;

  static std::uint64_t Hash(std::string_view name) {
    std::uint64_t h = 0;
    for (char c : name) h = h * kBase + static_cast<unsigned char>(ToUpperAscii(c));
    return h;
  }

  size_t OpenSize() const {
    size_t size = 0;
    for (const Piece& piece : pieces_) size += piece.open ? piece.upper.size() : 0;
    return size;
  }

  std::unordered_set<std::uint64_t> Build(size_t length) {
    std::unordered_set<std::uint64_t> set;
    set.reserve(open_size_);
    std::uint64_t top = 1;  // kBase to the power length - 1, for dropping the oldest byte
    for (size_t i = 1; i < length; ++i) top *= kBase;
    for (const Piece& piece : pieces_) {
      const std::string& text = piece.upper;
      if (!piece.open || text.size() < length) continue;
      std::uint64_t h = 0;
      for (size_t i = 0; i < text.size(); ++i) {
        if (i >= length) h -= top * static_cast<unsigned char>(text[i - length]);
        h = h * kBase + static_cast<unsigned char>(text[i]);
        if (i + 1 >= length) set.insert(h);
      }
    }
    entries_ += set.size();
    return set;
  }

  const Pieces& pieces_;
  size_t open_size_;
  std::unordered_map<size_t, std::unordered_set<std::uint64_t>> windows_;
  size_t entries_ = 0;
  int lines_since_change_ = 0;
};

// Applies the external lines to the open pieces, top to bottom: each line replaces the first
// occurrence of its name, found without regard to case, by its value as written. The rest of the
// text keeps its case, since it often holds file names. A value stays open, so a later line may
// replace a name that it brings in.
template <typename Lines>
void ApplyExternal(Pieces& pieces, const Lines& lines) {
  OpenTextIndex index(pieces);
  for (const std::string_view line : lines) {
    const size_t eq = line.find('=');
    if (eq == kNpos || eq == 0) continue;
    const std::string_view name = line.substr(0, eq);
    if (!index.MayContain(name)) continue;
    for (Piece& piece : pieces) {
      const size_t pos = piece.open ? FindInUpper(piece.upper, name) : kNpos;
      if (pos == kNpos) continue;
      // The value ends at the first ";" of the line; without one after the "=" it is empty.
      const size_t semi = line.find(';');
      std::string_view value;
      if (semi != kNpos && semi > eq) value = line.substr(eq + 1, semi - eq - 1);
      piece.text.replace(pos, name.size(), value);
      piece.upper.replace(pos, name.size(), value);
      for (size_t i = pos; i < pos + value.size(); ++i)
        piece.upper[i] = ToUpperAscii(piece.upper[i]);
      index.Invalidate();
      break;
    }
  }
}

}  // namespace

std::string ReplaceVariables(std::string_view text, const VariableSource& source) {
  return ReplaceVariables(std::vector<TextPart>{{std::string(text), true}}, source);
}

std::string ReplaceVariables(const std::vector<TextPart>& parts, const VariableSource& source) {
  Pieces pieces;
  for (const TextPart& part : parts) {
    if (part.text.empty()) continue;
    if (part.open && !pieces.empty() && pieces.back().open) {
      pieces.back() = OpenPiece(pieces.back().text + part.text);
    } else {
      pieces.push_back(part.open ? OpenPiece(part.text) : ClosedPiece(part.text));
    }
  }
  // The dialogs answer only to the names written in capitals in the text as it was passed in.
  auto passed_in = [&pieces](std::string_view name) {
    return std::any_of(pieces.begin(), pieces.end(), [name](const Piece& piece) {
      return piece.open && piece.text.find(name) != kNpos;
    });
  };
  const bool asks_open = passed_in("$OPENDL");
  const bool asks_save = passed_in("$SAVEDL");

  auto replace = [&](std::string_view name, std::string_view value) {
    CloseOccurrences(pieces, name, value, false, false);
  };
  // Values that cost something to get (clock, dialogs) are fetched only when asked for.
  auto replace_asked = [&](std::string_view name, const std::function<std::string()>& ask) {
    if (OpenTextContains(pieces, name)) replace(name, Ask(ask));
  };

  replace("$STSBTN", source.start_button);
  replace("$DIR", source.current_dir);
  replace("{N}", "\n\r");
  replace("$EXE", source.program_dir);
  replace_asked("$INPUT", source.ask_input);
  replace("$VARFN", kVarFileName);
  replace("$THIS", source.current_file);
  replace_asked("$DATE", source.date);
  replace_asked("$TIME", source.time);
  replace_asked("$SYSDIR", source.system_dir);

  // Each dialog fills the first place only.
  for (const auto& [name, ask, asked] : {std::tuple{"$OPENDL", &source.ask_open_file, asks_open},
                                         std::tuple{"$SAVEDL", &source.ask_save_file, asks_save}}) {
    if (!asked) continue;
    const std::string file = Ask(*ask);
    if (file.empty()) Print(source, "> Hint: File name is NULL");
    CloseOccurrences(pieces, name, file, true, true);
  }

  if (source.external_lines != nullptr) {
    ApplyExternal(pieces, *source.external_lines);
    return Join(pieces);
  }
  std::optional<std::string> file_text;
  if (source.read_external) file_text = source.read_external();
  if (!file_text) {
    Print(source, std::string("> Warning: Varable file \"") + kVarFileName + "\"does not exist!");
    return Join(pieces);
  }
  ApplyExternal(pieces, platform::SplitLineViews(*file_text));
  return Join(pieces);
}

}  // namespace console
