# Sourced by tools/test.sh and tools/fault-matrix.sh: the cases of a ctest run of the Windows test
# programs. Such a program runs many cases in one process (tests/support/wine_tests.cmake) and
# writes them to <build>/test-results/<ctest test>.xml; a ctest test without that file (a script,
# a program that ended before writing it) counts as one.
#   vga_count_cases LOG RESULTS   sets vga_cases_passed and vga_cases_failed, and prints
#                                 "failed: <ctest test>: <Suite.Case>" for each failed case and
#                                 "failed: <ctest test>" for a failed test that names no case

vga_count_cases() {
  local log=$1 results=$2 name xml counts cases bad
  local -A failed_tests=()
  vga_cases_passed=0; vga_cases_failed=0
  # The final verdicts: ctest lists the tests that failed (after their second run) at the end.
  while read -r name; do failed_tests[$name]=1; done < <(
    sed -n '/^The following tests FAILED:/,$p' "$log" | sed -nE 's/^\s+[0-9]+ - ([^ ]+) \(.*/\1/p')
  while read -r name; do
    xml=$results/$name.xml
    if [ -f "$xml" ]; then
      counts=$(awk -v test="$name" '
        function attr(key,   m) { return match($0, key "=\"[^\"]*\"") ? substr($0, RSTART + length(key) + 2, RLENGTH - length(key) - 3) : "" }
        function done() { if (open && run) { cases++; if (broken) { bad++; print "failed: " test ": " suite "." id } } open = 0 }
        /^[[:space:]]*<testcase / { done(); open = 1; id = attr("name"); suite = attr("classname")
                                    run = $0 ~ /status="run"/; broken = 0
                                    if ($0 ~ /\/>[[:space:]]*$/) done(); next }
        /^[[:space:]]*<failure / { broken = 1 }
        /^[[:space:]]*<\/testcase>/ { done() }
        END { done(); print "cases " cases + 0 " " bad + 0 }' "$xml")
      grep -v '^cases ' <<<"$counts"
      read -r _ cases bad < <(grep '^cases ' <<<"$counts")
      vga_cases_passed=$((vga_cases_passed + cases - bad)); vga_cases_failed=$((vga_cases_failed + bad))
      if [ -n "${failed_tests[$name]:-}" ] && [ "$bad" -eq 0 ]; then
        echo "failed: $name (no case failed, but the program did)"; vga_cases_failed=$((vga_cases_failed + 1))
      fi
    elif [ -n "${failed_tests[$name]:-}" ]; then
      echo "failed: $name"; vga_cases_failed=$((vga_cases_failed + 1))
    else
      vga_cases_passed=$((vga_cases_passed + 1))
    fi
  done < <(sed -nE 's/^\s*[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) .*/\1/p' "$log" | awk '!seen[$0]++')
}
