#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace ritoma {

// One instance per user: a local socket named after "RitomaMutex" and the
// user id is both the lock and the endpoint a later start hands its paths to
// (frame layout in shell/HandOff.h).
class SingleInstance : public QObject {
  Q_OBJECT
public:
  // Called on the receiving side for every message: `marked` is false when
  // the frame's marker is not HandOff::Marker (then `paths` is empty).
  using Handler = std::function<void(bool marked, const std::vector<std::string>& paths)>;

  explicit SingleInstance(QObject* parent = nullptr);

  static QString serverName();

  // Sends `paths` (disk bytes) to a running instance and waits until it has
  // handled them. False when no instance answers.
  static bool handOff(const std::vector<std::string>& paths, int timeoutMs = 30000);

  // Publishes this instance. A socket left behind by an instance that died
  // is replaced. False when another instance listens already.
  bool listen(Handler handler);

private:
  void accept();

  QLocalServer server_;
  Handler handler_;
};

}  // namespace ritoma
