#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Ritoma - 選択"));
  window.resize(540, 410);
  window.show();
  return app.exec();
}
