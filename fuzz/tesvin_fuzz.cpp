// libFuzzer target for Tesvin's conversion: any bytes as a Word document
// either become slides or are refused with a message, never a crash, and a
// refused document leaves no presentation behind. Seed it with the small
// documents in tests/data/docx: tesvin_fuzz -max_total_time=60 DIR
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "companions/slides/converter.h"

namespace {

// Files of this process, removed again after every input.
struct Scratch {
  Scratch() {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string pid = std::to_string(::getpid());
    in = dir + "/vop_tesvin_fuzz_" + pid + ".docx";
    out = dir + "/vop_tesvin_fuzz_" + pid + ".pptx";
  }
  std::string in, out;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Scratch scratch;
  static const vop::ChartConfig config = [] {
    vop::ChartConfig c;
    c.style_title = "Heading 1";
    c.style_head2 = "Heading 2";
    c.style_head3 = "Heading3";
    return c;
  }();
  std::FILE* f = std::fopen(scratch.in.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  std::string error;
  const bool ok = vop::convert_document(scratch.in, scratch.out, config, "", {size % 2 == 1, size % 3 == 1}, &error);
  std::error_code ec;
  const bool written = std::filesystem::exists(scratch.out, ec);
  if (ok != written || (!ok && error.empty())) std::abort();
  std::filesystem::remove(scratch.out, ec);
  std::filesystem::remove(scratch.in, ec);
  return 0;
}
