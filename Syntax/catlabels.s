% Labels of the categories of a table variable.
%
%   t = catlabels(src, values)
%
% src: a variable name or a "$" multiple-response set; values: category
% values as CrossTab gives them (for a dichotomy set, member numbers).
% A variable's categories take its value labels; a category set's those of
% its first member; a dichotomy set's the labels of its members. Where
% there is no label the value (or the member's name) stands in.
function t = catlabels(src, values)
  values = values(:);
  if left(src, 1) == "$"
    members = GetVarName(src);
    if size(GetMulVal(src), 1) > 0
      names = members(values);
      t = GetVarLabel(names);
      t = filled(t, names);
      return
    end
    src = members(1);
  end
  t = GetNumLabel(src, values);
  t = filled(t, num2str("%g", values));
end

% Texts where labels are empty.
function t = filled(t, instead)
  for k = 1:size(t, 1)
    if strlen(t(k)) == 0
      t(k) = instead(k);
    end
  end
end
