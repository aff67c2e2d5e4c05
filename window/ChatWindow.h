#pragma once

#include "Controls.h"
#include "InputHistory.h"
#include "TranscriptText.h"

#include <QMainWindow>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class PictureWidget;
class frmAbout;

namespace parlo {

class ChatSide;
class frmClient;

// The chat window `frmClient` as the user sees it: the connect panel and the
// chat panel stacked in one place, a File/Help menu and a one-line status bar.
// It hands every user action to the chat model and carries out what the model
// asks of the controls.
class ChatWindow final : public QMainWindow, public Controls {
    Q_OBJECT
public:
    explicit ChatWindow(const ChatSide& side, QWidget* parent = nullptr);
    ~ChatWindow() override;

    // The model whose handlers the window's events run.
    void attach(frmClient& form);

    // Controls
    QString outputText() const override;
    void setOutputText(const QString& text) override;
    void appendOutput(const QString& text) override;
    void scrollOutputToEnd() override;
    QString inputText() const override;
    void setInputText(const QString& text) override;
    void focusInput() override;
    QString addressText() const override;
    void focusAddress() override;
    void setStatusText(const QString& text) override;
    QString statusText() const override;
    void setCaption(const QString& caption) override;
    QString connectCaption() const override;
    void setConnectCaption(const QString& caption) override;
    void showChatPanel() override;
    void showConnectPanel() override;
    void messageBox(const QString& text) override;
    void doEvents() override;
    void alertIfInactive() override;
    void endProgram() override;

    // The window's outer size in twips, as the panel rule reads it.
    QSizeF outerSizeTwips() const;
    void Form_Resize();
    void mnuAbout_Click();

    // The controls, by their names, for tests and accessibility checks.
    QGroupBox* fraConnect = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cboAddress = nullptr;
    QPushButton* cmdConnect = nullptr;
    PictureWidget* Image1 = nullptr;
    QGroupBox* fraChat = nullptr;
    QPlainTextEdit* txtOutput = nullptr;
    QLineEdit* txtSend = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboPeers = nullptr;
    QPushButton* cmdSend = nullptr;
    QLabel* Status = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildConnectPanel(QWidget* client);
    void buildChatPanel(QWidget* client);
    void buildMenus();
    void setTabOrder();
    void describeForAccessibility();
    bool handleInputKey(QKeyEvent* event);
    void scheduleViewUpdate();
    // Brings the text box up to date with the transcript; runs from the event loop.
    void updateView();

    const ChatSide& m_side;
    frmClient* m_form = nullptr;
    TranscriptText m_text; // the exact transcript, from what the text box holds
    QString m_unshown;     // appended (in the box's form), not yet in the text box
    bool m_viewUpdateQueued = false;
    bool m_scrollPending = false;
    InputHistory m_history;
    std::unique_ptr<frmAbout> m_about;
    bool m_ending = false;
};

} // namespace parlo
