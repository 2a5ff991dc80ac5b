#pragma once

// The data of one file copied into another: the part of a copy between opening both files and
// giving the target its mode and times.

#include <sys/stat.h>

#include "platform/file_ops.h"

namespace platform {

enum class CopyStep { kDone, kFailed, kStopped };

// Copies `in` (described by `st`) into the empty file `out`: a clone where the file system shares
// blocks between files, otherwise only the parts of the source that hold data, so the holes of a
// sparse file stay holes instead of filling the disk with zeros. `progress`, when given, hears
// how far the copy has come and may stop it.
CopyStep CopyContents(int in, int out, const struct stat& st, const CopyProgress& progress);

}  // namespace platform
