#pragma once
// Paths given on the command line, as a file manager's "Open With" passes them: plain paths
// (relative ones taken from the current folder), file: URIs and http(s) addresses.
#include <string>
#include <string_view>
#include <vector>

namespace sonavex {

// The playlist paths named by `args`, in order. A relative path becomes `currentFolder` + '/' +
// path, with nothing else normalised (left as it is when the folder is unknown, ""); a file: URI
// becomes its percent-decoded path; an http(s) address stays as it is; a URI of another host, an
// empty argument or an empty URI path names nothing and is left out.
std::vector<std::string> commandLinePaths(const std::vector<std::string>& args,
                                          const std::string& currentFolder);

// The local path of a file: URI ("file:/p", "file:///p", "file://localhost/p"), its percent escapes
// decoded to the exact bytes of the name; "" for another scheme, another host or an empty path.
// Drops and the command line share it.
std::string pathOfFileUri(const std::string& uri);

// The local paths and http(s) addresses of a dropped "text/uri-list" (one URI a line, lines ending
// in CR LF or LF, '#' lines are comments), in order; any other URI that pathOfFileUri() refuses is
// left out.
std::vector<std::string> pathsOfUriList(std::string_view list);

// True when the text begins with "file:", whatever the letter case.
bool startsWithFileScheme(std::string_view text);
// "%41" becomes "A"; a '%' not followed by two hex digits stays as it is. Bytes, not characters.
std::string percentDecoded(std::string_view text);

// The current folder as the file system spells it; "" when it cannot be read.
std::string currentFolder();

}  // namespace sonavex
