#include <QApplication>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "app/ExitSignals.h"
#include "app/Forms.h"
#include "app/SessionEnd.h"
#include "app/StartupProbe.h"
#include "app/core/CommandLine.h"
#include "engine/gst/GstMediaEngine.h"
#include "mediainfo/core/FileInfoCommand.h"
#include "playlist/core/LastPlaylist.h"

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  if (argc >= 2 && std::string(argv[1]) == "--file-info") {
    return sonavex::runFileInfoCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                       std::cerr);
  }

  QApplication app(argc, argv);
  // Qt has taken its own options out of argv; what is left are paths, as bytes.
  const std::vector<std::string> openPaths = sonavex::commandLinePaths(
      std::vector<std::string>(argv + 1, argv + argc), sonavex::currentFolder());
  app.setApplicationName(QStringLiteral("Sonavex"));
  // The player window cannot be closed; the program ends only by its own exit paths.
  app.setQuitOnLastWindowClosed(false);

  sonavex::FormsOptions options;
  options.makeEngine = [] { return sonavex::makeGstMediaEngine(); };
  options.lastPlaylistFile =
      sonavex::lastPlaylistPath(sonavex::executableDir(), sonavex::userDataDir());
  sonavex::Forms forms(std::move(options));

  auto endProgram = [&forms] { forms.endProgram(); };
  sonavex::ExitSignals exitSignals([&](int) { endProgram(); });
  sonavex::runOnSessionEnd(app, &app, endProgram);

  forms.start(openPaths);
  if (sonavex::startupProbeRequested()) sonavex::reportStartupWhenShown(started);
  return app.exec();
}
