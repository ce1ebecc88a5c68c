#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

#include "platform/PosixFileSystem.h"
#include "plugins/PluginHost.h"
#include "plugins/PluginLibrary.h"
#include "support/TempDir.h"
#include "support/ui/FormChild.h"
#include "text/TextCodec.h"

namespace ritoma {

// The "+" dialogs of the photo and audio plug-ins, opened by the host's
// SetOption call as the conversion page makes it.
class MetadataOptionDialogTest : public QObject {
  Q_OBJECT
private slots:
  void init();
  void cleanup();
  void pickedFieldFormatAndFallbackMakeTheMacroWithTheBoundLetter();
  void textFieldsTakeNoFormatAndBadCharactersKeepOkDisabled();
  void cancelInsertsNothing();

private:
  // Presses "+" for plug-in `plugin`; `fill` works the dialog while it is
  // open (it must close it).
  std::optional<std::string> plus(int plugin, std::function<void(QDialog&)> fill);

  TempDir* dir_ = nullptr;
  PosixFileSystem fs_;
  PluginHost* host_ = nullptr;
};

void MetadataOptionDialogTest::init() {
  dir_ = new TempDir;
  host_ = new PluginHost(fs_, {});
  // Bound to letters other than the ones they propose.
  for (const auto& [path, letter] : {std::pair{std::string(RITOMA_EXIF_PLUGIN), 'P'},
                                     std::pair{std::string(RITOMA_AUDIO_PLUGIN), 'S'}}) {
    std::string why;
    auto library = PluginLibrary::open(path, why);
    QVERIFY2(library, why.c_str());
    host_->putInService({path.substr(path.rfind('/') + 1), std::move(library)}, letter, *dir_ / "Ritoma.ini");
  }
}

void MetadataOptionDialogTest::cleanup() {
  delete host_;
  delete dir_;
}

std::optional<std::string> MetadataOptionDialogTest::plus(int plugin, std::function<void(QDialog&)> fill) {
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->objectName() != QStringLiteral("FormMetadataOption")) return;
    opened = true;
    fill(*dialog);
    // Whatever the check left open closes, so a failure does not hang.
    if (dialog->isVisible()) dialog->reject();
  });
  const auto text = host_->setOption(plugin, RitomaPluginWindow{100, 100, 800, 600});
  if (!opened) qWarning("the dialog did not open");
  return opened ? text : std::optional<std::string>("(no dialog)");
}

void MetadataOptionDialogTest::pickedFieldFormatAndFallbackMakeTheMacroWithTheBoundLetter() {
  const auto photo = plus(0, [](QDialog& d) {
    auto* field = child<QComboBox>(d, "ComboBoxField");
    QCOMPARE(field->currentText(), QStringLiteral("date"));
    auto* format = child<QComboBox>(d, "ComboBoxFormat");
    QVERIFY(format->isEnabled());
    QCOMPARE(format->currentText(), QStringLiteral("%Y%m%d_%H%M%S"));
    format->setEditText(QStringLiteral("%Y年%m月"));
    child<QLineEdit>(d, "EditFallback")->setText(QStringLiteral("日付なし"));
    QCOMPARE(child<QLabel>(d, "LabelMacro")->text(), QStringLiteral("<date,%Y年%m月,日付なし>"));
    QTest::mouseClick(child<QPushButton>(d, "ButtonOk"), Qt::LeftButton);
  });
  QCOMPARE(photo, std::optional(TextCodec::fromUtf8("/xP<date,%Y年%m月,日付なし>")));

  const auto song = plus(1, [](QDialog& d) {
    auto* field = child<QComboBox>(d, "ComboBoxField");
    field->setCurrentIndex(field->findText(QStringLiteral("track")));
    auto* format = child<QComboBox>(d, "ComboBoxFormat");
    QVERIFY(format->isEnabled());
    format->setCurrentIndex(format->findText(QStringLiteral("2")));
    QTest::mouseClick(child<QPushButton>(d, "ButtonOk"), Qt::LeftButton);
  });
  QCOMPARE(song, std::optional<std::string>("/xS<track,2>"));

  // A key typed in takes any format.
  const auto key = plus(0, [](QDialog& d) {
    child<QComboBox>(d, "ComboBoxField")->setEditText(QStringLiteral("Exif.Photo.LensSerialNumber"));
    QCOMPARE(child<QLabel>(d, "LabelMacro")->text(), QStringLiteral("<Exif.Photo.LensSerialNumber>"));
    QTest::mouseClick(child<QPushButton>(d, "ButtonOk"), Qt::LeftButton);
  });
  QCOMPARE(key, std::optional<std::string>("/xP<Exif.Photo.LensSerialNumber>"));
}

void MetadataOptionDialogTest::textFieldsTakeNoFormatAndBadCharactersKeepOkDisabled() {
  const auto text = plus(0, [](QDialog& d) {
    auto* field = child<QComboBox>(d, "ComboBoxField");
    auto* format = child<QComboBox>(d, "ComboBoxFormat");
    auto* fallback = child<QLineEdit>(d, "EditFallback");
    auto* ok = child<QPushButton>(d, "ButtonOk");
    field->setCurrentIndex(field->findText(QStringLiteral("model")));
    QVERIFY(!format->isEnabled());
    QCOMPARE(format->currentText(), QString());
    // What the template would read otherwise: ">" closes the block, ","
    // would cut field or format short.
    for (const char* bad : {">", "a>b"}) {
      fallback->setText(QString::fromUtf8(bad));
      QVERIFY2(!ok->isEnabled(), bad);
    }
    fallback->setText(QStringLiteral("機種,不明"));
    QVERIFY(ok->isEnabled());
    field->setEditText(QStringLiteral("model,x"));
    QVERIFY(!ok->isEnabled());
    field->setEditText(QString());
    QVERIFY(!ok->isEnabled());
    field->setEditText(QStringLiteral("Exif.Image.Artist"));
    format->setEditText(QStringLiteral("%Y,%m"));
    QVERIFY(!ok->isEnabled());
    format->setEditText(QString());
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  QCOMPARE(text, std::optional(TextCodec::fromUtf8("/xP<Exif.Image.Artist,,機種,不明>")));
}

void MetadataOptionDialogTest::cancelInsertsNothing() {
  const auto text = plus(1, [](QDialog& d) {
    child<QLineEdit>(d, "EditFallback")->setText(QStringLiteral("x"));
    QTest::mouseClick(child<QPushButton>(d, "ButtonCancel"), Qt::LeftButton);
  });
  QCOMPARE(text, std::nullopt);
}

}  // namespace ritoma

QTEST_MAIN(ritoma::MetadataOptionDialogTest)
#include "MetadataOptionDialogTest.moc"
