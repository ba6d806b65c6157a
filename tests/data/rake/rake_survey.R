# Rim weights of the bundled survey (examples/survey.sav) by R's survey
# package, the reference that tests/data/rake_test.cpp compares Rake with.
#
# Regenerate from the top of the checkout (Debian: apt-get install
# r-cran-survey):
#   Rscript tests/data/rake/rake_survey.R
# It rewrites survey_unweighted.txt and survey_weighted.txt here: one weight
# per line, in case order, all 240 cases (no filter).
#
# The margins are sex, region and b1 (the survey has no age grouping), with
# targets well away from the sample's shares:
#   SEX    1 0.45, 2 0.55
#   REGION 1 0.30, 2 0.20, 3 0.30, 4 0.20
#   B1     0 0.50, 1 0.50
# Population totals are the targets times the sum of the starting weights,
# so the raked weights sum to the sample size (unweighted start) or to the
# sum of the design weight WEIGHT (weighted start), as Rake scales them.

suppressPackageStartupMessages({
  library(foreign)
  library(survey)
})

d <- read.spss("examples/survey.sav", to.data.frame = TRUE, use.value.labels = FALSE)
names(d) <- toupper(names(d))

margins <- list(~SEX, ~REGION, ~B1)
targets <- list(
  data.frame(SEX = c(1, 2), Freq = c(0.45, 0.55)),
  data.frame(REGION = c(1, 2, 3, 4), Freq = c(0.30, 0.20, 0.30, 0.20)),
  data.frame(B1 = c(0, 1), Freq = c(0.50, 0.50))
)
# Far tighter than the tests' 1e-6, so that R's fixed point is the one
# Rake's default tolerance reaches.
control <- list(maxit = 1000, epsilon = 1e-13, verbose = FALSE)

raked <- function(design, base_total) {
  totals <- lapply(targets, function(t) { t$Freq <- t$Freq * base_total; t })
  weights(rake(design, margins, totals, control = control))
}

write_weights <- function(w, file) {
  writeLines(formatC(w, digits = 17, format = "g"), file.path("tests/data/rake", file))
}

unweighted <- svydesign(ids = ~1, weights = rep(1, nrow(d)), data = d)
write_weights(raked(unweighted, nrow(d)), "survey_unweighted.txt")

weighted <- svydesign(ids = ~1, weights = ~WEIGHT, data = d)
write_weights(raked(weighted, sum(d$WEIGHT)), "survey_weighted.txt")
