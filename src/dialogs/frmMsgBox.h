#pragma once
// The program's own confirmation box: a message, a stock picture, one of six French
// button sets and, on request, an "Aide" button. The caller sets it up, shows it
// modally, reads the pressed button's position ("1", "2", "3") in Tag ("" when it
// was closed another way) and then deletes it.

#include <QDialog>
#include <QPixmap>
#include <QPushButton>
#include <array>
#include <vector>

class QLabel;

// A command button holding the result it gives.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QString Tag;
};

class frmMsgBox : public QDialog {
public:
    explicit frmMsgBox(QWidget *owner = nullptr);

    // 1 OK; 2 OK, Annuler; 3 Oui, Non; 4 Oui, Non, Annuler; 5 Réessayer, Annuler;
    // 6 Abandon, Réessayer, Ignorer. Writing it rebuilds the buttons.
    qint32 FormType() const { return m_formType; }
    void setFormType(qint32 NewFT);
    // Help topic of the "Aide" button and of F1; takes effect at the next FormType.
    void setHelpButton(qint16 ContextID);
    // 0 none, 1 error, 2 warning, 3 information, 4 question.
    qint32 PictureType() const { return m_pictureType; }
    void setPictureType(qint32 NewPT);
    void setCustomPicture(const QPixmap &NewP);
    QString Message() const { return m_message; }
    void setMessage(const QString &NewM);
    QString Title() const;
    void setTitle(const QString &NewT);
    // The button that gets the focus; ignored outside the buttons there are.
    void setFocusedButton(qint16 Index);
    QString ButtonCaption(qint16 Index) const;
    void setButtonCaption(qint16 Index, const QString &NewCaption);
    void ClearAllButtons();

    qint16 buttonCount() const { return m_buttonCount; }

    // Result: the Tag of the button pressed.
    QString Tag;

    // Element 0 is the hidden template of the buttons 1 to buttonCount().
    std::vector<CommandButton *> cmdAction;
    std::array<QPixmap, 5> imaStock; // 1 to 4
    QLabel *imaIcon = nullptr;
    QLabel *lblMessage = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Resize();
    void Form_Activate();
    void cmdAction_Click(qint16 Index);
    CommandButton *addButton(const QString &caption, const QString &tag);
    void showPicture(const QPixmap &picture);

    qint32 m_formType = 0;
    qint32 m_pictureType = 0;
    qint16 m_buttonCount = 0;
    qint16 m_focusedButton = 0;
    qint16 m_helpContext = 0;
    CommandButton *m_cancel = nullptr;
    QString m_message;
    QSize m_iconSize{15, 100}; // twips; a picture gives its own size
    bool m_layingOut = false;
};

// The four stock pictures, 32 x 32: 1 error, 2 warning, 3 information, 4 question.
QPixmap stockPicture(int type);
