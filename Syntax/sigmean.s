% Significance letters for column means.
%
%   L = sigmean(m, s, e, group, letters, level)
%
% m: the means of one table row, one per column; s: their standard
% deviations (with the n - 1 divisor); e: the effective bases; group,
% letters and level as in sigprop.
%
% L(k) holds the letters of the columns whose mean column k is
% significantly higher than: a two-sided t test with the pooled variance,
% t = (m1 - m2) / sqrt(v (1/e1 + 1/e2)), v = ((e1-1) s1^2 + (e2-1) s2^2)
% / (e1 + e2 - 2), on e1 + e2 - 2 degrees of freedom. Columns with an
% effective base below 2 take no part.
function L = sigmean(m, s, e, group, letters, level)
  C = size(m, 2);
  L = emptytexts(C);
  for i = 1:C
    for j = 1:C
      if j ~= i & group(j) == group(i) & e(i) >= 2 & e(j) >= 2
        df = e(i) + e(j) - 2;
        v = ((e(i) - 1) * s(i)^2 + (e(j) - 1) * s(j)^2) / df;
        se = sqrt(v * (1 / e(i) + 1 / e(j)));
        if se > 0
          if (m(i) - m(j)) / se > qt(1 - (1 - level) / 2, df)
            L(i) = L(i) + letters(j);
          end
        end
      end
    end
  end
end
