% A survey table with two levels of column headings, colours and borders.
%   build/cli/vop-run --rtf tables.rtf examples/tables.s         (Word)
%   build/cli/vop-run --excel-html tables.xls examples/tables.s  (Excel)
% Without a redirect option the tables show as text.

% Colours are R + 256*G + 65536*B.
navy = 102*65536 + 51*256;                 % heading text
pale = 221 + 235*256 + 247*65536;          % heading background
green = 226 + 239*256 + 218*65536;         % the row to look at
white = 255 + 255*256 + 255*65536;

heading(1, "Customer satisfaction survey")
heading(2, "Q1. How satisfied are you with our service?")

pct = [42.0 40.1 43.8 35.2 44.9 46.3;
       31.5 32.7 30.4 33.0 30.8 30.6;
       14.2 14.9 13.6 17.1 13.4 12.0;
        8.1  8.3  7.9  9.9  7.6  6.8;
        4.2  4.0  4.3  4.8  3.3  4.3];
cells = strcat(num2str("%4.1f", pct), "%");

% "~" widens the heading on its left, "|" continues the one above.
cols = ["Total" "Gender" "~"      "Age"   "~"     "~";
        "|"     "Male"   "Female" "18-34" "35-54" "55+"];
rows = ["Satisfaction" "Very satisfied";
        "|"            "Satisfied";
        "|"            "Neutral";
        "|"            "Dissatisfied";
        "|"            "Very dissatisfied"];

% The grid is 7 x 8: two heading rows over five data rows, two heading
% columns before six data columns.
text = zeros(7, 8);
text(1:2, :) = navy;
text(:, 1:2) = navy;
back = ones(7, 8) * white;
back(1:2, :) = pale;
back(:, 1:2) = pale;
back(3, 3:8) = green;

% A double line under the headings and after the row headings and the
% total; no line between the two row-heading levels.
hlines = [2 1 3 1 1 1 1 2];
vlines = [2 0 3 3 1 3 1 1 2];

print(cells, rows, cols, text, back, hlines, vlines)
heading(5, "Base: all respondents, n = 1000")

heading(2, "Q2. Mean score (1 to 5)")
print([3.99 3.97 4.03 3.87 4.06 4.10], ["Mean"], ["Total" "Male" "Female" "18-34" "35-54" "55+"])
heading(5, "Base: all respondents, n = 1000")
