% A banner book: the survey weighted to population targets for sex and
% age (rim weighting), then its questions against a banner of sex, age
% group and region, with column percents, a mean score and significance
% letters.
%
%   build/cli/vop-run --data examples/survey.sav --rtf banner.rtf examples/banner.s
%   build/cli/vop-run --data examples/survey.sav --xlsx banner.xlsx examples/banner.s
%
% Without a redirect option the tables show as text. The table functions
% (bantab, catlabels, sigprop, sigmean) are function files in Syntax/.

% Age groups for the banner and the weighting.
!recode AGE (lo thru 34 = 1) (35 thru 54 = 2) (55 thru hi = 3) into AGEGRP.
SetVarLabel("AGEGRP", "Age");
SetNumLabel("AGEGRP", [1 2 3], ["18-34" "35-54" "55+"]);

% Rim weights to the population's shares of sex and age group.
[w, report] = Rake("SEX", [1 2; 0.48 0.52], "AGEGRP", [1 2 3; 0.30 0.36 0.34]);
DataAddVar("RIMWGT");
Data(:, "RIMWGT") = w;
DataWeight("RIMWGT");
heading(1, "Customer survey: banner tables");
printf("Rim weighting: %d iterations, largest deviation %1.1e, efficiency %1.1f%%, weights %1.3f to %1.3f.\n", ...
       report(1), report(2), report(3), report(4), report(5));

banner = ["SEX" "AGEGRP" "REGION"];
bantab("Q1", banner, "pct sig mean", [4 5; 1 2], ["Happy (4-5)"; "Unhappy (1-2)"]);
bantab("Q5", banner, "counts pct sig mean");
bantab("$BRANDS", banner);
