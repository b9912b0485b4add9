// tavro-cli --set ID=TEXT [--set ID=TEXT]... [--output COPY] FILE: edits the RIFF INFO
// fields of an AVI, in place or in a copy, without changing the file's length; and
// tavro-cli --restore FILE after a save that was cut short.
#pragma once

namespace tavro {

// True when the command line asks for INFO edits (it holds "--set").
bool isInfoSetCommand(int argc, char** argv);
// Runs the edits; 0 when written, 1 when refused (nothing changed), 2 for bad usage.
int runInfoSet(int argc, char** argv);

// tavro-cli --restore FILE: settles the recovery file an interrupted save left, and
// puts the old head back when the save tore it. 0 when done or nothing was to do.
bool isRestoreCommand(int argc, char** argv);
int runRestore(int argc, char** argv);

} // namespace tavro
