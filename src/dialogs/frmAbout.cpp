#include "dialogs/frmAbout.h"

#include "dialogs/mShellExecute.h"
#include "platform/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/WindowFrame.h"
#include "platform/UserName.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// What the program says of itself.
const char *const kProductName = "Tolvo";
const char *const kDescription = "Impression de chèques.";
const char *const kLegalNotice = "© Les auteurs de Tolvo. Tous droits réservés.";
const char *const kWebAddress = "https://tolvo.example.org";
const char *const kMailAddress = "support@tolvo.example.org";

QRect twipsRect(int left, int top, int width, int height)
{
    using platform::twips;
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// "Version 1.3.1": each number as plain digits, without leading zeros.
QString versionText()
{
    const QStringList parts = platform::applicationVersion().split(QLatin1Char('.'));
    QStringList numbers;
    for (int i = 0; i < 3; ++i)
        numbers.append(QString::number(i < parts.size() ? parts[i].toInt() : 0));
    return QStringLiteral("Version ") + numbers.join(QLatin1Char('.'));
}

// The light-grey watermark in the upper-left corner: a blank cheque with its
// amount box and the initial of the program. Nothing is drawn where the title,
// version and description are written.
void drawWatermark(QPainter &p)
{
    const QColor grey(222, 222, 222);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(grey, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4, 8, 185, 90), 6, 6);
    p.setPen(QPen(grey, 1.5));
    p.drawRect(QRectF(128, 18, 52, 18));
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(40);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(grey);
    p.drawText(QRectF(10, 10, 40, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("T"));
    p.restore();
}

} // namespace

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click && onClick)
        onClick();
}

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setFont(platform::uiFont());
    setWindowTitle(QStringLiteral("A propos de"));
    setFixedSize(twipsRect(0, 0, 5730, 3840).size());

    const auto label = [this](const QRect &where, bool isBold) {
        auto *l = new QLabel(this);
        l->setGeometry(where);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (isBold) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        return l;
    };
    lblTitle = label(twipsRect(690, 240, 4845, 480), true);
    lblVersion = label(twipsRect(690, 780, 4965, 225), true);
    lblDescription = label(twipsRect(690, 1125, 4845, 780), true);
    lblDescription->setWordWrap(true);
    lblUser = label(twipsRect(120, 2040, 5565, 315), false);
    lblDisclaimer = label(twipsRect(240, 2760, 3870, 345), false);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(4200, 3120, 1260, 345));
    cmdOK->setDefault(true);

    const auto link = [this](const QRect &where, const QString &text, bool isLink) {
        auto *l = new ClickLabel(text, this);
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(where);
        if (isLink) {
            QPalette palette = l->palette();
            palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
            l->setPalette(palette);
            l->setCursor(Qt::PointingHandCursor);
            // An address longer than its place may use the room up to the OK button.
            const int room = cmdOK->x() - 6 - where.left();
            l->resize(qBound(where.width(), l->sizeHint().width(), qMax(where.width(), room)),
                      where.height());
        }
        return l;
    };
    lblWeb[0] = link(twipsRect(210, 3120, 495, 255), QStringLiteral("Web:"), false);
    lblWeb[1] = link(twipsRect(810, 3120, 2175, 255), QString::fromUtf8(kWebAddress), true);
    lblMail[0] = link(twipsRect(210, 3480, 495, 255), QStringLiteral("Mail:"), false);
    lblMail[1] = link(twipsRect(810, 3480, 1335, 255), QString::fromUtf8(kMailAddress), true);
    for (int index = 0; index < 2; ++index) {
        lblWeb[index]->onClick = [this, index] { lblWeb_Click(index); };
        lblMail[index]->onClick = [this, index] { lblMail_Click(index); };
    }
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    // Window load.
    lblVersion->setText(versionText());
    lblTitle->setText(QString::fromUtf8(kProductName));
    lblDescription->setText(QString::fromUtf8(kDescription));
    lblDisclaimer->setText(QString::fromUtf8(kLegalNotice));
    lblUser->setText(GetRegisteredUser());
}

QString frmAbout::GetRegisteredUser()
{
    const QString name = platform::userFullName();
    return name.isEmpty() ? QString() : QStringLiteral("Licence accordée à ") + name;
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::lblWeb_Click(int Index)
{
    if (Index != 1)
        return;
    mShellExecute::ShellOpen(lblWeb[1]->text(), QStringLiteral("open"), QString(), QString(), 10, nullptr,
                             false);
}

void frmAbout::lblMail_Click(int Index)
{
    if (Index != 1)
        return;
    mShellExecute::ShellOpen(QStringLiteral("mailto: ") + lblMail[1]->text(), QStringLiteral("open"),
                             QString(), QString(), 10, nullptr, false);
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    drawWatermark(p);
    // Etched separator: a grey line over a white one two pixels high.
    const int y = platform::twips(2640);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(0, y + 1, platform::twips(5549), y + 1);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawLine(0, y, platform::twips(5564), y);
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred with its frame, which the window system adds only after showing it.
    if (QScreen *s = screen()) {
        const platform::FrameSizes frame = platform::windowFrame(this);
        QRect outer(QPoint(0, 0), size() + QSize(frame.horizontal, frame.vertical + frame.caption));
        outer.moveCenter(s->geometry().center());
        move(outer.topLeft());
    }
}

void showAboutBox(QWidget *owner)
{
    frmAbout box(owner);
    box.exec();
}
