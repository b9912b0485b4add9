// The batch list as the user picked it: the Open dialog's name buffer, the command
// line, and the batch counter text.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tavro {

constexpr std::size_t kMaxBatchFiles = 1000;
constexpr std::size_t kOpenBufferSize = 16000;

// Turns the Open dialog's buffer into full paths. `nameOffset` is where the dialog
// says the first name starts: inside the first string means one file; otherwise the
// first string is the folder and the strings after it are names, up to an empty
// string, the end of the buffer or kMaxBatchFiles.
std::vector<std::string> parseOpenSelection(const char* buffer, std::size_t size,
                                            std::size_t nameOffset);

// The buffer's first string, cut to 259 characters: kept as LastMediaFile.
std::string firstSelectionString(const char* buffer, std::size_t size);

// The files named on the command line (args[0] is the program): the first argument
// that is not a switch, then every later non-empty non-switch argument, at most
// kMaxBatchFiles in all.
std::vector<std::string> commandLineFiles(const std::vector<std::string>& args);

// The module path up to and including its last backslash.
std::string programFolderOf(const std::string& modulePath);

// The counter button text: "%3d/%-3d" of the 1-based position and the count.
std::string counterText(int position, int count);

} // namespace tavro
