#pragma once

// The program started for a job rather than for a person: `--backup N FILE`, `--version`,
// `--help`, or any other option but the window system's own (an unknown one is refused with the
// usage and exit code 2). Such a run needs no window system at all.
bool IsCommandLineRun(int argc, char *argv[]);

// Runs it on a QCoreApplication and returns the process's exit code.
int RunCommandLine(int argc, char *argv[]);
