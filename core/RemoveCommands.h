#pragma once
// Taking entries out of the playlist, and deleting their files from the disk after confirmation.
#include "core/Core.h"

namespace sonavex {

void cmdsel_Click(Core& core);              // remove the selected entries ("sel", Delete key)
void cmdall_Click(Core& core);              // remove all entries ("all")
void mnudelfromdisk_Click(Core& core);      // delete the selected files, then remove them
void mnudelfromharddisk_Click(Core& core);  // delete every file, then remove all entries
void mnuinvalid_Click(Core& core);          // remove entries whose file does not exist; report
void mnucrop_Click(Core& core);             // keep only the selected entries

}  // namespace sonavex
