#include "shell/ui/TFormAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/License.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/LinkLabel.h"

namespace ritoma {

TFormAbout::TFormAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("バージョン情報"));

  auto* title = new QLabel(QStringLiteral("Ritoma"), this);
  title->setObjectName(QStringLiteral("LabelTitle"));
  title->setFont(Fonts::proportional(24));
  title->setAlignment(Qt::AlignCenter);

  auto* version = new QLabel(QStringLiteral("～ Version " RITOMA_VERSION " ～"), this);
  version->setObjectName(QStringLiteral("LabelVersion"));
  version->setAlignment(Qt::AlignCenter);

  auto* credit = new QLabel(QStringLiteral("Ritoma project"), this);
  credit->setObjectName(QStringLiteral("LabelCredit"));
  credit->setAlignment(Qt::AlignCenter);

  auto* license = new QLabel(QStringLiteral("ライセンス: ") + QLatin1String(LicenseId), this);
  license->setObjectName(QStringLiteral("LabelLicense"));
  license->setAlignment(Qt::AlignCenter);

  // Closes the box first: it stays on top and would hide the help.
  auto* help = new LinkLabel(QStringLiteral("Ritoma ﾍﾙﾌﾟ"), this);
  help->setObjectName(QStringLiteral("LabelHelp"));
  help->setAlignment(Qt::AlignCenter);
  connect(help, &LinkLabel::activated, this, [this, owner] {
    accept();
    HelpViewer::showContext(0, owner);
  });

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ButtonOK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 16, 24, 16);
  for (QWidget* w : {static_cast<QWidget*>(title), static_cast<QWidget*>(version),
                     static_cast<QWidget*>(credit), static_cast<QWidget*>(help)})
    layout->addWidget(w);
  layout->addWidget(license);
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setFixedSize(sizeHint().expandedTo(QSize(260, 0)));

  if (owner) {
    const QRect frame = owner->window()->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
  }
  HelpViewer::bindKey(this, HelpViewer::MainWindowContext);
}

}  // namespace ritoma
