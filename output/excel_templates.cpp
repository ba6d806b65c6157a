// The pieces are kept here with plain line feeds for readability and are
// turned into the CR LF text that Office HTML uses once, on first use.
#include "output/excel_templates.h"

#include <string>

namespace vop {

namespace {

constexpr std::string_view kHead = R"(<html xmlns:v="urn:schemas-microsoft-com:vml"
xmlns:o="urn:schemas-microsoft-com:office:office"
xmlns:x="urn:schemas-microsoft-com:office:excel"
xmlns:dt="uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"
xmlns="http://www.w3.org/TR/REC-html40">

<head>
<meta http-equiv=Content-Type content="text/html; charset=utf-8">
<meta name=ProgId content=Excel.Sheet>
<meta name=Generator content="Microsoft Excel 11">
<link rel=File-List href="Vop_files/filelist.xml">
<link rel=Edit-Time-Data href="Vop_files/editdata.mso">
<link rel=OLE-Object-Data href="Vop_files/oledata.mso">
<!--[if gte mso 9]><xml>
 <o:DocumentProperties>
  <o:Author>Lorvan</o:Author>
  <o:LastAuthor>Lorvan</o:LastAuthor>
  <o:Created>2004-12-19T02:05:34Z</o:Created>
  <o:LastSaved>2007-07-24T07:48:54Z</o:LastSaved>
  <o:Company>VOP</o:Company>
  <o:Version>11.5606</o:Version>
 </o:DocumentProperties>
 <o:CustomDocumentProperties><o:xp dt:dt="string">)";

constexpr std::string_view kStyles = R"(</o:Colors>
 </o:OfficeDocumentSettings>
</xml><![endif]-->
<style>
<!--table
	{mso-displayed-decimal-separator:"\.";
	mso-displayed-thousand-separator:"\,";}
@page
	{margin:1.0in .75in 1.0in .75in;
	mso-header-margin:.5in;
	mso-footer-margin:.5in;}
tr
	{mso-height-source:auto;}
col
	{mso-width-source:auto;}
br
	{mso-data-placement:same-cell;}
.style0
	{mso-number-format:General;
	text-align:general;
	vertical-align:bottom;
	white-space:nowrap;
	mso-rotate:0;
	mso-background-source:auto;
	mso-pattern:auto;
	color:windowtext;
	font-size:10.0pt;
	font-weight:400;
	font-style:normal;
	text-decoration:none;
	font-family:Arial;
	mso-generic-font-family:auto;
	mso-font-charset:0;
	border:none;
	mso-protection:locked visible;
	mso-style-name:Normal;
	mso-style-id:0;}
td
	{mso-style-parent:style0;
	padding-top:1px;
	padding-right:1px;
	padding-left:1px;
	mso-ignore:padding;
	color:windowtext;
	font-size:10.0pt;
	font-weight:400;
	font-style:normal;
	text-decoration:none;
	font-family:Arial;
	mso-generic-font-family:auto;
	mso-font-charset:0;
	mso-number-format:General;
	text-align:general;
	vertical-align:bottom;
	border:none;
	mso-background-source:auto;
	mso-pattern:auto;
	mso-protection:locked visible;
	white-space:nowrap;
	mso-rotate:0;}
.h1
	{mso-style-parent:style0;
	color:#003366;
	font-size:16.0pt;
	font-weight:700;}
.h2
	{mso-style-parent:style0;
	color:#003366;
	font-size:14.0pt;
	font-weight:700;}
.h3
	{mso-style-parent:style0;
	color:#003366;
	font-size:11.0pt;
	font-weight:700;}
.h4
	{mso-style-parent:style0;
	color:#003366;
	font-size:11.0pt;
	font-weight:700;}
.baza
	{mso-style-parent:style0;
	color:#009999;}
)";

constexpr std::string_view kSheet = R"(-->
</style>
<!--[if gte mso 9]><xml>
 <x:ExcelWorkbook>
  <x:ExcelWorksheets>
   <x:ExcelWorksheet>
    <x:Name>VSheet1</x:Name>
    <x:WorksheetOptions>
     <x:Print>
      <x:ValidPrinterInfo/>
      <x:PaperSizeIndex>9</x:PaperSizeIndex>
      <x:HorizontalResolution>600</x:HorizontalResolution>
      <x:VerticalResolution>600</x:VerticalResolution>
     </x:Print>
     <x:Zoom>85</x:Zoom>
     <x:Selected/>
     <x:Panes>
      <x:Pane>
       <x:Number>3</x:Number>
       <x:ActiveCol>9</x:ActiveCol>
      </x:Pane>
     </x:Panes>
     <x:ProtectContents>False</x:ProtectContents>
     <x:ProtectObjects>False</x:ProtectObjects>
     <x:ProtectScenarios>False</x:ProtectScenarios>
    </x:WorksheetOptions>
   </x:ExcelWorksheet>
  </x:ExcelWorksheets>
  <x:WindowHeight>9615</x:WindowHeight>
  <x:WindowWidth>13275</x:WindowWidth>
  <x:WindowTopX>360</x:WindowTopX>
  <x:WindowTopY>135</x:WindowTopY>
  <x:ProtectStructure>False</x:ProtectStructure>
  <x:ProtectWindows>False</x:ProtectWindows>
 </x:ExcelWorkbook>
</xml><![endif]-->
</head>

<body link="#FFB23A" vlink="#505E66">
)";

std::string with_crlf(std::string_view text) {
  std::string s;
  s.reserve(text.size() + text.size() / 16);
  for (char ch : text) {
    if (ch == '\n') s += '\r';
    s += ch;
  }
  return s;
}

}  // namespace

std::string_view excel_template_head() {
  static const std::string s = with_crlf(kHead);
  return s;
}

std::string_view excel_template_styles() {
  static const std::string s = with_crlf(kStyles);
  return s;
}

std::string_view excel_template_sheet() {
  static const std::string s = with_crlf(kSheet);
  return s;
}

}  // namespace vop
