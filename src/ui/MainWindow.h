#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "app/Frontend.h"
#include "ui/MainWindowLayout.h"

namespace dokivo {

class MainModule;
class OperationsModel;
class OperationsListView;
class TrayIcon;
class GeneralSettingsWindow;
class SlotSettingsWindow;
class ReportWindow;

// The main window: the operations list, the run button, the operator code, the menu
// "File" and the notification-area icon. It is also the core's front end: the core shows its
// lines, messages and schedule through it.
class MainWindow final : public QMainWindow, public Frontend {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    // Connects the window to the program's state: the list follows the operations log, the schedule timer and
    // the run button drive the scheduler, the menu opens the settings windows.
    void attach(MainModule& module);

    // The close sequence, run once whichever way the window is closed: the settings windows
    // close, then the closing line, the tracking-file flush and the removal of the tray icon.
    void unload();
    bool isUnloaded() const { return unloaded_; }

    // A left click on the tray icon: the window back to its normal state, in front.
    void showFromTray();
    // "&Visualizza Dokivo", the end of a double click on the icon, and a second start of the
    // program: as showFromTray, and the window becomes the active one.
    void restoreWindow();

    void openGeneralSettings();  // "Parametri Generali"
    void openSlotSettings();     // "Parametri Directory"
    void exitProgram();          // "Esci"
    void confirmReceptionDate();

    // "Verifica configurazione" and "Simula elaborazione": the report in its own window.
    void showConfigurationCheck();
    void showPassSimulation();

    // The settings windows while they are open; null otherwise.
    GeneralSettingsWindow* generalSettingsWindow() const;
    SlotSettingsWindow* slotSettingsWindow() const;
    // The report window while it is open; null otherwise.
    ReportWindow* reportWindow() const;

    // Frontend
    void refreshList() override;
    void showMessage(const QString& text, MessageIcon icon, const QString& title) override;
    void processPendingEvents() override;
    QString operatorCode() const override;
    QString receptionDate() const override;
    void setWindowCaption(const QString& caption) override;
    void showMainWindow() override;
    void setListHorizontalExtent(int pixels) override;
    void addTrayIcon() override;
    void removeTrayIcon() override;
    void requestClose() override;
    void setRunCaption(const QString& caption) override;
    void setTimerEnabled(bool enabled) override;

  Q_SIGNALS:
    // The close sequence has run; the program ends.
    void unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenu();
    void applyLayout();
    void showReport(const QString& caption, const QStringList& lines);
    MainWindowLayout currentLayout() const;

    MainModule* module_ = nullptr;
    bool unloaded_ = false;

    QWidget* client_;
    OperationsListView* operationsList;
    QPushButton* runButton;
    QLabel* operatorCodeLabel;
    QLineEdit* operatorCodeField;
    QLabel* receptionDateLabel;
    QLineEdit* receptionDateField;
    QPushButton* confirmDateButton;
    QTimer* scheduleTimer;

    OperationsModel* model_ = nullptr;
    bool followNewestLine_ = true;
    TrayIcon* tray_ = nullptr;
    QPointer<GeneralSettingsWindow> setupGeneral_;
    QPointer<SlotSettingsWindow> setupSlots_;
    QPointer<ReportWindow> report_;
};

}  // namespace dokivo
