#pragma once
// The program's windows, each created once on first access, and the things they share: the Core,
// its random source, the platform services and the media engine.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>

#include "core/Core.h"
#include "core/model/Random.h"

namespace sonavex {

class frmMain;
class frmbutton;
class frmmenu;
class frmplaylist;
class frmvol;
class frmsearch;
class frmAbout;
class QtProgramStarter;
class QtMessageBoxes;
class QtFileDialog;
class QtFolderPicker;
class QtBusyPointer;
class MprisService;

struct FormsOptions {
  // Makes the engine when the playlist window, its host, loads.
  std::function<std::unique_ptr<MediaEngine>()> makeEngine;
  // Where the playlist is kept between runs.
  std::string lastPlaylistFile;
  // Ends the program at once; tests replace it so the test process lives on.
  std::function<void()> quit;
  // False for a second player started on purpose: it reads the last playlist but leaves it alone.
  bool saveLastPlaylist = true;
};

class Forms {
 public:
  explicit Forms(FormsOptions options);
  ~Forms();
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

  // The start-up sequence: the player window loads and shows, the engine is set to full volume
  // (which loads the playlist window and restores the last playlist), then the playlist window is
  // shown beside the player. `openPaths` (from the command line) then join the playlist as one
  // drop of them would, a playlist file among them loaded as the load button loads one; nothing
  // starts playing.
  void start(const std::vector<std::string>& openPaths = {});

  frmMain& main();
  frmplaylist& playlist();
  // The command window; made on first use, beside the playlist window, hidden.
  frmmenu& menu();
  // The volume popup; loading it sets the engine to full volume (which loads the playlist window).
  frmvol& vol();
  // The playlist toggle button; made on first use.
  frmbutton& button();
  // Places the volume popup on the player window and shows it.
  void showVolumePopup();
  // Slides the playlist window in beside the player.
  void playlistmotion();
  // Shows the toggle button on the player, where the put-away playlist window can be fetched back.
  void showToggleButton();
  // After the player moved: the playlist window, the command window, the toggle button and the
  // volume popup go to their places beside it, in that order (the command window beside the
  // playlist window's new place). A companion not made yet is made by this.
  void dockCompanions();
  // The player was minimised: the About box, the toggle button, the command window and the volume
  // popup are hidden.
  void hideCompanions();
  // The search window and the About box: one at a time, modeless, made afresh after each close.
  void showSearch();
  void showAbout();
  frmsearch* search() const;
  frmAbout* about() const;
  // The lists and the engine live on the playlist window, so reaching them loads it.
  Core& core();
  MediaEngine& mp1();

  bool mainLoaded() const { return main_ != nullptr; }
  bool playlistLoaded() const { return playlist_ != nullptr; }
  // The media controls of the desktop (MPRIS on the session bus); `instanceSuffix` names a second
  // player apart. Without a session bus nothing happens.
  void startMediaControls(const QString& instanceSuffix);
  MprisService* mediaControls() const { return mpris_.get(); }
  // The windows have shown a change: the media controls hear of it.
  void mediaStateChanged();
  // A request of the media controls on the core, then every window shows its result.
  void mediaRequest(const std::function<void(Core&)>& request);
  // A file or folder joins the playlist as a drop does, and its first new entry plays.
  void openAndPlay(const std::string& path);
  // Brings the player to the front (restored if minimised) and slides the playlist window in.
  void raisePlayer();

  bool menuLoaded() const { return menu_ != nullptr; }
  bool buttonLoaded() const { return button_ != nullptr; }

  // Saves the playlist and ends the program; later calls do nothing, so that every exit path saves
  // exactly once.
  void endProgram();
  // Writes lastplaylist.txt, unless the start could not read it whole (then it is kept as it is). A
  // failure asks nothing of the user; it is told on standard error.
  void savelastplaylist();
  bool ending() const { return ending_; }
  const std::string& lastPlaylistFile() const { return options_.lastPlaylistFile; }

 private:
  void placePlayer();

  FormsOptions options_;
  SeededRandom rng_;
  std::unique_ptr<QtMessageBoxes> messages_;
  std::unique_ptr<QtFileDialog> cd1_;
  std::unique_ptr<QtFolderPicker> folders_;
  std::unique_ptr<QtBusyPointer> busy_;
  std::unique_ptr<QtProgramStarter> programs_;
  std::unique_ptr<MediaEngine> engine_;
  std::unique_ptr<Core> core_;
  // Windows are destroyed before the core and the engine they point at.
  std::unique_ptr<frmmenu> menu_;
  std::unique_ptr<frmvol> vol_;
  std::unique_ptr<frmbutton> button_;
  QPointer<frmsearch> search_;
  QPointer<frmAbout> about_;
  std::unique_ptr<frmplaylist> playlist_;
  std::unique_ptr<frmMain> main_;
  std::unique_ptr<MprisService> mpris_;
  bool ending_ = false;
};

}  // namespace sonavex
