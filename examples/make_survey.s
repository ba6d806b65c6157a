% Builds the bundled sample survey examples/survey.sav from nothing, with
% the data builtins. Run from the top of the checkout:
%   build/cli/vop-run --no-startup examples/make_survey.s
srand(20261209);
n = 240;
DataAddVar(["id" "sex" "age" "region" "q1" "q2" "q3" "q4" "q5" "b1" "b2" "b3" "weight"]);
DataAddCVar("city");
DataAddCase(n);
Data(:, "ID") = (1:n);
Data(:, "SEX") = floor(rand(n, 1) * 2) + 1;
Data(:, "AGE") = floor(rand(n, 1) * 63) + 18;
Data(:, "REGION") = floor(rand(n, 1) * 4) + 1;
for k = 1:5
  answers = floor(rand(n, 1) * 5) + 1;
  answers(find(rand(n, 1) < 0.06)) = 9;
  Data(:, 4 + k) = answers;
end
for k = 1:3
  Data(:, 9 + k) = floor(rand(n, 1) + 0.3 + 0.15 * k);
end
Data(:, "WEIGHT") = round(rand(n, 1) * 100) / 100 + 0.5;
cities = ["Beograd"; "Novi Sad"; "Nis"; "Kragujevac"];
Data(:, "CITY") = cities(Data(:, "REGION"));

SetVarLabel(["ID" "SEX" "AGE" "REGION"], ["Respondent" "Sex" "Age in years" "Region"]);
SetNumLabel("SEX", [1 2], ["Male" "Female"]);
SetNumLabel("REGION", 1:4, ["Belgrade" "Vojvodina" "South" "Sumadija"]);
SetVarLabel(["Q1" "Q2" "Q3" "Q4" "Q5"], ["Service" "Price" "Staff" "Speed" "Overall"]);
DataAddMVar("$Q", ["Q1" "Q2" "Q3" "Q4" "Q5"]);
SetMissVal("$Q", 1, [9 0 0]);
SetNumLabel("$Q", [1 2 3 4 5 9], ["Very unhappy" "Unhappy" "Neutral" "Happy" "Very happy" "Don't know"]);
SetVarLabel(["B1" "B2" "B3"], ["Uses brand Alpha" "Uses brand Beta" "Uses brand Gamma"]);
SetVarLabel("WEIGHT", "Design weight");
DataAddMVar("$BRANDS", ["B1" "B2" "B3"], 1);
SetVarLabel("$BRANDS", "Brands used");
DataWeight("WEIGHT");
DataSave("examples/survey.sav");
printf("%d cases, %d variables written to examples/survey.sav\n", ncase, nvar);
