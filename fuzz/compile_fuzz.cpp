// Arbitrary bytes through the lexer and the compiler, as a run text and as
// a function file. Compiling must never crash, hang, over-read or leak,
// whatever the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vop::FunctionTable table;
  {
    vop::ErrorState err;
    vop::CharSource src = vop::CharSource::from_text(text);
    auto prog = vop::compile_text(vop::CompileEnv{err, table}, src);
    if (prog && !prog->nodes.empty()) (void)vop::to_string(*prog);
  }
  {
    vop::ErrorState err;
    vop::CharSource src = vop::CharSource::from_pushed_text(text);
    (void)vop::compile_file(vop::CompileEnv{err, table}, src, "fuzz");
  }
  return 0;
}
