#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace ritoma {

// One instance per user and display: a local socket "RitomaMutex-<display>"
// in the user's private runtime folder (RuntimeFolder) is both the lock and
// the endpoint a later start hands its paths to (frame layout in
// shell/HandOff.h).
class SingleInstance : public QObject {
  Q_OBJECT
public:
  // Called on the receiving side for every message: `marked` is false when
  // the frame's marker is not HandOff::Marker (then `paths` is empty).
  using Handler = std::function<void(bool marked, const std::vector<std::string>& paths)>;

  explicit SingleInstance(QObject* parent = nullptr);

  // The socket's path for this process's environment; empty when the user
  // has no private runtime folder (then there is no single instance).
  static QString serverName();
  // The socket's path in `folder` for a display: $WAYLAND_DISPLAY when set,
  // else $DISPLAY without its screen number; "/" in it becomes "_".
  static QString serverName(const std::string& folder, const std::string& waylandDisplay,
                            const std::string& x11Display);

  // Sends `paths` (disk bytes) to a running instance and waits until it has
  // handled them. False when no instance answers.
  static bool handOff(const std::vector<std::string>& paths, int timeoutMs = 30000);

  // Publishes this instance: from here on a later start connects and waits
  // instead of starting another instance. A socket left behind by an
  // instance that died is replaced. False when another instance listens
  // already or there is no private folder for the socket.
  bool listen();
  // Handles the messages that arrived since listen() and all later ones.
  void serve(Handler handler);

private:
  void accept();

  QLocalServer server_;
  Handler handler_;
};

}  // namespace ritoma
