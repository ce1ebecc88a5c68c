#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>

#include "archive/ArchiveLibraries.h"
#include "dummy/ui/TFormDummy.h"
#include "dummy/ui/TRichEditEx.h"
#include "platform/PosixFileSystem.h"
#include "settings/DummySettings.h"
#include "support/ui/FormChild.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

// Whether `image` has a pixel of `colour` inside `area`, each channel off
// by at most `tolerance` (antialiased text marks blend into the background).
bool hasColour(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 0) {
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor p = image.pixelColor(x, y);
      if (std::abs(p.red() - colour.red()) <= tolerance && std::abs(p.green() - colour.green()) <= tolerance &&
          std::abs(p.blue() - colour.blue()) <= tolerance)
        return true;
    }
  return false;
}

}  // namespace

class FormDummyTest : public QObject {
  Q_OBJECT
private slots:
  void pagesAndArchiveChoices();
  void enablingFollowsTheChoices();
  void byteCounterCountsCrLfAsTwo();
  void numberFieldsKeepTheirValueWhenLeftEmpty();
  void editorPaintsEveryMarkWhereItsCharacterIs();
};

void FormDummyTest::pagesAndArchiveChoices() {
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  archives.load(ArcLzh);
  DummySettings settings;
  settings.page = 2;
  settings.arcNo = 7;
  settings.notArcExcerpt = true;
  TFormDummy form(settings, archives);
  QCOMPARE(form.windowTitle(), QStringLiteral("ﾀﾞﾐｰﾌｧｲﾙ設定"));
  auto* pages = child<QTabWidget>(form, "PageControl");
  QCOMPARE(pages->count(), 3);
  QCOMPARE(pages->tabText(0), QStringLiteral("内容編集"));
  QCOMPARE(pages->tabText(1), QStringLiteral("ﾌｧｲﾙ内容"));
  QCOMPARE(pages->tabText(2), QStringLiteral("書庫ﾌｧｲﾙ"));
  QCOMPARE(pages->currentIndex(), 2);
  QCOMPARE(child<QSpinBox>(form, "UpDownArcNo")->value(), 7);
  QCOMPARE(child<QComboBox>(form, "ComboBoxNotArc")->currentText(), QStringLiteral("ﾌｧｲﾙ内容"));
  QCOMPARE(settings.arcNo, 7);

  QVERIFY(child<QCheckBox>(form, "CheckBoxArcLzh")->isEnabled());
  QVERIFY(!child<QCheckBox>(form, "CheckBoxArcZip")->isEnabled());
  QVERIFY(!child<QCheckBox>(form, "CheckBoxArcRar")->isEnabled());
  archives.load(ArcZip);
  archives.unload(ArcLzh);
  form.updateArchiveChoices();
  QVERIFY(!child<QCheckBox>(form, "CheckBoxArcLzh")->isEnabled());
  QVERIFY(child<QCheckBox>(form, "CheckBoxArcZip")->isEnabled());

  // Every control writes its setting at once.
  pages->setCurrentIndex(1);
  QCOMPARE(settings.page, 1);
  child<QCheckBox>(form, "CheckBoxArcZip")->click();
  child<QCheckBox>(form, "CheckBoxArcExt")->click();
  child<QComboBox>(form, "ComboBoxNotArc")->setCurrentIndex(0);
  QVERIFY(settings.arcZip);
  QVERIFY(settings.arcExt);
  QVERIFY(!settings.notArcExcerpt);
}

void FormDummyTest::enablingFollowsTheChoices() {
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  DummySettings settings;
  TFormDummy form(settings, archives);
  auto* editor = child<TRichEditEx>(form, "RichEditExDummy");
  QVERIFY(!editor->isEnabled());  // "0(ｾﾞﾛ)ﾊﾞｲﾄ" is on by default
  child<QCheckBox>(form, "CheckBoxZeroByte")->click();
  QVERIFY(editor->isEnabled());
  QVERIFY(!settings.zeroByte);

  const char* binary[] = {"UpDownBin1", "UpDownBin2"};
  const char* text[] = {"UpDownTxt1", "UpDownTxt2"};
  auto check = [&](bool binaryMode, bool maxOn) {
    for (const char* name : binary) QCOMPARE(child<QSpinBox>(form, name)->isEnabled(), binaryMode);
    for (const char* name : text) QCOMPARE(child<QSpinBox>(form, name)->isEnabled(), !binaryMode);
    QCOMPARE(child<QCheckBox>(form, "CheckBoxTxtMax")->isEnabled(), !binaryMode);
    QCOMPARE(child<QSpinBox>(form, "UpDownTxtMax")->isEnabled(), !binaryMode && maxOn);
  };
  check(true, false);
  child<QRadioButton>(form, "RadioButtonTxt")->click();
  QVERIFY(!settings.binary);
  check(false, false);
  child<QCheckBox>(form, "CheckBoxTxtMax")->click();
  QVERIFY(settings.txtMax);
  check(false, true);
  child<QRadioButton>(form, "RadioButtonBin")->click();
  check(true, true);
}

void FormDummyTest::byteCounterCountsCrLfAsTwo() {
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  DummySettings settings;
  settings.zeroByte = false;
  settings.edit = TextCodec::fromUtf8("x\r\n");
  TFormDummy form(settings, archives);
  auto* panel = child<QLabel>(form, "PanelByte");
  QCOMPARE(panel->text(), QStringLiteral("3"));
  auto* editor = child<TRichEditEx>(form, "RichEditExDummy");
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  editor->setFocus();
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, QStringLiteral("ab"));
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::keyClick(editor, Qt::Key_Tab);
  editor->insertPlainText(QStringLiteral("ソ"));
  // x CR LF a b CR LF TAB, and ソ in three UTF-8 bytes.
  QCOMPARE(panel->text(), QStringLiteral("11"));
  QCOMPARE(settings.edit, TextCodec::fromUtf8("x\r\nab\r\n\tソ"));
  QCOMPARE(editor->toPlainText(), QStringLiteral("x\nab\n\tソ"));
}

void FormDummyTest::numberFieldsKeepTheirValueWhenLeftEmpty() {
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  DummySettings settings;
  settings.bin1 = 40;
  TFormDummy form(settings, archives);
  child<QTabWidget>(form, "PageControl")->setCurrentIndex(1);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  auto* edit = child<QLineEdit>(form, "EditBin1");
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("123"));
  QCOMPARE(settings.bin1, 123);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QCOMPARE(edit->text(), QString());
  form.hide();
  QCOMPARE(edit->text(), QStringLiteral("123"));
  QCOMPARE(settings.bin1, 123);
  QCOMPARE(edit->maxLength(), 5);
}

void FormDummyTest::editorPaintsEveryMarkWhereItsCharacterIs() {
  TRichEditEx editor;
  editor.resize(400, 200);
  const QString text = QStringLiteral("a b\tc\u3000d\ne");
  editor.setPlainText(text);
  editor.show();
  QVERIFY(QTest::qWaitForWindowExposed(&editor));
  const QImage image = editor.viewport()->grab().toImage();
  const TEditMark& mark = editor.EditMark();
  // The cell of the character at `position`: from its x to the next one's.
  auto cell = [&](int position, int extra = 0) {
    QTextCursor c(editor.document());
    c.setPosition(position);
    const QRect left = editor.cursorRect(c);
    c.setPosition(position + 1);
    const int right = editor.cursorRect(c).left();
    return QRect(QPoint(left.left(), left.top()), QPoint(std::max(right, left.left() + 1) + extra, left.bottom()));
  };
  QVERIFY(!hasColour(image, cell(0), mark.Space1));     // a
  QVERIFY(hasColour(image, cell(1), mark.Space1));      // space
  QVERIFY(hasColour(image, cell(3), mark.TAB));         // TAB
  QVERIFY(hasColour(image, cell(5), mark.Space2));      // full-width space
  QVERIFY(!hasColour(image, cell(6), mark.Space2));     // d
  QVERIFY(hasColour(image, cell(7, 8), mark.CRLF));     // line break after d
  QVERIFY(!hasColour(image, cell(0), mark.CRLF));
  QTextCursor end(editor.document());
  end.movePosition(QTextCursor::End);
  const QRect endRect = editor.cursorRect(end);
  QVERIFY(hasColour(image, QRect(endRect.left(), endRect.top(), 60, endRect.height()), mark.EOD, 100));
  QVERIFY(!hasColour(image, QRect(0, 0, 400, endRect.top() - 1), mark.EOD, 100));
  QCOMPARE(editor.toPlainText(), text);

  // A line break selected by itself leaves the selection empty; with a
  // character beside it, it stays.
  QTextCursor select(editor.document());
  select.setPosition(7);
  select.setPosition(8, QTextCursor::KeepAnchor);
  editor.setTextCursor(select);
  QVERIFY(!editor.textCursor().hasSelection());
  select.setPosition(6);
  select.setPosition(8, QTextCursor::KeepAnchor);
  editor.setTextCursor(select);
  QCOMPARE(editor.textCursor().selectedText(), QStringLiteral("d") + QChar(QChar::ParagraphSeparator));

  // A changed colour is used by the next paint.
  editor.EditMark().Space1 = QColor(0x12, 0x34, 0x56);
  const QImage again = editor.viewport()->grab().toImage();
  QVERIFY(hasColour(again, cell(1), QColor(0x12, 0x34, 0x56)));
}

}  // namespace ritoma

QTEST_MAIN(ritoma::FormDummyTest)
#include "FormDummyTest.moc"
