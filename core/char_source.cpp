#include "core/char_source.h"

#include <cstdio>
#include <memory>

namespace vop {

CharSource& CharSource::operator=(CharSource&& other) noexcept {
  const bool owns = other.text_.data() == other.owned_.data() && !other.owned_.empty();
  owned_ = std::move(other.owned_);
  text_ = owns ? std::string_view(owned_) : other.text_;
  pos_ = other.pos_;
  over_ = other.over_;
  other.text_ = {};
  other.pos_ = other.over_ = 0;
  return *this;
}

std::optional<CharSource> CharSource::from_file(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) return std::nullopt;
  std::string text;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) text.append(buf, n);
  if (std::ferror(f.get())) return std::nullopt;
  const bool scrambled = path.size() >= 3 && path.compare(path.size() - 3, 3, ".sc") == 0;
  if (scrambled)
    for (char& c : text) c = char(swap_nibbles((unsigned char)c));
  CharSource src{std::string_view()};
  src.owned_ = std::move(text);
  src.text_ = src.owned_;
  return src;
}

}  // namespace vop
