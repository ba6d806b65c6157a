% A small dialog that drives an analysis of the open dataset: its variables
% in a list, a move button that puts the chosen ones into a second list
% (five at most), check boxes for the options, and a Run button that writes
% a frequency table for each variable selected in the second list (moved
% variables arrive selected; a click there turns the button round to move
% them back).
%
% In Vop: File > Open > Data (examples/survey.sav), File > Open > Syntax
% (this file), select everything and Run. The dialog stays after the run;
% each press of its Run button starts a run of its own. The "&Do" menu gets
% an item that counts the cases. (vop-run has no windows: there the script
% stops at WndCreat with an error that says so.)

names = GetVarName(1:nvar);

dlg = WndCreat([], "Frequencies", [NaN NaN 560 260], 1);
CtrCreat(dlg, 510, [10 8 160 18], "Variables");
all = CtrCreat(dlg, 320, [10 28 160 220], names);
move = CtrCreat(dlg, 150, [180 120 40 28], "");
CtrCreat(dlg, 510, [230 8 170 18], "Analyse (five at most)");
chosen = CtrCreat(dlg, 320, [230 28 160 220], "");
CtrConect(move, all, chosen);
CtrMaxList(chosen, 5);

CtrCreat(dlg, 140, [400 20 150 84], "Options");
pct = CtrCreat(dlg, 130, [412 44 130 22], "Percentages");
weighted = CtrCreat(dlg, 130, [412 70 130 22], "Weighted");
CtrSet(pct, 1);
CtrSet(weighted, 1);

CtrCreat(dlg, 100, [400 184 150 28], "Run", "dlg_tables(CtrGet(chosen), CtrGet(pct), CtrGet(weighted))");
CtrCreat(dlg, 100, [400 220 150 28], "Close", "WndClose(dlg)");

MenuItem([], [], "Number of cases", "printf(\"%d cases\\n\", ncase)");

% The tables, called by the Run button's code. A function defined in the
% text of the run (after its statements) lasts while the dialog is open.
function dlg_tables(vars, percent, weighted)
  if size(vars, 1) == 0
    MsgBox([], "Move at least one variable into the right-hand list.")
    return
  end
  for k = 1:size(vars, 1)
    name = vars(k);
    if weighted
      [values, counts] = freq(Data(:, name), wgh);
    else
      [values, counts] = freq(Data(:, name));
    end
    heading(2, sprintf("%s. %s", name, GetVarLabel(name)))
    if percent
      cells = strcat(num2str("%5.1f", 100 * counts / sum(counts)), "%");
      column = "Percent";
    else
      cells = num2str("%7.0f", counts);
      column = "Count";
    end
    % Rows named by the value labels where there are some.
    rows = num2str("%g", values);
    labels = GetNumLabel(name, values);
    for i = 1:size(values, 1)
      if values(i) == NaN       % NaN == NaN holds in the language
        rows(i) = "No answer";
      elseif strlen(labels(i)) > 0
        rows(i) = labels(i);
      end
    end
    print(cells, rows, [column])
  end
end
