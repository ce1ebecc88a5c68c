#pragma once

#include <QDialog>
#include <cstdint>

class QListWidget;
class QPushButton;

namespace ritoma {

// The attribute filter pop-up FormFilter: a captionless, thin-bordered
// window on top holding the six switches of the attribute filter. The
// keyboard only closes it (Enter or Escape): the check list never takes the
// focus, which stays on an invisible close button. Releasing the right mouse button over
// the list closes it too. However it closes, attributes() gives the OR of
// the checked items.
class TFormFilter : public QDialog {
  Q_OBJECT
public:
  // The items in the order they are shown, with their bits.
  struct Item {
    const char* caption;  // UTF-8
    std::uint32_t bit;
  };
  static const Item Items[6];

  explicit TFormFilter(std::uint32_t attributes, QWidget* parent = nullptr);

  std::uint32_t attributes() const;
  QListWidget* checkList() const { return list_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QListWidget* list_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace ritoma
