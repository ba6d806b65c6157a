// The system's own binary dataset file: a direct dump of the dataset with
// its dictionary, multiple variables, weight name and data. It keeps what
// the system file would reshape (value labels of any length, several
// counted values) and drops what only the system file needs (short names,
// segment names, dictionary indexes, string widths, measure).
//
// All numbers little-endian. A text is a u16 byte length and the bytes;
// length 0 stands for an absent text.
//
//   "VOP"  u16 version (1)  i32 cases  i32 variables  text weight name
//   per variable: u16 numeric flag, text name, text label, i32 format
//     type, format width, decimals, display width, alignment, missing code,
//     3 x f64 missing values, i32 label count, per label f64 value + text
//   per multiple variable: byte '1', text name, text label, u16 member
//     count, member names, u16 counted-value count, f64 counted values
//   byte '0'
//   per variable: cases x f64 (numeric) or cases x text (string)
#pragma once

#include <string>

#include "core/errors.h"
#include "data/dataset.h"

namespace vop {

// Write `ds` to `path`. Raises 97 when the file cannot be written, or when
// a text is longer than a length field holds; an old file stays intact.
bool write_native(const std::string& path, const Dataset& ds, ErrorState& err);

// Close `ds` and fill it from the native file `path`. A file that does not
// open, lacks the magic, is truncated or is inconsistent raises 97 and
// leaves the dataset empty.
bool read_native(const std::string& path, Dataset& ds, ErrorState& err);

}  // namespace vop
