#!/usr/bin/env bash
# The fault matrix and the soak: runs every fault program end to end (the ctest tests
# e2e.faults_<kind>) in the normal build and test environment, and prints what each case
# showed the player and what it left behind, as one aligned table:
#   case | outcome | residue
# followed by "fault matrix: N cases, M with residue, K failed"; then VGA_SOAK_CYCLES (20 unless
# told) install and uninstall cycles with the menu's handles and memory per cycle, ending in
# "soak: ...". Non-zero on any failed test, any residue, or when no case ran.
#   tools/fault-matrix.sh [--no-build] [--no-soak]     --no-build: use the build as it is
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=1; soak=1
for arg in "$@"; do
  case "$arg" in
    --no-build) build=0 ;;
    --no-soak) soak=0 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "fault-matrix: unknown option $arg (see --help)" >&2; exit 2 ;;
  esac
done

logs=$root/build/test-logs
suites='^e2e\.faults_'

# Display columns of a UTF-8 text: a character of three bytes (the Japanese ones) takes two.
columns() {
  local text=$1 chars bytes
  chars=${#text}
  bytes=$(LC_ALL=C; echo "${#text}")
  echo $(( chars + (bytes - chars) / 2 ))
}

pad() {   # pad TEXT WIDTH
  local fill=$(( $2 - $(columns "$1") ))
  printf '%s%*s' "$1" $(( fill > 0 ? fill : 0 )) ''
}

run_suites() {
  . tools/wine-env.sh
  . tools/wine-session.sh
  rm -f "$report"
  rm -rf "$results"
  vga_wine_session_start || { echo "fault-matrix: no Wine session" >&2; return 1; }
  # The test programs are Windows programs: they reach the host file through drive Z:. Each
  # program has its own timeout (tests/support/wine_tests.cmake); twenty soak cycles take about 40 s.
  VGA_FAULT_REPORT="Z:${report//\//\\}" ctest --test-dir "build/$VGA_TEST_ARCH" -R "$suites" \
    --output-on-failure > "$logs/fault-matrix.log" 2>&1
  if [ "$soak" = 1 ]; then
    VGA_SOAK_CYCLES=${VGA_SOAK_CYCLES:-20} ctest --test-dir "build/$VGA_TEST_ARCH" -R '^e2e\.soak$' -V \
      > "$logs/soak.log" 2>&1
  fi
  vga_wine_session_stop
}

# The rows the cases wrote (tab-separated, code page 932) as the table; sets cases and residues.
print_matrix() {
  local rows=() line name outcome residue w1=4 w2=7
  cases=0; residues=0
  if [ -f "$report" ]; then
    while IFS= read -r line; do rows+=("$line"); done < <(iconv -f CP932 -t UTF-8 "$report")
  fi
  for line in "${rows[@]}"; do
    IFS=$'\t' read -r name outcome residue <<<"$line"
    (( $(columns "$name") > w1 )) && w1=$(columns "$name")
    (( $(columns "$outcome") > w2 )) && w2=$(columns "$outcome")
  done
  echo "$(pad case "$w1") | $(pad outcome "$w2") | residue"
  printf '%s-+-%s-+-%s\n' "$(printf '%*s' "$w1" '' | tr ' ' -)" "$(printf '%*s' "$w2" '' | tr ' ' -)" "-------"
  for line in "${rows[@]}"; do
    IFS=$'\t' read -r name outcome residue <<<"$line"
    echo "$(pad "$name" "$w1") | $(pad "$outcome" "$w2") | $residue"
    cases=$((cases + 1))
    [[ "$residue" == none* ]] || residues=$((residues + 1))   # "none" or "none (why)"
  done
}

mkdir -p "$logs"
report=$logs/fault-matrix.tsv
. tools/wine-env.sh
. tools/test-results.sh
results=build/$VGA_TEST_ARCH/test-results
if [ "$build" = 1 ] && ! bash tools/build.sh > "$logs/fault-matrix-build.log" 2>&1; then
  echo "fault-matrix: the build failed, see $logs/fault-matrix-build.log"
  echo "fault matrix: 0 cases, 0 with residue, 1 failed"
  exit 1
fi

run_suites
print_matrix

failed=0
if ! grep -aqE 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/fault-matrix.log"; then
  echo "fault-matrix: ctest gave no summary, see $logs/fault-matrix.log"
  failed=1
else
  vga_count_cases "$logs/fault-matrix.log" "$results"
  failed=$vga_cases_failed
fi
[ "$cases" -gt 0 ] || echo "fault-matrix: no fault case ran, see $logs/fault-matrix.log"
echo "fault matrix: $cases cases, $residues with residue, $failed failed"

soak_ok=1
if [ "$soak" = 1 ]; then
  echo
  grep -aE '^[0-9]+: soak: ' "$logs/soak.log" | sed -E 's/^[0-9]+: //'
  if ! grep -aqE '100% tests passed' "$logs/soak.log"; then
    soak_ok=0
    echo "soak: FAILED, see $logs/soak.log"
  fi
fi
[ "$failed" -eq 0 ] && [ "$residues" -eq 0 ] && [ "$cases" -gt 0 ] && [ "$soak_ok" = 1 ]
