#pragma once
// Where the file dialogs and the folder picker open: in the folder the user was in when one of
// them last closed, or, the first time, in the user's music folder (the home folder when there is
// none), never in whatever folder the program was started from. Kept for the run only: the program
// keeps no settings between runs.
#include <QString>

namespace sonavex {

QString dialogStartFolder();
// The folder a dialog closed in (the chosen folder, or the folder of the chosen files).
void rememberDialogFolder(const QString& folder);

}  // namespace sonavex
