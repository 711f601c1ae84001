#pragma once
// The shared file dialog `cd1` on Qt. One dialog is kept for the whole run, so it remembers the
// folder it was last in; the properties set by the commands stay set between uses.
#include <memory>
#include <string_view>

#include <QStringList>

#include "core/model/Platform.h"

class QFileDialog;
class QWidget;

namespace sonavex {

// A file pattern that matches whatever the case of the letters, as on Windows: "*.mp3" becomes
// "*.[mM][pP]3"; "*.*" (every file) becomes "*".
QString caseInsensitiveGlob(const QString& pattern);
// "description|pattern;pattern|..." as Qt name filters ("description (globs)"). Each pattern comes
// first as it is written, then as its case-blind glob: the save dialog takes the first pattern's
// extension for the name it proposes, and "A.[pP][lL][tT]" must never be proposed.
QStringList qtNameFilters(std::string_view filter);
// The extension of the first pattern of the filter's entry `index`, counted from 0 ("plt" for entry
// 0 of "*.plt   (playlistfiles)|*.plt"); "" when it names no single extension or there is no such
// entry.
QString defaultSuffixOf(std::string_view filter, int index);
// The selection text of the dialog: "" for none, the full path for one file, or the folder, NUL,
// name, NUL, name... for several (no NUL at the end). Paths become file-system bytes.
std::string selectionText(const QStringList& files);

class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* owner = nullptr);
  ~QtFileDialog() override;
  void ShowOpen() override;
  void ShowSave() override;

 private:
  void show(bool save);

  QWidget* owner_;
  std::unique_ptr<QFileDialog> dialog_;
  QString lastChosen_;  // the name last chosen, as it was chosen
};

}  // namespace sonavex
