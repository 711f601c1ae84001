#include "core/SystemInfo.h"

#include <sys/stat.h>
#include <unistd.h>

namespace sonavex {

namespace {

struct Tool {
  const char* name;
  std::vector<std::string> arguments;
};

const std::vector<Tool>& knownTools() {
  static const std::vector<Tool> tools = {
      {"kinfocenter", {}},
      {"gnome-control-center", {"info-overview"}},
      {"hardinfo", {}},
  };
  return tools;
}

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<ProgramCommand> findSystemInfoProgram(std::string_view pathVariable) {
  for (const Tool& tool : knownTools()) {
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
      std::size_t end = pathVariable.find(':', start);
      if (end == std::string_view::npos) end = pathVariable.size();
      const std::string_view folder = pathVariable.substr(start, end - start);
      // Only absolute folders: an empty or relative entry would depend on the working folder.
      if (!folder.empty() && folder.front() == '/' && folder.find('\0') == std::string_view::npos) {
        std::string candidate(folder);
        if (candidate.back() != '/') candidate += '/';
        candidate += tool.name;
        if (isExecutableFile(candidate)) return ProgramCommand{candidate, tool.arguments};
      }
      start = end + 1;
    }
  }
  return std::nullopt;
}

void StartSysInfo(Core& core, std::string_view pathVariable) {
  const std::optional<ProgramCommand> tool = findSystemInfoProgram(pathVariable);
  if (tool && core.platform.programs && core.platform.programs->startDetached(*tool)) return;
  if (core.platform.messages) {
    core.platform.messages->show(kSystemInfoUnavailable, "Sonavex", MsgButtons::Ok,
                                 MsgIcon::None);
  }
}

}  // namespace sonavex
