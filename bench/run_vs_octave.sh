#!/usr/bin/env bash
# The interpreter against GNU Octave on three workloads: a scalar loop of
# 10^7 passes, 10^6 calls of a two-argument user function, and a column
# grown to 10^5 elements one index at a time. Each runs as a whole process
# (start-up included, which is small next to the work), best of three, and
# the ratio Octave / vop-run is printed.
#
#   bench/run_vs_octave.sh [path/to/vop-run]
#
# Installs octave-cli with apt when it is missing. Builds vop-run in
# build-bench/ (Release) when no path is given.
set -euo pipefail
cd "$(dirname "$0")/.."

VOP=${1:-}
if [[ -z "$VOP" ]]; then
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOP_BUILD_TESTS=OFF > /dev/null
  ninja -C build-bench -j "${JOBS:-2}" vop-run > /dev/null
  VOP=build-bench/cli/vop-run
fi
VOP=$(realpath "$VOP")
if ! command -v octave-cli > /dev/null; then
  echo "installing octave (octave-cli) ..." >&2
  SUDO=$([[ $(id -u) -eq 0 ]] && echo "" || echo sudo)
  $SUDO apt-get update -qq > /dev/null
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq octave > /dev/null
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# --- The workloads, once in each language --------------------------------------
cat > "$WORK/loop.s" <<'S'
s = 0; for i = 1:10000000 s = s + i; end
S
cat > "$WORK/loop.m" <<'S'
s = 0; for i = 1:10000000 s = s + i; end
S
cat > "$WORK/call.s" <<'S'
s = 0;
for i = 1:1000000
  s = add2(s, i);
end
function r = add2(a, b)
r = a + b;
end
S
cat > "$WORK/add2.m" <<'S'
function r = add2(a, b)
  r = a + b;
end
S
cat > "$WORK/call.m" <<'S'
s = 0;
for i = 1:1000000
  s = add2(s, i);
end
S
cat > "$WORK/grow.s" <<'S'
x = [];
for i = 1:100000
  x(i) = i;
end
S
cat > "$WORK/grow.m" <<'S'
x = [];
for i = 1:100000
  x(i) = i;
end
S

# Best wall time of three runs, in seconds.
best_of_3() {
  local best=""
  for _ in 1 2 3; do
    local t0 t1 t
    t0=$(date +%s.%N)
    "$@" > /dev/null
    t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc -l)
    if [[ -z "$best" ]] || (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}

printf "%-10s %12s %12s %10s\n" workload "vop-run s" "octave s" "ratio"
for w in loop call grow; do
  v=$(cd "$WORK" && best_of_3 "$VOP" --no-startup "$w.s")
  o=$(cd "$WORK" && best_of_3 octave-cli --norc -q "$w.m")
  printf "%-10s %12.3f %12.3f %9.1fx\n" "$w" "$v" "$o" "$(echo "$o / $v" | bc -l)"
done
