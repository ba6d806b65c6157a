// The reader's view of a system file's dictionary: the header and the
// records up to the terminator, with the case layout they imply.
//
// read_dictionary walks the records in order and applies each as it comes
// (a later record refers to what earlier ones made); texts stay in the
// file's encoding, and names as written, until decode_texts turns them into
// UTF-8 and upper-cases the names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/cancel.h"
#include "data/dataset.h"
#include "data/sav_input.h"
#include "data/text_encoding.h"

namespace vop::sav {

struct SavHeader {
  int32_t compression = 0;   // kCompressNone, kCompressBytecode or kCompressZlib
  int32_t weight_index = 0;  // 1-based slot of the weight variable; 0 = none
  int32_t case_count = -1;   // -1 = unknown
  double bias = kDefaultBias;  // bytecode bias
};

// One piece of a variable's case data: a run of 8-byte slots of which the
// first `bytes` bytes carry value bytes.
struct Segment {
  int bytes = 0;  // value bytes in this segment (the record's width)
  int slots = 1;  // 8-byte slots it occupies
};

// A variable with the layout of its data in the case record.
struct RecordVariable {
  DataVariable var;               // dictionary part; the column is made later
  int width = 0;                  // 0 numeric, else the string width in bytes
  std::vector<Segment> segments;  // one for numbers and short strings
};

struct SavDictionary {
  SavHeader header;                        // from the file header
  std::vector<RecordVariable> vars;        // in file order, segments merged
  std::vector<MultipleVariable> mrsets;    // as read; members resolved at the end
  std::optional<std::string> weight_name;  // weight variable's name, if any
  double sysmis = kSysmis;                 // system-missing value of the data
  std::string encoding;                    // subtype 20 text; empty when absent
  int character_code = 0;                  // subtype 3's character code; 0 = absent
  int total_slots = 0;                     // 8-byte slots of one case
  std::string failure;                     // why reading stopped, when it did
};

// Read the header and records through the terminator. False when the file
// is not a readable system file; `warnings` collects what was dropped.
bool read_dictionary(SavFile& in, SavDictionary& dict, std::vector<std::string>& warnings);

// Choose the text decoder for the file, convert every dictionary text and
// upper-case the names.
void decode_texts(SavDictionary& dict, TextDecoder& decoder, std::vector<std::string>& warnings);

// Make names unique and valid, resolve multiple-response members; called
// after decode_texts.
void finish_dictionary(SavDictionary& dict, std::vector<std::string>& warnings);

// Read the case data into the variables' columns (created here). False when
// the data are truncated or corrupt, or when `cancel` stops the read (it is
// polled once per block of cases). Case data of at least `parallel_bytes`
// decoded bytes are spread into the columns on two threads.
bool read_cases(SavFile& in, SavDictionary& dict, TextDecoder& decoder,
                std::vector<std::string>& warnings, int& cases_read, uint64_t parallel_bytes,
                CancelToken cancel = {});

}  // namespace vop::sav
