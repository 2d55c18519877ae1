#include "ui/ReportWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/AppIcon.h"
#include "ui/DesignMetrics.h"

namespace dokivo {

ReportWindow::ReportWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowIcon(applicationIcon());
    setFont(designFont());

    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    // Paths are long, and a line is one problem or one file: never wrapped.
    txtReport->setLineWrapMode(QPlainTextEdit::NoWrap);

    cmdCopy = new QPushButton(QStringLiteral("Copia"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdClose = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdCopy, &QPushButton::clicked, this, &ReportWindow::cmdCopy_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtReport);
    layout->addLayout(buttons);
    resize(760, 360);
}

void ReportWindow::setReport(const QString& caption, const QStringList& lines) {
    setWindowTitle(caption);
    txtReport->setPlainText(lines.join(QLatin1Char('\n')));
}

void ReportWindow::cmdCopy_Click() {
    QGuiApplication::clipboard()->setText(text());
}

}  // namespace dokivo
