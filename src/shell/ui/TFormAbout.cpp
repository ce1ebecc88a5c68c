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

  auto* version = new QLabel(QStringLiteral("～ Version 1.51 ～"), this);
  version->setObjectName(QStringLiteral("LabelVersion"));
  version->setAlignment(Qt::AlignCenter);

  auto* credit = new QLabel(QStringLiteral("Ritoma project"), this);
  credit->setObjectName(QStringLiteral("LabelCredit"));
  credit->setAlignment(Qt::AlignCenter);

  auto* license = new QLabel(QStringLiteral("ライセンス: ") + QLatin1String(LicenseId), this);
  license->setObjectName(QStringLiteral("LabelLicense"));
  license->setAlignment(Qt::AlignCenter);

  auto* web = new LinkLabel(QString::fromLatin1(WebAddress), QUrl(QString::fromLatin1(WebAddress)), this);
  web->setObjectName(QStringLiteral("LabelWeb"));
  web->setAlignment(Qt::AlignCenter);
  auto* mail = new LinkLabel(QString::fromLatin1(MailAddress),
                             QUrl(QStringLiteral("mailto:") + QString::fromLatin1(MailAddress)), this);
  mail->setObjectName(QStringLiteral("LabelMail"));
  mail->setAlignment(Qt::AlignCenter);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ButtonOK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 16, 24, 16);
  for (QWidget* w : {static_cast<QWidget*>(title), static_cast<QWidget*>(version),
                     static_cast<QWidget*>(credit), static_cast<QWidget*>(web),
                     static_cast<QWidget*>(mail)})
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
