#include "cli/utf8_arguments.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/win/wide_text.h"

namespace tavro {

void useUtf8Arguments(int& argc, char**& argv) {
    // The program's text output (paths, JSON) is UTF-8; a console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return; // keep the narrow arguments rather than none
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    texts.clear();
    for (int i = 0; i < count; ++i)
        texts.push_back(utf8FromWide(wide[i], std::wcslen(wide[i])));
    LocalFree(wide);
    pointers.clear();
    for (std::string& text : texts)
        pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
}

} // namespace tavro
