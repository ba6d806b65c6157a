// The reader's outline: dictionary, texts to UTF-8, names made sound, case
// data, and only then the dataset is filled, so a failure leaves it empty.
#include "data/sav_reader.h"

#include <cerrno>
#include <cstring>

#include <cstdio>
#include <unordered_set>

#include "data/name_case.h"
#include "data/sav_dictionary.h"
#include "data/sav_format.h"

namespace vop {

namespace sav {

void decode_texts(SavDictionary& dict, TextDecoder& decoder, std::vector<std::string>& warnings) {
  std::string source = dict.encoding;
  if (source.empty()) source = encoding_for_character_code(dict.character_code);
  if (!decoder.set_source(source))
    warnings.push_back("unknown text encoding " + source + "; texts read as legacy text");
  // Names are upper-cased only now that they are UTF-8: the capital of a
  // letter depends on the code page its bytes were written in.
  auto name = [&](std::string& n) {
    decoder.convert(n);
    to_upper_name(n);
  };
  for (RecordVariable& rv : dict.vars) {
    DataVariable& v = rv.var;
    std::string n = v.name();
    name(n);
    v.column.set_name(std::move(n));
    if (v.label) decoder.convert(*v.label);
    if (v.short_name) name(*v.short_name);
    for (std::string& s : v.segment_names) name(s);
    for (ValueLabel& vl : v.value_labels) decoder.convert(vl.text);
  }
  for (MultipleVariable& m : dict.mrsets) {
    name(m.name);
    if (m.label) decoder.convert(*m.label);
    for (std::string& s : m.members) name(s);
  }
  if (dict.weight_name) name(*dict.weight_name);
}

void finish_dictionary(SavDictionary& dict, std::vector<std::string>& warnings) {
  // Members of multiple-response sets are named by short name (or by name
  // when the file has no long names); they must be numeric variables.
  std::vector<MultipleVariable> kept;
  for (MultipleVariable& m : dict.mrsets) {
    bool ok = !m.members.empty();
    for (std::string& member : m.members) {
      const RecordVariable* found = nullptr;
      for (const RecordVariable& rv : dict.vars) {
        if ((rv.var.short_name && *rv.var.short_name == member) || rv.var.name() == member) {
          found = &rv;
          break;
        }
      }
      if (!found || found->width != 0) {
        ok = false;
        break;
      }
      member = found->var.name();
    }
    if (ok) kept.push_back(std::move(m));
  }
  dict.mrsets = std::move(kept);

  // Names must be unique and start with a letter; others get a VARnnn name.
  std::unordered_set<std::string> seen;
  for (const RecordVariable& rv : dict.vars) seen.insert(rv.var.name());
  std::unordered_set<std::string> taken;
  int counter = 0;
  for (RecordVariable& rv : dict.vars) {
    const std::string& n = rv.var.name();
    if (valid_variable_name(n) || (!n.empty() && uint8_t(n[0]) >= 0x80)) {
      if (taken.insert(n).second) continue;
    }
    std::string fresh;
    do {
      char buf[16];
      std::snprintf(buf, sizeof buf, "VAR%03d", ++counter);
      fresh = buf;
    } while (seen.count(fresh) || taken.count(fresh));
    warnings.push_back("variable '" + n + "' renamed to " + fresh);
    taken.insert(fresh);
    rv.var.column.set_name(std::move(fresh));
  }
  if (dict.weight_name && !taken.count(*dict.weight_name)) dict.weight_name.reset();
}

}  // namespace sav

namespace {

void report(const std::vector<std::string>& w, const std::string& what,
            std::vector<std::string>* sink) {
  if (sink) {
    sink->insert(sink->end(), w.begin(), w.end());
    return;
  }
  for (const std::string& s : w) std::fprintf(stderr, "warning: %s: %s\n", what.c_str(), s.c_str());
}

bool read_from(sav::SavFile& in, const std::string& what, Dataset& ds, ErrorState& err,
               std::vector<std::string>* warnings, CancelToken cancel, const SavThreading& threads) {
  std::vector<std::string> w;
  sav::SavDictionary dict;
  TextDecoder decoder;
  int cases = 0;
  const bool ok = sav::read_dictionary(in, dict, w) &&
                  (sav::decode_texts(dict, decoder, w), sav::finish_dictionary(dict, w), true) &&
                  sav::read_cases(in, dict, decoder, w, cases, threads.read_bytes, cancel);
  report(w, what, warnings);
  // The report says only "Error while using SPSS file"; the reason rides
  // along as the error's name for those who show it (vop-run, vop-savinfo).
  if (!ok) return cancel.stop_requested() ? err.raise(kErrStopped) : err.raise(kErrSpssFile, dict.failure);
  ds.set_case_count(cases);
  for (sav::RecordVariable& rv : dict.vars) ds.append_variable(std::move(rv.var));
  ds.set_weight_name(std::move(dict.weight_name));
  ds.multiple_variables() = std::move(dict.mrsets);
  return true;
}

}  // namespace

bool read_sav(const std::string& path, Dataset& ds, ErrorState& err,
              std::vector<std::string>* warnings, CancelToken cancel, const SavThreading& threads) {
  ds.close();
  sav::SavFile in;
  errno = 0;
  if (!in.open(path)) return err.raise(kErrSpssFile, std::strerror(errno ? errno : EIO));
  if (!read_from(in, path, ds, err, warnings, cancel, threads)) return false;
  ds.set_file_name(path);
  return true;
}

bool read_sav_memory(const uint8_t* data, size_t size, Dataset& ds, ErrorState& err,
                     std::vector<std::string>* warnings, const SavThreading& threads) {
  ds.close();
  sav::SavFile in;
  in.open_memory(data, size);
  return read_from(in, "(memory)", ds, err, warnings, CancelToken(), threads);
}

}  // namespace vop
