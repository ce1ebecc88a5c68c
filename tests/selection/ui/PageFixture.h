#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "platform/PosixFileSystem.h"
#include "selection/ui/SelectionListView.h"
#include "selection/ui/SelectionPageWidget.h"
#include "selection/ui/SelectionTableModel.h"
#include "shell/ProgressSink.h"
#include "shell/UserInteraction.h"
#include "text/TextCodec.h"

namespace ritoma::test {

// Records what the page tells the user; answers nothing is asked.
class RecordingInteraction : public UserInteraction {
public:
  std::vector<std::string> told;
  Answer ask(QuestionKind, std::string_view, std::string_view) override { return Answer::No; }
  void tell(MessageKind, std::string_view text, std::string_view) override { told.emplace_back(text); }
  bool input(std::string_view, std::string_view, std::string&) override { return false; }
};

// A page over a real temporary folder; its file system counts the calls.
struct PageFixture {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
  NullProgress progress;
  RecordingInteraction interaction;
  std::unique_ptr<SelectionPageWidget> page;

  PageFixture() {
    fs.setMountPoints({"/", dir.path()});
    page = std::make_unique<SelectionPageWidget>(fs, progress, interaction);
    page->resize(800, 500);
    page->show();
    if (!QTest::qWaitForWindowExposed(page.get())) qFatal("the page is not shown");
  }

  // The code-page-932 folder path of `relative` (UTF-8) in the fixture, with a trailing "/".
  std::string folder(const std::string& relative = {}) const {
    return TextCodec::toInternal(relative.empty() ? dir.path() + "/" : dir / relative + "/");
  }

  template <typename T>
  T* control(const char* name) const {
    T* widget = page->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QTreeWidget* tree() const { return control<QTreeWidget>("DirectoryTreeView"); }
  SelectionListView* listView() const { return control<SelectionListView>("ListView1"); }
  QPushButton* nextButton() const { return control<QPushButton>("Button1NEXT"); }

  // Display texts of column `column` of ListView1, top to bottom.
  QStringList column(int column) const {
    QStringList texts;
    QAbstractItemModel* model = listView()->model();
    for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
    return texts;
  }
  // Full names of the rows, top to bottom.
  QStringList names() const {
    QStringList texts;
    QAbstractItemModel* model = listView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
      texts << model->index(row, 1).data().toString() + model->index(row, 2).data().toString();
    return texts;
  }
  QList<bool> checks() const {
    QList<bool> marks;
    QAbstractItemModel* model = listView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
      marks << (model->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked);
    return marks;
  }

  void clickHeader(int section) const {
    QHeaderView* header = listView()->header();
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  }
  QString headerText(int section) const {
    return listView()->model()->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString();
  }
};

}  // namespace ritoma::test
