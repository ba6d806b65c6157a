#!/usr/bin/env bash
# A wide survey file written by PSPP, for timing the read of a large
# dictionary: 5,000 numeric variables (answers 1..5, about 2% system-missing),
# each with a variable label and 5 value labels, 20,000 cases,
# bytecode-compressed.
#
#   bench/make_wide_sav.sh [OUT] [VARS] [CASES]
#
# OUT defaults to /tmp/vopbench/wide.sav; the PSPP syntax is written beside
# it (OUT with .sps). Then time the read against this machine's floor:
#   build-rel/bench/sav_bench floor OUT build-rel/cli/vop-run
set -euo pipefail
out=${1:-/tmp/vopbench/wide.sav}
vars=${2:-5000}
cases=${3:-20000}
command -v pspp > /dev/null || { echo "needs pspp (scripts/setup installs it)" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
sps=${out%.sav}.sps

{
  echo "* $vars numeric variables with labels and 5 value labels each, $cases cases."
  echo "SET SEED=20240601."
  echo "SET DECIMAL=DOT."
  echo "INPUT PROGRAM."
  echo "NUMERIC v1 TO v$vars (F1.0)."
  echo "VECTOR v = v1 TO v$vars."
  echo "LOOP #i = 1 TO $cases."
  echo "  LOOP #j = 1 TO $vars."
  echo "    COMPUTE v(#j) = TRUNC(RV.UNIFORM(1, 6))."
  echo "    IF (RV.UNIFORM(0, 1) < 0.02) v(#j) = \$SYSMIS."
  echo "  END LOOP."
  echo "  END CASE."
  echo "END LOOP."
  echo "END FILE."
  echo "END INPUT PROGRAM."
  echo "VARIABLE LABELS"
  for ((j = 1; j <= vars; ++j)); do echo "  v$j 'Q$j. How much do you agree with statement $j of the questionnaire?'"; done
  echo "."
  # One label set per variable, each a little different, as in real
  # questionnaires (PSPP then writes one value-label record per variable).
  echo "VALUE LABELS"
  for ((j = 1; j <= vars; ++j)); do
    sep=/
    ((j == 1)) && sep=" "
    echo " $sep v$j 1 'Strongly disagree ($j)' 2 'Disagree' 3 'Neither agree nor disagree' 4 'Agree' 5 'Strongly agree ($j)'"
  done
  echo "."
  echo "SAVE OUTFILE='$out' /COMPRESSED."
} > "$sps"

pspp -O format=txt -o /dev/null "$sps"
ls -l "$out"
