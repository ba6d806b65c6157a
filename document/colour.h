// Colour numbers of tables: R + 256*G + 65536*B, red in the low byte, the
// form scripts write and every renderer of a table reads.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace vop {

using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0;
inline constexpr Colour kWhite = 16777215;      // 255, 255, 255
inline constexpr Colour kColourMask = 0xFFFFFF;  // the three bytes that mean anything

inline constexpr int colour_red(Colour c) { return int(c & 0xFF); }
inline constexpr int colour_green(Colour c) { return int((c >> 8) & 0xFF); }
inline constexpr int colour_blue(Colour c) { return int((c >> 16) & 0xFF); }

// A script's colour value: NaN or infinite means "no colour of its own".
// Other values are truncated and only their three low bytes kept, so a
// careless value still names some colour instead of overflowing a cast.
inline std::optional<Colour> colour_from_value(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  const double t = std::trunc(std::fmod(v, 16777216.0));
  const auto n = static_cast<std::int64_t>(t < 0 ? t + 16777216.0 : t);
  return Colour(n) & kColourMask;
}

}  // namespace vop
