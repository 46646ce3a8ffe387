#include "journal_text.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace cm {

const KeptFile* keptFile(std::span<const KeptFile> files, std::string_view name) {
  const auto kept = std::find_if(files.begin(), files.end(), [name](const KeptFile& f) { return f.path == name; });
  return kept == files.end() ? nullptr : &*kept;
}

namespace {

// Reads the journal's text; every read fails once, and stays failed.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return pos_ >= text_.size(); }
  std::size_t pos() const { return pos_; }

  // Up to the next space or line end, which is left for expect().
  std::string_view word() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ' ' && text_[pos_] != '\n') ++pos_;
    ok_ = ok_ && pos_ > start;
    return text_.substr(start, pos_ - start);
  }
  template <typename Number>
  Number number(int base = 10) {
    const std::string_view text = word();
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    ok_ = ok_ && error == std::errc{} && end == text.data() + text.size();
    return value;
  }
  bool next(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  void expect(char c) { ok_ = next(c) && ok_; }
  std::string_view take(std::size_t n) {
    ok_ = ok_ && n <= text_.size() - pos_;
    if (!ok_) return {};
    pos_ += n;
    return text_.substr(pos_ - n, n);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

std::optional<Entry> parseBody(std::string_view body, std::span<const KeptFile> files) {
  Cursor in(body);
  Entry entry;
  while (in.ok() && !in.atEnd()) {
    const std::string_view kind = in.word();
    in.expect(' ');
    const std::string path(in.word());
    const KeptFile* const kept = keptFile(files, path);
    if (!kept) return std::nullopt;
    if (kind == "write") {
      in.expect(' ');
      const bool existed = !in.next('-');
      const auto beforeSize = existed ? in.number<std::size_t>() : 0;
      in.expect(' ');
      const auto afterSize = in.number<std::size_t>();
      in.expect('\n');
      std::optional<std::string> before;
      if (existed) before = std::string(in.take(beforeSize));
      std::string after(in.take(afterSize));
      in.expect('\n');
      entry.writes.push_back({path, std::move(before), std::move(after)});
    } else if (kind == "consume") {
      Consumption consumed{path, {}};
      while (in.ok() && in.next(' ')) consumed.record.push_back(in.number<int>());
      in.expect('\n');
      if (consumed.record.empty() || !kept->withoutBooking) return std::nullopt;
      entry.consumes.push_back(std::move(consumed));
    } else {
      return std::nullopt;
    }
  }
  if (!in.ok()) return std::nullopt;
  return entry;
}

}  // namespace

std::uint64_t entryChecksum(std::string_view body) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : body) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string entryText(const Entry& entry) {
  std::string body;
  for (const PromisedWrite& write : entry.writes) {
    body.append("write ").append(write.path).append(" ");
    body.append(write.before ? std::to_string(write.before->size()) : "-").append(" ");
    body.append(std::to_string(write.after.size())).append("\n");
    body.append(write.before.value_or("")).append(write.after).append("\n");
  }
  for (const Consumption& consumed : entry.consumes) {
    body.append("consume ").append(consumed.path);
    for (const int n : consumed.record) body.append(" ").append(std::to_string(n));
    body.append("\n");
  }
  char header[64];
  std::snprintf(header, sizeof header, "entry %zu %016" PRIx64 "\n", body.size(), entryChecksum(body));
  return std::string(header).append(body);
}

// An entry's first line, "entry <length> <checksum>\n"; no line of ours is
// longer than this.
constexpr std::size_t kLongestEntryHeader = 64;
// What a read asks for at least: every entry a change leaves but one that
// carries a booking file's bytes.
constexpr std::size_t kReadAhead = 64 * 1024;

std::optional<JournalText> readJournal(const JournalBytes& read, std::span<const KeptFile> files) {
  JournalText journal;
  std::string ahead;  // the bytes from wholeUpTo on, as far as they are read
  bool wholeJournal = false;
  const auto readUpTo = [&](std::size_t size) {
    if (ahead.size() >= size || wholeJournal) return true;
    const std::size_t asked = std::max(size - ahead.size(), kReadAhead);
    const std::size_t had = ahead.size();
    if (!read(journal.wholeUpTo + had, asked, ahead)) return false;
    wholeJournal = ahead.size() - had < asked;
    return true;
  };
  for (;;) {
    if (!readUpTo(kLongestEntryHeader)) return std::nullopt;
    Cursor in(std::string_view(ahead).substr(0, kLongestEntryHeader));
    if (in.word() != "entry") break;
    in.expect(' ');
    const auto bodySize = in.number<std::size_t>();
    in.expect(' ');
    const auto checksum = in.number<std::uint64_t>(16);
    in.expect('\n');
    if (!in.ok()) break;
    const std::size_t size = in.pos() + bodySize;
    if (!readUpTo(size)) return std::nullopt;
    const std::string_view body = std::string_view(ahead).substr(in.pos(), bodySize);
    if (body.size() != bodySize || entryChecksum(body) != checksum) break;
    std::optional<Entry> entry = parseBody(body, files);
    if (!entry) break;
    journal.last = std::move(entry);
    journal.wholeUpTo += size;
    ahead.erase(0, size);
  }
  journal.more = !ahead.empty();
  return journal;
}

JournalText parseJournal(std::string_view text, std::span<const KeptFile> files) {
  return *readJournal(
      [text](std::size_t offset, std::size_t size, std::string& bytes) {
        bytes.append(text.substr(std::min(offset, text.size()), size));
        return true;
      },
      files);
}

}  // namespace cm
