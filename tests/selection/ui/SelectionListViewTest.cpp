// ListView1: check images, Space, the context menu, the check cycle and the
// sort by header clicks, reordering by drag with auto-scroll.

#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

#include <unistd.h>

#include "PageFixture.h"
#include "selection/FolderEnumerator.h"
#include "selection/ui/FolderIcons.h"
#include "selection/ui/SelectionTableModel.h"

using namespace ritoma;
using ritoma::test::PageFixture;

namespace {

void selectRows(QAbstractItemView* view, const QList<int>& rows, int current) {
  QItemSelectionModel* selection = view->selectionModel();
  selection->clearSelection();
  for (int row : rows)
    selection->select(view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  selection->setCurrentIndex(view->model()->index(current, 0), QItemSelectionModel::NoUpdate);
}

QList<int> selectedRows(QAbstractItemView* view) {
  QList<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QAction* action(QMenu* menu, const char* name) {
  for (QAction* a : menu->actions())
    if (a->objectName() == QLatin1String(name)) return a;
  qFatal("no action %s", name);
}

}  // namespace

class SelectionListViewTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<PageFixture> f;

  // Folders d1 and d2; files with sizes 2,000, 999, 10, 3 and 1 bytes,
  // two of them named with 表 and ソ (trail byte 0x5C).
  void openMixedFolder() {
    f->dir.makeFolder("m");
    f->dir.makeFolder("m/d1");
    f->dir.makeFolder("m/d2");
    f->dir.writeFile("m/a.txt", std::string(2000, 'x'));
    f->dir.writeFile("m/B.txt", std::string(999, 'x'));
    f->dir.writeFile("m/c.dat", std::string(10, 'x'));
    f->dir.writeFile("m/ソ.bin", "xyz");
    f->dir.writeFile("m/表.txt", "x");
    f->page->setAttributeFilter(FilterFolders | FilterNormal);
    f->page->openFolder(f->folder("m"), {});
  }

  // Files f1 … f`count` (names padded so that they sort by number).
  void openNumberedFolder(int count) {
    f->dir.makeFolder("n");
    for (int i = 1; i <= count; ++i) f->dir.writeFile("n/f" + QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')).toStdString());
    f->page->openFolder(f->folder("n"), {});
  }

  QStringList baseNames() const { return f->column(1); }

private slots:
  void init() { f = std::make_unique<PageFixture>(); }
  void cleanup() { f.reset(); }

  void columnsAndCaptions() {
    openMixedFolder();
    SelectionListView* view = f->listView();
    QCOMPARE(view->model()->columnCount(), 5);
    QCOMPARE(f->headerText(1), QStringLiteral("ﾌｧｲﾙ名 +"));
    QCOMPARE(f->headerText(2), QStringLiteral("拡張子  "));
    QCOMPARE(f->headerText(3), QStringLiteral("サイズ  "));
    QCOMPARE(f->headerText(4), QStringLiteral("更新日時  "));
    QCOMPARE(baseNames(), (QStringList{"d1", "d2", "a", "B", "c", "ソ", "表"}));
    QCOMPARE(f->column(2), (QStringList{"", "", ".txt", ".txt", ".dat", ".bin", ".txt"}));
    QCOMPARE(f->column(3), (QStringList{"<DIR>", "<DIR>", "2,000", "999", "10", "3", "1"}));
    const QVariant align = view->model()->index(2, 3).data(Qt::TextAlignmentRole);
    QVERIFY(align.value<Qt::Alignment>() & Qt::AlignRight);
    QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(f->checks(), (QList<bool>{false, false, true, true, true, true, true}));
    QVERIFY(f->nextButton()->isEnabled());
    // Column widths survive a new listing.
    view->header()->resizeSection(1, 150);
    f->page->refresh();
    QCOMPARE(view->header()->sectionSize(1), 150);
    QCOMPARE(view->header()->sectionSize(0), 35);
  }

  // A link is listed as a name of its own (never as its target's folder),
  // marked by the arrow image, red when it points to nothing, and named so
  // in its tip; files and folders carry no such mark.
  void linksAreMarked() {
    f->dir.makeFolder("l");
    f->dir.makeFolder("l/d");
    f->dir.writeFile("l/表.txt", "x");
    QCOMPARE(::symlink("表.txt", (f->dir / "l/ソ.lnk").c_str()), 0);
    QCOMPARE(::symlink("d", (f->dir / "l/to-d").c_str()), 0);
    QCOMPARE(::symlink("gone", (f->dir / "l/missing").c_str()), 0);
    f->page->setAttributeFilter(FilterFolders | FilterNormal);
    f->page->openFolder(f->folder("l"), {});
    SelectionListView* view = f->listView();
    QCOMPARE(baseNames(), (QStringList{"d", "missing", "to-d", "ソ", "表"}));
    const qint64 link = FolderIcons::linkIcon(false).cacheKey();
    const qint64 missing = FolderIcons::linkIcon(true).cacheKey();
    const QList<qint64> expected{FolderIcons::rowIcon(1).cacheKey(), missing, link, link,
                                 FolderIcons::rowIcon(0).cacheKey()};
    QList<qint64> icons;
    QStringList tips;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
      icons << view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey();
      tips << view->model()->index(row, 1).data(Qt::ToolTipRole).toString();
    }
    QCOMPARE(icons, expected);
    QVERIFY(link != missing && link != FolderIcons::rowIcon(0).cacheKey());
    QCOMPARE(tips, (QStringList{"", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ (ﾘﾝｸ先がありません)", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ", ""}));
    // The link to a folder is a link (checked like a file), not a folder row.
    QCOMPARE(f->column(3), (QStringList{"<DIR>", "4", "1", "7", "1"}));
  }

  // Names stored decomposed (as a Mac writes them), in the name part or only
  // in the extension, carry the mark, the colour and the tip; composed names
  // beside them carry none, and a link's tip keeps its own line.
  void decomposedNamesAreMarked() {
    f->dir.makeFolder("mac");
    f->dir.writeFile("mac/か\u3099表.txt", "x");
    f->dir.writeFile("mac/ソ.re\u0301sume\u0301", "x");
    f->dir.writeFile("mac/が表.txt", "x");
    QCOMPARE(::symlink("ソ.txt", (f->dir / "mac/\u30CF\u309A.lnk").c_str()), 0);
    f->page->openFolder(f->folder("mac"), {});
    QAbstractItemModel* model = f->listView()->model();
    QCOMPARE(baseNames(), (QStringList{"か\u3099表", "が表", "ソ", "\u30CF\u309A"}));
    const qint64 mark = FolderIcons::decomposedMark().cacheKey();
    const QString tip = SelectionTableModel::DecomposedTip;
    const QList<bool> marked{true, false, true, true};
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex name = model->index(row, 1);
      QCOMPARE(name.data(Qt::DecorationRole).value<QIcon>().cacheKey() == mark, marked[row]);
      QCOMPARE(name.data(Qt::ForegroundRole).value<QColor>() == FolderIcons::decomposedColour(), marked[row]);
    }
    QStringList tips;
    for (int row = 0; row < model->rowCount(); ++row) tips << model->index(row, 1).data(Qt::ToolTipRole).toString();
    QCOMPARE(tips, (QStringList{tip, "", tip, "ｼﾝﾎﾞﾘｯｸﾘﾝｸ (ﾘﾝｸ先がありません)\n" + tip}));
    QVERIFY(tip.contains(QStringLiteral("分離 ⇒ 合成 (NFC)")));
  }

  void checkCycleByHeaderClicks() {
    openMixedFolder();
    SelectionListView* view = f->listView();
    view->selectAll();
    action(view->contextMenu(), "MenuUncheck1")->trigger();
    QCOMPARE(f->checks(), (QList<bool>{false, false, false, false, false, false, false}));
    QVERIFY(!f->nextButton()->isEnabled());

    const QList<QList<bool>> cycle = {
        {true, true, false, false, false, false, false},  // the folders
        {true, true, true, true, true, true, true},       // everything
        {false, false, true, true, true, true, true},     // the files
        {false, false, false, false, false, false, false},  // nothing
    };
    for (const QList<bool>& expected : cycle) {
      f->clickHeader(0);
      QCOMPARE(f->checks(), expected);
      QCOMPARE(f->nextButton()->isEnabled(), expected.contains(true));
    }
  }

  void sortByHeaderClicks() {
    openMixedFolder();
    f->clickHeader(3);
    QCOMPARE(f->headerText(3), QStringLiteral("サイズ +"));
    QCOMPARE(f->headerText(1), QStringLiteral("ﾌｧｲﾙ名  "));
    QCOMPARE(f->column(3), (QStringList{"<DIR>", "<DIR>", "1", "3", "10", "999", "2,000"}));
    f->clickHeader(3);
    QCOMPARE(f->headerText(3), QStringLiteral("サイズ -"));
    QCOMPARE(f->column(3).mid(2), (QStringList{"2,000", "999", "10", "3", "1"}));
    QCOMPARE(f->column(3).mid(0, 2), (QStringList{"<DIR>", "<DIR>"}));  // folders stay first
    f->clickHeader(3);
    QCOMPARE(f->headerText(3), QStringLiteral("サイズ +"));
    f->clickHeader(1);
    QCOMPARE(f->headerText(1), QStringLiteral("ﾌｧｲﾙ名 +"));
    QCOMPARE(f->headerText(3), QStringLiteral("サイズ  "));
    QCOMPARE(baseNames(), (QStringList{"d1", "d2", "a", "B", "c", "ソ", "表"}));
  }

  void checkImagesSpaceAndMenu() {
    openMixedFolder();
    SelectionListView* view = f->listView();
    // A press of any button on the check image toggles the row.
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, view->checkRect(2).center());
    QCOMPARE(f->checks().at(2), false);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->checkRect(2).center());
    QCOMPARE(f->checks().at(2), true);
    // Elsewhere on the row it only selects.
    const QRect name = view->visualRect(view->model()->index(3, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, name.center());
    QCOMPARE(f->checks().at(3), true);
    QCOMPARE(selectedRows(view), QList<int>{3});

    // Space toggles the first selected row only.
    selectRows(view, {5, 4}, 5);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(f->checks(), (QList<bool>{false, false, true, true, false, true, true}));

    // The context menu sets or clears every selected row.
    selectRows(view, {0, 4, 6}, 0);
    action(view->contextMenu(), "MenuCheck1")->trigger();
    QCOMPARE(f->checks(), (QList<bool>{true, false, true, true, true, true, true}));
    action(view->contextMenu(), "MenuUncheck1")->trigger();
    QCOMPARE(f->checks(), (QList<bool>{false, false, true, true, false, true, false}));
    QStringList captions;
    for (QAction* a : view->contextMenu()->actions()) captions << a->text();
    QCOMPARE(captions, (QStringList{QStringLiteral("選択をチェック"), QStringLiteral("選択を未チェック")}));
  }

  void dragRowsOntoARow_data() {
    // Rows counted from 1 as the user sees them.
    QTest::addColumn<QList<int>>("dragged");
    QTest::addColumn<int>("onto");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::newRow("rows 5 and 6 onto row 2")
        << QList<int>{5, 6} << 2 << QStringList{"1", "5", "6", "2", "3", "4", "7", "8"} << QList<int>{2, 3};
    QTest::newRow("rows 2 and 3 onto row 6")
        << QList<int>{2, 3} << 6 << QStringList{"1", "4", "5", "6", "2", "3", "7", "8"} << QList<int>{5, 6};
    QTest::newRow("rows 2 and 8 onto row 5: nothing moves")
        << QList<int>{2, 8} << 5 << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"} << QList<int>{2, 8};
  }
  void dragRowsOntoARow() {
    QFETCH(QList<int>, dragged);
    QFETCH(int, onto);
    QFETCH(QStringList, order);
    QFETCH(QList<int>, selectedAfter);
    openNumberedFolder(8);
    SelectionListView* view = f->listView();
    QList<int> rows;
    for (int row : dragged) rows << row - 1;
    selectRows(view, rows, rows.last());
    const QString focused = view->currentIndex().siblingAtColumn(1).data().toString();

    std::unique_ptr<QMimeData> data(view->model()->mimeData(view->selectionModel()->selectedRows()));
    const QPoint at = view->visualRect(view->model()->index(onto - 1, 1)).center();
    const bool moves = order != QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
    QCOMPARE(view->dropRowsAt(data.get(), at), moves);

    QStringList numbers;
    for (const QString& name : baseNames()) numbers << QString::number(name.mid(1).toInt());
    QCOMPARE(numbers, order);
    QList<int> expectedSelection;
    for (int row : selectedAfter) expectedSelection << row - 1;
    QCOMPARE(selectedRows(view), expectedSelection);
    QCOMPARE(view->currentIndex().siblingAtColumn(1).data().toString(), focused);
  }

  void dropBelowTheLastRowMovesNothing() {
    openNumberedFolder(3);
    SelectionListView* view = f->listView();
    selectRows(view, {0}, 0);
    std::unique_ptr<QMimeData> data(view->model()->mimeData(view->selectionModel()->selectedRows()));
    QVERIFY(!view->dropRowsAt(data.get(), QPoint(50, view->viewport()->height() - 2)));
    QCOMPARE(baseNames(), (QStringList{"f0001", "f0002", "f0003"}));
  }

  // End, Home and the arrows move the current row and the view follows it
  // (the view's own auto-scroll is off for the drag's rule).
  void keysBringTheCurrentRowIntoView() {
    openNumberedFolder(300);
    SelectionListView* view = f->listView();
    view->setFocus();
    auto shown = [&](int row) {
      const QRect rect = view->visualRect(view->model()->index(row, 1));
      // Qt may stop one pixel short of the last row's bottom edge.
      return rect.top() >= 0 && rect.bottom() <= view->viewport()->height();
    };
    selectRows(view, {0}, 0);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(view->currentIndex().row(), 299);
    QVERIFY(shown(299));
    QTest::keyClick(view, Qt::Key_Up);
    QVERIFY(shown(298));
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(view->currentIndex().row(), 0);
    QVERIFY(shown(0));
    QCOMPARE(view->verticalScrollBar()->value(), 0);
  }

  void dragScrollsNearTheEdges() {
    openNumberedFolder(300);
    SelectionListView* view = f->listView();
    auto hover = [&](int y) {
      view->dragHover(QPoint(50, y));
      return view->dragScrollStep();
    };
    const int height = view->viewport()->height();
    QScrollBar* bar = view->verticalScrollBar();

    QCOMPARE(hover(height - 3), 17);
    QTRY_VERIFY(bar->value() >= 3 * 17);
    QCOMPARE(bar->value() % 17, 0);
    QCOMPARE(hover(height / 2), 0);
    const int stopped = bar->value();
    QTest::qWait(40);
    QCOMPARE(bar->value(), stopped);
    QCOMPARE(hover(19), -17);
    QTRY_VERIFY(bar->value() < stopped);
    QCOMPARE(hover(20), 0);

    // The end of the drag ends the scrolling.
    hover(5);
    view->dragEnded();
    QCOMPARE(view->dragScrollStep(), 0);
  }
};

QTEST_MAIN(SelectionListViewTest)
#include "SelectionListViewTest.moc"
