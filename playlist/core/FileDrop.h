#pragma once
// Files and folders dropped on the player window, the playlist window or its list (and paths given
// on the command line) join the playlist: files as entries, folders scanned for audio files.
#include <string>
#include <vector>

#include "app/core/Core.h"

namespace sonavex {

void filedragging(Core& core, const std::vector<std::string>& paths);

}  // namespace sonavex
