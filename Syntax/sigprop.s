% Significance letters for column proportions.
%
%   L = sigprop(p, e, group, letters, level)
%
% p: the proportions of one table row (0..1), one per column; e: the
% effective bases of the columns; group: which banner variable each column
% belongs to (columns are compared only within their group); letters: each
% column's letter; level: the confidence level, such as 0.95.
%
% L(k) holds the letters of the columns that column k is significantly
% higher than: a two-sided z test of two proportions with the pooled
% proportion, z = (p1 - p2) / sqrt(p (1 - p) (1/e1 + 1/e2)). Columns with
% an effective base below 2 take no part.
function L = sigprop(p, e, group, letters, level)
  C = size(p, 2);
  z = qnorm(1 - (1 - level) / 2);
  L = emptytexts(C);
  for i = 1:C
    for j = 1:C
      if j ~= i & group(j) == group(i) & e(i) >= 2 & e(j) >= 2
        pp = (p(i) * e(i) + p(j) * e(j)) / (e(i) + e(j));
        se = sqrt(pp * (1 - pp) * (1 / e(i) + 1 / e(j)));
        if se > 0
          if (p(i) - p(j)) / se > z
            L(i) = L(i) + letters(j);
          end
        end
      end
    end
  end
end
