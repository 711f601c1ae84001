#include "ui/QtProgramStarter.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace sonavex {

bool QtProgramStarter::startDetached(const ProgramCommand& command) {
  QStringList arguments;
  for (const std::string& a : command.arguments) arguments << QString::fromStdString(a);
  return QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(command.program)),
                                 arguments);
}

}  // namespace sonavex
