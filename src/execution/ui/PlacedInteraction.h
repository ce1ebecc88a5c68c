#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "shell/UserInteraction.h"

namespace ritoma {

// The questions and messages of page 属性: each box goes to the front end's
// message boxes; while a run is being carried out ("実行"), the boxes of the
// run are placed at their fixed offsets from the centre of the main window
// (top-left corner): the confirmation 98 left and 100 up, the folder
// warning 138 left and 58 up, the error boxes 117 left and 58 up.
class PlacedInteraction final : public UserInteraction {
public:
  // The front end's boxes; `topLeft` is a screen point, none for a box
  // centred on its owner; `look` is the icon of a question, none for the
  // question mark.
  struct Boxes {
    std::function<Answer(QuestionKind, const QString& text, const QString& caption, std::optional<QPoint> topLeft,
                         std::optional<MessageKind> look)>
        ask;
    std::function<void(MessageKind, const QString& text, const QString& caption, std::optional<QPoint> topLeft)> tell;
    std::function<bool(const QString& prompt, const QString& caption, QString& value)> input;
  };

  static const QPoint ConfirmationOffset;
  static const QPoint FolderWarningOffset;
  static const QPoint ErrorOffset;

  PlacedInteraction(Boxes boxes, QWidget* window) : boxes_(std::move(boxes)), window_(window) {}

  // Between begin and end the boxes of a run are placed.
  void beginRun() { running_ = true; }
  void endRun() { running_ = false; }

  Answer ask(QuestionKind kind, std::string_view text, std::string_view caption) override;
  Answer askAs(MessageKind look, QuestionKind kind, std::string_view text, std::string_view caption) override;
  void tell(MessageKind kind, std::string_view text, std::string_view caption) override;
  bool input(std::string_view prompt, std::string_view caption, std::string& value) override;

  // A box placed at `offset` from the centre of the main window.
  Answer askAt(QuestionKind kind, const QString& text, const QString& caption, QPoint offset);
  void tellAt(MessageKind kind, const QString& text, const QString& caption, QPoint offset);

private:
  std::optional<QPoint> placeFor(QuestionKind kind, const QString& text) const;
  QPoint centre() const;

  Boxes boxes_;
  QPointer<QWidget> window_;
  bool running_ = false;
};

}  // namespace ritoma
