#include "AboutDialog.h"

#include "DialogUnits.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace pulsavo {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    setFont(dialogFont(9));
    const DialogUnits units = DialogUnits::forFont(font());

    // An icon static sizes itself to the icon, whatever its template rectangle says.
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/pulsavo-32.png")).pixmap(32, 32));
    icon->setGeometry(QRect(QPoint(units.x(36), units.y(12)), QSize(32, 32)));

    auto* product = new QLabel(productLine(), this);
    product->setObjectName(QStringLiteral("productLabel"));
    product->setTextFormat(Qt::PlainText);
    product->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    product->setGeometry(units.rect(6, 42, 78, 8));

    auto* third = new QLabel(this);
    third->setObjectName(QStringLiteral("thirdLabel"));
    third->setTextFormat(Qt::PlainText);
    third->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    third->setGeometry(units.rect(6, 54, 78, 8));

    auto* ok = new QPushButton(this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(units.rect(24, 66, 42, 18));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(units.x(90), units.y(89));
    retranslate();
    ok->setFocus();
}

void AboutDialog::retranslate() {
    setWindowTitle(tr("バージョン情報 Tavix"));
    auto* third = findChild<QLabel*>(QStringLiteral("thirdLabel"));
    third->setText(tr("心電図トレーニング"));
    auto* ok = findChild<QPushButton*>(QStringLiteral("okButton"));
    ok->setText(tr("OK"));

    auto* icon = findChild<QLabel*>(QStringLiteral("iconLabel"));
    icon->setAccessibleName(tr("Pulsavo のアイコン"));
    icon->setAccessibleDescription(tr("製品のアイコン"));
    auto* product = findChild<QLabel*>(QStringLiteral("productLabel"));
    product->setAccessibleName(productLine());
    product->setAccessibleDescription(tr("製品名と版"));
    third->setAccessibleName(third->text());
    third->setAccessibleDescription(tr("製品の説明"));
    ok->setAccessibleName(ok->text());
    ok->setAccessibleDescription(tr("このウィンドウを閉じます"));
}

void AboutDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QDialog::changeEvent(event);
}

} // namespace pulsavo
