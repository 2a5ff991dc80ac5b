// bench_hex DATA_DIR [repeats]
//
// The hex viewer's heavy paths against the standard tools, in one run: the dump of
// DATA_DIR/big/file saved as text through the save function beside dd writing as many bytes with
// a sync, and beside xxd, hexdump -C and od -A d -t x1 writing the same file's dump; the first
// screen of a 4 GiB sparse file and the process's peak
// memory; finding a 4-byte pattern at the end of the big file. Run by hand; see README.md.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "platform/file_reader.h"
#include "tools/hex_parallel_rules.h"
#include "tools/hex_rules.h"
#include "tools/hex_viewer.h"
#include "ui/dialogs.h"

#include "bench_support.h"

using namespace bench;

namespace {

void Goal(const char* what, double measured, const char* unit, const char* target, bool met) {
  std::printf("goal: %s %.2f%s (target %s): %s\n", what, measured, unit, target,
              met ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_hex DATA_DIR [repeats]\n");
    return 2;
  }
  const std::string data = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string big = data + "/big/file";
  std::string scratch = (std::filesystem::temp_directory_path() / "bench_hex.XXXXXX").string();
  if (mkdtemp(scratch.data()) == nullptr) return 1;
  const std::string out = scratch + "/dump.txt";
  auto drop_out = [&] { std::filesystem::remove(out); };

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qt(argc, argv);
  const long rss_start_kb = StatusKb("VmRSS");

  // 1. The dump as text, beside the standard tools (each writes its file, which is then removed).
  std::shared_ptr<const platform::RandomAccessFile> file = platform::RandomAccessFile::Open(big);
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", big.c_str());
    return 1;
  }
  const std::int64_t size = file->Size();
  const tools::ByteReader read = [&](std::int64_t at, char* buffer, std::int64_t n) {
    return file->ReadAt(at, buffer, n);
  };
  const auto keep_going = [](std::int64_t) { return true; };
  RunTool({"cat", big}, "/dev/null");  // into the page cache
  // Every run that syncs starts with nothing left to write back from the run before.
  const auto settle = [] { sync(); };
  std::int64_t dump_bytes = 0;
  const double dump_ms = BestMs(
      repeats,
      [&] {
        if (SaveDumpFile(read, size, out, keep_going) != tools::StreamResult::kDone) {
          std::fprintf(stderr, "the save failed\n");
          std::exit(1);
        }
        dump_bytes = static_cast<std::int64_t>(std::filesystem::file_size(out));
      },
      settle, drop_out);
  if (dump_bytes != tools::DumpTextLength(size)) {
    std::fprintf(stderr, "the saved dump has %lld bytes, expected %lld\n",
                 static_cast<long long>(dump_bytes),
                 static_cast<long long>(tools::DumpTextLength(size)));
    return 1;
  }
  // The same dump formatted and written the same way (space taken at once, blocks written by
  // the workers where they go), but into the page cache only, as the standard tools write
  // theirs: no sync to the disk, no pacing of the write-back, no rename. Shows what the
  // formatting and the copy into the page cache cost apart from the disk.
  const double unsynced_ms = BestMs(
      repeats,
      [&] {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, tools::DumpTextLength(size));
        const tools::StreamResult result = tools::WriteDumpParallel(
            read, size,
            [fd](std::int64_t position, std::string_view text) {
              return pwrite(fd, text.data(), text.size(), position) ==
                     static_cast<ssize_t>(text.size());
            },
            keep_going);
        close(fd);
        if (result != tools::StreamResult::kDone ||
            static_cast<std::int64_t>(std::filesystem::file_size(out)) != dump_bytes) {
          Fail("the unsynced dump failed");
        }
      },
      settle, drop_out);
  // The disk's own limit: as many MiB written by dd and synced.
  const std::int64_t dump_mib = (dump_bytes + (1 << 20) - 1) >> 20;
  const double dd_ms = BestMs(
      repeats,
      [&] {
        RunOrFail({"dd", "if=/dev/zero", "of=" + out, "bs=1M", "count=" + std::to_string(dump_mib),
                   "conv=fsync", "status=none"});
      },
      settle, drop_out);
  struct Tool {
    const char* name;
    std::vector<std::string> argv;
    double ms = 0;
  };
  std::vector<Tool> tools_run = {{"xxd", {"xxd", big}},
                                 {"hexdump -C", {"hexdump", "-C", big}},
                                 {"od -A d -t x1", {"od", "-A", "d", "-t", "x1", big}}};
  for (Tool& tool : tools_run) {
    tool.ms = BestMs(
        repeats, [&] { RunTool(tool.argv, out); }, settle, drop_out);
  }
  std::printf("dump of %lld bytes (%lld characters of text), best of %d:\n",
              static_cast<long long>(size), static_cast<long long>(dump_bytes), repeats);
  std::printf("  %-16s %9.0f ms  (formatted on %u threads, synced and renamed)\n", "SaveDumpFile",
              dump_ms, std::max(1u, std::thread::hardware_concurrency()));
  std::printf("  %-16s %9.0f ms  (the same dump without the sync and the rename)\n",
              "unsynced dump", unsynced_ms);
  std::printf("  %-16s %9.0f ms  (dd bs=1M count=%lld conv=fsync: %.2fx the save's time)\n", "dd",
              dd_ms, static_cast<long long>(dump_mib), dd_ms / dump_ms);
  for (const Tool& tool : tools_run) {
    std::printf("  %-16s %9.0f ms  (%.1fx the save's time, %.1fx the unsynced dump's)\n", tool.name,
                tool.ms, tool.ms / dump_ms, tool.ms / unsynced_ms);
  }

  // 2. A 4 GiB sparse file: load, first screen painted, then the last screen.
  const std::string sparse = scratch + "/sparse4g.bin";
  { std::ofstream create(sparse); }
  std::filesystem::resize_file(sparse, std::uintmax_t{4} << 30);
  ScriptedDialogs dialogs;
  App::Options options;
  options.program_dir = scratch + "/";
  options.show_splash = false;
  options.dialogs = &dialogs;
  App app(options);
  app.CreateWindows();
  TfrmHexEditor& hex = *app.frmHexEditor;
  hex.show();
  QApplication::processEvents();
  const long rss_before_kb = StatusKb("VmRSS");
  const auto first_start = Clock::now();
  hex.LoadHexDump(sparse);
  hex.memHex->viewport()->repaint();
  const double first_ms = Ms(Clock::now() - first_start);
  dialogs.input_answers.push_back(QString::number((std::int64_t{4} << 30) - 1));
  const auto last_start = Clock::now();
  hex.GOTO1Click();
  hex.memHex->viewport()->repaint();
  const double last_ms = Ms(Clock::now() - last_start);
  const long peak_kb = StatusKb("VmHWM");
  std::printf("4 GiB sparse file: first screen %.1f ms, last screen %.1f ms\n", first_ms, last_ms);
  std::printf(
      "  memory: %ld kB at start, %ld kB before the load, peak %ld kB (whole process, "
      "dump saving included)\n",
      rss_start_kb, rss_before_kb, peak_kb);

  // 3. Finding 4 bytes placed at the end of the big file (laid over its last bytes in the reader,
  // so that the data set stays untouched); the pattern is chosen so that it occurs nowhere else.
  const std::string pattern = "\xB7\x3E\x5A\x01";
  const tools::ByteReader patched = [&](std::int64_t at, char* buffer, std::int64_t n) {
    const std::int64_t got = file->ReadAt(at, buffer, n);
    for (std::int64_t i = 0; i < 4; ++i) {
      const std::int64_t pos = size - 4 + i - at;
      if (pos >= 0 && pos < got) buffer[pos] = pattern[static_cast<std::size_t>(i)];
    }
    return got;
  };
  tools::FindOutcome found;
  const double find_ms =
      BestMs(repeats, [&] { found = tools::FindBytes(patched, size, pattern, 0, keep_going); });
  if (found.status != tools::FindStatus::kFound) {
    std::fprintf(stderr, "the pattern was not found\n");
    return 1;
  }
  const double gib_per_s = static_cast<double>(size) / (1 << 30) / (find_ms / 1000);
  std::printf("find 4 bytes: found at %lld of %lld in %.0f ms: %.2f GiB/s%s\n",
              static_cast<long long>(found.offset), static_cast<long long>(size), find_ms,
              gib_per_s, found.offset == size - 4 ? "" : " (an earlier match)");

  std::filesystem::remove_all(scratch);
  const double unsynced_speedup = tools_run[0].ms / unsynced_ms;
  Goal("unsynced dump vs xxd", unsynced_speedup, "x faster", ">= 12x", unsynced_speedup >= 12);
  Goal("saved dump vs dd conv=fsync", dump_ms / dd_ms, "x the time", "<= 1.3x",
       dump_ms <= 1.3 * dd_ms);
  Goal("first screen of 4 GiB", first_ms, " ms", "< 500 ms", first_ms < 500);
  Goal("peak memory", peak_kb / 1024.0, " MiB", "< 100 MiB", peak_kb < 100 * 1024);
  Goal("find throughput", gib_per_s, " GiB/s", ">= 1 GiB/s", gib_per_s >= 1);
  return 0;
}
