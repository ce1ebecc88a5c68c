#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "MacroOption.h"
#include "TagValue.h"
#include "ritoma_plugin.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ritoma::metadata {

// The "+" dialog of a metadata macro: a field (one of the offered ones, or
// a key typed in), its format and the fallback text, shown together as the
// option block they make. OK stays disabled while the block would not read
// back as typed (an empty field, a "," in field or format, a ">" anywhere).
class OptionDialog : public QDialog {
public:
  OptionDialog(const std::string& title, const FieldChoices& fields, QWidget* parent = nullptr);

  // The chosen option, texts in code page 932.
  MacroOption option() const;

  // Shows the dialog modal, centred on the host's window; nothing when it
  // is cancelled or when the host is not a Qt Widgets application.
  static std::optional<MacroOption> ask(const std::string& title, const FieldChoices& fields,
                                        const RitomaPluginWindow* window);

private:
  const FieldChoice* chosenField() const;
  void fieldChanged();
  void refresh();

  FieldChoices fields_;
  QComboBox* comboBoxField_;
  QLabel* labelField_;
  QComboBox* comboBoxFormat_;
  QLineEdit* editFallback_;
  QLabel* labelMacro_;
  QPushButton* buttonOk_;
  bool typingKey_ = false;  // the field is not one of those offered
};

}  // namespace ritoma::metadata
