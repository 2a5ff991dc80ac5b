// bench_copy DATA_DIR [repeats]
//
// Times the copy windows copying one 1 GiB file, 10,000 small files (the first of DATA_DIR/flat
// by name) and a 2 GiB sparse file, beside cp doing the same in the same run, and, where an XFS
// image can be made and mounted, a copy on a file system that shares blocks. The big files and
// every target are made in a temporary directory beside the data set, which is never written
// into. Run by hand; see README.md.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "tools/copy_windows.h"
#include "ui/byte_text.h"
#include "ui/dialogs.h"
#include "ui/dir_tree.h"

#include "bench_support.h"

using namespace bench;

namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kBigBytes = std::int64_t{1} << 30;
constexpr std::size_t kSmallFiles = 10000;
constexpr std::int64_t kSparseBytes = std::int64_t{2} << 30;
constexpr std::int64_t kCloneBytes = std::int64_t{256} << 20;
constexpr double kTarget = 1.0;

// A fresh, empty target directory, with what the last run wrote flushed to disk first, so no
// run pays for the write-back of the one before.
void FreshDir(const std::string& dir) {
  fs::remove_all(dir);
  sync();
  fs::create_directories(dir);
}

// Writes `bytes` of data that no two MiB share.
void WriteBigFile(const std::string& path, std::int64_t bytes = kBigBytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Fail("cannot create " + path);
  std::vector<char> block(std::size_t{1} << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
  for (std::int64_t done = 0; done < bytes; done += static_cast<std::int64_t>(block.size())) {
    block[0] = static_cast<char>(done >> 20);  // no two blocks alike
    if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
      Fail("cannot write " + path);
    }
  }
  close(fd);
}

// A 2 GiB file that holds 1 MiB of data every 256 MiB and holes between.
void WriteSparseFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ftruncate(fd, kSparseBytes) != 0) Fail("cannot create " + path);
  const std::vector<char> block(std::size_t{1} << 20, 'x');
  for (std::int64_t at = 0; at < kSparseBytes; at += std::int64_t{256} << 20) {
    if (pwrite(fd, block.data(), block.size(), at) != static_cast<ssize_t>(block.size())) {
      Fail("cannot write " + path);
    }
  }
  close(fd);
}

// The disk space a file takes, in bytes, as du counts it.
std::int64_t DiskBytes(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) Fail("cannot stat " + path);
  return static_cast<std::int64_t>(st.st_blocks) * 512;
}

std::int64_t FreeBytes(const std::string& dir) {
  struct statvfs fs;
  if (statvfs(dir.c_str(), &fs) != 0) Fail("cannot read the free space of " + dir);
  return static_cast<std::int64_t>(fs.f_bfree) * static_cast<std::int64_t>(fs.f_frsize);
}

void Goal(const char* what, double ratio) {
  std::printf("goal: %s %.2fx (target %.1fx): %s\n", what, ratio, kTarget,
              ratio <= kTarget ? "met" : "missed");
}

void DiskGoal(const char* what, std::int64_t copy, std::int64_t source) {
  std::printf("goal: %s %.1f MiB on disk (target <= the source's %.1f MiB): %s\n", what,
              static_cast<double>(copy) / (1 << 20), static_cast<double>(source) / (1 << 20),
              copy <= source ? "met" : "missed");
}

// One synced append of a line as long as a one-file undo record, in `dir`: the least any copy
// here waits for, its undo record being on the disk before the copy starts.
void SyncedAppend(const std::string& dir) {
  const std::string line(200, 'r');
  const int fd = open((dir + "/append.bw").c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
      fsync(fd) != 0) {
    Fail("cannot append to a file in " + dir);
  }
  close(fd);
}

// What the copy on a file system that shares blocks gave.
struct CloneRun {
  bool ran = false;
  std::string why_not;
  double ours_ms = 0, cp_ms = 0;
  std::int64_t ours_taken = 0;  // free space the copy used up
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_copy DATA_DIR [repeats]\n");
    return 2;
  }
  std::error_code ec;
  std::string data = fs::absolute(argv[1], ec).lexically_normal().string();
  while (data.size() > 1 && data.back() == '/') data.pop_back();
  const std::string flat = data + "/flat";
  if (!fs::exists(data + "/.all-done")) Fail(data + " is not complete (no .all-done)");
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(flat)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  if (names.size() < kSmallFiles) Fail(flat + " holds fewer than 10,000 files");
  names.resize(kSmallFiles);
  std::uintmax_t small_bytes = 0;
  for (const std::string& name : names) small_bytes += fs::file_size(flat + "/" + name);

  std::string work = fs::path(data).parent_path().string() + "/bench_copy.XXXXXX";
  if (mkdtemp(work.data()) == nullptr) Fail("cannot make a directory beside " + data);
  const std::string big = work + "/big.bin";
  const std::string out = work + "/out";
  WriteBigFile(big);
  fs::create_directories(work + "/program");

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);
  double ours_big = 0, cp_big = 0, ours_small = 0, cp_small = 0, ours_sparse = 0, cp_sparse = 0;
  const double append_ms = BestMs(
      repeats, [&] { SyncedAppend(work + "/program"); }, [] { sync(); });
  std::int64_t sparse_source = 0, ours_sparse_disk = 0, cp_sparse_disk = 0;
  CloneRun clone;
  {
    ScriptedDialogs dialogs;
    App::Options options;
    options.program_dir = work + "/program/";
    options.show_splash = false;
    options.batch = true;
    options.dialogs = &dialogs;
    App app(options);
    app.CreateWindows();
    TfrmCopyFile& single = *app.frmCopyFile;
    TfrmMassCopy& mass = *app.frmMassCopy;

    // One file: the single copy window, then cp.
    app.CurrentDir = work + "/";
    app.CurrentFile = big;
    ours_big = BestMs(
        repeats, [&] { single.bntCopyClick(); },
        [&] {
          FreshDir(out);
          single.txtFileToCopy->setText(BytesToText(big));
          single.txtCopyTo->setText(BytesToText(out + "/big.bin"));
        });
    if (!fs::exists(out + "/big.bin") || fs::file_size(out + "/big.bin") != kBigBytes) {
      Fail("the single copy window did not copy the file");
    }
    cp_big = BestMs(
        repeats,
        [&] {
          RunOrFail({"cp", big, out + "/big.bin"});
        },
        [&] { FreshDir(out); });

    // Many small files: the multi-file copy window, then one cp for all of them, taking turns.
    // Each run copies into a directory of its own and nothing is removed until all have run: a
    // file system may make new files more slowly for a while after many were removed (ext4
    // without a journal looks past the inodes freed in the last minutes, which is most of the
    // time of such a copy here), which would time that instead of the copy; taking turns gives
    // both copies the same share of it.
    FreshDir(out);
    int run = 0;
    std::string small_out;
    auto next_small_out = [&] {
      small_out = out + "/" + std::to_string(++run);
      fs::create_directories(small_out);
      sync();
    };
    app.CurrentDir = flat + "/";
    for (const std::string& name : names) mass.ArrToCop->addItem(BytesToText(name));
    std::vector<std::string> cp_args = {"cp", "-t", ""};
    for (const std::string& name : names) cp_args.push_back(flat + "/" + name);
    const auto ours_once = [&] {
      return BestMs(
          1, [&] { mass.btnCopyClick(); },
          [&] {
            next_small_out();
            mass.dirCopyTo->SetDirectory(small_out);
          });
    };
    const auto cp_once = [&] {
      return BestMs(
          1, [&] { RunOrFail(cp_args); },
          [&] {
            next_small_out();
            cp_args[2] = small_out;
          });
    };
    ours_small = cp_small = 1e300;
    for (int r = 0; r < repeats; ++r) {
      ours_small = std::min(ours_small, ours_once());
      std::size_t copied = 0;
      for (const auto& entry : fs::directory_iterator(small_out)) copied += entry.is_regular_file();
      if (copied != kSmallFiles) Fail("the multi-file copy window did not copy every file");
      cp_small = std::min(cp_small, cp_once());
    }

    // A sparse file: the single copy window, then cp keeping holes.
    const std::string sparse = work + "/sparse.img";
    WriteSparseFile(sparse);
    sparse_source = DiskBytes(sparse);
    app.CurrentDir = work + "/";
    app.CurrentFile = sparse;
    ours_sparse = BestMs(
        repeats, [&] { single.bntCopyClick(); },
        [&] {
          FreshDir(out);
          single.txtFileToCopy->setText(BytesToText(sparse));
          single.txtCopyTo->setText(BytesToText(out + "/sparse.img"));
        },
        [&] { ours_sparse_disk = DiskBytes(out + "/sparse.img"); });
    cp_sparse = BestMs(
        repeats,
        [&] {
          RunOrFail({"cp", "--sparse=auto", sparse, out + "/sparse.img"});
        },
        [&] { FreshDir(out); }, [&] { cp_sparse_disk = DiskBytes(out + "/sparse.img"); });

    // On an XFS image that shares blocks, where one can be made and mounted (as root).
    const std::string image = work + "/xfs.img", mnt = work + "/xfs";
    fs::create_directories(mnt);
    if (!RunTool({"truncate", "-s", "1G", image}) ||
        !RunTool({"mkfs.xfs", "-q", "-m", "reflink=1", image})) {
      clone.why_not = "mkfs.xfs cannot make an image";
    } else if (!RunTool({"mount", "-o", "loop", image, mnt})) {
      clone.why_not = "the image cannot be mounted";
    } else {
      const std::string file = mnt + "/file.bin", target = mnt + "/out";
      WriteBigFile(file, kCloneBytes);
      app.CurrentFile = file;
      clone.ours_ms = BestMs(
          repeats, [&] { single.bntCopyClick(); },
          [&] {
            FreshDir(target);
            single.txtFileToCopy->setText(BytesToText(file));
            single.txtCopyTo->setText(BytesToText(target + "/file.bin"));
            clone.ours_taken = FreeBytes(mnt);
          },
          [&] {
            sync();
            clone.ours_taken -= FreeBytes(mnt);
          });
      clone.cp_ms = BestMs(
          repeats,
          [&] {
            RunOrFail({"cp", "--reflink=auto", file, target + "/file.bin"});
          },
          [&] { FreshDir(target); });
      clone.ran = fs::file_size(target + "/file.bin", ec) == kCloneBytes;
      RunTool({"umount", mnt});
    }
  }
  fs::remove_all(work);

  std::printf("bench_copy %s: best of %d\n\n", data.c_str(), repeats);
  std::printf("%-44s %10s %8s\n", "what", "ms", "x cp");
  std::printf("%-44s %10.1f %8.2f\n", "TfrmCopyFile: 1 GiB file", ours_big, ours_big / cp_big);
  std::printf("%-44s %10.1f %8s\n", "cp: 1 GiB file", cp_big, "1.00");
  std::printf("%-44s %10.1f %8.2f\n", "TfrmMassCopy: 10,000 small files", ours_small,
              ours_small / cp_small);
  std::printf("%-44s %10.1f %8s\n", "cp -t: 10,000 small files", cp_small, "1.00");
  std::printf("(small files: %.1f MB in all)\n\n", static_cast<double>(small_bytes) / 1e6);
  std::printf("%-44s %10.1f %8.2f  %.1f MiB on disk\n", "TfrmCopyFile: 2 GiB sparse file",
              ours_sparse, ours_sparse / cp_sparse,
              static_cast<double>(ours_sparse_disk) / (1 << 20));
  std::printf("%-44s %10.1f %8s  %.1f MiB on disk (source %.1f MiB)\n",
              "cp --sparse=auto: 2 GiB sparse file", cp_sparse, "1.00",
              static_cast<double>(cp_sparse_disk) / (1 << 20),
              static_cast<double>(sparse_source) / (1 << 20));
  if (clone.ran) {
    std::printf("%-44s %10.1f %8.2f  %.1f MiB of free space used\n",
                "TfrmCopyFile: 256 MiB on XFS (reflink)", clone.ours_ms,
                clone.ours_ms / clone.cp_ms, static_cast<double>(clone.ours_taken) / (1 << 20));
    std::printf("%-44s %10.1f %8s\n", "cp --reflink=auto: 256 MiB on XFS", clone.cp_ms, "1.00");
  } else {
    std::printf("copy on XFS (reflink): skipped, %s\n", clone.why_not.c_str());
  }
  std::printf("%-44s %10.2f\n", "one synced append (each copy's undo record)", append_ms);
  std::printf("\n");
  Goal("copy of 1 GiB in one file vs cp", ours_big / cp_big);
  Goal("copy of 10,000 small files vs cp", ours_small / cp_small);
  Goal("copy of a 2 GiB sparse file vs cp --sparse=auto", ours_sparse / cp_sparse);
  DiskGoal("copy of a 2 GiB sparse file", ours_sparse_disk, sparse_source);
  if (clone.ran) {
    Goal("copy on XFS vs cp --reflink=auto", clone.ours_ms / clone.cp_ms);
    std::printf(
        "goal: copy on XFS shares its blocks, %.1f MiB used (target < 1%% of %lld MiB): %s\n",
        static_cast<double>(clone.ours_taken) / (1 << 20),
        static_cast<long long>(kCloneBytes >> 20),
        clone.ours_taken < kCloneBytes / 100 ? "met" : "missed");
  }
  return 0;
}
