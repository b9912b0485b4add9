// The command line as UTF-8. Windows hands a console program its arguments in the
// ANSI code page, which cannot hold every file name; the Windows build takes the
// wide command line instead. Elsewhere the arguments already are what the user typed.
#pragma once

namespace tavro {

#ifdef _WIN32
// Replaces argc/argv with the wide command line converted to UTF-8 (kept for the
// life of the process), and sets the console to show UTF-8 output.
void useUtf8Arguments(int& argc, char**& argv);
#else
inline void useUtf8Arguments(int&, char**&) {}
#endif

} // namespace tavro
