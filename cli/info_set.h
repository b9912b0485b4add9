// tavro-cli --set ID=TEXT [--set ID=TEXT]... [--output COPY] FILE: edits the RIFF INFO
// fields of an AVI, in place or in a copy, without changing the file's length.
#pragma once

namespace tavro {

// True when the command line asks for INFO edits (it holds "--set").
bool isInfoSetCommand(int argc, char** argv);
// Runs the edits; 0 when written, 1 when refused (nothing changed), 2 for bad usage.
int runInfoSet(int argc, char** argv);

} // namespace tavro
