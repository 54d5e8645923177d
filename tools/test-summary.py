#!/usr/bin/env python3
"""Counts test results of the given build trees.

Each CTest test that ran a GoogleTest program counts its test cases (from
test-results/<name>.xml); any other CTest test counts as one. A program that
crashed before writing its file counts as one failure. Set-up and clean-up
steps (label "infra") are not tests and are counted only when they fail.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

passed = failed = skipped = 0
for tree in map(Path, sys.argv[1:]):
    junit = tree / "test-results" / "ctest.xml"
    if not junit.exists():
        print(f"{tree}: no CTest results", file=sys.stderr)
        failed += 1
        continue
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        status = case.get("status", "run")
        ctest_failed = case.find("failure") is not None or status == "fail"
        ctest_skipped = case.find("skipped") is not None or status in ("notrun", "disabled")
        gxml = tree / "test-results" / f"{name}.xml"
        if name in ("wine_up", "wine_down"):
            failed += ctest_failed
            continue
        if gxml.exists() and not ctest_skipped:
            try:
                cases = list(ET.parse(gxml).getroot().iter("testcase"))
            except ET.ParseError:
                cases = []
            p = f = s = 0
            for c in cases:
                if c.find("failure") is not None or c.find("error") is not None:
                    f += 1
                elif c.get("status") == "notrun" or c.find("skipped") is not None or c.get("result") == "skipped":
                    s += 1
                else:
                    p += 1
            if ctest_failed and f == 0:
                f = 1  # the program failed outside any test case (a crash at exit, a time-out)
            passed += p; failed += f; skipped += s
        elif ctest_skipped:
            skipped += 1
        elif ctest_failed:
            failed += 1
        else:
            passed += 1

line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed else 0)
