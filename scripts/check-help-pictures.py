#!/usr/bin/env python3
"""Every picture the user guide shows is one the tests take (SaveShot), so that
scripts/help-pictures.sh can make it; a renamed or removed screenshot fails here at once.
Usage: check-help-pictures.py GUIDE.html TESTS_FOLDER"""
import pathlib
import re
import sys

guide, tests = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
wanted = re.findall(r'src="images/([^"]+)\.png"', guide.read_text(encoding="utf-8"))
names, prefixes = set(), set()
for source in tests.rglob("*.cpp"):
    # SaveShot(widget, u"name"_s) or SaveShot(widget, u"prefix-"_s + tag)
    for name, plus in re.findall(r'SaveShot\([^;]*?u"([^"]+)"_s\s*(\+?)', source.read_text(encoding="utf-8")):
        (prefixes if plus else names).add(name)
missing = [w for w in wanted if w not in names and not any(w.startswith(p) for p in prefixes)]
for w in missing:
    print(f"{guide}: no test takes the picture {w}.png", file=sys.stderr)
if not wanted:
    print(f"{guide}: shows no pictures", file=sys.stderr)
sys.exit(1 if missing or not wanted else 0)
