#include "app/frmAbout.h"

#include "program/BuildInfo.h"
#include "program/ProductInfo.h"
#include "program/Prompts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

static QPointer<frmAbout> s_about;

frmAbout *frmAbout::showAbout(QWidget *mainWindow)
{
    if (!s_about)
        s_about = new frmAbout(mainWindow);
    s_about->show();
    s_about->raise();
    s_about->activateWindow();
    return s_about;
}

frmAbout *frmAbout::instance()
{
    return s_about;
}

frmAbout::frmAbout(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Stowbook"));

    picIcon = new QLabel(this);
    picIcon->setPixmap(productPicture(64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProduct = new QLabel(QStringLiteral("Stowbook"), this);
    QFont productFont = lblProduct->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.6);
    productFont.setBold(true);
    lblProduct->setFont(productFont);

    lblVersion = new QLabel(QStringLiteral("Version ") + ProgramVersion, this);

    // Shown as a link, but the click is ours: it goes through prompts() like
    // every other request to the desktop.
    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::RichText);
    Label1->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(ProductWebAddress.toHtmlEscaped(), ProductWebAddress.toHtmlEscaped()));
    Label1->setTextInteractionFlags(Qt::NoTextInteraction);
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setFocusPolicy(Qt::TabFocus);
    Label1->setToolTip(QStringLiteral("Open the Stowbook web site"));
    Label1->installEventFilter(this);

    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &frmAbout::cmdOk_Click);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblProduct);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(Label1);
    texts->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    cmdOk->setFocus();
}

void frmAbout::cmdOk_Click()
{
    close();
}

void frmAbout::Label1_Click()
{
    prompts().openWebAddress(ProductWebAddress);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && Label1->rect().contains(mouse->position().toPoint())) {
                Label1_Click();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                Label1_Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPixmap frmAbout::productPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // A house...
    QPainterPath house;
    house.moveTo(32, 4);
    house.lineTo(60, 28);
    house.lineTo(54, 28);
    house.lineTo(54, 60);
    house.lineTo(10, 60);
    house.lineTo(10, 28);
    house.lineTo(4, 28);
    house.closeSubpath();
    p.setPen(QPen(QColor(0x5a, 0x3e, 0x1b), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xe8, 0xc3, 0x8a));
    p.drawPath(house);

    // ...holding the inventory list.
    const QRectF sheet(20, 26, 24, 30);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 2, 2);
    p.setBrush(QColor(0x3a, 0x7c, 0xc4));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        const qreal y = 31 + row * 6.5;
        p.drawEllipse(QPointF(24.5, y + 1), 1.6, 1.6);
        p.fillRect(QRectF(28, y, 13, 2), QColor(0x55, 0x55, 0x55));
    }
    return pixmap;
}
