// LibreOffice Impress opens the slides Tesvin makes of the bundled chart
// report and converts them to PDF, one page a slide, with the slide
// titles in its text. The slide with the pair of charts is left as
// tesvin_slide.png in the build folder, to look at. Skips without
// LibreOffice.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "file_text.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::slurp;

int shell(const std::string& cmd) {
  const int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}
bool have(const char* program) { return shell(std::string("command -v ") + program + " >/dev/null 2>&1") == 0; }

TEST(TesvinInImpress, TheSlidesConvertToPdf) {
  if (!have("soffice") || !have("pdftoppm")) GTEST_SKIP() << "LibreOffice or pdftoppm missing";
  const std::string dir = ::testing::TempDir() + "vop_tesvin_office_" + std::to_string(::getpid()) + "/";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string docx = dir + "report.docx", pptx = dir + "report.pptx";
  ASSERT_EQ(shell("cd '" + std::string(VOP_SOURCE_DIR) + "' && '" + VOP_RUN +
                  "' --data examples/survey.sav --docx-charts '" + docx + "' examples/charts.s > /dev/null"),
            0);
  ASSERT_EQ(shell("'" + std::string(VOP_TESVIN) + "' --input '" + docx + "' --output '" + pptx + "'"), 0);
  const std::string cmd = "soffice -env:UserInstallation=file://" + dir + "profile --headless --convert-to pdf" +
                          " --outdir '" + dir + "' '" + pptx + "' >/dev/null 2>&1";
  ASSERT_EQ(shell(cmd), 0) << cmd;
  const std::string pdf = dir + "report.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  if (have("pdftotext")) {
    ASSERT_EQ(shell("pdftotext '" + pdf + "' '" + dir + "report.txt'"), 0);
    const std::string text = slurp(dir + "report.txt");
    for (const char* title : {"Customer satisfaction survey", "Brands used", "Who answered", "Thank you",
                              "Base: all respondents"})
      EXPECT_NE(text.find(title), std::string::npos) << title;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 7);
  }
  // The sixth slide holds the pair of pies.
  const std::string png = std::string(VOP_BINARY_DIR) + "/tests/tesvin_slide";
  ASSERT_EQ(shell("pdftoppm -f 6 -l 6 -r 60 -png -singlefile '" + pdf + "' '" + png + "'"), 0);
  EXPECT_GT(fs::file_size(png + ".png"), 5000u);
  fs::remove_all(dir);
}

// A .doc in Word's old binary format goes through LibreOffice first; its
// charts lose their workbooks on the way but keep their values.
TEST(TesvinInImpress, ADocIsConvertedByLibreOfficeFirst) {
  if (!have("soffice")) GTEST_SKIP() << "LibreOffice missing";
  const std::string dir = ::testing::TempDir() + "vop_tesvin_doc_" + std::to_string(::getpid()) + "/";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string docx = dir + "report.docx";
  ASSERT_EQ(shell("cd '" + std::string(VOP_SOURCE_DIR) + "' && '" + VOP_RUN +
                  "' --data examples/survey.sav --docx-charts '" + docx + "' examples/charts.s > /dev/null"),
            0);
  ASSERT_EQ(shell("soffice -env:UserInstallation=file://" + dir + "profile --headless --convert-to doc --outdir '" +
                  dir + "old' '" + docx + "' >/dev/null 2>&1"),
            0);
  ASSERT_TRUE(fs::exists(dir + "old/report.doc"));
  // Its own temporary folder, to see that the conversion leaves nothing there.
  fs::create_directories(dir + "tmp");
  ASSERT_EQ(shell("TMPDIR='" + dir + "tmp' '" + std::string(VOP_TESVIN) + "' --input '" + dir +
                  "old/report.doc' --output '" + dir + "old.pptx' 2> '" + dir + "err'"),
            0)
      << slurp(dir + "err");
  ASSERT_EQ(shell("cd '" + dir + "' && /usr/bin/python3 -c \"import zipfile, re\n"
                  "z = zipfile.ZipFile('old.pptx')\n"
                  "t = ''.join(z.read(n).decode() for n in z.namelist() if re.match(r'ppt/slides/slide\\d+.xml$', n))\n"
                  "open('slides.txt', 'w').write(t)\""),
            0);
  const std::string text = slurp(dir + "slides.txt");
  EXPECT_NE(text.find("Who answered"), std::string::npos);
  EXPECT_NE(text.find("Base: all respondents"), std::string::npos);
  size_t frames = 0;
  for (size_t at = text.find("<p:graphicFrame>"); at != std::string::npos; at = text.find("<p:graphicFrame>", at + 1))
    ++frames;
  EXPECT_EQ(frames, 4u);
  // LibreOffice's profile and the converted .docx are gone.
  EXPECT_TRUE(fs::is_empty(dir + "tmp"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vop
