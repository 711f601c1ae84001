#include "commands/QtFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

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
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      if (!pattern.trimmed().isEmpty()) globs << caseInsensitiveGlob(pattern.trimmed());
    }
    if (globs.isEmpty()) continue;
    filters << parts[i] + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
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
  if (!dialog_) dialog_ = std::make_unique<QFileDialog>(owner_);
  QFileDialog& dialog = *dialog_;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save) {
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode((Flags & kAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                   : QFileDialog::ExistingFile);
  }
  // The program replaces a chosen file without asking, as the commands expect.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  // The descriptions already name the patterns; the case-blind globs would only clutter them.
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  const QStringList filters = qtNameFilters(Filter);
  dialog.setNameFilters(filters.isEmpty() ? QStringList{QStringLiteral("*")} : filters);

  FileName.clear();
  FileTitle.clear();
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList files = dialog.selectedFiles();
  FileName = selectionText(files);
  if (files.size() == 1) FileTitle = bytesOf(QFileInfo(files.front()).fileName());
}

}  // namespace sonavex
