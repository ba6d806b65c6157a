// Reading SPSS system files (.sav, and zlib-compressed .zsav) into a Dataset.
//
// Anything that is not a readable system file fails with code 97 and leaves
// the dataset empty; damage confined to a part the dataset can do without
// drops that part with a warning. Texts are converted to UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cancel.h"
#include "core/errors.h"
#include "data/dataset.h"
#include "data/sav_threading.h"

namespace vop {

// Close `ds` and fill it from the system file `path`; the file name is kept.
// Warnings go to `warnings` when given, else to standard error. A stop
// through `cancel` while the cases are read raises 1000 and leaves the
// dataset empty, as any failure does.
bool read_sav(const std::string& path, Dataset& ds, ErrorState& err,
              std::vector<std::string>* warnings = nullptr, CancelToken cancel = {},
              const SavThreading& threads = {});

// The same from an in-memory image of a file.
bool read_sav_memory(const uint8_t* data, size_t size, Dataset& ds, ErrorState& err,
                     std::vector<std::string>* warnings = nullptr,
                     const SavThreading& threads = {});

}  // namespace vop
