#include "ui/QtFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "ui/DialogFolder.h"
#include "ui/FocusChain.h"

namespace sonavex {

namespace {
std::string bytesOf(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
}  // namespace

QString caseInsensitiveGlob(const QString& pattern) {
  // Windows' "*.*" means every file, also those without a dot.
  if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString glob;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      glob += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    } else {
      glob += c;
    }
  }
  return glob;
}

QStringList qtNameFilters(std::string_view filter) {
  QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
                          .split(QLatin1Char('|'));
  QStringList filters;
  // A description without its pattern (an odd count) is ignored.
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList globs;
    for (const QString& part : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString pattern = part.trimmed();
      if (pattern.isEmpty()) continue;
      const QString glob = caseInsensitiveGlob(pattern);
      if (glob != pattern && pattern != QStringLiteral("*.*")) globs << pattern;
      globs << glob;
    }
    if (globs.isEmpty()) continue;
    filters << parts[i] + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

QString defaultSuffixOf(std::string_view filter, int index) {
  const QStringList parts =
      QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(QLatin1Char('|'));
  if (index < 0 || parts.size() < 2 * index + 2) return {};
  const QString pattern = parts[2 * index + 1].split(QLatin1Char(';')).front().trimmed();
  if (!pattern.startsWith(QStringLiteral("*.")) || pattern.size() < 3) return {};
  const QString suffix = pattern.mid(2);
  return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

std::string selectionText(const QStringList& files) {
  if (files.isEmpty()) return {};
  if (files.size() == 1) return bytesOf(files.front());
  const QFileInfo first(files.front());
  std::string text = bytesOf(first.absolutePath());
  for (const QString& file : files) {
    const QFileInfo info(file);
    text.push_back('\0');
    // The dialog lists one folder at a time; a file from elsewhere keeps its full path.
    text += info.absolutePath() == first.absolutePath() ? bytesOf(info.fileName())
                                                        : bytesOf(info.absoluteFilePath());
  }
  return text;
}

QtFileDialog::QtFileDialog(QWidget* owner) : owner_(owner) {}

QtFileDialog::~QtFileDialog() = default;

void QtFileDialog::ShowOpen() { show(false); }

void QtFileDialog::ShowSave() { show(true); }

void QtFileDialog::show(bool save) {
  if (!dialog_) {
    dialog_ = std::make_unique<QFileDialog>(owner_);
    // A name typed without an extension gets the chosen filter's (".m3u8" under the m3u8 filter).
    QObject::connect(dialog_.get(), &QFileDialog::filterSelected, [this](const QString& shown) {
      if (dialog_->acceptMode() != QFileDialog::AcceptSave) return;
      // The filter comes as shown, without its patterns (HideNameFilterDetails).
      const QStringList filters = dialog_->nameFilters();
      int chosen = 0;
      while (chosen < filters.size() && filters[chosen] != shown &&
             !filters[chosen].startsWith(shown + QStringLiteral(" (")))
        ++chosen;
      dialog_->setDefaultSuffix(defaultSuffixOf(Filter, chosen));
    });
  }
  QFileDialog& dialog = *dialog_;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save) {
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode((Flags & kAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                   : QFileDialog::ExistingFile);
  }
  // Saving over an existing file asks first, as users of any file dialog expect.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  // The descriptions already name the patterns; the case-blind globs would only clutter them.
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  const QStringList filters = qtNameFilters(Filter);
  dialog.setNameFilters(filters.isEmpty() ? QStringList{QStringLiteral("*")} : filters);
  // A name typed without an extension gets the first filter's (".plt" for playlists).
  dialog.setDefaultSuffix(save ? defaultSuffixOf(Filter, 0) : QString());
  dialog.setDirectory(dialogStartFolder());
  // Setting the filters may have rewritten the proposed name; show the last selection as it was.
  if (!lastChosen_.isEmpty()) dialog.selectFile(lastChosen_);

  FileName.clear();
  FileTitle.clear();
  const KeyboardReturn keyboard;
  const int result = dialog.exec();
  rememberDialogFolder(dialog.directory().absolutePath());
  if (result != QDialog::Accepted) return;
  const QStringList files = dialog.selectedFiles();
  FileName = selectionText(files);
  if (files.size() == 1) FileTitle = bytesOf(QFileInfo(files.front()).fileName());
  lastChosen_ = files.size() == 1 ? QFileInfo(files.front()).fileName() : QString();
}

}  // namespace sonavex
