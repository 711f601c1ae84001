// Feeds arbitrary bytes to the file dialog's selection split: every path lies below the folder part,
// names something after it and holds no NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/model/SelectionText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string selection(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = selection.find('\0');
  const std::string folder = selection.substr(0, nul) + "/";
  for (const std::string& path : sonavex::pathsOfSelection(selection)) {
    const bool below =
        nul == std::string::npos || (path.compare(0, folder.size(), folder) == 0 && path.size() > folder.size());
    if (!below || path.find('\0') != std::string::npos) std::abort();
  }
  return 0;
}
