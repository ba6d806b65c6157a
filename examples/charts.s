% Survey tables with native charts, for a Word document:
%   build/cli/vop-run --data examples/survey.sav --docx-charts report.docx examples/charts.s
% Without --docx-charts the tables show as text and the charts are left out.

!recode age (lowest thru 29 = 1) (30 thru 49 = 2) (50 thru highest = 3) into agegrp.
SetNumLabel("AGEGRP", 1:3, ["18-29" "30-49" "50+"]);
% Satisfied: 4 or 5 on the five-point scale of Q1 (9, don't know, is
% user-missing and counts as not satisfied).
!if (q1 >= 4 & q1 <= 5) top2 = 1.
!recode top2 (sysmis = 0).

w = wgh;
groups = GetNumLabel("AGEGRP");
% The document's title is a level-1 heading, its sections level 2 and each
% page of results level 3: Tesvin makes a slide of each page.
base = sprintf("Base: all respondents, n = %d (weighted)", ncase);

heading(1, "Customer satisfaction survey")

heading(2, "Brands")
heading(3, "Brands used (weighted %)")
brands = 100 * cmean(Data(:, "$BRANDS"), w)';
names = GetVarLabel(GetVarName("$BRANDS"));
print(strcat(num2str("%4.1f", brands), "%"), names, ["Total"])
heading(5, base)
% One colour of the chart palette per bar (argument 6), a taller chart
% (argument 7: height, width in points) and the unit after the values.
chartBar(num2str("%2.0f", brands), names, ["Total"], [], [], [41; 42; 50], [240 420], ["%"])

heading(2, "Satisfaction")
heading(3, "Satisfied with the service (Q1: 4 or 5) by age group")
age = AGEGRP;
top2 = TOP2;
share = zeros(3, 2);
for g = 1:3
  sel = find(age == g);
  share(g, 1) = 100 * sum(w(sel) .* top2(sel)) / sum(w(sel));
  share(g, 2) = 100 - share(g, 1);
end
print(strcat(num2str("%4.1f", share), "%"), groups, ["Satisfied" "Not satisfied"])
heading(5, base)
chartBar(num2str("%2.0f", share), groups, ["Satisfied" "Not satisfied"], [], [], [], [160 400], ["%"])

heading(3, "Who answered")
heading(5, base)
sizes = zeros(3, 1);
for g = 1:3
  sizes(g) = 100 * sum(w(find(age == g))) / sum(w);
end
total = 100 * sum(w .* top2) / sum(w);
% A pair of pies side by side: the left one first, then the right one.
lchartPie(num2str("%2.0f", sizes), groups, ["Age group"], [], [], [41; 45; 50], [160 260], ["%"])
rchartPie(num2str("%2.0f", [total; 100 - total]), ["Satisfied"; "Not satisfied"], ["All"], [], [], [50; 15], [160 260], ["%"])
