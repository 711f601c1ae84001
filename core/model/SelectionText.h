#pragma once
// The selection text of the file dialog `cd1` turned into the paths to append.
#include <string>
#include <string_view>
#include <vector>

namespace sonavex {

// "" -> nothing; one full path (no NUL) -> that path; "folder NUL name NUL name..." -> folder + "/" +
// name for every non-empty name, in the dialog's order. The folder is kept as the dialog returns it,
// so a file in "/" becomes "//name".
std::vector<std::string> pathsOfSelection(std::string_view selection);

}  // namespace sonavex
