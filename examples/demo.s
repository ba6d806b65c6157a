% A small survey report: run with  build/cli/vop-run examples/demo.s
heading(1, "Customer satisfaction")

% Answers of ten respondents on a 1..5 scale, and their weights
score = [5; 4; 4; 3; 5; 2; 4; 5; 3; 4];
w = [1.2; 0.8; 1; 1; 1.1; 0.9; 1; 1.3; 0.7; 1];

printf("Respondents: %d\n", size(score, 1))
printf("Weighted mean: %5.2f (sd %5.2f)\n", mean(score, w), sd(score, w))

[values, counts] = freq(score, w);
share = 100 * counts / sum(counts);
heading(5, "Base: all respondents")
print([counts share], num2str("%d", values), ["Weighted count" "Percent"])
