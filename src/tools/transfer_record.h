#pragma once

// A copy or a move in the undo history. Each file is on the disk in the history before it is
// copied or moved, so that a crash loses no entry; once the job is over one more line names the
// files the job made, with their identities, and the history reads the job as one entry of
// those files alone.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_identity.h"
#include "tools/undo_history.h"

namespace tools {

class TransferRecord {
 public:
  // Receives a console line when part of the job cannot be recorded.
  using Warn = std::function<void(const std::string& line)>;

  // `kind` is UndoKind::kCopy or UndoKind::kMove.
  TransferRecord(UndoHistory history, UndoKind kind, Warn warn);
  // Finishes the record, whatever way the job ended.
  ~TransferRecord();
  // The record moved from finishes nothing.
  TransferRecord(TransferRecord&& other) noexcept;
  TransferRecord& operator=(TransferRecord&&) = delete;

  struct Pair {
    std::string source, target;
    // The source as the caller has just read it, so that it is not read again; otherwise the
    // entry itself (a link not followed) is read.
    std::optional<platform::FileIdentity> source_id = {};
  };
  // Records files about to be copied or moved, before the first of them is. A pair is left
  // out when there is nothing at its source or something at its target already (no-replace
  // refuses it), when its target is outside the job's directory, and once the record is full.
  void Plan(const std::vector<Pair>& pairs);

 private:
  void Finish();
  void WarnOnce(const std::string& line);

  UndoHistory history_;
  UndoKind kind_;
  Warn warn_;
  std::uint64_t job_;                  // the number its lines go by in the history
  std::vector<TransferItem> planned_;  // what the lines written so far name, in order
  std::size_t bytes_ = 0;              // what the job's items take in one line
  bool warned_ = false;
};

}  // namespace tools
