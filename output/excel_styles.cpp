#include "output/excel_styles.h"

#include <algorithm>

#include "document/doc_table.h"

namespace vop {

void Palette::reset() {
  colours_ = {};
  colours_[0] = kBlack;
  colours_[1] = kWhite;
  colours_[2] = kPaletteGrey;
  count_ = 3;
}

int Palette::lookup(Colour c) {
  const auto end = colours_.begin() + count_;
  const auto it = std::find(colours_.begin(), end, c);
  if (it != end) return int(it - colours_.begin());
  if (count_ == kPaletteSize) return 0;
  colours_[size_t(count_)] = c;
  return count_++;
}

int CellClass::number() const {
  return ((((top * kBorderCodes + bottom) * kBorderCodes + left) * kBorderCodes + right) *
              kPaletteSize + background) * kPaletteSize + text;
}

CellClass CellClass::from_number(int n) {
  CellClass c{};
  c.text = n % kPaletteSize;
  n /= kPaletteSize;
  c.background = n % kPaletteSize;
  n /= kPaletteSize;
  c.right = n % kBorderCodes;
  n /= kBorderCodes;
  c.left = n % kBorderCodes;
  n /= kBorderCodes;
  c.bottom = n % kBorderCodes;
  c.top = n / kBorderCodes;
  return c;
}

std::string_view excel_border_css(int code) {
  // Codes 0 and 1 share the hairline: every class block names all four sides.
  static constexpr std::string_view kCss[kBorderCodes] = {
      ".5pt solid #ADADAD", ".5pt solid #ADADAD", "1.0pt solid #ADADAD", "2.0pt double #ADADAD"};
  return code >= 0 && code < kBorderCodes ? kCss[code] : kCss[kBorderThin];
}

}  // namespace vop
