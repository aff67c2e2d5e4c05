#include "ChatWindow.h"

#include "BringForward.h"
#include "ChatSide.h"
#include "ClassicFonts.h"
#include "FirstPaint.h"
#include "Notifications.h"
#include "PanelLayout.h"
#include "Picture.h"
#include "Product.h"
#include "ProgramIcon.h"
#include "ReadableColours.h"
#include "Texts.h"
#include "TranscriptView.h"
#include "Twips.h"
#include "frmAbout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <limits>

namespace parlo {

namespace {

// The design client area, in twips: the panels' room above the status bar and the bar.
constexpr int kClientWidthTwips = 5655;
constexpr int kPanelAreaHeightTwips = 3210;
constexpr int kStatusHeightTwips = 270;

template <typename Widget, typename... Args> Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void sizeToCaption(QLabel* label, int leftTwips, int topTwips) {
    label->move(twipsToPixels(leftTwips), twipsToPixels(topTwips));
    label->adjustSize();
}

} // namespace

ChatWindow::ChatWindow(const ChatSide& side, StreamSocket& socket, const ChatSettings& settings,
                       modIEOps& launcher, Notifications& notifications, QWidget* parent)
    : QMainWindow(parent), m_side(side), m_launcher(launcher), m_notifications(notifications),
      m_form(socket, *this, side, settings) {
    setObjectName(QStringLiteral("frmClient"));
    setFont(msSansSerifFont(8.25));
    connect(&notifications, &Notifications::clicked, this, [this] { bringForward(*this); });
    // Each conversation's lines have a notice of their own.
    connect(&m_form, &frmClient::phaseChanged, this, [this](Phase phase) {
        if (phase == Phase::Introducing) {
            m_notifications.beginConversation();
        }
    });

    auto* client = named<QWidget>("client", this);
    setCentralWidget(client);
    buildConnectPanel(client);
    buildChatPanel(client);
    buildMenus();

    Status = named<QLabel>("Status", this);
    Status->setTextFormat(Qt::PlainText);
    Status->setAccessibleDescription(QStringLiteral("Status"));
    statusBar()->addWidget(Status, 1);
    if (side.traits().listens) {
        m_ownAddresses = named<QLabel>("OwnAddresses", this);
        m_ownAddresses->setTextFormat(Qt::PlainText);
        // Long IPv6 addresses are cut off in view; the tooltip has them whole.
        m_ownAddresses->setMaximumWidth(twipsToPixels(kClientWidthTwips) / 2);
        statusBar()->addPermanentWidget(m_ownAddresses);
    }
    statusBar()->setFixedHeight(twipsToPixels(kStatusHeightTwips));

    resize(twipsToPixels(kClientWidthTwips), menuBar()->sizeHint().height() +
                                                 twipsToPixels(kPanelAreaHeightTwips) +
                                                 twipsToPixels(kStatusHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

ChatWindow::~ChatWindow() = default;

void ChatWindow::start() {
    m_form.Form_Load();
    show();
    // Finding the icon's files costs more than a millisecond: it is given
    // once the window is up, which nobody sees happen.
    afterFirstPaint(*this, [this] { setWindowIcon(programIcon(m_side.traits().programName)); });
}

void ChatWindow::buildConnectPanel(QWidget* client) {
    fraConnect = named<QGroupBox>("fraConnect", QStringLiteral("Connect"), client);
    fraConnect->setGeometry(twipsRect(120, 0, 5415, 3135));

    auto* Label1 =
        named<QLabel>("Label1", QStringLiteral("Connect to (IP/Host name):"), fraConnect);
    sizeToCaption(Label1, 2520, 720);

    cboAddress = named<QComboBox>("cboAddress", fraConnect);
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr); // what is typed stays as typed
    cboAddress->setGeometry(twipsRect(2400, 960, 2415, 315));
    cboAddress->installEventFilter(this);
    cboAddress->setAccessibleName(QStringLiteral("Connect to (IP/Host name)"));
    cboAddress->setAccessibleDescription(
        QStringLiteral("Type the IP address or host name of the %1 host, or choose one from "
                       "the list, then press Enter")
            .arg(product::kName));
    // A chosen entry puts its address in the box, whatever the entry shows
    // (choosing the current entry again changes no index, but the box's text).
    const auto fillAddress = [this](int index) {
        if (index >= 0) {
            cboAddress->setEditText(cboAddress->itemData(index).toString());
        }
    };
    connect(cboAddress, &QComboBox::currentIndexChanged, this, fillAddress);
    connect(cboAddress, &QComboBox::activated, this, fillAddress);

    cmdConnect = named<QPushButton>("cmdConnect", texts::kConnect, fraConnect);
    cmdConnect->setGeometry(twipsRect(2880, 1440, 1335, 375));
    cmdConnect->setAccessibleDescription(
        QStringLiteral("Connects to or disconnects from the host"));
    connect(cmdConnect, &QPushButton::clicked, this, [this] { m_form.cmdConnect_Click(); });

    auto* Image1 = named<PictureWidget>("Image1", fraConnect);
    Image1->setGeometry(twipsRect(360, 1560, 1920, 1305));
    Image1->setAccessibleName(QStringLiteral("%1 picture").arg(product::kName));
}

void ChatWindow::buildChatPanel(QWidget* client) {
    fraChat = named<QGroupBox>("fraChat", QStringLiteral("Chat"), client);
    fraChat->setGeometry(twipsRect(120, 0, 5415, 3135));

    auto* txtOutput = named<TranscriptView>("txtOutput", fraChat);
    txtOutput->setGeometry(twipsRect(120, 240, 5175, 1695));
    txtOutput->setFont(lucidaConsoleFont(9));
    txtOutput->setReadOnly(true);
    txtOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtOutput->setUndoRedoEnabled(false); // a long conversation must not keep an undo history
    txtOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The scroll bar's own strip is opaque, so that the bar moving under a new
    // line repaints the strip alone and not the Chat frame behind it (which
    // costs more than the line itself).
    txtOutput->verticalScrollBar()->parentWidget()->setAutoFillBackground(true);
    keepReadable(txtOutput, QPalette::Text, QPalette::Base, QColor(0, 0, 255));
    txtOutput->setAccessibleName(QStringLiteral("Conversation"));
    txtOutput->setAccessibleDescription(
        QStringLiteral("The conversation so far, newest at the end"));
    m_transcript = txtOutput;

    txtSend = named<QLineEdit>("txtSend", fraChat);
    txtSend->setGeometry(twipsRect(120, 2280, 4935, 285));
    txtSend->setFont(lucidaConsoleFont(9));
    txtSend->setMaxLength(std::numeric_limits<int>::max()); // never cut a pasted line short
    txtSend->installEventFilter(this);
    txtSend->setAccessibleName(QStringLiteral("Message"));
    txtSend->setAccessibleDescription(
        QStringLiteral("Type a line and press Enter to send it; lines starting with / are "
                       "commands (/help lists them); Up and Down recall earlier lines"));

    auto* Label2 = named<QLabel>("Label2", QStringLiteral("Peers:"), fraChat);
    sizeToCaption(Label2, 240, 2700);

    auto* cboPeers = named<QComboBox>("cboPeers", fraChat);
    cboPeers->setGeometry(twipsRect(720, 2640, 2175, 300));
    cboPeers->setFont(lucidaConsoleFont(9));
    cboPeers->setEnabled(false);
    cboPeers->setAccessibleName(QStringLiteral("Peers"));

    auto* cmdSend = named<QPushButton>("cmdSend", QStringLiteral("Send"), fraChat);
    cmdSend->setGeometry(twipsRect(3480, 2640, 1335, 375));
    cmdSend->setAccessibleDescription(QStringLiteral("Sends the typed line"));
    connect(cmdSend, &QPushButton::clicked, this, [this] { m_form.cmdSend_Click(); });

    QWidget::setTabOrder(cboAddress, cmdConnect);
    QWidget::setTabOrder(cmdConnect, txtSend);
    QWidget::setTabOrder(txtSend, cmdSend);
    QWidget::setTabOrder(cmdSend, txtOutput);
}

void ChatWindow::buildMenus() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, [this] { m_form.mnuExit_Click(); });

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    if (m_side.traits().hasCommandsMenu) {
        QAction* mnuCommands = mnuHelp->addAction(QStringLiteral("&Commands"));
        mnuCommands->setObjectName(QStringLiteral("mnuCommands"));
        connect(mnuCommands, &QAction::triggered, this, [this] { m_form.mnuCommands_Click(); });
    }
    QAction* mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &ChatWindow::mnuAbout_Click);
}

// ---- Controls ---------------------------------------------------------------

void ChatWindow::setOutputText(const QString& text) {
    m_transcript->setText(text);
}

void ChatWindow::appendOutput(const QString& text) {
    m_transcript->append(text);
}

void ChatWindow::scrollOutputToEnd() {
    m_transcript->scrollToEnd();
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

void ChatWindow::setAddressList(const QList<AddressEntry>& entries) {
    const QSignalBlocker quiet(cboAddress);
    const QString typed = cboAddress->currentText();
    const int cursor = cboAddress->lineEdit()->cursorPosition();
    cboAddress->clear();
    for (const AddressEntry& entry : entries) {
        cboAddress->addItem(entry.shown, entry.address);
    }
    cboAddress->setCurrentIndex(-1);
    cboAddress->setEditText(typed);
    cboAddress->lineEdit()->setCursorPosition(cursor);
}

void ChatWindow::showOwnAddresses(const QString& text) {
    if (m_ownAddresses) {
        m_ownAddresses->setText(text);
        m_ownAddresses->setToolTip(text);
        m_ownAddresses->setAccessibleName(text);
    }
}

void ChatWindow::setStatusText(const QString& text) {
    Status->setText(text);
}

void ChatWindow::setCaption(const QString& caption) {
    // "[*]" is Qt's placeholder for the modified mark; a nickname may hold it
    // literally, and Qt shows a doubled placeholder as one literal "[*]".
    QString escaped = caption;
    escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    setWindowTitle(escaped);
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
    box.setWindowTitle(product::kName);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void ChatWindow::doEvents() {
    QCoreApplication::processEvents();
}

void ChatWindow::peerLineArrived(const QString& peerName, const QString& shownLine) {
    if (!isActiveWindow()) {
        QApplication::alert(this);
        m_notifications.notify(peerName, shownLine);
    }
}

void ChatWindow::endProgram() {
    m_ending = true;
    QCoreApplication::exit(0);
}

// ---- window events ------------------------------------------------------------

void ChatWindow::Form_Resize() {
    const auto toTwips = [](QSize pixels) {
        return QSizeF(pixels.width() * double(kTwipsPerPixel),
                      pixels.height() * double(kTwipsPerPixel));
    };
    const QSizeF current = toTwips(fraChat->size());
    const QSizeF panel =
        PanelLayout::resized(current, toTwips(frameGeometry().size()), isMinimized());
    if (panel == current) {
        return;
    }
    const QSize pixels(twipsToPixels(qRound(panel.width())), twipsToPixels(qRound(panel.height())));
    fraChat->resize(pixels);
    fraConnect->resize(pixels);
}

void ChatWindow::mnuAbout_Click() {
    if (!m_about) {
        m_about = std::make_unique<frmAbout>(m_side.traits().aboutClosesOnEsc, m_launcher, this);
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
    if (!m_ending) {
        m_form.Form_Unload();
    }
    event->accept();
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == txtSend) {
            return handleInputKey(key);
        }
        if (watched == cboAddress && enter) {
            m_form.cboAddress_KeyPress(frmClient::kEnter);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool ChatWindow::handleInputKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QString typed = txtSend->text();
        m_form.txtSend_KeyPress(frmClient::kEnter);
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
