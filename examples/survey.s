% A survey report on the bundled sample dataset:
%   build/cli/vop-run --data examples/survey.sav examples/survey.s
% Transformations first, then weighted tables from the data builtins.

!recode age (lowest thru 29 = 1) (30 thru 49 = 2) (50 thru highest = 3) into agegrp.
SetNumLabel("AGEGRP", 1:3, ["18-29" "30-49" "50+"]);
!compute satis = (q1 + q2 + q3 + q4 + q5) / 5.
!if (satis >= 4) happy = 1.
!recode happy (sysmis = 0).

heading(1, "Customer satisfaction survey")
heading(2, "Mean score by age group (1 to 5, weighted)")
groups = GetNumLabel("AGEGRP");
items = GetVarLabel(["Q1" "Q2" "Q3" "Q4" "Q5"])';
% Weighted means over the valid answers: "don't know" (9) is user-missing,
% so Data gives NaN for it.
means = zeros(5, 4);
for g = 0:3
  if g > 0
    !compute sel = agegrp == g.
    DataSelect("SEL");
  end
  answers = Data(:, "$Q");
  w = wgh;
  for q = 1:5
    valid = find(answers(:, q) ~= NaN);  % NaN == NaN holds in the language
    means(q, g + 1) = mean(answers(valid, q), w(valid));
  end
  DataSelect();
end
print(num2str("%4.2f", means), items, ["Total"; groups]')
heading(5, sprintf("Base: all respondents, n = %d (don't know left out)", ncase))

heading(2, "Brands used (weighted %)")
brands = 100 * cmean(Data(:, "$BRANDS"), wgh)';
print(strcat(num2str("%4.1f", brands), "%"), GetVarLabel(GetVarName("$BRANDS")), ["Total"])
printf("\nHappy customers (mean score 4 or more): %4.1f%%\n", 100 * mean(HAPPY, wgh))
