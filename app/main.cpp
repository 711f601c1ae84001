#include <QApplication>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/ExitSignals.h"
#include "app/Forms.h"
#include "app/ReaderCaches.h"
#include "app/SessionEnd.h"
#include "app/SingleInstance.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/FileInfoCommand.h"
#include "core/LastPlaylist.h"
#include "core/ListWork.h"
#include "core/SoundSettings.h"
#include "core/model/CommandLine.h"
#include "engine/gst/GstMediaEngine.h"
#include "ui/StartupProbe.h"
#include "ui/Version.h"
#include "windows/frmplaylist.h"

namespace {

constexpr const char* kUsage =
    "Usage: sonavex [--new-instance] [PATH...]\n"
    "       sonavex --file-info PATH...\n"
    "\n"
    "Starts the player; files and folders given as PATHs (or file: URIs) join the playlist,\n"
    "and the entries of a playlist file (.plt, .m3u, .m3u8, .pls, .xspf) are loaded into it.\n"
    "While a player runs, PATHs go to its playlist instead, and it comes to the front.\n"
    "  --new-instance  start a second player; it reads the last playlist but does not save it\n"
    "  --file-info  print the MPEG header and ID3v1 tag of each file, without a window\n"
    "  --help       show this text\n"
    "  --version    show the version\n";

// Qt aborts without a display with a message about platform plugins; say what is needed instead.
bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (const char* value = std::getenv(name); value && *value) return true;
  }
  return false;
}

// The player docks its windows to each other by placing them on the screen, which a Wayland client
// may not do, and Wayland draws its shaped windows as rectangles. Where an X server is at hand too
// (XWayland), the windows go there, unless the user chose a platform.
void preferX11() {
  if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

// The usual soft limit of 1024 descriptors is soon reached by a long session (sound server,
// connections of other programs) and then the exit save cannot create its file; the hard limit is
// the one the system means.
void raiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

// Small blocks freed by the hundred thousand (a long list's names, given up after a list job) would
// wait in the allocator's fast lists until some later allocation, on whichever thread, tidies them
// all at once: 50 to 100 ms during which the window does not answer. Without those lists each block
// is tidied as it is freed.
void tidyFreedBlocksAtOnce() {
#ifdef __GLIBC__
  mallopt(M_MXFAST, 0);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  raiseDescriptorLimit();
  tidyFreedBlocksAtOnce();
  const std::string first = argc >= 2 ? argv[1] : "";
  if (first == "--file-info") {
    return sonavex::runFileInfoCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                       std::cerr);
  }
  if (first == "--help" || first == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (first == "--version") {
    std::cout << "sonavex " << sonavex::sonavexVersion() << '\n';
    return 0;
  }
  // The option is ours alone: Qt and the paths do not see it.
  char** const argEnd = std::remove_if(argv + 1, argv + argc, [](const char* arg) {
    return std::string(arg) == "--new-instance";
  });
  bool newInstance = argEnd != argv + argc;
  argc = static_cast<int>(argEnd - argv);

  sonavex::SingleInstance instance;
  sonavex::probeHandOver("handover_start_ns");
  if (!newInstance && !instance.acquire()) {
    // A player runs: it takes the paths (options such as Qt's are not paths) and comes forward.
    std::vector<std::string> args;
    std::copy_if(argv + 1, argv + argc, std::back_inserter(args),
                 [](const std::string& arg) { return arg.rfind('-', 0) != 0; });
    if (instance.handOver(sonavex::commandLinePaths(args, sonavex::currentFolder()))) return 0;
    std::cerr << "sonavex: the running player does not answer; this one starts on its own and "
                 "leaves the last playlist alone\n";
    newInstance = true;
  }

  if (!hasDisplay()) {
    std::cerr << "sonavex needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set); "
                 "without one, run it under a virtual display: xvfb-run sonavex\n";
    return 1;
  }
  preferX11();

  QApplication app(argc, argv);
  // Qt has taken its own options out of argv; what is left are paths, as bytes.
  const std::vector<std::string> openPaths = sonavex::commandLinePaths(
      std::vector<std::string>(argv + 1, argv + argc), sonavex::currentFolder());
  app.setApplicationName(QStringLiteral("Sonavex"));
  // The installed desktop entry (packaging/): desktops match the windows to its name and icon.
  app.setDesktopFileName(QStringLiteral("io.github.sonavex.Sonavex"));
  // The player window cannot be closed; the program ends only by its own exit paths.
  app.setQuitOnLastWindowClosed(false);

  sonavex::FormsOptions options;
  options.makeEngine = [] { return sonavex::makeGstMediaEngine(); };
  options.lastPlaylistFile =
      sonavex::lastPlaylistPath(sonavex::executableDir(), sonavex::userDataDir());
  options.saveLastPlaylist = !newInstance;
  if (const std::string config = sonavex::userConfigDir(); !config.empty()) {
    options.soundSettingsFile = config + "/" + sonavex::kSoundSettingsName;
  }
  sonavex::Forms forms(std::move(options));

  sonavex::Core& core = forms.core();
  auto endProgram = [&core] { sonavex::perform(core, sonavex::mnuexit_Click); };
  sonavex::ExitSignals exitSignals([&](int) {
    // A second request while the first is still unwinding (a long scan, say) ends at once.
    if (core.ending) std::_Exit(0);
    endProgram();
  });
  sonavex::runOnSessionEnd(
      app, &app, [&core] { sonavex::savelastplaylist(core); }, endProgram);

  forms.start(openPaths);
  // A termination request during start-up (a message box was up) ended the nested loops only.
  if (core.ending) return 0;
  forms.startMediaControls(newInstance ? QStringLiteral(".instance%1").arg(getpid()) : QString());
  sonavex::keepReaderCachesCurrent(&app);
  if (!newInstance) {
    instance.listen([&forms, &core, &app](std::vector<std::string> paths) {
      if (core.ending) return;
      // At once: the paths are taken in beside the window (a folder's scan may take a while), and
      // an exit that comes next saves them with the list.
      if (!paths.empty()) sonavex::perform(core, sonavex::openCommandLinePaths, paths);
      sonavex::probeHandOver("handover_shown_ns");
      // After the sender has its answer: bringing the player forward lets other events run.
      QTimer::singleShot(0, &app, [&forms, &core] {
        if (!core.ending) forms.raisePlayer();
      });
    });
  }
  if (sonavex::startupProbeRequested()) {
    sonavex::reportStartupWhenShown(started, [&forms] { forms.playlist().Image3_Click(); });
  }
#ifdef __GLIBC__
  // What start-up only needed (parsed artwork, font files, the first layouts) is free by now but
  // would stay with the process: the allocator keeps freed pages unless asked.
  QTimer::singleShot(std::chrono::seconds(2), &app, [] { malloc_trim(0); });
#endif
  const int status = app.exec();
  // A sort or a scan still under way would hold the end of the program; the list is saved already.
  if (sonavex::listBusy(core)) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
