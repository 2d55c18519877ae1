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

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("MainWindow"));
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
    connect(tray_, &TrayIcon::restoreRequested, this, &MainWindow::restoreWindow);
    connect(tray_, &TrayIcon::exitRequested, this, &QWidget::close);
}

MainWindow::~MainWindow() {
    delete setupGeneral_.data();
    delete setupSlots_.data();
}

void MainWindow::buildControls() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    QPalette windowPalette = client_->palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    client_->setPalette(windowPalette);
    client_->setAutoFillBackground(true);
    client_->installEventFilter(this);

    operationsList =
        placed(new OperationsListView(client_), "operationsList", twipsRect(120, 120, 6015, 2265));
    QPalette listPalette = operationsList->palette();
    listPalette.setColor(QPalette::Base, kListColour);
    operationsList->setPalette(listPalette);

    runButton = placed(new QPushButton(kCaptionRun, client_), "runButton", twipsRect(240, 2520, 1215, 375));
    operatorCodeLabel = placed(new QLabel(QStringLiteral("Operatore"), client_), "operatorCodeLabel",
                               twipsRect(1920, 2520, 735, 255));
    operatorCodeField = placed(new QLineEdit(client_), "operatorCodeField", twipsRect(2760, 2520, 615, 285));
    operatorCodeField->setMaxLength(3);
    operatorCodeField->setToolTip(kOperatorTooltip);

    // The reception-date group: part of the window, but no operation of the program shows it,
    // so the folder pass always receives an empty reception date.
    receptionDateLabel = placed(new QLabel(QStringLiteral("Data Ricezione"), client_), "receptionDateLabel",
                                twipsRect(3600, 2520, 1215, 255));
    receptionDateField =
        placed(new QLineEdit(client_), "receptionDateField", twipsRect(4800, 2520, 1335, 285));
    receptionDateField->setToolTip(kOperatorTooltip);
    confirmDateButton = placed(new QPushButton(QStringLiteral("Accetta Data"), client_), "confirmDateButton",
                               twipsRect(240, 2760, 1215, 375));
    for (QWidget* hidden :
         {static_cast<QWidget*>(receptionDateLabel), static_cast<QWidget*>(receptionDateField),
          static_cast<QWidget*>(confirmDateButton)})
        hidden->hide();
    connect(confirmDateButton, &QPushButton::clicked, this, &MainWindow::confirmReceptionDate);

    for (QLabel* label : {operatorCodeLabel, receptionDateLabel})
        label->setAutoFillBackground(true);

    setTabOrder(operationsList, runButton);
    setTabOrder(runButton, operatorCodeField);
    setTabOrder(operatorCodeField, confirmDateButton);
    setTabOrder(confirmDateButton, receptionDateField);

    scheduleTimer = new QTimer(this);
    scheduleTimer->setObjectName(QStringLiteral("scheduleTimer"));
    scheduleTimer->setInterval(kScheduleTickMs);
}

void MainWindow::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("file"));
    QAction* File_1 =
        file->addAction(QStringLiteral("Parametri Generali"), this, &MainWindow::openGeneralSettings);
    File_1->setObjectName(QStringLiteral("File_1"));
    QAction* file_3 =
        file->addAction(QStringLiteral("Parametri Directory"), this, &MainWindow::openSlotSettings);
    file_3->setObjectName(QStringLiteral("file_3"));
    QAction* fileCheck = file->addAction(kCheckCaption, this, &MainWindow::showConfigurationCheck);
    fileCheck->setObjectName(QStringLiteral("fileCheck"));
    QAction* fileSimulation = file->addAction(kSimulationCaption, this, &MainWindow::showPassSimulation);
    fileSimulation->setObjectName(QStringLiteral("fileSimulation"));
    QAction* file_2 = file->addAction(QStringLiteral("Esci"), this, &MainWindow::exitProgram);
    file_2->setObjectName(QStringLiteral("file_2"));
}

void MainWindow::attach(MainModule& module) {
    module_ = &module;
    model_ = new OperationsModel(module.operations, this);
    module.operations.setListener(model_);
    operationsList->setModel(model_);
    // The list follows the newest line unless the operator has scrolled away from it.
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = operationsList->verticalScrollBar();
        followNewestLine_ = bar->value() == bar->maximum();
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followNewestLine_)
            operationsList->scrollToBottom();
    });

    connect(scheduleTimer, &QTimer::timeout, this, [this] { scheduleTick(*module_); });
    connect(runButton, &QPushButton::clicked, this, [this] { runButtonPressed(*module_); });
}

// --- Closing -------------------------------------------------------------------------------

void MainWindow::exitProgram() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
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

void MainWindow::unload() {
    if (unloaded_ || !module_)
        return;
    unloaded_ = true;
    scheduleTimer->stop();
    for (QWidget* window : {static_cast<QWidget*>(setupGeneral_), static_cast<QWidget*>(setupSlots_),
                            static_cast<QWidget*>(report_)})
        if (window)
            window->close();
    closeDown(*module_);
    Q_EMIT unloaded();
}

void MainWindow::requestClose() {
    // Queued: the scan driver asks from inside the pass that is ending.
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

// --- Layout, minimising and the tray icon ----------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        applyLayout();
    return QMainWindow::eventFilter(watched, event);
}

MainWindowLayout MainWindow::currentLayout() const {
    return {pixelsToTwips(runButton->y()), pixelsToTwips(operationsList->height()),
            pixelsToTwips(operationsList->width())};
}

void MainWindow::applyLayout() {
    const MainWindowLayout next = layoutForClientArea(pixelsToTwips(client_->height()),
                                                      pixelsToTwips(client_->width()), currentLayout());
    const int top = twipsToPixels(next.bottomRowTop);
    for (QWidget* control :
         {static_cast<QWidget*>(runButton), static_cast<QWidget*>(confirmDateButton),
          static_cast<QWidget*>(operatorCodeLabel), static_cast<QWidget*>(receptionDateLabel),
          static_cast<QWidget*>(operatorCodeField), static_cast<QWidget*>(receptionDateField)})
        control->move(control->x(), top);
    operationsList->resize(twipsToPixels(next.listWidth), twipsToPixels(next.listHeight));
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimised, the window lives on as the tray icon; without a notification area to bring it
    // back from, it stays an ordinary minimised window.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_ && tray_->isShown())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void MainWindow::showFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
}

void MainWindow::restoreWindow() {
    showFromTray();
    activateWindow();
}

// --- Menu and buttons ------------------------------------------------------------------------

void MainWindow::openGeneralSettings() {
    // An open window is only brought forward, with the values still being edited.
    if (!setupGeneral_ || !setupGeneral_->isVisible())
        setupGeneral_ = new GeneralSettingsWindow(*module_);
    bringForward(setupGeneral_);
}

void MainWindow::openSlotSettings() {
    if (!setupSlots_ || !setupSlots_->isVisible())
        setupSlots_ = new SlotSettingsWindow(*module_);
    bringForward(setupSlots_);
}

void MainWindow::showConfigurationCheck() {
    showReport(kCheckCaption,
               configurationReport(module_->settings.iniPath(), configurationProblems(*module_)));
}

void MainWindow::showPassSimulation() {
    showReport(kSimulationCaption, simulatePass(*module_));
}

// One report window: a second report replaces the first one's text.
void MainWindow::showReport(const QString& caption, const QStringList& lines) {
    if (!report_) {
        report_ = new ReportWindow(this);
        report_->setAttribute(Qt::WA_DeleteOnClose);
    }
    report_->setReport(caption, lines);
    bringForward(report_);
}

ReportWindow* MainWindow::reportWindow() const {
    return report_;
}

GeneralSettingsWindow* MainWindow::generalSettingsWindow() const {
    return setupGeneral_;
}

SlotSettingsWindow* MainWindow::slotSettingsWindow() const {
    return setupSlots_;
}

void MainWindow::confirmReceptionDate() {
    confirmDateButton->hide();
    runButton->show();
}

// --- Frontend --------------------------------------------------------------------------------

void MainWindow::refreshList() {
    if (!model_)
        return;
    model_->publish();
    // The core may hold the thread for a whole pass: paint now, not when it returns.
    operationsList->viewport()->repaint();
}

void MainWindow::showMessage(const QString& text, MessageIcon icon, const QString& title) {
    const QMessageBox::Icon boxIcon =
        icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Over the main window, also while it waits hidden in the notification area: a box without
    // a parent is placed wherever the platform likes, often the screen's top-left corner.
    QMessageBox box(boxIcon, title.isEmpty() ? kApplicationTitle : title, shown, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::processPendingEvents() {
    QApplication::processEvents();
}

QString MainWindow::operatorCode() const {
    return operatorCodeField->text();
}

QString MainWindow::receptionDate() const {
    return receptionDateField->text();
}

void MainWindow::setWindowCaption(const QString& caption) {
    setWindowTitle(caption);
}

void MainWindow::showMainWindow() {
    show();
    activateWindow();
    // An unattended pass follows at once and holds the thread: let the window appear first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::setListHorizontalExtent(int pixels) {
    operationsList->setHorizontalExtent(pixels);
}

void MainWindow::addTrayIcon() {
    tray_->add();
}

void MainWindow::removeTrayIcon() {
    tray_->remove();
}

void MainWindow::setRunCaption(const QString& caption) {
    runButton->setText(caption);
}

void MainWindow::setTimerEnabled(bool enabled) {
    if (enabled)
        scheduleTimer->start();
    else
        scheduleTimer->stop();
}

}  // namespace dokivo
