#!/usr/bin/env bash
# Runs the host and win test suites and prints one closing line
# "N passed, N failed, N skipped"; exits non-zero when anything failed.
set -u
cd "$(dirname "$0")/.."
jobs=$(nproc)
status=0
trees=()
for tree in host win fuzz; do
  [ -f "build/$tree/CTestTestfile.cmake" ] || continue
  trees+=("build/$tree")
  rm -rf "build/$tree/test-results"; mkdir -p "build/$tree/test-results"
  echo "=== tests: $tree"
  (cd "build/$tree" && ctest -j "$jobs" --output-on-failure --timeout 600 \
     --output-junit test-results/ctest.xml) || status=1
done
python3 tools/test-summary.py "${trees[@]}" || status=1
exit $status
