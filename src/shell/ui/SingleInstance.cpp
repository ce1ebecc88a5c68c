#include "shell/ui/SingleInstance.h"

#include <QLocalSocket>
#include <QPointer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "shell/HandOff.h"
#include "shell/ui/RuntimeFolder.h"

namespace ritoma {

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

QString SingleInstance::serverName() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x11 = std::getenv("DISPLAY");
  return serverName(RuntimeFolder::forThisUser(), wayland ? wayland : "", x11 ? x11 : "");
}

QString SingleInstance::serverName(const std::string& folder, const std::string& waylandDisplay,
                                   const std::string& x11Display) {
  if (folder.empty()) return {};
  std::string display = waylandDisplay;
  if (display.empty()) {
    // ":0" and ":0.0" are one display.
    display = x11Display;
    const std::size_t colon = display.rfind(':');
    if (const std::size_t dot = display.find('.', colon == std::string::npos ? 0 : colon);
        colon != std::string::npos && dot != std::string::npos)
      display.resize(dot);
  }
  std::replace(display.begin(), display.end(), '/', '_');
  std::string path = folder;
  if (!path.ends_with('/')) path += '/';
  path += "RitomaMutex";
  if (!display.empty()) path += "-" + display;
  return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

bool SingleInstance::handOff(const std::vector<std::string>& paths, int timeoutMs) {
  const QString name = serverName();
  if (name.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return false;
  const std::string frame = HandOff::encode({HandOff::Marker, HandOff::joinPaths(paths)});
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The receiver answers once its handler (opening the paths) has run; a
  // slow first start may keep it waiting for as long as its listing takes.
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(-1)) break;
  }
  return true;
}

bool SingleInstance::listen() {
  const QString name = serverName();
  if (name.isEmpty()) return false;
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name)) return true;
  if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(1000)) return false;
  QLocalServer::removeServer(name);
  return server_.listen(name);
}

void SingleInstance::serve(Handler handler) {
  handler_ = std::move(handler);
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
  accept();
}

void SingleInstance::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto buffer = std::make_shared<std::string>();
    QPointer<QLocalSocket> guard(socket);
    const auto read = [this, guard, buffer] {
      if (!guard) return;
      const QByteArray bytes = guard->readAll();
      buffer->append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      HandOff::Frame frame;
      std::size_t consumed = 0;
      switch (HandOff::decode(*buffer, frame, consumed)) {
        case HandOff::Parse::NeedMore:
          return;
        case HandOff::Parse::Invalid:
          guard->disconnectFromServer();
          return;
        case HandOff::Parse::Complete:
          break;
      }
      buffer->clear();
      // The sender waits for the answer, so it is sent even when the
      // handler fails (its error is shown by the application).
      const auto answer = [guard] {
        if (!guard) return;
        const char ack = HandOff::Ack;
        guard->write(&ack, 1);
        guard->flush();
        guard->disconnectFromServer();
      };
      const bool marked = frame.marker == HandOff::Marker;
      try {
        if (handler_) handler_(marked, marked ? HandOff::splitPaths(frame.text) : std::vector<std::string>{});
      } catch (...) {
        answer();
        throw;
      }
      answer();
    };
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, read);
    // A message that arrived before serve() has signalled already; it is
    // read once the event loop runs.
    if (socket->bytesAvailable() > 0) QMetaObject::invokeMethod(this, read, Qt::QueuedConnection);
  }
}

}  // namespace ritoma
