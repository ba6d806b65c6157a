// A libxlsxwriter workbook that reaches the user's file through save_file.
// The library writes only to a file name, so the workbook goes to a
// temporary "vop" file in the system's temporary folder first; its bytes
// then replace the target in one save, and a failed save keeps the old
// file. Nothing is left in the user's folder but the finished workbook.
#pragma once

#include <string>
#include <string_view>

#include <xlsxwriter.h>

namespace vop {

class XlsxFile {
 public:
  XlsxFile();
  ~XlsxFile();
  XlsxFile(const XlsxFile&) = delete;
  XlsxFile& operator=(const XlsxFile&) = delete;

  // nullptr when no temporary file could be made (save then says why).
  lxw_workbook* workbook() { return workbook_; }
  // Closes the workbook and saves it at `path`. False with a message in
  // `error` (when given).
  bool save(const std::string& path, std::string* error);

 private:
  std::string temp_;               // the temporary file; removed when done
  lxw_workbook* workbook_ = nullptr;  // open until save
  std::string failure_;            // why there is no workbook
};

// A text as a cell or a comment can hold it: well-formed UTF-8 (bytes that
// are no UTF-8 read as windows-1252), at most 32,767 characters.
std::string xlsx_text(std::string_view text);

}  // namespace vop
