#pragma once

#include "Controls.h"
#include "InputHistory.h"
#include "frmClient.h"

#include <QMainWindow>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace parlo {

class ChatSide;
class Notifications;
class StreamSocket;
class TranscriptView;
class frmAbout;
class modIEOps;

// The chat window `frmClient` as the user sees it: the connect panel and the
// chat panel stacked in one place, a File/Help menu and a one-line status bar.
// It owns the chat model, hands it every user action and carries out what the
// model asks of the controls. Controls carry their design names as object names.
class ChatWindow final : public QMainWindow, public Controls {
    Q_OBJECT
public:
    // `socket`, `launcher` (which the About box uses) and `notifications` must
    // outlive the window.
    ChatWindow(const ChatSide& side, StreamSocket& socket, const ChatSettings& settings,
               modIEOps& launcher, Notifications& notifications, QWidget* parent = nullptr);
    ~ChatWindow() override;

    // Start-up: the model's Form_Load, then the window is shown.
    void start();
    // The chat model behind the window, for the parts of the program that follow it.
    frmClient& model() { return m_form; }
    // The host's own addresses, at the right of the status bar.
    void showOwnAddresses(const QString& text);

    // Controls
    void setOutputText(const QString& text) override;
    void appendOutput(const QString& text) override;
    void scrollOutputToEnd() override;
    QString inputText() const override;
    void setInputText(const QString& text) override;
    void focusInput() override;
    QString addressText() const override;
    void focusAddress() override;
    void setAddressList(const QList<AddressEntry>& entries) override;
    void setStatusText(const QString& text) override;
    void setCaption(const QString& caption) override;
    void setConnectCaption(const QString& caption) override;
    void showChatPanel() override;
    void showConnectPanel() override;
    void messageBox(const QString& text) override;
    void doEvents() override;
    void peerLineArrived(const QString& peerName, const QString& shownLine) override;
    void endProgram() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildConnectPanel(QWidget* client);
    void buildChatPanel(QWidget* client);
    void buildMenus();
    bool handleInputKey(QKeyEvent* event);
    void Form_Resize();
    void mnuAbout_Click();

    const ChatSide& m_side;
    modIEOps& m_launcher;
    Notifications& m_notifications;
    QGroupBox* fraConnect = nullptr;
    QComboBox* cboAddress = nullptr;
    QPushButton* cmdConnect = nullptr;
    QGroupBox* fraChat = nullptr;
    QLineEdit* txtSend = nullptr;
    QLabel* Status = nullptr;
    QLabel* m_ownAddresses = nullptr; // the host's only
    TranscriptView* m_transcript = nullptr;
    InputHistory m_history;
    std::unique_ptr<frmAbout> m_about;
    bool m_ending = false;
    frmClient m_form; // over this window's controls; built last, gone first
};

} // namespace parlo
