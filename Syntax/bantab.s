% A banner table: one row variable against Total and a banner of column
% variables, with bases, counts or column percents, nets, a mean score and
% significance letters, written by print (to the window, RTF, Excel-HTML
% and Word alike).
%
%   bantab(row, banner)
%   bantab(row, banner, show)
%   bantab(row, banner, show, nets, netlabels)
%   bantab(row, banner, show, nets, netlabels, scores)
%
% row     a variable or a "$" multiple-response set (one text).
% banner  a row of texts: the column variables or sets, each with its
%         categories under its label.
% show    words separated by blanks (default "pct sig"):
%           counts  weighted counts
%           pct     column percents
%           sig     significance letters at 95% (sig90, sig99: 90%, 99%)
%           mean    a mean score row with its standard deviation
% nets    one row per net: the codes it combines, padded with NaN.
% netlabels  a column of texts, one per net.
% scores  two rows, codes over their scores, for the mean; codes not
%         listed (a "don't know") are left out of it. By default every
%         category scores its own value.
%
% Bases count the cases with an answer to the row variable (weighted and
% unweighted); percents are of the weighted base. Each banner column has a
% letter; a cell shows the letters of the columns of the same banner
% variable that it is significantly higher than (sigprop, sigmean), tested
% on the effective bases, which account for the weights.
function bantab(row, banner, show, nets, netlabels, scores)
  if nargin < 3
    show = "pct sig";
  end
  if nargin < 4
    nets = [];
  end
  if nargin < 6
    scores = [];
  end
  words = explode(show, " ");
  want_counts = any(words == "counts");
  want_pct = any(words == "pct") | ~want_counts;
  want_mean = any(words == "mean");
  want_sig = any(words == "sig") | any(words == "sig90") | any(words == "sig99");
  level = 0.95;
  if any(words == "sig90")
    level = 0.90;
  end
  if any(words == "sig99")
    level = 0.99;
  end
  single = left(row, 1) ~= "$";
  if ~single & size(nets, 1) > 0
    error("Nets need a single-answer variable: " + row);
  end

  [n, base, un, ubase, eb, rk, ck, w2] = CrossTab(row, banner);
  C = size(n, 2);
  if size(n, 1) == 0
    heading(2, varlabel(row));
    heading(5, "No cases with an answer.");
    return
  end
  values = rk(:, 2);
  labels = catlabels(row, values);

  % Nets: sums of the categories they combine.
  for i = 1:size(nets, 1)
    pick = values in nets(i, :);
    n(size(n, 1) + 1, :) = pick' * n(1:size(values, 1), :);
    labels(size(labels, 1) + 1) = netlabels(i);
  end

  % The columns of the banner: letters and groups (Total has neither).
  want_sig = want_sig & C > 1;
  if C > 1
    group = ck(2:C, 1)';
    letters = colletters(C - 1);
  end

  % Heading levels: v = 2 when both counts and percents show.
  v = 1 + (want_counts & want_pct);
  body = "";
  rh = "";
  r = 0;
  r = r + 1;
  body(r, 1:C) = num2str("%1.0f", ubase);
  rh(r, 1:v) = stub("Base (unweighted)", v);
  if strlen(wgh_name) > 0
    r = r + 1;
    body(r, 1:C) = num2str("%1.0f", base);
    rh(r, 1:v) = stub("Base (weighted)", v);
  end
  nbase = r;

  for i = 1:size(n, 1)
    pct = 100 * n(i, :) ./ base;
    sig = emptytexts(C);
    if want_sig
      sig(2:C) = sigprop(pct(2:C) / 100, eb(2:C), group, letters, level);
    end
    if want_counts
      r = r + 1;
      body(r, 1:C) = num2str("%1.0f", n(i, :));
      rh(r, 1) = labels(i);
      if v == 2
        rh(r, 2) = "Count";
      else
        body(r, :) = withletters(body(r, :), sig);
      end
    end
    if want_pct
      r = r + 1;
      body(r, 1:C) = withletters(num2str("%1.1f%", pct), sig);
      body(r, find(base == 0)) = "-";
      rh(r, 1) = labels(i);
      if v == 2
        rh(r, 1) = "|";
        rh(r, 2) = "Col %";
      end
    end
  end

  if want_mean & single
    [m, sd, em] = scoremeans(values, n(1:size(values, 1), :), w2, scores);
    sig = emptytexts(C);
    if want_sig
      sig(2:C) = sigmean(m(2:C), sd(2:C), em(2:C), group, letters, level);
    end
    r = r + 1;
    body(r, 1:C) = withletters(num2str("%1.2f", m), sig);
    rh(r, 1:v) = stub("Mean", v);
    r = r + 1;
    body(r, 1:C) = num2str("%1.2f", sd);
    rh(r, 1:v) = stub("Std. deviation", v);
    body(r - 1:r, find(em < 1)) = "-";
  end

  % Column headings: Total, then each banner variable over its categories,
  % each category with its letter.
  h = 2;
  ch = "";
  ch(1, 1) = "Total";
  ch(2, 1) = "|";
  for b = 1:size(banner, 2)
    k = find(ck(:, 1) == b);
    if size(k, 1) > 0
      ch(1, k) = "~";
      ch(1, k(1)) = varlabel(banner(b));
      ch(2, k) = catlabels(banner(b), ck(k, 2))';
      if want_sig
        ch(2, k) = ch(2, k) + " (" + letters(k - 1) + ")";
      end
    end
  end

  % Shading of the headings and the bases; a heavier line under the
  % headings and after the row headings, double lines between the banner
  % variables.
  R = r;
  shade = 235 + 241 * 256 + 250 * 65536;
  grey = 242 + 242 * 256 + 242 * 65536;
  back = ones(h + R, v + C) * NaN;
  back(h + 1:h + nbase, :) = grey;
  back(1:h, :) = shade;
  back(:, 1:v) = shade;
  hb = ones(1, h + R + 1) * NaN;
  hb(h + 1) = 2;
  hb(h + nbase + 1) = 2;
  vb = ones(1, v + C + 1) * NaN;
  vb(v + 1) = 2;
  for b = 1:size(banner, 2)
    k = find(ck(:, 1) == b);
    if size(k, 1) > 0
      vb(v + k(1)) = 3;
    end
  end

  heading(2, varlabel(row));
  print(body, rh, ch, [], back, hb, vb);
  note = "Base: cases with an answer.";
  if want_sig
    note = note + sprintf(" Letters: significantly higher than the column of that letter (%d%%, two-sided", round(level * 100)) + ", column proportions and means, effective bases).";
  end
  heading(5, note);
end

% A variable's label, or its name when it has none.
function t = varlabel(name)
  t = GetVarLabel(name);
  if strlen(t) == 0
    t = name;
  end
end

% Letters for k columns: A to Z, then a to z, then A1, B1, ...
function L = colletters(k)
  abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  L = emptytexts(k);
  for j = 1:k
    i = j - 52 * floor((j - 1) / 52);
    L(j) = right(left(abc, i), 1);
    if j > 52
      L(j) = L(j) + sprintf("%d", floor((j - 1) / 52));
    end
  end
end

% Cells with their letters after a blank.
function cells = withletters(cells, sig)
  for k = 1:size(cells, 2)
    if strlen(sig(k)) > 0
      cells(k) = cells(k) + " " + sig(k);
    end
  end
end

% Mean, standard deviation (n - 1 divisor on the effective base) and
% effective base of the scored categories, per column.
function [m, sd, em] = scoremeans(values, n, w2, scores)
  if size(scores, 1) == 0
    scores = [values'; values'];
  end
  s = zeros(size(values, 1), 1);
  use = zeros(size(values, 1), 1);
  for k = 1:size(values, 1)
    j = find(scores(1, :) == values(k));
    if size(j, 1) > 0
      s(k) = scores(2, j(1));
      use(k) = 1;
    end
  end
  sw = use' * n;
  m = ((use .* s)' * n) ./ sw;
  sd = sqrt((((use .* s .* s)' * n) ./ sw - m .* m));
  em = sw .* sw ./ (use' * w2);
  sd = sd .* sqrt(em ./ (em - 1));
end

% A row heading over v levels: the text, widened over the second level.
function t = stub(text, v)
  t = text;
  if v == 2
    t = [text "~"];
  end
end
