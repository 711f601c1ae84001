#pragma once
// Adding files from the file dialog `cd1`, whole folder trees and addresses (buttons "&file",
// "dir" and "&url").
#include <string>
#include <string_view>

#include "core/Core.h"

namespace sonavex {

void cmdfile_Click(Core& core);
void cmddir_Click(Core& core);

// Why the add address dialog cannot add `text` as it is typed (without blanks at its ends): ""
// when it is an http(s) address.
std::string addressRefusal(std::string_view text);
// Adds an http(s) address as an entry, or the entries of a playlist at that address, as a drop of
// it would; anything else adds nothing.
void cmdurl_Click(Core& core, const std::string& address);

}  // namespace sonavex
