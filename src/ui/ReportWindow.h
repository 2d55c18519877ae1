#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

namespace dokivo {

inline const QString kCheckCaption = QStringLiteral("Verifica configurazione");
inline const QString kSimulationCaption = QStringLiteral("Simula elaborazione");

// A report to read and to pass on: its lines in a read-only text, "Copia" puts them all on the
// clipboard, "Chiudi" closes the window.
class ReportWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit ReportWindow(QWidget* parent = nullptr);

    void setReport(const QString& caption, const QStringList& lines);
    QString text() const { return txtReport->toPlainText(); }

    void copyReport();

  private:
    QPlainTextEdit* txtReport;
    QPushButton* copyButton;
    QPushButton* cmdClose;
};

}  // namespace dokivo
