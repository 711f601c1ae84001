#pragma once
// Reordering the playlist: by file name ("name") and at random ("rand").
#include "core/Core.h"

namespace sonavex {

void cmdname_Click(Core& core);
void cmdrnd_Click(Core& core);

}  // namespace sonavex
