// Lists a folder of 100,000 empty files through page 選択 (tree, listing,
// rows, sort, the list view reset and its first paint) and compares the
// time with the core listing alone (buildSelectionList). Target: at most
// 1.5 × the core listing. Also times scrolling the list from top to bottom
// page by page with a repaint at each step.
//
//   bench_selection_page [FOLDER] [COUNT]
//
// The folder is created (and filled) when it does not exist; a folder made
// by the benchmark is removed at the end. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "platform/PosixFileSystem.h"
#include "selection/SelectionList.h"
#include "selection/ui/SelectionListView.h"
#include "selection/ui/SelectionPageWidget.h"
#include "shell/ProgressSink.h"
#include "shell/UserInteraction.h"
#include "text/TextCodec.h"

namespace {

class SilentInteraction : public ritoma::UserInteraction {
public:
  ritoma::Answer ask(ritoma::QuestionKind, std::string_view, std::string_view) override {
    return ritoma::Answer::No;
  }
  void tell(ritoma::MessageKind, std::string_view text, std::string_view) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
  bool input(std::string_view, std::string_view, std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  bool made = false;
  const std::string folder = BenchFolder::prepare(argc > 1 ? argv[1] : "", count, "/tmp/ritoma_page_bench_XXXXXX", made);
  if (folder.empty()) return 1;
  const std::string folderText = ritoma::TextCodec::toInternal(folder) + "/";

  ritoma::PosixFileSystem fs;
  ritoma::NullProgress progress;
  SilentInteraction interaction;

  ritoma::FolderSource source;
  source.folder = folderText;
  std::size_t coreRows = 0;
  {
    ritoma::SelectionList warm;  // warm the caches
    if (warm.buildSelectionList(fs, source, true, progress, 0)) return 1;
  }
  const double coreTime = BenchTiming::medianOf(5, [&] {
    ritoma::SelectionList list;
    if (list.buildSelectionList(fs, source, true, progress, 0)) std::exit(1);
    coreRows = list.size();
  });

  ritoma::SelectionPageWidget page(fs, progress, interaction);
  page.resize(900, 600);
  page.show();
  QApplication::processEvents();
  const double pageTime = BenchTiming::medianOf(5, [&] {
    page.openFolder(folderText, {});
    page.repaint();
    QApplication::processEvents();
  });
  const std::size_t pageRows = page.list().size();

  // Scroll from top to bottom a page at a time, painting each step.
  ritoma::SelectionListView* view = page.listView();
  QScrollBar* bar = view->verticalScrollBar();
  int steps = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->pageStep()), ++steps) {
    bar->setValue(value);
    view->viewport()->repaint();
  }
  const double scrollTime = BenchTiming::seconds(std::chrono::steady_clock::now() - start);

  std::printf("rows listed (core / page):   %zu / %zu\n", coreRows, pageRows);
  std::printf("core buildSelectionList:     %8.3f s\n", coreTime);
  std::printf("page openFolder + paint:     %8.3f s   (%.2f x core, target <= 1.5)\n", pageTime,
              pageTime / coreTime);
  std::printf("scroll through the list:     %8.3f s for %d pages (%.2f ms a page)\n", scrollTime, steps,
              steps ? 1000.0 * scrollTime / steps : 0.0);

  if (made) std::filesystem::remove_all(folder);
  return pageRows == coreRows ? 0 : 1;
}
