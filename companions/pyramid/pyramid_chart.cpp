#include "companions/pyramid/pyramid_chart.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/random_generator.h"

namespace vop::pyramid {

namespace {

// Windows colour values (0x00BBGGRR), by palette index.
constexpr uint32_t kFill[kMaxColumns] = {
    5581829, 8734215, 11952136, 15038986, 16028462, 16231519, 16303502, 16441023, 8505,     16491,   24478,
    32722,   368383,  3781375,  7194111,  10607103, 9418,     493527,   3267830,  11268602, 1983805, 3179897,
    836763,  6026194, 3164263,  8694980,  11952136, 16303502, 6708816,  12495760, 4989286,  12488409};
constexpr uint32_t kWhite = 16777215;
constexpr uint32_t kOnBar[kMaxColumns] = {
    kWhite,  kWhite,  kWhite,   kWhite,   kWhite,   5581829,  5581829,  5581829, kWhite,  kWhite,  kWhite,
    kWhite,  8505,    8505,     8505,     8505,     kWhite,   kWhite,   9418,    9418,    kWhite,  kWhite,
    kWhite,  1983805, kWhite,   3164263,  3164263,  11952136, 11952136, 6708816, 6708816, 4989286};
constexpr uint32_t kBeside[kMaxColumns] = {
    5581829, 5581829, 5581829, 5581829, 5581829, 5581829,  5581829,  5581829, 8505,    8505,    8505,
    8505,    8505,    8505,    8505,    8505,    9418,     9418,     9418,    9418,    1983805, 1983805,
    1983805, 1983805, 3164263, 3164263, 11952136, 11952136, 6708816, 6708816, 4989286, 4989286};

constexpr uint32_t kRgbWhite = 0xFFFFFF;
constexpr uint32_t kRgbBlack = 0x000000;
constexpr uint32_t kSeparatorGrey = 11382189;  // red, green and blue all 173

// Lengths in points.
constexpr double kSlideWidth = 720;
constexpr double kLevelStep = 27.875;     // from one level's top to the next
constexpr double kLevelHeight = 25.875;
constexpr double kPyramidWidth = 85;      // a bar of 100 %
constexpr double kFirstTop = 70;
constexpr double kLabelLeft = 5;
constexpr double kOptimalLeft = 95;
constexpr double kMinTextBar = 13.6;      // narrower bars have their value beside them
constexpr double kBesideWidth = 20;
constexpr double kMargin = 1.5;
constexpr double kWeight = 1.5;
constexpr double kThinWeight = 0.5;
constexpr double kBandGap = 10;

int clamp_index(int i) { return std::clamp(i, 0, kMaxColumns - 1); }

std::string format_value(double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%0.0f", v);
  return buf;
}

std::string shape_name(int row, int column) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "r%dc%d", row, column);
  return buf;
}

class Drawer {
 public:
  Drawer(Presentation& p, int slide, const Options& o) : p_(p), slide_(slide), o_(o) {}

  // Every shape is a rectangle built the same way: solid fill, a visible
  // outline, Arial, text anchored in the middle and wrapped.
  void box(const std::string& name, SlideBox b, uint32_t fill, uint32_t line, uint32_t font_colour, double size,
           const std::string& text, TextAlign align, bool margins, double weight) {
    SlideShape s;
    s.name = name;
    s.box = b;
    s.fill = fill;
    s.line = line;
    s.line_weight = weight;
    s.text = text;
    s.font = "Arial";
    s.font_size = size;
    s.font_colour = font_colour;
    s.align = align;
    s.inset = margins ? kMargin : 0.0;
    s.wrap = true;
    s.middle = true;
    p_.add_shape(slide_, s);
  }

  // One level of a pyramid whose column starts at x: the bar with its
  // value inside, or a narrow bar ("a") and the value at its left ("b").
  void level(const std::string& name, double x, double y, double v, int palette) {
    const double w = v * kPyramidWidth / 100;
    const double left = x + (kPyramidWidth - w) / 2;
    const uint32_t fill = fill_colour(palette);
    const std::string text = format_value(v);
    if (w >= kMinTextBar) {
      box(name, {left, y, w, kLevelHeight}, fill, fill, text_on_bar_colour(palette), 8, text, TextAlign::Centre,
          true, kWeight);
    } else {
      box(name + "a", {left, y, w, kLevelHeight}, fill, fill, text_on_bar_colour(palette), 8, "",
          TextAlign::Centre, true, kWeight);
      box(name + "b", {left - kBesideWidth, y, kBesideWidth, kLevelHeight}, kRgbWhite, kRgbWhite,
          text_beside_colour(palette), 8, text, TextAlign::Right, true, kWeight);
    }
  }

  // The ratio between the level whose top is y and the one above it, on
  // their border: beside the pyramid, or small on the bars.
  void ratio(const std::string& name, double x, double y, double q, int palette) {
    const std::string text = format_value(q);
    const uint32_t colour = text_beside_colour(palette);
    if (o_.next_to) {
      box(name, {x + 90, y - 3.835, 14.25, 7.67}, kRgbWhite, fill_colour(palette), colour, 8, text,
          TextAlign::Centre, false, kThinWeight);
    } else if (q < 100) {
      box(name, {x + 36.8, y - 2.95, 11.4, 5.9}, kRgbWhite, kRgbWhite, colour, 8, text, TextAlign::Centre, false,
          kWeight);
    } else {
      box(name, {x + 33.95, y - 2.95, 17.1, 5.9}, kRgbWhite, kRgbWhite, colour, 8, text, TextAlign::Centre, false,
          kWeight);
    }
  }

  // A white box with black 9-point text: level and pyramid names.
  void label(const std::string& name, SlideBox b, const std::string& text, TextAlign align) {
    box(name, b, kRgbWhite, kRgbWhite, kRgbBlack, 9, text, align, true, kWeight);
  }

 private:
  Presentation& p_;
  int slide_;
  Options o_;
};

}  // namespace

uint32_t fill_colour(int index) { return rgb_of_windows(kFill[clamp_index(index)]); }
uint32_t text_on_bar_colour(int index) { return rgb_of_windows(kOnBar[clamp_index(index)]); }
uint32_t text_beside_colour(int index) { return rgb_of_windows(kBeside[clamp_index(index)]); }

uint32_t seed_of_time(uint64_t unix_seconds) {
  const uint32_t t = uint32_t(unix_seconds);
  return (t << 16) | (t >> 16);
}

int palette_start(uint32_t seed, int columns) {
  RandomGenerator gen;
  gen.seed(seed);
  const int64_t r = gen.next();
  return int((r + 1) * (kMaxColumns - columns) / (RandomGenerator::kMaxOutput + 1));
}

std::string check_table(const Table& table) {
  bool any = false;
  for (const auto& row : table)
    for (const Cell& c : row) any = any || c.kind != Cell::Kind::None;
  if (!any) return kNoSelection;
  if (row_count(table) == 1 && column_count(table) == 1) return kNotATable;
  if (column_count(table) > kMaxColumns)
    return "The table has " + std::to_string(column_count(table)) + " columns; pyramids are drawn from at most " +
           std::to_string(kMaxColumns) + " (the level names and " + std::to_string(kMaxColumns - 1) +
           " pyramids): select fewer columns.";
  return {};
}

void draw_pyramids(Presentation& p, int slide, const Table& table, const Options& o, int start) {
  const int R = row_count(table), C = column_count(table);
  // A row of names alone has no levels: nothing to draw.
  if (R < 2) return;
  const double F = o.optimal ? 1 : 0;
  const double M = o.next_to ? 34.2 : 0;
  const double pitch = 90 + M;
  const double first_left = 5 + 90 * (F + 1) + 5 * F + M;
  const auto cell = [&](int row, int column) -> const Cell& { return table[size_t(row - 1)][size_t(column - 1)]; };
  Drawer d(p, slide, o);

  double T = kFirstTop;
  const auto level_names = [&](bool named) {
    for (int j = 1; j <= R - 1; ++j)
      if (cell(j, 1).is_text())
        d.label(named ? shape_name(j, 1) : "", {kLabelLeft, T + (j - 1) * kLevelStep, 85, kLevelHeight},
                cell(j, 1).text, TextAlign::Left);
  };
  level_names(true);

  // best[i]: the widest bottom level (i = R - 1), else the best ratio
  // from level i + 1 up to level i that is not above 100.
  std::vector<double> best(size_t(R), 0.0);
  int band_first = 2;
  for (int c = 2; c <= C; ++c) {
    int k = c - band_first;
    if (k * pitch + first_left + 85 + M > kSlideWidth) {
      band_first = c;
      T += R * kLevelStep + kBandGap;
      level_names(false);
      k = 0;
    }
    const double x = k * pitch + first_left;
    const int palette = start + c - 2;
    std::optional<double> above;
    for (int j = 1; j <= R - 1; ++j) {
      if (!cell(j, c).is_number()) continue;
      const double v = cell(j, c).number;
      const double y = T + (j - 1) * kLevelStep;
      const std::string name = shape_name(j, c);
      d.level(name, x, y, v, palette);
      if (j == R - 1) best[size_t(R - 1)] = std::max(best[size_t(R - 1)], v);
      // A level of 0 has no ratio to the one above: there is nothing to
      // convert to (the division would show "inf" or "nan").
      if (j > 1 && above && v != 0) {
        const double q = *above / v * 100;
        if (q <= 100) best[size_t(j - 1)] = std::max(best[size_t(j - 1)], q);
        d.ratio(name + "k", x, y, q, palette);
      }
      above = v;
    }
    if (cell(R, c).is_text())
      d.label(shape_name(R, c), {x, T + (R - 1) * kLevelStep, 85, kLevelHeight}, cell(R, c).text,
              TextAlign::Centre);
  }

  if (!o.optimal) return;
  // The optimal pyramid takes the palette entry after the data pyramids'
  // and is named as a column after the last one.
  const int palette = start + C - 1;
  double u = 100;
  for (int i = R - 1; i >= 1; --i) {
    u = u * best[size_t(i)] / 100;
    d.level(shape_name(i, C + 1), kOptimalLeft, kFirstTop + (i - 1) * kLevelStep, u, palette);
    if (i < R - 1) d.ratio(shape_name(i + 1, C + 1) + "k", kOptimalLeft, kFirstTop + i * kLevelStep, best[size_t(i)],
                           palette);
  }
  d.label("", {kOptimalLeft, kFirstTop + (R - 1) * kLevelStep, 85, kLevelHeight}, "Optimal", TextAlign::Centre);
  SlideLine line;
  line.x1 = line.x2 = M + 185;
  line.y1 = kFirstTop;
  line.y2 = T + (R - 1) * kLevelStep + kLevelHeight;
  line.colour = rgb_of_windows(kSeparatorGrey);
  line.weight = kThinWeight;
  p.add_line(slide, line);
}

bool make_presentation(const Table& table, const Options& options, uint32_t seed, const std::string& template_path,
                       Presentation* out, std::string* error) {
  const std::string refused = check_table(table);
  if (!refused.empty()) {
    *error = refused;
    return false;
  }
  Presentation p;
  if (!template_path.empty() && !p.load_template(template_path, error)) return false;
  const int slide = p.insert_slide(0, Presentation::Layout::Blank);
  draw_pyramids(p, slide, table, options, palette_start(seed, column_count(table)));
  *out = std::move(p);
  return true;
}

}  // namespace vop::pyramid
