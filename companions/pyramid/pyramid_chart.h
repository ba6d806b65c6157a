// Pyramid charts of conversion rates on a slide: one pyramid per data
// column of a table, one bar per level (row) as wide as its percentage,
// with the value on or beside the bar, the conversion ratios between
// consecutive levels, and optionally an "optimal" pyramid built from the
// best ratio of every step. Every shape is a rectangle with text in Arial;
// pyramids that pass the slide's right edge continue in a band below.
//
// The table: column 1 the level names, the last row the pyramid names,
// the cells between them the values (percentages, 0 to 100).
#pragma once

#include <cstdint>
#include <string>

#include "companions/pyramid/pyramid_table.h"
#include "office/presentation.h"

namespace vop::pyramid {

// What the user is told when there is no table to draw.
inline constexpr const char* kNoSpreadsheet = "Nema startovanog Excel programa.";
inline constexpr const char* kNoSelection = "Morate u Excelu selekrovati podatke koje hocete u piramidama.";
inline constexpr const char* kNotATable =
    "Selektovani podaci moraju biti tabele, leva kolona nazivi redova, donji red nazivi piramida.";

// The palette has 32 entries and a drawing takes one per pyramid plus
// one for the optimal pyramid, so a table has at most 32 columns.
inline constexpr int kMaxColumns = 32;

struct Options {
  bool next_to = false;  // ratios in boxes beside each pyramid, else small boxes on the bars
  bool optimal = false;  // an optimal pyramid first, at the left
};

// The three palettes by index 0..31, as 0xRRGGBB: bar fills, text on a
// bar, text beside a bar.
uint32_t fill_colour(int index);
uint32_t text_on_bar_colour(int index);
uint32_t text_beside_colour(int index);

// A Windows colour value (0x00BBGGRR) as 0xRRGGBB.
constexpr uint32_t rgb_of_windows(uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

// The generator's seed for a drawing at `unix_seconds`: the low 32 bits
// rotated by 16, so that drawings a second apart start far apart.
uint32_t seed_of_time(uint64_t unix_seconds);
// The first palette index for a table of `columns` columns (<= 32): one
// draw of the generator seeded with `seed`, scaled to 0 .. 32 - columns.
int palette_start(uint32_t seed, int columns);

// "" when the table can be drawn, else the message for the user: nothing
// selected, a single cell, or more columns than the palette has colours.
std::string check_table(const Table& table);

// Draws the table's pyramids on the slide, the palette starting at
// `start`. The table must have passed check_table.
void draw_pyramids(Presentation& p, int slide, const Table& table, const Options& options, int start);

// A new presentation (from the template at `template_path` when it is
// not empty) with a blank slide 1 holding the pyramids. False with a
// message when the table is refused or the template cannot be read.
bool make_presentation(const Table& table, const Options& options, uint32_t seed, const std::string& template_path,
                       Presentation* out, std::string* error);

}  // namespace vop::pyramid
