#include "ChatWindow.h"

#include "ChatSide.h"
#include "PanelLayout.h"
#include "classicFonts.h"
#include "frmAbout.h"
#include "frmClient.h"
#include "modIEOps.h"
#include "picture.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <limits>

namespace parlo {

namespace {

// The design client area, in twips: the panels' room above the status bar and the bar.
constexpr int kClientWidthTwips = 5655;
constexpr int kPanelAreaHeightTwips = 3210;
constexpr int kStatusHeightTwips = 270;

void sizeToCaption(QLabel* label, int leftTwips, int topTwips) {
    label->move(twipsToPixels(leftTwips), twipsToPixels(topTwips));
    label->adjustSize();
}

} // namespace

ChatWindow::ChatWindow(const ChatSide& side, QWidget* parent) : QMainWindow(parent), m_side(side) {
    setObjectName(QStringLiteral("frmClient"));
    setWindowTitle(side.designCaption());
    setFont(msSansSerifFont(8.25));
    setWindowIcon(QIcon::fromTheme(side.programName()));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    buildConnectPanel(client);
    buildChatPanel(client);
    buildMenus();

    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(Status, 1);
    statusBar()->setFixedHeight(twipsToPixels(kStatusHeightTwips));

    setTabOrder();
    describeForAccessibility();

    if (side.startsWithChatPanel()) {
        showChatPanel();
    } else {
        showConnectPanel();
    }

    resize(twipsToPixels(kClientWidthTwips), menuBar()->sizeHint().height() +
                                                 twipsToPixels(kPanelAreaHeightTwips) +
                                                 twipsToPixels(kStatusHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

ChatWindow::~ChatWindow() = default;

void ChatWindow::attach(frmClient& form) {
    m_form = &form;
}

void ChatWindow::buildConnectPanel(QWidget* client) {
    fraConnect = new QGroupBox(QStringLiteral("Connect"), client);
    fraConnect->setObjectName(QStringLiteral("fraConnect"));
    fraConnect->setGeometry(twipsRect(120, 0, 5415, 3135));

    Label1 = new QLabel(QStringLiteral("Connect to (IP/Host name):"), fraConnect);
    Label1->setObjectName(QStringLiteral("Label1"));
    sizeToCaption(Label1, 2520, 720);

    cboAddress = new QComboBox(fraConnect);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setGeometry(twipsRect(2400, 960, 2415, 315));
    cboAddress->installEventFilter(this);

    cmdConnect = new QPushButton(QStringLiteral("Connect"), fraConnect);
    cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    cmdConnect->setGeometry(twipsRect(2880, 1440, 1335, 375));
    connect(cmdConnect, &QPushButton::clicked, this, [this] {
        if (m_form) {
            m_form->cmdConnect_Click();
        }
    });

    Image1 = new PictureWidget(fraConnect);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(360, 1560, 1920, 1305));
}

void ChatWindow::buildChatPanel(QWidget* client) {
    fraChat = new QGroupBox(QStringLiteral("Chat"), client);
    fraChat->setObjectName(QStringLiteral("fraChat"));
    fraChat->setGeometry(twipsRect(120, 0, 5415, 3135));

    txtOutput = new QPlainTextEdit(fraChat);
    txtOutput->setObjectName(QStringLiteral("txtOutput"));
    txtOutput->setGeometry(twipsRect(120, 240, 5175, 1695));
    txtOutput->setFont(lucidaConsoleFont(9));
    txtOutput->setReadOnly(true);
    txtOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtOutput->setUndoRedoEnabled(false); // a long conversation must not keep an undo history
    txtOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette blue = txtOutput->palette();
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    txtOutput->setPalette(blue);

    txtSend = new QLineEdit(fraChat);
    txtSend->setObjectName(QStringLiteral("txtSend"));
    txtSend->setGeometry(twipsRect(120, 2280, 4935, 285));
    txtSend->setFont(lucidaConsoleFont(9));
    txtSend->setMaxLength(std::numeric_limits<int>::max()); // never cut a pasted line short
    txtSend->installEventFilter(this);

    Label2 = new QLabel(QStringLiteral("Peers:"), fraChat);
    Label2->setObjectName(QStringLiteral("Label2"));
    sizeToCaption(Label2, 240, 2700);

    cboPeers = new QComboBox(fraChat);
    cboPeers->setObjectName(QStringLiteral("cboPeers"));
    cboPeers->setGeometry(twipsRect(720, 2640, 2175, 300));
    cboPeers->setFont(lucidaConsoleFont(9));
    cboPeers->setEnabled(false);

    cmdSend = new QPushButton(QStringLiteral("Send"), fraChat);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setGeometry(twipsRect(3480, 2640, 1335, 375));
    connect(cmdSend, &QPushButton::clicked, this, [this] {
        if (m_form) {
            m_form->cmdSend_Click();
        }
    });
}

void ChatWindow::buildMenus() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, [this] {
        if (m_form) {
            m_form->mnuExit_Click();
        }
    });

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    if (m_side.hasCommandsMenu()) {
        QAction* mnuCommands = mnuHelp->addAction(QStringLiteral("Commands"));
        mnuCommands->setObjectName(QStringLiteral("mnuCommands"));
        connect(mnuCommands, &QAction::triggered, this, [this] {
            if (m_form) {
                m_form->mnuCommands_Click();
            }
        });
    }
    QAction* mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &ChatWindow::mnuAbout_Click);
}

void ChatWindow::setTabOrder() {
    QWidget::setTabOrder(cboAddress, cmdConnect);
    QWidget::setTabOrder(cmdConnect, txtSend);
    QWidget::setTabOrder(txtSend, cmdSend);
    QWidget::setTabOrder(cmdSend, txtOutput);
}

void ChatWindow::describeForAccessibility() {
    fraConnect->setAccessibleName(QStringLiteral("Connect"));
    cboAddress->setAccessibleName(QStringLiteral("Connect to (IP/Host name)"));
    cboAddress->setAccessibleDescription(
        QStringLiteral("Type the IP address or host name of the Parlo host, then press Enter"));
    cmdConnect->setAccessibleDescription(
        QStringLiteral("Connects to or disconnects from the host"));
    Image1->setAccessibleName(QStringLiteral("Parlo picture"));
    fraChat->setAccessibleName(QStringLiteral("Chat"));
    txtOutput->setAccessibleName(QStringLiteral("Conversation"));
    txtOutput->setAccessibleDescription(
        QStringLiteral("The conversation so far, newest at the end"));
    txtSend->setAccessibleName(QStringLiteral("Message"));
    txtSend->setAccessibleDescription(
        QStringLiteral("Type a line and press Enter to send it; lines starting with / are "
                       "commands (/help lists them); Up and Down recall earlier lines"));
    cboPeers->setAccessibleName(QStringLiteral("Peers"));
    cmdSend->setAccessibleDescription(QStringLiteral("Sends the typed line"));
    Status->setAccessibleName(QStringLiteral("Status"));
}

// ---- Controls ---------------------------------------------------------------

QString ChatWindow::outputText() const {
    return m_text.exact(txtOutput->document()->toRawText() + m_unshown);
}

void ChatWindow::setOutputText(const QString& text) {
    m_unshown.clear();
    txtOutput->setPlainText(m_text.reset(text));
}

void ChatWindow::appendOutput(const QString& text) {
    m_unshown += m_text.append(text);
    scheduleViewUpdate();
}

void ChatWindow::scrollOutputToEnd() {
    m_scrollPending = true;
    scheduleViewUpdate();
}

// The text box catches up once per turn of the event loop: entries that come
// in a burst are laid out together, and a line read from the socket is in the
// transcript without waiting for the text box.
void ChatWindow::scheduleViewUpdate() {
    if (m_viewUpdateQueued) {
        return;
    }
    m_viewUpdateQueued = true;
    QMetaObject::invokeMethod(this, &ChatWindow::updateView, Qt::QueuedConnection);
}

void ChatWindow::updateView() {
    m_viewUpdateQueued = false;
    if (!m_unshown.isEmpty()) {
        QTextCursor end(txtOutput->document());
        end.movePosition(QTextCursor::End);
        end.insertText(std::exchange(m_unshown, QString()));
    }
    if (std::exchange(m_scrollPending, false)) {
        // The caret goes to the end (nothing left selected), which brings the
        // last line into view.
        QTextCursor end = txtOutput->textCursor();
        end.movePosition(QTextCursor::End);
        txtOutput->setTextCursor(end);
        txtOutput->ensureCursorVisible();
    }
}

QString ChatWindow::inputText() const {
    return txtSend->text();
}

void ChatWindow::setInputText(const QString& text) {
    txtSend->setText(text);
}

void ChatWindow::focusInput() {
    txtSend->setFocus();
}

QString ChatWindow::addressText() const {
    return cboAddress->currentText();
}

void ChatWindow::focusAddress() {
    cboAddress->setFocus();
}

void ChatWindow::setStatusText(const QString& text) {
    Status->setText(text);
}

QString ChatWindow::statusText() const {
    return Status->text();
}

void ChatWindow::setCaption(const QString& caption) {
    // "[*]" is Qt's placeholder for the modified mark; a nickname may hold it literally.
    QString escaped = caption;
    escaped.replace(QLatin1String("[*]"), QLatin1String("[[*]]"));
    setWindowTitle(escaped);
}

QString ChatWindow::connectCaption() const {
    return cmdConnect->text();
}

void ChatWindow::setConnectCaption(const QString& caption) {
    cmdConnect->setText(caption);
}

void ChatWindow::showChatPanel() {
    fraChat->show();
    fraChat->raise();
    fraConnect->hide(); // the panel behind takes no focus while hidden from view
}

void ChatWindow::showConnectPanel() {
    fraConnect->show();
    fraConnect->raise();
    fraChat->hide();
}

void ChatWindow::messageBox(const QString& text) {
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("Parlo"));
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void ChatWindow::doEvents() {
    QCoreApplication::processEvents();
}

void ChatWindow::alertIfInactive() {
    if (!isActiveWindow()) {
        QApplication::alert(this);
    }
}

void ChatWindow::endProgram() {
    m_ending = true;
    QCoreApplication::exit(0);
}

// ---- window events ------------------------------------------------------------

QSizeF ChatWindow::outerSizeTwips() const {
    const QSize outer = frameGeometry().size();
    return QSizeF(outer.width() * double(kTwipsPerPixel), outer.height() * double(kTwipsPerPixel));
}

void ChatWindow::Form_Resize() {
    const QSizeF current(fraChat->width() * double(kTwipsPerPixel),
                         fraChat->height() * double(kTwipsPerPixel));
    const QSizeF panel = PanelLayout::resized(current, outerSizeTwips(), isMinimized());
    if (panel == current) {
        return;
    }
    const QSize pixels(twipsToPixels(qRound(panel.width())), twipsToPixels(qRound(panel.height())));
    fraChat->resize(pixels);
    fraConnect->resize(pixels);
}

void ChatWindow::mnuAbout_Click() {
    if (!m_about) {
        m_about = std::make_unique<frmAbout>(m_side.aboutClosesOnEsc(), defaultIEOps(), this);
    }
    m_about->showModal();
}

void ChatWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void ChatWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void ChatWindow::closeEvent(QCloseEvent* event) {
    if (m_form && !m_ending) {
        m_form->Form_Unload();
    }
    event->accept();
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_form) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == txtSend) {
            return handleInputKey(key);
        }
        if (watched == cboAddress && enter) {
            m_form->cboAddress_KeyPress(frmClient::kEnter);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool ChatWindow::handleInputKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QString typed = txtSend->text();
        int key = frmClient::kEnter;
        m_form->txtSend_KeyPress(key);
        if (txtSend->text().isEmpty() && !typed.isEmpty()) {
            m_history.add(typed);
        }
        return false; // the key goes on to the box, where it inserts nothing
    }
    case Qt::Key_Up:
        txtSend->setText(m_history.older(txtSend->text()));
        return true;
    case Qt::Key_Down:
        txtSend->setText(m_history.newer(txtSend->text()));
        return true;
    default:
        return false;
    }
}

} // namespace parlo
