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
class frm_setuputente;
class frm_setuputente2;
class ReportWindow;

// Form1, the main window: the operations list, the run button, the operator code, the menu
// "File" and the notification-area icon. It is also the core's front end: the core shows its
// lines, messages and schedule through it.
class Form1 final : public QMainWindow, public Frontend {
    Q_OBJECT
  public:
    Form1();
    ~Form1() override;

    // Connects the window to the program's state: List1 follows the operations log, Timer1 and
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

    void File_1_Click();  // "Parametri Generali"
    void file_3_Click();  // "Parametri Directory"
    void file_2_Click();  // "Esci"
    void cmdokdata_Click();

    // "Verifica configurazione" and "Simula elaborazione": the report in its own window.
    void fileCheck_Click();
    void fileSimulation_Click();

    // The settings windows while they are open; null otherwise.
    frm_setuputente* generalSettingsWindow() const;
    frm_setuputente2* slotSettingsWindow() const;
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
    void Form_Resize();
    void showReport(const QString& caption, const QStringList& lines);
    MainWindowLayout currentLayout() const;

    MainModule* module_ = nullptr;
    bool unloaded_ = false;

    QWidget* client_;
    OperationsListView* List1;
    QPushButton* cmdRun;
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* cmdokdata;
    QTimer* Timer1;

    OperationsModel* model_ = nullptr;
    bool followNewestLine_ = true;
    TrayIcon* tray_ = nullptr;
    QPointer<frm_setuputente> setupGeneral_;
    QPointer<frm_setuputente2> setupSlots_;
    QPointer<ReportWindow> report_;
};

}  // namespace dokivo
