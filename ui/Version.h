#pragma once
// The version the program reports: the project's version and the git revision it was built from.
namespace sonavex {
const char* sonavexVersion();
}  // namespace sonavex
