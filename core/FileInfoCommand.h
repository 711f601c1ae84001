#pragma once
// `sonavex --file-info PATH...`: the file info dialog's texts without a window.
#include <ostream>
#include <string>
#include <vector>

namespace sonavex {

// Prints, for each path, "file<TAB>path" and then one "control<TAB>text" line per dialog text; the
// not-MPEG message goes to err. Returns 0 when every file could be read, 1 otherwise.
int runFileInfoCommand(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

}  // namespace sonavex
