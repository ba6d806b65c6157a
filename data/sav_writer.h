// Writing a Dataset as a bytecode-compressed SPSS system file.
//
// The file is written to a temporary file in the target's directory and
// renamed over the target only after everything was written and closed, so
// a failed save never destroys the previous file. The name "stdout" writes
// to standard output.
#pragma once

#include <cstdint>
#include <string>

#include "core/errors.h"
#include "data/dataset.h"
#include "data/sav_threading.h"

namespace vop {

// Write `ds` to `path`. Fixes the widths of string variables not yet fixed
// (and widens any narrower than a value) and recomputes dictionary indexes.
// Raises 97 when the file cannot be written completely.
bool write_sav(const std::string& path, Dataset& ds, ErrorState& err,
               const SavThreading& threads = {});

}  // namespace vop
