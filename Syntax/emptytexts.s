% A row of k empty texts, to fill in place by place.
%
%   L = emptytexts(k)
function L = emptytexts(k)
  L = "";
  for j = 1:k
    L(1, j) = "";
  end
end
