#pragma once
// The program's assembly: the engine, the core and the platform services exist from the start;
// each window is made once, on first use, in start-up order, and wired to what it asks for. After
// every command the core tells the assembly once, and it shows the change in every window and on
// the bus (the one refresh path).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>
#include <QTimer>

#include "core/Core.h"
#include "core/model/Random.h"

namespace sonavex {

class EngineEvents;
class frmMain;
class frmbutton;
class frmmenu;
class frmplaylist;
class frmvol;
class frmeq;
class frmsearch;
class frmAbout;
class QtProgramStarter;
class QtMessageBoxes;
class QtFileDialog;
class QtFolderPicker;
class QtBusyPointer;
class MprisService;
class FileWriterThread;
class ListWakeNotifier;
class NetworkFiles;
class frmaddress;

struct FormsOptions {
  std::function<std::unique_ptr<MediaEngine>()> makeEngine;
  // Where the playlist is kept between runs.
  std::string lastPlaylistFile;
  // Where the equalizer and ReplayGain settings are kept ("": nowhere, the defaults each run).
  std::string soundSettingsFile;
  // Ends the program at once; tests replace it so the test process lives on.
  std::function<void()> quit;
  // False for a second player started on purpose: it reads the last playlist but leaves it alone.
  bool saveLastPlaylist = true;
  // Intakes and list edits on threads of their own (the program); false runs them at once (tests
  // that look at the list right after a command).
  bool listJobsInBackground = true;
};

class Forms : public CoreObserver, private EventLoop {
 public:
  explicit Forms(FormsOptions options);
  ~Forms() override;
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

  // The start-up sequence: the player window loads and shows; the playlist window loads (restoring
  // the last playlist), the volume popup sets full volume, and the playlist window slides in beside
  // the player. `openPaths` (from the command line) then join the playlist as one drop of them
  // would, a playlist file among them loaded as the load button loads one; nothing plays.
  void start(const std::vector<std::string>& openPaths = {});

  Core& core() { return *core_; }
  frmMain& main();
  frmplaylist& playlist();
  // The command window; made on first use, beside the playlist window, hidden.
  frmmenu& menu();
  // The volume popup; its load sets the engine to full volume, after the playlist window's load.
  frmvol& vol();
  // The playlist toggle button; made on first use.
  frmbutton& button();
  bool menuLoaded() const { return menu_ != nullptr; }

  // The equalizer window; made on first use, hidden.
  frmeq& equalizer();
  // Shows the equalizer window below the playlist's place, with the keyboard; or puts it away.
  void toggleEqualizer();
  // Places the volume popup on the player window and shows it.
  void showVolumePopup();
  // Hides the playlist window, gives it its docked shape, shows it just off the screen's right edge
  // and slides it left beside the player, letting pending events run between the steps.
  void playlistmotion();
  // Shows the toggle button on the player, where the put-away playlist window can be fetched back.
  void showToggleButton();
  // After the player moved: the playlist window, the command window, the toggle button and the
  // volume popup go to their places beside it, in that order (the command window beside the
  // playlist window's new place). A companion not made yet is made by this.
  void dockCompanions();
  // The player was minimised: the playlist window is put away, and the About box, the toggle
  // button, the command window and the volume popup are hidden.
  void hideCompanions();
  // The search window and the About box: one at a time, modeless, made afresh after each close.
  void showSearch();
  void showAbout();
  // The add address dialog: one at a time, modeless, made afresh after each close.
  void showAddress();
  frmaddress* address() const;
  frmsearch* search() const;
  frmAbout* about() const;
  // Brings the player to the front (restored if minimised) and slides the playlist window in.
  void raisePlayer();

  // The media controls of the desktop (MPRIS on the session bus); `instanceSuffix` names a second
  // player apart. Without a session bus nothing happens.
  void startMediaControls(const QString& instanceSuffix);
  MprisService* mediaControls() const { return mpris_.get(); }

  // The one refresh path: every window made so far and the media controls show the core, and a
  // changed list is written about 2 s later.
  void coreChanged() override;

 private:
  void quit() override;
  void runPending() override;
  void placePlayer();
  // Below the playlist's place beside the player, level with the panel's left edge.
  void placeEqualizer();
  // Tab into the playlist window, or into the toggle button while the window is put away.
  void enterPlaylistByTab(bool next);
  // The pointer left the flyout or its button: the flyout goes in, unless the pointer went from
  // one to the other or the keyboard is in it.
  void withdrawFlyout();

  FormsOptions options_;
  SeededRandom rng_;
  std::unique_ptr<QtMessageBoxes> messages_;
  std::unique_ptr<QtFileDialog> cd1_;
  std::unique_ptr<QtFolderPicker> folders_;
  std::unique_ptr<QtBusyPointer> busy_;
  std::unique_ptr<QtProgramStarter> programs_;
  // Outlives the core, so a save handed to it is finished before the program ends.
  std::unique_ptr<FileWriterThread> writer_;
  std::unique_ptr<NetworkFiles> remote_;  // used by intakes' threads until the core is gone
  // Wakes the program's thread for list work and for the writer's answers; outlives the core.
  std::unique_ptr<ListWakeNotifier> listWake_;
  std::unique_ptr<MediaEngine> engine_;
  std::unique_ptr<Core> core_;
  std::unique_ptr<EngineEvents> events_;
  // Windows are destroyed before the core and the engine they point at.
  std::unique_ptr<frmmenu> menu_;
  std::unique_ptr<frmvol> vol_;
  std::unique_ptr<frmbutton> button_;
  std::unique_ptr<frmeq> eq_;
  QPointer<frmsearch> search_;
  QPointer<frmaddress> address_;
  QPointer<frmAbout> about_;
  std::unique_ptr<frmplaylist> playlist_;
  std::unique_ptr<frmMain> main_;
  std::unique_ptr<MprisService> mpris_;
  // Writes the list a while after it changed (see autosaveLastPlaylist).
  QTimer autosave_;
  bool sliding_ = false;
  bool pumping_ = false;
};

}  // namespace sonavex
