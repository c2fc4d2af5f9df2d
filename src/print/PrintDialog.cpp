#include "print/PrintDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>

namespace jhk {

PrintDialog::PrintDialog(PrintSource source, QWidget *parent)
    : QDialog(parent), m_source(std::move(source)), m_questions(systemQuestions())
{
    setObjectName(QStringLiteral("frmPrintDialog"));
    setWindowTitle(QStringLiteral("印刷"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(320, 115);

    auto *frame = new QGroupBox(QStringLiteral("プリント内容の設定"), this);
    frame->setObjectName(QStringLiteral("FramePrintSetting"));
    frame->setGeometry(0, 8, 225, 97);
    m_picture = new QCheckBox(QStringLiteral("自動販売機外観のプリント"), frame);
    m_picture->setObjectName(QStringLiteral("chkPictPrint"));
    m_picture->setGeometry(16, 16, 193, 33);
    m_picture->setChecked(true);
    m_numbers = new QCheckBox(QStringLiteral("パーツ番号の印刷"), frame);
    m_numbers->setObjectName(QStringLiteral("chkNumPrint"));
    m_numbers->setGeometry(40, 40, 153, 25);
    m_numbers->setChecked(true);

    auto *setup = new QPushButton(QStringLiteral("用紙設定"), this);
    setup->setObjectName(QStringLiteral("cmdPSetting"));
    setup->setGeometry(240, 16, 73, 25);
    setup->setAutoDefault(false);
    connect(setup, &QPushButton::clicked, this, &PrintDialog::setUpPrinter);

    // Escape closes the dialog through reject(), as the Cancel button does.
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(240, 48, 73, 25);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *ok = new QPushButton(QStringLiteral("印刷"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(240, 80, 73, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

PrintDialog::Questions PrintDialog::systemQuestions()
{
    Questions q;
    q.pdfFile = [](QWidget *parent) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("PDFファイルに印刷"), QStringLiteral("jihanki.pdf"),
                                            QStringLiteral("PDFファイル (*.pdf)"));
    };
    q.printerSetup = [](QWidget *parent, Printer &printer) { printer.showSetup(parent); };
    q.message = [](QWidget *parent, const QString &text) {
        QMessageBox::warning(parent, QStringLiteral("印刷"), text);
    };
    return q;
}

PrintContents PrintDialog::contents() const
{
    return {m_picture->isChecked(), m_numbers->isChecked()};
}

Printer *PrintDialog::printer()
{
    if (!m_printer) {
        QString error;
        m_printer = createPrinter(PrinterOutput::System, &error);
        if (!m_printer)
            m_questions.message(this, error);
    }
    return m_printer.get();
}

void PrintDialog::setUpPrinter()
{
    if (Printer *p = printer())
        m_questions.printerSetup(this, *p);
}

void PrintDialog::accept()
{
    const PrintContents c = contents();
    Printer *p = printRequested(m_source.machine, c) ? printer() : nullptr;
    if (p) {
        // Without a printer the page goes to a PDF file the pupil names.
        bool go = true;
        if (p->printsToFile() && p->outputFileName().isEmpty()) {
            QString file = m_questions.pdfFile(this);
            if (!file.isEmpty() && !file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
                file += QStringLiteral(".pdf");
            if (!file.isEmpty())
                p->setOutputFileName(file);
            go = !file.isEmpty();
        }
        if (go) {
            p->setDocumentName(QStringLiteral("ジハンコウボウ"));
            const QString failure = printMachine(*p, m_source, c.numbers);
            if (!failure.isEmpty())
                m_questions.message(this, failure);
        }
    }
    QDialog::accept();
}

PrintDialog *showPrintDialog(QWidget *parent, PrintSource source)
{
    auto *dialog = new PrintDialog(std::move(source), parent);
    dialog->show();
    return dialog;
}

} // namespace jhk
