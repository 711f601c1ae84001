#include "app/NetworkFiles.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace sonavex {

namespace {
constexpr int kMaxRedirects = 5;
constexpr int kCancelPollMs = 50;

bool isWebScheme(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Why a finished reply brought nothing usable, in words for the user.
std::string failureOf(QNetworkReply& reply, int timeoutMs) {
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 400) {
    const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    return "the server answered " + std::to_string(status) +
           (reason.isEmpty() ? "" : " " + reason.toStdString());
  }
  switch (reply.error()) {
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
      return "nothing came for " + std::to_string(timeoutMs / 1000) + " seconds";
    case QNetworkReply::TooManyRedirectsError:
      return "it was redirected more than " + std::to_string(kMaxRedirects) + " times";
    case QNetworkReply::InsecureRedirectError:
      return "it was redirected from https to http";
    default:
      return reply.errorString().toStdString();
  }
}
}  // namespace

bool NetworkFiles::fetch(const std::string& address, std::size_t maxBytes, int timeoutMs,
                         const std::function<bool()>& cancelled, Fetched& got) {
  std::string& bytes = got.bytes;
  std::string& error = got.error;
  bytes.clear();
  const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::TolerantMode);
  if (!url.isValid() || !isWebScheme(url)) {
    error = "it is not an http or https address";
    return false;
  }
  // First: it gives this thread the event dispatcher that the manager's timers need.
  QEventLoop loop;
  QNetworkAccessManager manager;
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  request.setTransferTimeout(timeoutMs);
  QNetworkReply* reply = manager.get(request);
  std::string refused;  // why we stopped it ourselves
  const auto stop = [&](std::string why) {
    if (refused.empty()) refused = std::move(why);
    reply->abort();
  };
  QObject::connect(reply, &QNetworkReply::redirected, [&](const QUrl& to) {
    if (!isWebScheme(to)) stop("it was redirected to an address that is not http or https");
  });
  QObject::connect(reply, &QNetworkReply::readyRead, [&] {
    const QByteArray more = reply->readAll();
    if (bytes.size() + static_cast<std::size_t>(more.size()) > maxBytes)
      return stop("it is larger than " + std::to_string(maxBytes / (1 << 20)) + " MB");
    bytes.append(more.constData(), static_cast<std::size_t>(more.size()));
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  // The whole fetch, however slowly the bytes drip in, ends within the time; and soon on exit.
  QTimer deadline, poll;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] {
    stop("nothing came for " + std::to_string(timeoutMs / 1000) + " seconds");
  });
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (cancelled && cancelled()) stop("the program ends");
  });
  deadline.start(timeoutMs);
  poll.start(kCancelPollMs);
  if (!reply->isFinished()) loop.exec();
  if (refused.empty() && reply->bytesAvailable() > 0) emit reply->readyRead();  // what came last
  const bool ok = refused.empty() && reply->error() == QNetworkReply::NoError;
  if (!ok) {
    error = refused.empty() ? failureOf(*reply, timeoutMs) : refused;
    bytes.clear();
  }
  got.address = reply->url().toEncoded().toStdString();
  delete reply;
  return ok;
}

}  // namespace sonavex
