// libFuzzer target for the system-file reader: any input must either read
// or fail with code 97 and an empty dataset, never crash or over-read.
// Inputs of odd size are read on two threads, as large files are.
// Seed it with the test corpus: sav_reader_fuzz -max_total_time=60 DIR
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/errors.h"
#include "data/sav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vop::Dataset ds;
  vop::ErrorState err;
  std::vector<std::string> warnings;
  vop::SavThreading threads;
  if (size % 2) threads.read_bytes = 0;
  const bool ok = vop::read_sav_memory(data, size, ds, err, &warnings, threads);
  if (!ok && (err.code() != vop::kErrSpssFile || !ds.empty() || ds.case_count() != 0)) std::abort();
  for (int i = 0; ok && i < ds.variable_count(); ++i)
    if (ds.variable(i).column.rows() != ds.case_count()) std::abort();
  return 0;
}
