#pragma once

// The program started for a job rather than for a person: `--backup N FILE`, `--version` or
// `--help`. Such a run needs no window system at all.
bool IsCommandLineRun(int argc, char *argv[]);

// Runs it on a QCoreApplication and returns the process's exit code.
int RunCommandLine(int argc, char *argv[]);
