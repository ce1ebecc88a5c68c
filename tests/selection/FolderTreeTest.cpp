#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "ListingFileSystem.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "selection/FolderEnumerator.h"
#include "selection/FolderTree.h"
#include "selection/SelectionList.h"
#include "shell/ProgressSink.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string sj(const char* utf8) { return TextCodec::fromUtf8(utf8); }

TEST(FolderTreeChain, ChainAndStatusText) {
  const struct {
    const char* label;
    std::string folder;
    std::vector<std::string> chain;
    std::string current, status;
  } cases[] = {
      {"root", "/", {"/"}, "/", "/"},
      {"two levels", "/a/b/", {"/", "a", "b"}, "/a/b/", "/a/b"},
      {"no trailing slash", "/a/b", {"/", "a", "b"}, "/a/b/", "/a/b"},
      {"doubled slashes", "//a//b/", {"/", "a", "b"}, "/a/b/", "/a/b"},
      {"trail bytes 0x5C", sj("/表/ソ/"), {"/", sj("表"), sj("ソ")}, sj("/表/ソ/"), sj("/表/ソ")},
  };
  for (const auto& c : cases) {
    const auto chain = FolderTree::chainFor(c.folder);
    EXPECT_EQ(chain, c.chain) << c.label;
    EXPECT_EQ(FolderTree::folderOf(chain, chain.size()), c.current) << c.label;
    EXPECT_EQ(FolderTree::statusText(c.current), c.status) << c.label;
  }
}

TEST(FolderTreeChain, ArchiveKindByExtension) {
  EXPECT_EQ(FolderTree::arcKindFor("data.lzh"), ArcLzh);
  EXPECT_EQ(FolderTree::arcKindFor("DATA.ZIP"), ArcZip);
  EXPECT_EQ(FolderTree::arcKindFor("data.tar"), ArcNone);
  EXPECT_EQ(FolderTree::arcKindFor("zip"), ArcNone);
}

class FolderTreeOpen : public ::testing::Test {
protected:
  void SetUp() override {
    fs.addFile("/w/", "data.lzh");
    fs.addFile("/w/", "pack.ZIP");
    fs.addFolder("/w/", "Zeta");
    fs.addFile("/w/", "note.txt");
    fs.addFolder("/w/", "sub");
    fs.addFolder("/w/", ".hidden");
  }
  std::vector<std::string> childTexts() const {
    std::vector<std::string> out;
    for (const TreeNode& n : tree.children()) out.push_back(n.text + ":" + std::to_string(n.image));
    return out;
  }
  test::ListingFileSystem fs;
  FolderTree tree;
};

TEST_F(FolderTreeOpen, SubfoldersThenLoadedArchiveKinds) {
  ASSERT_FALSE(tree.open(fs, "/w/", "", true, false));
  EXPECT_EQ(childTexts(), (std::vector<std::string>{".hidden:1", "sub:1", "Zeta:1", "data.lzh:2"}));
  EXPECT_EQ(tree.statusText(), "/w");
  EXPECT_FALSE(tree.archiveOpen());
  EXPECT_EQ(tree.archive().arcKind, ArcNone);
  EXPECT_EQ(tree.currentNodePosition(), 1u);
  EXPECT_EQ(tree.nodesFromCurrent(), 5u);

  ASSERT_FALSE(tree.open(fs, "/w/", "", false, false));
  EXPECT_EQ(tree.children().size(), 3u);
  ASSERT_FALSE(tree.open(fs, "/w/", "", true, true));
  EXPECT_EQ(tree.children().back().text, "pack.ZIP");
}

// A link to a folder stays a way into it in the tree; a link to a file or to
// nothing is no node.
TEST(FolderTreeLinks, LinkToAFolderIsASubfolderNode) {
  TempDir dir;
  dir.makeFolder("表");
  dir.writeFile("ソ.txt", "x");
  ASSERT_EQ(::symlink("表", (dir / "to-folder").c_str()), 0);
  ASSERT_EQ(::symlink("ソ.txt", (dir / "to-file").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (dir / "gone").c_str()), 0);
  PosixFileSystem fs;
  FolderTree tree;
  ASSERT_FALSE(tree.open(fs, TextCodec::toInternal(dir.path() + "/"), "", false, false));
  std::vector<std::string> nodes;
  for (const TreeNode& n : tree.children()) nodes.push_back(TextCodec::toUtf8(n.text) + ":" + std::to_string(n.image));
  std::sort(nodes.begin(), nodes.end());
  EXPECT_EQ(nodes, (std::vector<std::string>{"to-folder:1", "表:1"}));
}

TEST_F(FolderTreeOpen, OpenArchiveAndDoubleClickTargets) {
  ASSERT_FALSE(tree.open(fs, "/w/", "data.lzh", true, true));
  EXPECT_EQ(childTexts(), std::vector<std::string>{"data.lzh:3"});
  EXPECT_EQ(tree.archive().arcKind, ArcLzh);
  EXPECT_EQ(tree.archive().arcPath, "/w/data.lzh");
  EXPECT_EQ(tree.currentNodePosition(), 2u);
  const auto again = tree.targetOfChild(0);
  EXPECT_EQ(again.folder, "/w/");
  EXPECT_EQ(again.archiveName, "data.lzh");
  EXPECT_EQ(tree.targetOfChainNode(0).folder, "/");

  ASSERT_FALSE(tree.open(fs, "/w/", "", true, true));
  EXPECT_EQ(tree.archive().arcPath, "");
  const auto sub = tree.targetOfChild(1);
  EXPECT_EQ(sub.folder, "/w/sub/");
  EXPECT_EQ(sub.archiveName, "");
}

TEST_F(FolderTreeOpen, OneReadServesTheTreeAndTheList) {
  // The listing the tree read builds the same list as a listing of its own.
  std::vector<FileInfo> listing;
  ASSERT_FALSE(tree.open(fs, "/w/", "", true, true, listing));
  EXPECT_EQ(fs.listCalls, 1);
  FolderSource source;
  source.folder = tree.currentFolder();
  source.attributes = FilterFolders | FilterNormal;
  NullProgress progress;
  SelectionList fromTree, fromDisk;
  fromTree.buildSelectionList(source, std::move(listing), true, progress, 0);
  ASSERT_FALSE(fromDisk.buildSelectionList(fs, source, true, progress, 0));
  ASSERT_EQ(fromTree.size(), 6u);
  for (std::size_t i = 0; i < fromDisk.size(); ++i) {
    EXPECT_EQ(fromTree.row(i).fullName(), fromDisk.row(i).fullName());
    EXPECT_EQ(fromTree.row(i).checked, fromDisk.row(i).checked);
  }

  // An archive or an unreadable folder hands back no listing.
  listing.assign(1, FileInfo{});
  ASSERT_FALSE(tree.open(fs, "/w/", "data.lzh", true, true, listing));
  EXPECT_TRUE(listing.empty());
  listing.assign(1, FileInfo{});
  EXPECT_TRUE(tree.open(fs, "/gone/", "", true, true, listing));
  EXPECT_TRUE(listing.empty());
}

TEST_F(FolderTreeOpen, UnreadableFolderKeepsTheChain) {
  EXPECT_TRUE(tree.open(fs, "/gone/deeper/", "", true, true));
  EXPECT_EQ(tree.chain(), (std::vector<std::string>{"/", "gone", "deeper"}));
  EXPECT_TRUE(tree.children().empty());
  EXPECT_EQ(tree.statusText(), "/gone/deeper");
}

}  // namespace
}  // namespace ritoma
