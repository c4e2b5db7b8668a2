#!/usr/bin/python3
"""Checks that every #include of the program's own headers points down the layers.

    check-layers.py SRC_DIR SOURCES_FILE

SOURCES_FILE (written by CMake) names each library's sources, one "LIBRARY PATH" a line.
Two rules:
  1. A file of orvanth_core includes only headers of orvanth_core: the core has no windows.
  2. Folders are ranked; a file includes headers of its own folder, of lower-ranked folders, and
     of a same-ranked folder only where PEERS allows it.
Prints every offending include and exits 1 when there is one.
"""
import os
import re
import sys

RANK = {
    "common": 0,
    "config": 1,
    "db": 2,
    "gui": 3,
    "register": 4, "masterdata": 4, "users": 4, "profiles": 4,
    "sqlconsole": 4, "output": 4, "notices": 4, "backup": 4, "schema": 4, "history": 4,
    "app": 5,
}
# Feature folders that may use another one's windows (the SQL console and the change history hand
# their rows to the export window; the profile manager starts backups and upgrades), or routines
# (the command-line backup and upgrade check their user with the log-in's own check; the history
# writes an old value back through the register's save). Nothing else goes sideways: what two
# features share belongs a layer down (the rows a report reads as they arrive are the database
# layer's).
PEERS = {("sqlconsole", "output"), ("profiles", "backup"), ("backup", "users"),
         ("schema", "backup"), ("schema", "users"), ("profiles", "schema"), ("backup", "schema"),
         ("history", "schema"), ("history", "register"), ("history", "output"), ("register", "history")}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main() -> int:
    src, listing = sys.argv[1], sys.argv[2]
    src = os.path.realpath(src)
    library_of = {}
    with open(listing, encoding="utf-8") as f:
        for line in f:
            parts = line.split(maxsplit=1)
            if len(parts) != 2:
                continue
            library, path = parts[0], parts[1].strip()
            path = os.path.realpath(path if os.path.isabs(path) else os.path.join(src, path))
            if path.startswith(src + os.sep):
                library_of[path] = library

    problems = []
    for path, library in sorted(library_of.items()):
        folder = os.path.relpath(path, src).split(os.sep)[0]
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for name in INCLUDE.findall(text):
            local = os.path.realpath(os.path.join(os.path.dirname(path), name))
            target = local if os.path.exists(local) else os.path.realpath(os.path.join(src, name))
            if not target.startswith(src + os.sep) or not os.path.exists(target):
                continue  # generated or outside the program's sources
            target_folder = os.path.relpath(target, src).split(os.sep)[0]
            where = f"{os.path.relpath(path, src)}: #include \"{name}\""
            if library == "orvanth_core" and library_of.get(target) != "orvanth_core":
                problems.append(f"{where}: the core library includes a header outside it")
            if target_folder == folder:
                continue
            if folder not in RANK or target_folder not in RANK:
                problems.append(f"{where}: folder without a rank in check-layers.py")
            elif RANK[target_folder] > RANK[folder] or (
                RANK[target_folder] == RANK[folder] and (folder, target_folder) not in PEERS):
                problems.append(f"{where}: {folder} may not include {target_folder}")
    for problem in problems:
        print(problem)
    print(f"{len(library_of)} files checked, {len(problems)} includes against the layers")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
