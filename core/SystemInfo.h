#pragma once
// "system info" of the About box: starts the desktop's system-information tool. There is no
// registry to ask, so the first of a few well-known tools found on PATH is started.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Looked up in this order: the KDE and GNOME information centres, then a hardware-information tool.
std::optional<ProgramCommand> findSystemInfoProgram(std::string_view pathVariable);

inline constexpr const char* kSystemInfoUnavailable =
    "System Information Is Unavailable At This Time";

// Starts the tool detached; when none is found or it cannot be started, says so in a notice
// titled with the application title.
void StartSysInfo(Core& core, std::string_view pathVariable);

}  // namespace sonavex
