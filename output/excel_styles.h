// What an Excel-HTML workbook accumulates while a run writes tables: the
// palette of cell colours, the set of cell classes used, and the widest
// table (the workbook's column widths follow it).
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <string_view>

#include "document/colour.h"

namespace vop {

// Excel's workbook palette holds 56 colours; a colour beyond that cannot
// be named and falls back to position 0 (black).
inline constexpr int kPaletteSize = 56;
inline constexpr Colour kPaletteGrey = 11382189;  // 173, 173, 173: the border colour

class Palette {
 public:
  Palette() { reset(); }
  // Empty, then seeded: black 0, white 1, grey 2.
  void reset();
  // Position of c, appending it when new and there is room; 0 when full.
  int lookup(Colour c);
  int size() const { return count_; }
  Colour at(int position) const { return colours_[size_t(position)]; }

 private:
  std::array<Colour, kPaletteSize> colours_{};  // positions 0 .. count_-1
  int count_ = 0;                               // colours in use
};

// Palette positions of a cell without colours of its own.
inline constexpr int kDefaultBackground = 1;  // white
inline constexpr int kDefaultText = 0;        // black

// A cell class: four border codes (0..3) and two palette positions.
struct CellClass {
  int top, bottom, left, right;  // border codes 0..3
  int background, text;          // palette positions 0..55
  // ((((top*4 + bottom)*4 + left)*4 + right)*56 + background)*56 + text
  int number() const;
  static CellClass from_number(int n);
};

// One bit per possible class number: 4*4*4*4*56*56 of them.
inline constexpr int kClassCount = 4 * 4 * 4 * 4 * kPaletteSize * kPaletteSize;

class HtmlStyleTable {
 public:
  HtmlStyleTable() : used_(std::make_unique<std::bitset<kClassCount>>()) {}
  void clear() { used_->reset(); }
  void mark(int number) { used_->set(size_t(number)); }
  bool used(int number) const { return used_->test(size_t(number)); }

 private:
  std::unique_ptr<std::bitset<kClassCount>> used_;  // 100,352 bytes, on the heap
};

// The CSS border of a code, as the workbook's class blocks write it.
std::string_view excel_border_css(int code);

// Everything the Excel-HTML document needs from the run's tables.
struct ExcelStyles {
  Palette palette;        // colours the classes name
  HtmlStyleTable classes;  // classes used by the tables
  int widest = 0;         // most grid columns of any table since arming

  // Arming an Excel redirect: all three start afresh.
  void reset() {
    palette.reset();
    classes.clear();
    widest = 0;
  }
};

}  // namespace vop
