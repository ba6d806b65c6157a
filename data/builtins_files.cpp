// Data builtins that open, save and close the dataset, and the load report.
#include <cstdio>
#include <string>
#include <vector>

#include "core/paths.h"
#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_builtins.h"
#include "data/data_session.h"
#include "data/native_file.h"
#include "data/sav_reader.h"
#include "data/sav_writer.h"
#include "data/tab_file.h"

namespace vop {

namespace {

using data::one_text;

// The file name stands as a left-aligned section heading of the report.
constexpr int kReportHeadingLevel = 2;
// Written to standard output (not the output window) when a tab file
// replaces loaded data.
constexpr char kOldDataLost[] = "Izgubljeni stari podaci";
// The type argument that selects the native format.
constexpr std::string_view kNativeType = "vop";

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto low = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (low(a[i]) != low(b[i])) return false;
  }
  return true;
}

// The optional type argument i: true when it asks for the native format.
bool native_type(Call& c, int i, bool* native) {
  *native = false;
  if (c.argc() <= i) return true;
  std::string type;
  if (!one_text(c, i, &type)) return false;
  *native = equals_ignoring_case(type, kNativeType);
  return true;
}

void load_report(OutputSink& out, const Dataset& ds, const std::string& name) {
  out.WriteLine(std::string(name.size(), '*'));
  out.WriteHeading(name, kReportHeadingLevel);
  out.WriteLine("\nSPSS Data successfully loaded");
  std::vector<char> line(name.size() + 256);
  if (const auto& w = ds.weight_name()) {
    std::snprintf(line.data(), line.size(),
                  "Number of variables: %8d\nNumber of observations: %5d\nData weighted by: %11s\n",
                  ds.variable_count(), ds.case_count(), w->c_str());
    out.WriteLine(line.data());
  } else {
    std::snprintf(line.data(), line.size(), "Number of variables: %8d\nNumber of observations: %5d",
                  ds.variable_count(), ds.case_count());
    out.WriteLine(line.data());
    out.WriteNotWeightedNote();
  }
}

bool open_file(Interpreter& interp, const std::string& name, bool native) {
  DataSession& s = data_session(interp);
  Dataset& ds = s.dataset;
  ErrorState& err = interp.error();
  s.safe_point();
  s.close_dataset();
  s.safe_point();
  const std::string path = native_path(name);
  std::vector<std::string> warnings;
  const bool ok = native ? read_native(path, ds, err)
                         : read_sav(path, ds, err, &warnings, interp.cancel_token(), s.sav_threading);
  s.warn(path, warnings);
  if (!ok) {
    ds.close();
    if (!err.failed()) err.raise(kErrSpssFile);
    return false;
  }
  ds.set_file_name(name);
  ds.clear_filter();
  load_report(interp.out(), ds, name);
  return true;
}

}  // namespace

void write_load_report(Interpreter& interp, const std::string& name) {
  load_report(interp.out(), data_session(interp).dataset, name);
}

namespace {

Value b_data_open(Call& c) {
  std::string name;
  bool native = false;
  if (!one_text(c, 0, &name) || !native_type(c, 1, &native)) return {};
  if (!open_file(c.interp(), name, native)) return {};
  return c.none();
}

Value b_data_open_tab(Call& c) {
  std::string name;
  if (!one_text(c, 0, &name)) return {};
  DataSession& s = data_session(c.interp());
  Dataset& ds = s.dataset;
  if (!ds.empty()) {
    std::puts(kOldDataLost);
    std::fflush(stdout);
  }
  s.safe_point();
  s.close_dataset();
  s.safe_point();
  if (!read_tab(native_path(name), ds, c.err())) return {};
  // No stored name: DataSave() would otherwise write a system file over
  // the tab file the data came from.
  ds.set_file_name(std::nullopt);
  ds.clear_filter();
  return c.none();
}

// A system-file save whose warnings (values cut to fit) go to the output,
// where the user sees them beside the run.
bool save_sav(Call& c, const std::string& path, Dataset& ds) {
  std::vector<std::string> warnings;
  if (!write_sav(path, ds, c.err(), &warnings, c.interp().cancel_token(),
                 data_session(c.interp()).sav_threading))
    return false;
  for (const std::string& w : warnings) c.interp().out().WriteLine(w);
  return true;
}

Value b_data_save(Call& c) {
  DataSession& s = data_session(c.interp());
  Dataset& ds = s.dataset;
  if (!ds.require_data(c.err())) return {};
  if (c.argc() == 0) {
    if (!ds.file_name()) return c.fail(kErrSpssFile);
    if (!save_sav(c, native_path(*ds.file_name()), ds)) return {};
    if (s.report_saves) {
      char line[128];
      std::snprintf(line, sizeof line, "\nSPSS Dataset with %d vars and %d cases successfully saved.",
                    ds.variable_count(), ds.case_count());
      c.interp().out().WriteLine(line);
    }
    return c.none();
  }
  std::string name;
  bool native = false;
  if (!one_text(c, 0, &name) || !native_type(c, 1, &native)) return {};
  const std::string path = native_path(name);
  if (!(native ? write_native(path, ds, c.err()) : save_sav(c, path, ds))) return {};
  ds.set_file_name(name);
  return c.none();
}

Value b_data_save_tab(Call& c) {
  Dataset& ds = data_session(c.interp()).dataset;
  if (!ds.require_data(c.err())) return {};
  std::string name;
  if (c.argc() > 0) {
    if (!one_text(c, 0, &name)) return {};
  } else if (ds.file_name()) {
    name = *ds.file_name();
  } else {
    return c.fail(kErrSpssFile);
  }
  if (!write_tab(native_path(tab_file_name(name)), ds, c.err())) return {};
  return c.none();
}

Value b_data_close(Call& c) {
  DataSession& s = data_session(c.interp());
  if (!s.dataset.require_data(c.err())) return {};
  s.safe_point();
  s.close_dataset();
  s.safe_point();
  return c.none();
}

}  // namespace

bool open_dataset(Interpreter& interp, const std::string& path, bool native) {
  return open_file(interp, path, native);
}

void set_report_saves(Interpreter& interp, bool on) { data_session(interp).report_saves = on; }

void install_file_builtins(BuiltinFamily& f) {
  f.add({
      {"DataOpen", 1, 2, 0, b_data_open},
      {"DataOpenTab", 1, 1, 0, b_data_open_tab},
      {"DataSave", 0, 2, 0, b_data_save},
      {"DataSaveTab", 0, 1, 0, b_data_save_tab},
      {"DataClose", 0, 0, 0, b_data_close},
  });
}

}  // namespace vop
