#include "dialogs/frmMsgBox.h"

#include "dialogs/MsgBoxLayout.h"
#include "dialogs/mHelp.h"
#include "platform/Application.h"
#include "platform/forms/Forms.h"
#include "platform/help/HelpContext.h"
#include "platform/forms/WindowFrame.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace {

using platform::kTwipsPerPixel;
using platform::twips;

enum Role { None, Default, Cancel };

struct ButtonDef {
    const char *caption;
    Role role;
};

// The button sets by form type; a button's tag is its position.
std::vector<ButtonDef> buttonSet(qint32 formType)
{
    switch (formType) {
    case 1: return {{"OK", None}};
    case 2: return {{"OK", Default}, {"Annuler", Cancel}};
    case 3: return {{"&Oui", Default}, {"&Non", Cancel}};
    case 4: return {{"&Oui", Default}, {"&Non", None}, {"Annuler", Cancel}};
    case 5: return {{"&Réessayer", Default}, {"Annuler", Cancel}};
    case 6: return {{"&Abandon", Default}, {"&Réessayer", None}, {"&Ignorer", Cancel}};
    default: return {};
    }
}

QPainterPath speechBubble()
{
    QPainterPath bubble;
    bubble.addEllipse(QRectF(1.5, 1.5, 29, 22));
    QPainterPath tail;
    tail.moveTo(8, 19);
    tail.lineTo(5.5, 30.5);
    tail.lineTo(16, 22);
    tail.closeSubpath();
    return bubble.united(tail);
}

} // namespace

QPixmap stockPicture(int type)
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0, 0, 192);
    switch (type) {
    case 1:
        p.setPen(QPen(QColor(128, 0, 0), 1));
        p.setBrush(QColor(224, 0, 0));
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(10, 10), QPointF(22, 22));
        p.drawLine(QPointF(22, 10), QPointF(10, 22));
        break;
    case 2: {
        const QPointF triangle[] = {{16, 1.5}, {30.5, 29.5}, {1.5, 29.5}};
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 255, 0));
        p.drawPolygon(triangle, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(14.25, 9, 3.5, 12), 1.5, 1.5);
        p.drawEllipse(QPointF(16, 25), 2, 2);
        break;
    }
    case 3:
    case 4: {
        p.setPen(QPen(QColor(96, 96, 96), 1));
        p.setBrush(Qt::white);
        p.drawPath(speechBubble());
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        if (type == 3) {
            p.drawEllipse(QPointF(16, 6.5), 2.2, 2.2);
            p.drawRect(QRectF(14.25, 10, 3.5, 10));
            p.drawRect(QRectF(12.5, 10, 2, 1.5));
            p.drawRect(QRectF(12.5, 18.5, 7, 1.5));
        } else {
            QFont font;
            font.setBold(true);
            font.setPixelSize(19);
            p.setFont(font);
            p.setPen(blue);
            p.drawText(QRectF(1.5, 1.5, 29, 22), Qt::AlignCenter, QStringLiteral("?"));
        }
        break;
    }
    default: break;
    }
    return picture;
}

frmMsgBox::frmMsgBox(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setFont(platform::uiFont());
    // Design state: client area 4695 x 1905 twips, a hidden template button.
    resize(twips(4695), twips(1905));
    auto *model = new CommandButton(this);
    model->resize(twips(1215), twips(345));
    model->hide();
    cmdAction.push_back(model);
    for (int type = 1; type <= 4; ++type)
        imaStock[type] = stockPicture(type);
    imaIcon = new QLabel(this);
    imaIcon->move(twips(100), twips(120));
    imaIcon->resize(twips(m_iconSize.width()), twips(m_iconSize.height()));
    lblMessage = new QLabel(this);
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->move(twips(960), twips(240));

    // Window load.
    setWindowTitle(platform::applicationTitle());
}

void frmMsgBox::setFormType(qint32 NewFT)
{
    ClearAllButtons();
    m_formType = NewFT;
    for (const ButtonDef &def : buttonSet(NewFT)) {
        CommandButton *button = addButton(QString::fromUtf8(def.caption), QString::number(m_buttonCount + 1));
        button->setDefault(def.role == Default);
        if (def.role == Cancel)
            m_cancel = button;
        ++m_buttonCount;
    }
    if (m_helpContext != 0) {
        addButton(QStringLiteral("Aide"), QString());
        ++m_buttonCount;
        // F1 in the box opens the same topic as its button.
        platform::setHelpContextID(this, m_helpContext);
    }
}

CommandButton *frmMsgBox::addButton(const QString &caption, const QString &tag)
{
    const qint16 index = qint16(cmdAction.size());
    auto *button = new CommandButton(caption, this);
    button->setFont(cmdAction[0]->font());
    button->resize(cmdAction[0]->size());
    button->Tag = tag;
    connect(button, &QPushButton::clicked, this, [this, index] { cmdAction_Click(index); });
    cmdAction.push_back(button);
    button->show();
    return button;
}

void frmMsgBox::setHelpButton(qint16 ContextID)
{
    m_helpContext = ContextID;
}

void frmMsgBox::setPictureType(qint32 NewPT)
{
    m_pictureType = NewPT;
    if (NewPT >= 1 && NewPT <= 4) {
        showPicture(imaStock[NewPT]);
    } else {
        // No picture: the icon area keeps its size.
        imaIcon->clear();
    }
}

void frmMsgBox::setCustomPicture(const QPixmap &NewP)
{
    showPicture(NewP);
}

void frmMsgBox::showPicture(const QPixmap &picture)
{
    imaIcon->setPixmap(picture);
    const QSize size = picture.deviceIndependentSize().toSize();
    m_iconSize = size * kTwipsPerPixel;
    imaIcon->resize(size);
}

void frmMsgBox::setMessage(const QString &NewM)
{
    m_message = NewM;
    QString shown = NewM;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblMessage->setText(shown);
}

QString frmMsgBox::Title() const
{
    return windowTitle();
}

void frmMsgBox::setTitle(const QString &NewT)
{
    setWindowTitle(NewT);
}

void frmMsgBox::setFocusedButton(qint16 Index)
{
    if (m_buttonCount != 0 && Index <= m_buttonCount)
        m_focusedButton = Index;
}

QString frmMsgBox::ButtonCaption(qint16 Index) const
{
    if (Index >= 1 && Index <= m_buttonCount)
        return cmdAction[Index]->text();
    return QString();
}

void frmMsgBox::setButtonCaption(qint16 Index, const QString &NewCaption)
{
    if (Index >= 1 && Index <= m_buttonCount)
        cmdAction[Index]->setText(NewCaption);
}

void frmMsgBox::ClearAllButtons()
{
    for (qint16 index = 1; index <= m_buttonCount; ++index)
        delete cmdAction[index];
    cmdAction.resize(1);
    m_cancel = nullptr;
    m_buttonCount = 0;
    m_formType = 0;
}

void frmMsgBox::cmdAction_Click(qint16 Index)
{
    const CommandButton *button = cmdAction[Index];
    if (!button->Tag.isEmpty()) {
        Tag = button->Tag;
        accept();
    } else {
        mHelp::ShowHelp(platform::helpFile(), m_helpContext, false);
    }
}

void frmMsgBox::Form_Activate()
{
    if (m_focusedButton > 0 && m_focusedButton <= m_buttonCount)
        cmdAction[m_focusedButton]->setFocus();
}

void frmMsgBox::Form_Resize()
{
    if (m_layingOut)
        return;
    m_layingOut = true;

    MsgBoxLayoutInput in;
    in.clientWidth = width() * kTwipsPerPixel;
    in.clientHeight = height() * kTwipsPerPixel;
    in.picture = QRect(100, 120, m_iconSize.width(), m_iconSize.height());
    for (qint16 index = 1; index <= m_buttonCount; ++index)
        in.buttonWidths.push_back(cmdAction[index]->width() * kTwipsPerPixel);
    in.buttonHeight = cmdAction[0]->height() * kTwipsPerPixel;
    const platform::FrameSizes frame = platform::windowFrame(this);
    in.horizontalFrame = frame.horizontal * kTwipsPerPixel;
    in.verticalFrame = frame.vertical * kTwipsPerPixel;
    in.caption = frame.caption * kTwipsPerPixel;
    const QRect screenArea = screen() ? screen()->geometry() : QRect();
    in.screenWidth = screenArea.width() * kTwipsPerPixel;
    in.screenHeight = screenArea.height() * kTwipsPerPixel;
    in.messageHeight = [this](int width) {
        return lblMessage->heightForWidth(width / kTwipsPerPixel) * kTwipsPerPixel;
    };

    const MsgBoxLayout out = layOutMsgBox(in);
    lblMessage->setGeometry(twips(out.messageLeft), twips(in.messageTop), out.messageWidth / kTwipsPerPixel,
                            twips(out.messageHeight));
    for (qint16 index = 1; index <= m_buttonCount; ++index)
        cmdAction[index]->move(twips(out.buttonLefts[index - 1]), twips(out.rowTop));
    // The frame is the window system's: the box cannot be resized by hand.
    setFixedSize(twips(out.clientWidth), twips(out.clientHeight));
    move(screenArea.left() + twips(out.windowLeft), screenArea.top() + twips(out.windowTop));

    m_layingOut = false;
}

void frmMsgBox::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmMsgBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmMsgBox::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMsgBox::keyPressEvent(QKeyEvent *event)
{
    // Esc is the cancel button, and nothing when the set has none.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancel)
            m_cancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
