// Page 選択: the folder tree and its double-clicks, the drive list, the
// filter choice from the settings and the attribute pop-up.

#include <QListWidget>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "PageFixture.h"
#include "archive/ArchiveLibraries.h"
#include "selection/ui/FolderIcons.h"
#include "selection/ui/TFormFilter.h"
#include "settings/IniFile.h"

using namespace ritoma;
using ritoma::test::PageFixture;

namespace {

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// The tree as texts: the chain down to the current node's parent folder,
// and the current folder's children.
QStringList chainOf(QTreeWidgetItem* item) {
  QStringList chain;
  for (; item; item = item->parent()) chain.prepend(item->text(0));
  return chain;
}

QStringList childrenOf(QTreeWidgetItem* item) {
  QStringList texts;
  for (int i = 0; item && i < item->childCount(); ++i) texts << item->child(i)->text(0);
  return texts;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text) {
  for (int i = 0; parent && i < parent->childCount(); ++i)
    if (parent->child(i)->text(0) == text) return parent->child(i);
  return nullptr;
}

void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
  QVERIFY(item);
  const QPoint at = tree->visualItemRect(item).center();
  // The view takes a double-click only on the item the first press hit.
  QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

bool sameImage(const QIcon& a, const QIcon& b) { return a.cacheKey() == b.cacheKey(); }

}  // namespace

class SelectionPageTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<PageFixture> f;

  // a/b holds the subfolders sub, Zeta, 表 and .hidden, the archives
  // data.lzh and data.zip, and the files ソ.txt, readme.txt and x.dat.
  void makeFolderB() {
    f->dir.makeFolder("a");
    f->dir.makeFolder("a/b");
    for (const char* name : {"sub", "Zeta", "表", ".hidden"}) f->dir.makeFolder(std::string("a/b/") + name);
    for (const char* name : {"data.lzh", "data.zip", "ソ.txt", "readme.txt", "x.dat"})
      f->dir.writeFile(std::string("a/b/") + name, "12345");
  }

  // Checks the pop-up, ticks "ディレクトリ" and closes it by `closeBy`.
  void inspectPopup(TFormFilter* popup, QToolButton* button, const QString& closeBy) {
    QVERIFY(popup->isVisible());
    // Under the filter button, 9 pixels into the right-hand panel.
    const QPoint panel = f->control<QWidget>("Panel1Right")->mapToGlobal(QPoint(0, 0));
    QCOMPARE(popup->pos().x(), panel.x() + 9);
    QVERIFY(popup->pos().y() >= button->mapToGlobal(QPoint(0, button->height())).y());
    auto* list = popup->findChild<QListWidget*>(QStringLiteral("CheckListBox1"));
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    QCOMPARE(items, (QStringList{QStringLiteral("ディレクトリ"), QStringLiteral("システム"), QStringLiteral("隠し属性"),
                                 QStringLiteral("書き込み禁止"), QStringLiteral("アーカイブ"),
                                 QStringLiteral("通常ファイル")}));
    QCOMPARE(list->item(5)->checkState(), Qt::Checked);
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);

    // A click on the check box of "ディレクトリ" ticks it; the focus
    // stays on the close button.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(list->item(0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QPoint box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
    QCOMPARE(list->item(0)->checkState(), Qt::Checked);
    auto* close = popup->findChild<QPushButton*>(QStringLiteral("ButtonClose"));
    QCOMPARE(popup->focusWidget(), close);

    if (closeBy == QLatin1String("escape"))
      QTest::keyClick(popup, Qt::Key_Escape);
    else if (closeBy == QLatin1String("enter"))
      QTest::keyClick(close, Qt::Key_Return);
    else
      QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(3)).center());
    QVERIFY(!popup->isVisible());
  }

private slots:
  void init() {
    f = std::make_unique<PageFixture>();
    makeFolderB();
  }
  void cleanup() { f.reset(); }

  void rootIsTheOnlyChainNode() {
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);
    f->page->openFolder("/", {});
    QTreeWidget* tree = f->tree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("/"));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QVERIFY(tree->topLevelItem(0)->childCount() > 0);  // the root's folders
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("/"));
  }

  void chainThenSortedChildren_data() {
    QTest::addColumn<bool>("lzh");
    QTest::addColumn<bool>("zip");
    QTest::addColumn<QStringList>("children");
    const QStringList folders = {QStringLiteral(".hidden"), QStringLiteral("sub"), QStringLiteral("Zeta"),
                                 QStringLiteral("表")};
    QTest::newRow("both back ends off") << false << false << folders;
    QTest::newRow("LZH on") << true << false << (folders + QStringList{QStringLiteral("data.lzh")});
    QTest::newRow("both on")
        << true << true << (folders + QStringList{QStringLiteral("data.lzh"), QStringLiteral("data.zip")});
  }
  void chainThenSortedChildren() {
    QFETCH(bool, lzh);
    QFETCH(bool, zip);
    QFETCH(QStringList, children);
    f->page->setArchiveBackEnds(lzh, zip);
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);
    f->page->openFolder(f->folder("a/b"), {});

    QTreeWidget* tree = f->tree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* current = tree->currentItem();
    QVERIFY(current);
    QStringList expectedChain{QStringLiteral("/")};
    for (const QString& part : utf8(f->dir / "a/b").split('/', Qt::SkipEmptyParts)) expectedChain << part;
    QCOMPARE(chainOf(current), expectedChain);
    QCOMPARE(childrenOf(current), children);
    // Fully expanded, with nothing to expand or collapse by hand.
    for (QTreeWidgetItem* item = current; item; item = item->parent()) QVERIFY(item->isExpanded());
    QVERIFY(!tree->rootIsDecorated());
    QVERIFY(!tree->itemsExpandable());
    QVERIFY(sameImage(current->icon(0), FolderIcons::treeImage(FolderTree::ImageChain)));
    QVERIFY(sameImage(current->child(0)->icon(0), FolderIcons::treeImage(FolderTree::ImageSubfolder)));
    if (lzh)
      QVERIFY(sameImage(childNamed(current, QStringLiteral("data.lzh"))->icon(0),
                        FolderIcons::treeImage(FolderTree::ImageArchive)));
    // The status bar drops the trailing "/".
    QCOMPARE(status.at(0).at(0).toString(), utf8(f->dir / "a/b"));
  }

  // Nothing can be expanded or collapsed by hand, so nothing says it can:
  // left of each node, where a tree draws arrows and lines, the tree is
  // blank.
  void noExpandArrowsBesideTheNodes() {
    f->page->openFolder(f->folder("a/b"), {});
    QTreeWidget* tree = f->tree();
    tree->resize(300, 400);
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    const QImage shot = tree->viewport()->grab().toImage();
    const QRgb blank = shot.pixel(shot.width() - 1, shot.height() - 1);
    int rows = 0;
    for (QTreeWidgetItem* item = tree->currentItem(); item; item = item->parent()) {
      const QRect rect = tree->visualItemRect(item);
      if (rect.isEmpty() || item == tree->currentItem()) continue;  // the current row is highlighted
      ++rows;
      for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = 0; x < rect.left(); ++x)
          QVERIFY2(shot.pixel(x, y) == blank, qPrintable(item->text(0)));
    }
    QVERIFY(rows > 0);
  }

  void doubleClickOpensTheNode() {
    f->page->openFolder(f->folder("a/b"), {});
    QTreeWidget* tree = f->tree();
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);

    // A subfolder opens it, with the page listing it.
    doubleClick(tree, childNamed(tree->currentItem(), QStringLiteral("表")));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.last().at(0).toString(), utf8(f->dir / "a/b/表"));
    QCOMPARE(chainOf(tree->currentItem()).last(), QStringLiteral("表"));
    QVERIFY(tree->currentItem()->childCount() == 0);

    // A chain node opens that folder.
    doubleClick(tree, tree->currentItem()->parent()->parent());
    QCOMPARE(status.last().at(0).toString(), utf8(f->dir / "a"));
    QCOMPARE(childrenOf(tree->currentItem()), QStringList{QStringLiteral("b")});

    // The root opens the root.
    doubleClick(tree, tree->topLevelItem(0));
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("/"));
  }

  // The keyboard opens a node as a double-click does: the tree moves to the
  // chosen folder and keeps the focus, so the next key walks on from there.
  void enterOrSpaceOpensTheCurrentNode_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
  }
  void enterOrSpaceOpensTheCurrentNode() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    f->page->openFolder(f->folder("a/b"), {});
    QTreeWidget* tree = f->tree();
    tree->setFocus();
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);

    tree->setCurrentItem(childNamed(tree->currentItem(), QStringLiteral("表")));
    QTest::keyClick(tree, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.last().at(0).toString(), utf8(f->dir / "a/b/表"));
    QCOMPARE(f->page->tree().currentFolder(), f->folder("a/b/表"));
    QVERIFY(tree->hasFocus());

    // Up to the chain node "a", then the same key opens it.
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("a"));
    QTest::keyClick(tree, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(status.last().at(0).toString(), utf8(f->dir / "a"));
    QCOMPARE(childrenOf(tree->currentItem()), QStringList{QStringLiteral("b")});
  }

  void doubleClickOnAnArchiveListsItsEntries() {
    // data.lzh holds plain.txt, the folder dir表 and dir表/ソa.txt.
    std::string archive;
    QVERIFY(!f->real.readWholeFile(std::string(RITOMA_FIXTURES) + "/archive/level2.lzh", archive));
    f->dir.writeFile("a/b/data.lzh", archive);
    ArchiveLibraries archives(f->fs);
    archives.load(ArcLzh);
    f->page->setArchives(&archives);
    f->page->setArchiveBackEnds(true, false);
    f->page->openFolder(f->folder("a/b"), {});
    QTreeWidget* tree = f->tree();
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);

    doubleClick(tree, childNamed(tree->currentItem(), QStringLiteral("data.lzh")));
    QTreeWidgetItem* open = tree->currentItem();
    QCOMPARE(open->text(0), QStringLiteral("data.lzh"));
    QVERIFY(sameImage(open->icon(0), FolderIcons::treeImage(FolderTree::ImageOpenArchive)));
    QCOMPARE(childrenOf(open->parent()), QStringList{QStringLiteral("data.lzh")});
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.last().at(0).toString(), utf8(f->dir / "a/b"));
    QCOMPARE(f->page->tree().archive().arcKind, int(ArcLzh));
    QCOMPARE(f->page->tree().archive().arcPath, f->folder("a/b") + "data.lzh");
    QVERIFY(!f->control<QToolButton>("ButtonFilter")->isEnabled());
    QVERIFY(!f->control<QComboBox>("FilterComboBox")->isEnabled());
    // The directory entry first and unchecked; the stored files checked.
    QCOMPARE(f->names(), (QStringList{QStringLiteral("dir表/"), QStringLiteral("dir表/ソa.txt"),
                                      QStringLiteral("plain.txt")}));
    QCOMPARE(f->checks(), (QList<bool>{false, true, true}));
    QVERIFY(f->nextButton()->isEnabled());

    // The open archive opens itself again; leaving it enables the filters.
    doubleClick(tree, open);
    QCOMPARE(status.size(), 2);
    QCOMPARE(f->names().size(), 3);
    doubleClick(tree, tree->currentItem()->parent());
    QVERIFY(f->control<QToolButton>("ButtonFilter")->isEnabled());
    QVERIFY(f->page->tree().archive().arcPath.empty());
    QCOMPARE(f->names().size(), 5);
  }

  void damagedArchiveListsNothing() {
    f->page->setArchiveBackEnds(true, true);
    ArchiveLibraries archives(f->fs);
    archives.load(ArcZip);
    f->page->setArchives(&archives);
    f->page->openFolder(f->folder("a/b"), "data.zip");  // five bytes, no archive
    QCOMPARE(f->tree()->currentItem()->text(0), QStringLiteral("data.zip"));
    QCOMPARE(f->listView()->model()->rowCount(), 0);
    QVERIFY(!f->nextButton()->isEnabled());
  }

  void unreadableFolderKeepsTheChainAndEmptiesTheList() {
    f->page->openFolder(f->folder("a/b"), {});
    QVERIFY(f->listView()->model()->rowCount() > 0);
    f->fs.failMatching(FsOp::ListFolder, "*/gone/", EACCES);
    f->fs.failMatching(FsOp::ListFolder, "*/gone", EACCES);
    f->page->openFolder(f->folder("a/b") + "gone/", {});
    QCOMPARE(chainOf(f->tree()->currentItem()).last(), QStringLiteral("gone"));
    QCOMPARE(f->listView()->model()->rowCount(), 0);
    QVERIFY(!f->nextButton()->isEnabled());
  }

  void driveList() {
    auto* drives = f->control<QComboBox>("DriveComboBox");
    QCOMPARE(drives->count(), 2);
    QCOMPARE(drives->font().pixelSize(), 13);
    QVERIFY(QTest::qWaitForWindowActive(f->page.get()));
    f->page->openFolder(f->folder("a/b"), {});
    QCOMPARE(drives->currentText(), utf8(f->dir.path()));

    // The drive the folder is on: nothing but the focus changes.
    const int lists = f->fs.calls(FsOp::ListFolder);
    QSignalSpy status(f->page.get(), &SelectionPageWidget::folderOpened);
    f->control<QPushButton>("Button1NEXT")->setFocus();
    emit drives->activated(1);
    QCOMPARE(f->fs.calls(FsOp::ListFolder), lists);
    QCOMPARE(status.size(), 0);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f->tree()));

    // Another drive opens its root.
    drives->setCurrentIndex(0);
    emit drives->activated(0);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("/"));
    QCOMPARE(drives->currentIndex(), 0);
  }

  void filterChoiceFromTheSettings() {
    f->dir.writeFile("Ritoma.ini",
                     "[Filter]\nCount=3\nC-000=1\nN-000=テキスト\nF-000=*.txt\nC-001=0\nN-001=隠れ\nF-001=*.lzh\n"
                     "C-002=1\nN-002=データ\nF-002=*.dat;*.TXT\nExt=5\n");
    IniFile ini(f->fs, f->dir / "Ritoma.ini");
    f->page->loadFilterSettings(ini);
    auto* choice = f->control<QComboBox>("FilterComboBox");
    QCOMPARE(choice->count(), 3);
    QCOMPARE(choice->itemText(0), QStringLiteral("全てのﾌｧｲﾙ(*.*)"));
    QCOMPARE(choice->itemText(1), QStringLiteral("テキスト"));
    // Ext beyond the last entry selects the last one, and its patterns list.
    QCOMPARE(choice->currentIndex(), 2);
    f->page->openFolder(f->folder("a/b"), {});
    QCOMPARE(f->names(), (QStringList{QStringLiteral("readme.txt"), QStringLiteral("x.dat"), QStringLiteral("ソ.txt")}));

    // Choosing the fixed entry lists every file again.
    choice->setCurrentIndex(0);
    emit choice->activated(0);
    QCOMPARE(f->page->filterChoice().selectedIndex(), 0);
    QCOMPARE(f->names().size(), 5);
  }

  void attributePopup_data() {
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("Enter") << QStringLiteral("enter");
    QTest::newRow("right button released over the list") << QStringLiteral("right");
  }
  void attributePopup() {
    QFETCH(QString, closeBy);
    const std::string ini = f->dir / "Ritoma.ini";
    f->dir.writeFile("Ritoma.ini", "[Filter]\nAttr=128\n");
    f->page->setSettingsPath(ini);
    f->page->openFolder(f->folder("a/b"), {});
    QCOMPARE(f->names().size(), 5);
    auto* button = f->control<QToolButton>("ButtonFilter");

    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* popup = f->page->findChild<TFormFilter*>(QStringLiteral("FormFilter"));
      if (!popup) return;
      inspectPopup(popup, button, closeBy);
      seen = !popup->isVisible();
      if (popup->isVisible()) popup->reject();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(seen);

    QCOMPARE(f->page->attributeFilter(), std::uint32_t(FilterFolders | FilterNormal));
    QCOMPARE(IniFile(f->fs, ini).readInteger("Filter", "Attr", 0), 144);
    // Listed again: the subfolders first, unchecked, then the files.
    const QStringList names = f->names();
    QCOMPARE(names.size(), 9);
    QCOMPARE(names.mid(0, 4), (QStringList{QStringLiteral(".hidden"), QStringLiteral("sub"), QStringLiteral("Zeta"),
                                           QStringLiteral("表")}));
    QCOMPARE(f->checks().mid(0, 5), (QList<bool>{false, false, false, false, true}));
  }

  void unwritableSettingsAreReported() {
    const std::string ini = f->dir / "Ritoma.ini";
    f->page->setSettingsPath(ini);
    f->page->openFolder(f->folder("a/b"), {});
    f->fs.failMatching(FsOp::OpenWrite, "*", EACCES);
    QTimer::singleShot(0, [&] {
      auto* popup = f->page->findChild<TFormFilter*>(QStringLiteral("FormFilter"));
      QVERIFY(popup);
      popup->checkList()->item(5)->setCheckState(Qt::Unchecked);
      popup->reject();
    });
    QTest::mouseClick(f->control<QToolButton>("ButtonFilter"), Qt::LeftButton);
    QCOMPARE(f->interaction.told.size(), std::size_t(1));
    // The new filter still applies: nothing is listed.
    QCOMPARE(f->page->attributeFilter(), 0u);
    QCOMPARE(f->names().size(), 0);
  }

  void layout() {
    QCOMPARE(f->tree()->font().pixelSize(), 12);
    QCOMPARE(f->listView()->font().pixelSize(), 12);
    QCOMPARE(f->control<QPushButton>("ButtonMenu")->text(), QStringLiteral(" メニュー"));
    QCOMPARE(f->control<QPushButton>("ButtonUndo")->text(), QStringLiteral("UNDO"));
    QCOMPARE(f->nextButton()->text(), QStringLiteral("編集 >>"));
    QVERIFY(!f->nextButton()->isEnabled());
    QCOMPARE(f->control<QWidget>("Panel1Left")->minimumWidth(), 200);
    QCOMPARE(f->control<QWidget>("Panel1Right")->minimumWidth(), 200);
    QSignalSpy menu(f->page.get(), &SelectionPageWidget::menuRequested);
    QSignalSpy undo(f->page.get(), &SelectionPageWidget::undoRequested);
    QSignalSpy edit(f->page.get(), &SelectionPageWidget::editRequested);
    f->page->openFolder(f->folder("a/b"), {});
    QTest::mouseClick(f->control<QPushButton>("ButtonMenu"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("ButtonUndo"), Qt::LeftButton);
    QTest::mouseClick(f->nextButton(), Qt::LeftButton);
    QCOMPARE(menu.size(), 1);
    QCOMPARE(undo.size(), 1);
    QCOMPARE(edit.size(), 1);
  }
};

QTEST_MAIN(SelectionPageTest)
#include "SelectionPageTest.moc"
