// Writing a Dataset as a bytecode-compressed SPSS system file.
//
// The file is put on disk by save_file (core/save_file.h), so a failed save
// never destroys the previous file. The name "stdout" writes to standard
// output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cancel.h"
#include "core/errors.h"
#include "data/dataset.h"
#include "data/sav_threading.h"

namespace vop {

// Write `ds` to `path`. Fixes the widths of string variables not yet fixed
// (and widens any narrower than a value) and recomputes dictionary indexes.
// Raises 97 when the file cannot be written completely, and 1000 when
// `cancel` stops the write (polled once per chunk of cases); the target is
// then left as it was. A value longer than a system file's widest string is
// cut, and the save says so: one line per such variable goes to `warnings`
// when given, else to standard error.
bool write_sav(const std::string& path, Dataset& ds, ErrorState& err,
               std::vector<std::string>* warnings = nullptr, CancelToken cancel = {},
               const SavThreading& threads = {});

}  // namespace vop
