#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>

#include "app/ConfigurationCheck.h"
#include "app/MainModule.h"
#include "app/PassSimulation.h"
#include "app/Startup.h"
#include "scan/Scheduler.h"
#include "ui/AppIcon.h"
#include "ui/DesignMetrics.h"
#include "ui/GeneralSettingsWindow.h"
#include "ui/OperationsListView.h"
#include "ui/OperationsModel.h"
#include "ui/ReportWindow.h"
#include "ui/SlotSettingsWindow.h"
#include "ui/TrayIcon.h"

namespace dokivo {

namespace {

const QColor kWindowColour(0, 192, 192);
const QColor kListColour(192, 192, 192);
const QString kOperatorTooltip = QStringLiteral("Inserire Sigla ORIT operatore di scansione");
constexpr int kDesignClientWidth = 6330;
constexpr int kDesignClientHeight = 3075;

template <typename W>
W* placed(W* widget, const char* name, QRect twips) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twips);
    return widget;
}

// Shows a settings window modeless, in front of the others.
void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

Form1::Form1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(applicationIcon());
    setFont(designFont());
    buildControls();
    buildMenu();
    resize(twipsToPixels(kDesignClientWidth),
           twipsToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());

    tray_ = new TrayIcon(windowIcon(), this);
    connect(tray_, &TrayIcon::showRequested, this, [this](TrayAction action) {
        showFromTray();
        if (action == TrayAction::ShowAndRestoreWindow)
            restoreWindow();
    });
    connect(tray_, &TrayIcon::restoreRequested, this, &Form1::restoreWindow);
    connect(tray_, &TrayIcon::exitRequested, this, &QWidget::close);
}

Form1::~Form1() {
    delete setupGeneral_.data();
    delete setupSlots_.data();
}

void Form1::buildControls() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    QPalette windowPalette = client_->palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    client_->setPalette(windowPalette);
    client_->setAutoFillBackground(true);
    client_->installEventFilter(this);

    List1 = placed(new OperationsListView(client_), "List1", twipsRect(120, 120, 6015, 2265));
    QPalette listPalette = List1->palette();
    listPalette.setColor(QPalette::Base, kListColour);
    List1->setPalette(listPalette);

    cmdRun = placed(new QPushButton(kCaptionRun, client_), "cmdRun", twipsRect(240, 2520, 1215, 375));
    Label1 =
        placed(new QLabel(QStringLiteral("Operatore"), client_), "Label1", twipsRect(1920, 2520, 735, 255));
    Text1 = placed(new QLineEdit(client_), "Text1", twipsRect(2760, 2520, 615, 285));
    Text1->setMaxLength(3);
    Text1->setToolTip(kOperatorTooltip);

    // The reception-date group: part of the window, but no operation of the program shows it,
    // so the folder pass always receives an empty reception date.
    Label2 = placed(new QLabel(QStringLiteral("Data Ricezione"), client_), "Label2",
                    twipsRect(3600, 2520, 1215, 255));
    Text2 = placed(new QLineEdit(client_), "Text2", twipsRect(4800, 2520, 1335, 285));
    Text2->setToolTip(kOperatorTooltip);
    cmdokdata = placed(new QPushButton(QStringLiteral("Accetta Data"), client_), "cmdokdata",
                       twipsRect(240, 2760, 1215, 375));
    for (QWidget* hidden :
         {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text2), static_cast<QWidget*>(cmdokdata)})
        hidden->hide();
    connect(cmdokdata, &QPushButton::clicked, this, &Form1::cmdokdata_Click);

    for (QLabel* label : {Label1, Label2})
        label->setAutoFillBackground(true);

    setTabOrder(List1, cmdRun);
    setTabOrder(cmdRun, Text1);
    setTabOrder(Text1, cmdokdata);
    setTabOrder(cmdokdata, Text2);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1IntervalMs);
}

void Form1::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("file"));
    QAction* File_1 = file->addAction(QStringLiteral("Parametri Generali"), this, &Form1::File_1_Click);
    File_1->setObjectName(QStringLiteral("File_1"));
    QAction* file_3 = file->addAction(QStringLiteral("Parametri Directory"), this, &Form1::file_3_Click);
    file_3->setObjectName(QStringLiteral("file_3"));
    QAction* fileCheck = file->addAction(kCheckCaption, this, &Form1::fileCheck_Click);
    fileCheck->setObjectName(QStringLiteral("fileCheck"));
    QAction* fileSimulation = file->addAction(kSimulationCaption, this, &Form1::fileSimulation_Click);
    fileSimulation->setObjectName(QStringLiteral("fileSimulation"));
    QAction* file_2 = file->addAction(QStringLiteral("Esci"), this, &Form1::file_2_Click);
    file_2->setObjectName(QStringLiteral("file_2"));
}

void Form1::attach(MainModule& module) {
    module_ = &module;
    model_ = new OperationsModel(module.operations, this);
    module.operations.setListener(model_);
    List1->setModel(model_);
    // The list follows the newest line unless the operator has scrolled away from it.
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = List1->verticalScrollBar();
        followNewestLine_ = bar->value() == bar->maximum();
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followNewestLine_)
            List1->scrollToBottom();
    });

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(*module_); });
    connect(cmdRun, &QPushButton::clicked, this, [this] { cmdRun_Click(*module_); });
}

// --- Closing -------------------------------------------------------------------------------

void Form1::file_2_Click() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // A close during a pass (the pass lets window events run while it waits for the encryption
    // tool) takes effect when the pass ends: the scan driver then asks for it again.
    if (module_ && module_->pass_running) {
        module_->close_pending = true;
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

void Form1::unload() {
    if (unloaded_ || !module_)
        return;
    unloaded_ = true;
    Timer1->stop();
    for (QWidget* window : {static_cast<QWidget*>(setupGeneral_), static_cast<QWidget*>(setupSlots_),
                            static_cast<QWidget*>(report_)})
        if (window)
            window->close();
    Form_Unload(*module_);
    Q_EMIT unloaded();
}

void Form1::requestClose() {
    // Queued: the scan driver asks from inside the pass that is ending.
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

// --- Layout, minimising and the tray icon ----------------------------------------------------

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

MainWindowLayout Form1::currentLayout() const {
    return {pixelsToTwips(cmdRun->y()), pixelsToTwips(List1->height()), pixelsToTwips(List1->width())};
}

void Form1::Form_Resize() {
    const MainWindowLayout next = layoutForClientArea(pixelsToTwips(client_->height()),
                                                      pixelsToTwips(client_->width()), currentLayout());
    const int top = twipsToPixels(next.bottomRowTop);
    for (QWidget* control :
         {static_cast<QWidget*>(cmdRun), static_cast<QWidget*>(cmdokdata), static_cast<QWidget*>(Label1),
          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)})
        control->move(control->x(), top);
    List1->resize(twipsToPixels(next.listWidth), twipsToPixels(next.listHeight));
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimised, the window lives on as the tray icon; without a notification area to bring it
    // back from, it stays an ordinary minimised window.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_ && tray_->isShown())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void Form1::showFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
}

void Form1::restoreWindow() {
    showFromTray();
    activateWindow();
}

// --- Menu and buttons ------------------------------------------------------------------------

void Form1::File_1_Click() {
    // An open window is only brought forward, with the values still being edited.
    if (!setupGeneral_ || !setupGeneral_->isVisible())
        setupGeneral_ = new frm_setuputente(*module_);
    bringForward(setupGeneral_);
}

void Form1::file_3_Click() {
    if (!setupSlots_ || !setupSlots_->isVisible())
        setupSlots_ = new frm_setuputente2(*module_);
    bringForward(setupSlots_);
}

void Form1::fileCheck_Click() {
    showReport(kCheckCaption,
               configurationReport(module_->settings.iniPath(), configurationProblems(*module_)));
}

void Form1::fileSimulation_Click() {
    showReport(kSimulationCaption, simulatePass(*module_));
}

// One report window: a second report replaces the first one's text.
void Form1::showReport(const QString& caption, const QStringList& lines) {
    if (!report_) {
        report_ = new ReportWindow(this);
        report_->setAttribute(Qt::WA_DeleteOnClose);
    }
    report_->setReport(caption, lines);
    bringForward(report_);
}

ReportWindow* Form1::reportWindow() const {
    return report_;
}

frm_setuputente* Form1::generalSettingsWindow() const {
    return setupGeneral_;
}

frm_setuputente2* Form1::slotSettingsWindow() const {
    return setupSlots_;
}

void Form1::cmdokdata_Click() {
    cmdokdata->hide();
    cmdRun->show();
}

// --- Frontend --------------------------------------------------------------------------------

void Form1::refreshList() {
    if (!model_)
        return;
    model_->publish();
    // The core may hold the thread for a whole pass: paint now, not when it returns.
    List1->viewport()->repaint();
}

void Form1::showMessage(const QString& text, MessageIcon icon, const QString& title) {
    const QMessageBox::Icon boxIcon =
        icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Over the main window, also while it waits hidden in the notification area: a box without
    // a parent is placed wherever the platform likes, often the screen's top-left corner.
    QMessageBox box(boxIcon, title.isEmpty() ? kApplicationTitle : title, shown, QMessageBox::Ok, this);
    box.exec();
}

void Form1::processPendingEvents() {
    QApplication::processEvents();
}

QString Form1::operatorCode() const {
    return Text1->text();
}

QString Form1::receptionDate() const {
    return Text2->text();
}

void Form1::setWindowCaption(const QString& caption) {
    setWindowTitle(caption);
}

void Form1::showMainWindow() {
    show();
    activateWindow();
    // An unattended pass follows at once and holds the thread: let the window appear first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form1::setListHorizontalExtent(int pixels) {
    List1->setHorizontalExtent(pixels);
}

void Form1::addTrayIcon() {
    tray_->add();
}

void Form1::removeTrayIcon() {
    tray_->remove();
}

void Form1::setRunCaption(const QString& caption) {
    cmdRun->setText(caption);
}

void Form1::setTimerEnabled(bool enabled) {
    if (enabled)
        Timer1->start();
    else
        Timer1->stop();
}

}  // namespace dokivo
