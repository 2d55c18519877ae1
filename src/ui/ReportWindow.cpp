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

    copyButton = new QPushButton(QStringLiteral("Copia"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    cmdClose = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(copyButton, &QPushButton::clicked, this, &ReportWindow::copyReport);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
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

void ReportWindow::copyReport() {
    QGuiApplication::clipboard()->setText(text());
}

}  // namespace dokivo
