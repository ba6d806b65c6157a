// The parts of the plain built-in presentation: 4:3 slides of 720 x 540
// points, one master (Calibri, black on white) with three layouts (title,
// title only, blank) and a theme.
#include "office/presentation_parts.h"

namespace vop {

namespace {

constexpr const char* kNs =
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";

constexpr const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

constexpr const char* kGroup =
    "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
    "<p:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/>"
    "<a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>";

// A placeholder of the master or a layout at a box given in EMU.
std::string placeholder(int id, const char* name, const char* ph, long x, long y, long cx, long cy,
                        const char* body = "") {
  return std::string("<p:sp><p:nvSpPr><p:cNvPr id=\"") + std::to_string(id) + "\" name=\"" + name +
         "\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/></p:cNvSpPr><p:nvPr>" + ph +
         "</p:nvPr></p:nvSpPr><p:spPr><a:xfrm><a:off x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\"/><a:ext cx=\"" + std::to_string(cx) + "\" cy=\"" + std::to_string(cy) +
         "\"/></a:xfrm></p:spPr><p:txBody><a:bodyPr/><a:lstStyle/>" +
         (*body ? std::string(body) : std::string("<a:p><a:endParaRPr lang=\"en-US\"/></a:p>")) +
         "</p:txBody></p:sp>";
}

std::string level_style(const char* tag, int size, bool bullets) {
  std::string s = std::string("<") + tag + ">";
  for (int level = 1; level <= (bullets ? 2 : 1); ++level) {
    const int indent = bullets ? 342900 * level : 0;
    s += "<a:lvl" + std::to_string(level) + "pPr marL=\"" + std::to_string(indent) + "\" indent=\"" +
         std::to_string(bullets ? -342900 : 0) + "\" algn=\"l\">" +
         (bullets ? "<a:buFont typeface=\"Arial\"/><a:buChar char=\"&#8226;\"/>" : "<a:buNone/>") +
         "<a:defRPr sz=\"" + std::to_string(bullets ? size - 400 * (level - 1) : size) +
         "\"><a:solidFill><a:schemeClr val=\"tx1\"/></a:solidFill><a:latin typeface=\"+mn-lt\"/></a:defRPr></a:lvl" +
         std::to_string(level) + "pPr>";
  }
  s += std::string("</") + tag + ">";
  return s;
}

std::string master() {
  return std::string(kDecl) + "<p:sldMaster" + kNs + "><p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/>"
         "</p:bgRef></p:bg><p:spTree>" + kGroup +
         placeholder(2, "Title Placeholder 1", "<p:ph type=\"title\"/>", 457200, 274638, 8229600, 1143000) +
         placeholder(3, "Text Placeholder 2", "<p:ph type=\"body\" idx=\"1\"/>", 457200, 1600200, 8229600, 4525963) +
         "</p:spTree></p:cSld><p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\""
         " accent2=\"accent2\" accent3=\"accent3\" accent4=\"accent4\" accent5=\"accent5\" accent6=\"accent6\""
         " hlink=\"hlink\" folHlink=\"folHlink\"/><p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" r:id=\"rId1\"/>"
         "<p:sldLayoutId id=\"2147483650\" r:id=\"rId2\"/><p:sldLayoutId id=\"2147483651\" r:id=\"rId3\"/>"
         "</p:sldLayoutIdLst><p:txStyles>" +
         level_style("p:titleStyle", 4000, false) + level_style("p:bodyStyle", 2800, true) +
         level_style("p:otherStyle", 1800, false) + "</p:txStyles></p:sldMaster>";
}

std::string layout(const char* type, const char* name, const std::string& shapes) {
  return std::string(kDecl) + "<p:sldLayout" + kNs + " type=\"" + type + "\" preserve=\"1\"><p:cSld name=\"" + name +
         "\"><p:spTree>" + kGroup + shapes + "</p:spTree></p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr>"
         "</p:sldLayout>";
}

constexpr const char* kTheme =
    "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Vop\"><a:themeElements>"
    "<a:clrScheme name=\"Vop\"><a:dk1><a:srgbClr val=\"000000\"/></a:dk1><a:lt1><a:srgbClr val=\"FFFFFF\"/></a:lt1>"
    "<a:dk2><a:srgbClr val=\"1F497D\"/></a:dk2><a:lt2><a:srgbClr val=\"EEECE1\"/></a:lt2>"
    "<a:accent1><a:srgbClr val=\"4F81BD\"/></a:accent1><a:accent2><a:srgbClr val=\"C0504D\"/></a:accent2>"
    "<a:accent3><a:srgbClr val=\"9BBB59\"/></a:accent3><a:accent4><a:srgbClr val=\"8064A2\"/></a:accent4>"
    "<a:accent5><a:srgbClr val=\"4BACC6\"/></a:accent5><a:accent6><a:srgbClr val=\"F79646\"/></a:accent6>"
    "<a:hlink><a:srgbClr val=\"0000FF\"/></a:hlink><a:folHlink><a:srgbClr val=\"800080\"/></a:folHlink></a:clrScheme>"
    "<a:fontScheme name=\"Vop\"><a:majorFont><a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>"
    "</a:majorFont><a:minorFont><a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>"
    "</a:minorFont></a:fontScheme><a:fmtScheme name=\"Vop\"><a:fillStyleLst>"
    "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>"
    "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:fillStyleLst><a:lnStyleLst>"
    "<a:ln w=\"9525\"><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:ln>"
    "<a:ln w=\"25400\"><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:ln>"
    "<a:ln w=\"38100\"><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:ln></a:lnStyleLst>"
    "<a:effectStyleLst><a:effectStyle><a:effectLst/></a:effectStyle><a:effectStyle><a:effectLst/></a:effectStyle>"
    "<a:effectStyle><a:effectLst/></a:effectStyle></a:effectStyleLst><a:bgFillStyleLst>"
    "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>"
    "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:bgFillStyleLst></a:fmtScheme></a:themeElements>"
    "<a:objectDefaults/><a:extraClrSchemeLst/></a:theme>";

}  // namespace

std::vector<BuiltinPart> builtin_presentation_parts() {
  std::vector<BuiltinPart> parts;
  parts.push_back({"ppt/presentation.xml", kPresentationMainType,
                   std::string(kDecl) + "<p:presentation" + kNs + " saveSubsetFonts=\"1\"><p:sldMasterIdLst>"
                   "<p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/></p:sldMasterIdLst>"
                   "<p:sldSz cx=\"9144000\" cy=\"6858000\" type=\"screen4x3\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
                   "</p:presentation>",
                   {{"rId1", kRelSlideMaster, "ppt/slideMasters/slideMaster1.xml"},
                    {"rId2", kRelTheme, "ppt/theme/theme1.xml"},
                    {"rId3", kRelPresProps, "ppt/presProps.xml"},
                    {"rId4", kRelViewProps, "ppt/viewProps.xml"},
                    {"rId5", kRelTableStyles, "ppt/tableStyles.xml"}}});
  parts.push_back({"ppt/slideMasters/slideMaster1.xml",
                   "application/vnd.openxmlformats-officedocument.presentationml.slideMaster+xml", master(),
                   {{"rId1", kRelSlideLayout, "ppt/slideLayouts/slideLayout1.xml"},
                    {"rId2", kRelSlideLayout, "ppt/slideLayouts/slideLayout2.xml"},
                    {"rId3", kRelSlideLayout, "ppt/slideLayouts/slideLayout3.xml"},
                    {"rId4", kRelTheme, "ppt/theme/theme1.xml"}}});
  const std::vector<BuiltinRel> to_master = {{"rId1", kRelSlideMaster, "ppt/slideMasters/slideMaster1.xml"}};
  parts.push_back(
      {"ppt/slideLayouts/slideLayout1.xml", kSlideLayoutType,
       layout("title", "Title Slide",
              placeholder(2, "Title 1", "<p:ph type=\"ctrTitle\"/>", 685800, 2130425, 7772400, 1470025) +
                  placeholder(3, "Subtitle 2", "<p:ph type=\"subTitle\" idx=\"1\"/>", 1371600, 3886200, 6400800,
                              1752600)),
       to_master});
  parts.push_back({"ppt/slideLayouts/slideLayout2.xml", kSlideLayoutType,
                   layout("titleOnly", "Title Only",
                          placeholder(2, "Title 1", "<p:ph type=\"title\"/>", 457200, 274638, 8229600, 1143000)),
                   to_master});
  parts.push_back({"ppt/slideLayouts/slideLayout3.xml", kSlideLayoutType, layout("blank", "Blank", ""), to_master});
  parts.push_back({"ppt/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml",
                   std::string(kDecl) + kTheme, {}});
  parts.push_back({"ppt/presProps.xml", "application/vnd.openxmlformats-officedocument.presentationml.presProps+xml",
                   std::string(kDecl) + "<p:presentationPr" + kNs + "/>", {}});
  parts.push_back({"ppt/viewProps.xml", "application/vnd.openxmlformats-officedocument.presentationml.viewProps+xml",
                   std::string(kDecl) + "<p:viewPr" + kNs + "><p:gridSpacing cx=\"76200\" cy=\"76200\"/></p:viewPr>",
                   {}});
  parts.push_back({"ppt/tableStyles.xml", "application/vnd.openxmlformats-officedocument.presentationml.tableStyles+xml",
                   std::string(kDecl) +
                       "<a:tblStyleLst xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
                       " def=\"{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}\"/>",
                   {}});
  parts.push_back({"docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml",
                   std::string(kDecl) +
                       "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
                       "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>Vop</dc:creator>"
                       "</cp:coreProperties>",
                   {}});
  return parts;
}

}  // namespace vop
