#pragma once
// Adding files from the file dialog `cd1` and whole folder trees (buttons "&file" and "dir").
#include "core/Core.h"

namespace sonavex {

void cmdfile_Click(Core& core);
void cmddir_Click(Core& core);

}  // namespace sonavex
