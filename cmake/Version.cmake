# Writes the version the program reports: the project's, and the git revision the sources are at.
# Run at every build (not only when configuring), and the file is rewritten only when its text
# changes, so a new commit is reported without configuring again and nothing else is rebuilt.
execute_process(COMMAND git rev-parse --short HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
  OUTPUT_VARIABLE SONAVEX_REVISION OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(SONAVEX_VERSION_TEXT "${PROJECT_VERSION}")
if(SONAVEX_REVISION)
  string(APPEND SONAVEX_VERSION_TEXT " (${SONAVEX_REVISION})")
endif()
configure_file("${SOURCE_DIR}/ui/Version.cpp.in" "${OUTPUT}" @ONLY)
