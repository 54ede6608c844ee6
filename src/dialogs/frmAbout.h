#pragma once
// The About box: product, version, description, legal notice, the registered user
// and two links (web site, support mail) that the desktop opens.

#include <QDialog>
#include <QLabel>
#include <array>
#include <functional>

class QPushButton;

// A label that reports a click (press and release over it).
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

class frmAbout : public QDialog {
public:
    explicit frmAbout(QWidget *owner = nullptr);

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblUser = nullptr;
    QLabel *lblDisclaimer = nullptr;
    std::array<ClickLabel *, 2> lblWeb{};  // 0 caption, 1 address
    std::array<ClickLabel *, 2> lblMail{}; // 0 caption, 1 address
    QPushButton *cmdOK = nullptr;

    // "Licence accordée à " + the user's full name, or empty.
    static QString GetRegisteredUser();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void cmdOK_Click();
    void lblWeb_Click(int Index);
    void lblMail_Click(int Index);
};

// Shows the About box modally over `owner`.
void showAboutBox(QWidget *owner);
