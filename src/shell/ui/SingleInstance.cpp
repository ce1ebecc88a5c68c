#include "shell/ui/SingleInstance.h"

#include <QLocalSocket>
#include <QPointer>
#include <memory>
#include <unistd.h>

#include "shell/HandOff.h"

namespace ritoma {

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

QString SingleInstance::serverName() {
  return QStringLiteral("RitomaMutex-%1").arg(static_cast<qulonglong>(::getuid()));
}

bool SingleInstance::handOff(const std::vector<std::string>& paths, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(serverName());
  if (!socket.waitForConnected(timeoutMs)) return false;
  const std::string frame = HandOff::encode({HandOff::Marker, HandOff::joinPaths(paths)});
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The receiver answers once its handler (opening the paths) has run.
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(-1)) break;
  }
  return true;
}

bool SingleInstance::listen(Handler handler) {
  handler_ = std::move(handler);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(serverName())) return true;
  if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
  QLocalSocket probe;
  probe.connectToServer(serverName());
  if (probe.waitForConnected(1000)) return false;
  QLocalServer::removeServer(serverName());
  return server_.listen(serverName());
}

void SingleInstance::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto buffer = std::make_shared<std::string>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
      const QByteArray bytes = socket->readAll();
      buffer->append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      HandOff::Frame frame;
      std::size_t consumed = 0;
      switch (HandOff::decode(*buffer, frame, consumed)) {
        case HandOff::Parse::NeedMore:
          return;
        case HandOff::Parse::Invalid:
          socket->disconnectFromServer();
          return;
        case HandOff::Parse::Complete:
          break;
      }
      buffer->clear();
      // The sender waits for the answer, so it is sent even when the
      // handler fails (its error is shown by the application).
      QPointer<QLocalSocket> guard(socket);
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
    });
  }
}

}  // namespace ritoma
