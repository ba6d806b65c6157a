// Charts as LibreOffice draws them: a small Word document holding the
// rendered chart parts is converted to PDF (and to PNG for a look by eye,
// kept in the build folder); the PDF's text must show the labels, the
// series names and the values in their number format. Slow: it starts the
// office suite.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "chart_xml.h"
#include "file_text.h"
#include "office/chart_text.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

int shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool have(const char* program) {
  return shell(std::string("command -v ") + program + " >/dev/null 2>&1") == 0;
}

// A minimal .docx: one centred paragraph per chart, each an inline chart
// with its embedded workbook.
class MiniDocx {
 public:
  void add(const ChartRequest& chart, const ChartPart& part) {
    charts_.push_back({chart, part});
  }

  bool write(const std::string& path) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) return false;
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"xlsx\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>";
    std::string doc_rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::string body;
    for (size_t k = 0; k < charts_.size(); ++k) {
      const std::string n = std::to_string(k + 1);
      const ChartRequest& c = charts_[k].first;
      const ChartPart& p = charts_[k].second;
      types += "<Override PartName=\"/word/charts/chart" + n +
               ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.drawingml.chart+xml\"/>";
      doc_rels += "<Relationship Id=\"rIdChart" + n +
                  "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart\" "
                  "Target=\"charts/chart" + n + ".xml\"/>";
      body += "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>"
              "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
              "<wp:extent cx=\"" + std::to_string(long(c.width * 12700)) + "\" cy=\"" +
              std::to_string(long(c.height * 12700)) + "\"/>"
              "<wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
              "<wp:docPr id=\"" + n + "\" name=\"Chart " + n + "\"/><wp:cNvGraphicFramePr/>"
              "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
              "<c:chart r:id=\"rIdChart" + n + "\"/></a:graphicData></a:graphic></wp:inline>"
              "</w:drawing></w:r></w:p>";
      add_part(z, "word/charts/chart" + n + ".xml", p.chart_xml);
      if (!p.workbook.empty()) {
        add_part(z, "word/embeddings/Microsoft_Excel_Worksheet" + n + ".xlsx",
                 std::string(p.workbook.begin(), p.workbook.end()));
        add_part(z, "word/charts/_rels/chart" + n + ".xml.rels",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"" + p.workbook_rel_id +
                     "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/package\" "
                     "Target=\"../embeddings/Microsoft_Excel_Worksheet" + n + ".xlsx\"/></Relationships>");
      }
    }
    types += "</Types>";
    doc_rels += "</Relationships>";
    add_part(z, "[Content_Types].xml", types);
    add_part(z, "_rels/.rels",
             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
             "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>");
    add_part(z, "word/_rels/document.xml.rels", doc_rels);
    add_part(z, "word/document.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
             "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
             "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
             "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
             "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"><w:body>" +
                 body +
                 "<w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/></w:sectPr>"
                 "</w:body></w:document>");
    const bool ok = ok_;
    return zip_close(z) == 0 && ok;
  }

 private:
  void add_part(zip_t* z, const std::string& name, const std::string& bytes) {
    parts_.push_back(bytes);  // libzip reads the bytes when the archive closes
    zip_source_t* src = zip_source_buffer(z, parts_.back().data(), parts_.back().size(), 0);
    if (!src || zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
      if (src) zip_source_free(src);
      ok_ = false;
    }
  }

  std::vector<std::pair<ChartRequest, ChartPart>> charts_;
  std::vector<std::string> parts_;
  bool ok_ = true;
};

ChartRequest survey(ChartKind kind) {
  ChartRequest c;
  c.kind = kind;
  DocTable& t = c.table;
  t.shape = {3, 2, 2, 1};
  t.cells = {DocCell("12"), DocCell("41"), DocCell("30"), DocCell("n/a"), DocCell("58"), DocCell("17")};
  t.row_labels = {"yes", "no", "maybe"};
  t.col_labels = {"Year", "", "2019", "2020"};
  c.unit = '%';
  return c;
}

TEST(ChartRender, LibreOfficeDrawsTheChartsWithTheirLabelsAndValues) {
  if (!have("soffice") || !have("pdftotext")) GTEST_SKIP() << "LibreOffice or poppler-utils missing";
  // Kept after the test, for a look at the PNG.
  const std::string dir = VOP_BUILD_TESTS_DIR "/chart_render/";
  fs::remove_all(dir);
  fs::create_directories(dir);

  std::vector<std::string> parts;  // the bytes libzip reads on close
  MiniDocx docx;
  ChartRequest bar = survey(ChartKind::Bar);
  docx.add(bar, render_chart(bar, kChartEnglish));
  ChartRequest pie = survey(ChartKind::Pie);
  pie.row_colours = {3, 10, 5};
  pie.table.row_labels = {"Skopje", "Ohrid", "Bitola"};
  docx.add(pie, render_chart(pie, kChartMacedonian));
  const std::string doc = dir + "charts.docx";
  ASSERT_TRUE(docx.write(doc));

  const std::string cmd = "cd '" + dir + "' && soffice -env:UserInstallation=file://" + dir +
                          "profile --headless --convert-to pdf --outdir '" + dir + "' '" + doc +
                          "' >/dev/null 2>&1";
  ASSERT_EQ(shell(cmd), 0) << cmd;
  const std::string pdf = dir + "charts.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  if (have("pdftoppm")) shell("pdftoppm -png -r 80 '" + pdf + "' '" + dir + "charts' >/dev/null 2>&1");
  ASSERT_EQ(shell("pdftotext -layout '" + pdf + "' '" + dir + "charts.txt'"), 0);
  const std::string text = test::slurp(dir + "charts.txt");
  for (const char* want : {"yes", "maybe", "Year 2019", "2020", "12%", "58%", "41%", "17%",
                           "Скопје", "Битола", "30%"}) {
    EXPECT_NE(text.find(want), std::string::npos) << want << " not shown in\n" << text;
  }
  EXPECT_EQ(text.find("n/a"), std::string::npos) << "a gap shows no label";
}

}  // namespace
}  // namespace vop
