#pragma once
// The login dialog: login and password, "Start Ostrel" and "Exit"; About from its context menu.
#include <QDialog>

class QLineEdit;
class QPushButton;

class CServerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CServerDlg(QWidget* parent = nullptr);

    QString login() const;
    QString password() const;
    void setPassword(const QString& password);
    QPushButton* startButton() const { return m_Start; }
    QPushButton* exitButton() const { return m_Exit; }

    // After Start the dialog's own close (close box, Escape) goes to the shutdown sequence too.
    void setRunning(bool running) { m_Running = running; }

signals:
    void startRequested();
    void exitRequested();

public slots:
    void showAbout();
    void reject() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QLineEdit* m_Login;     // edit 1008
    QLineEdit* m_Password;  // edit 1002
    QPushButton* m_Start;   // button 1001
    QPushButton* m_Exit;    // button 1
    bool m_Running = false;
};

// "About Ostrel": the program icon, the version, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
