#include "print/PrintDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <memory>
#include <utility>

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
    q.pdfFile = [](QWidget *parent, std::function<void(const QString &)> answer) {
        auto *files = new QFileDialog(parent, QStringLiteral("PDFファイルに印刷"), QStringLiteral("jihanki.pdf"),
                                      QStringLiteral("PDFファイル (*.pdf)"));
        files->setAcceptMode(QFileDialog::AcceptSave);
        files->setAttribute(Qt::WA_DeleteOnClose);
        // Answered once, whichever way the window closes.
        auto answered = std::make_shared<bool>(false);
        const auto reply = [answer = std::move(answer), answered](const QString &file) {
            if (!std::exchange(*answered, true))
                answer(file);
        };
        QObject::connect(files, &QFileDialog::fileSelected, files, reply);
        QObject::connect(files, &QDialog::rejected, files, [reply] { reply(QString()); });
        files->open();
    };
    q.printerSetup = [](QWidget *parent, Printer &printer, std::function<void()> done) {
        printer.showSetup(parent, std::move(done));
    };
    q.message = [](QWidget *parent, const QString &text) {
        auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("印刷"), text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    return q;
}

QWidget *PrintDialog::messageParent()
{
    return parentWidget() ? parentWidget() : this;
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
            m_questions.message(messageParent(), error);
    }
    return m_printer.get();
}

void PrintDialog::setUpPrinter()
{
    if (Printer *p = printer())
        m_questions.printerSetup(this, *p, [] {});
}

void PrintDialog::accept()
{
    const PrintContents c = contents();
    Printer *p = printRequested(m_source.machine, c) ? printer() : nullptr;
    // Without a printer the page goes to a PDF file the pupil names.
    if (p && p->printsToFile() && p->outputFileName().isEmpty()) {
        m_questions.pdfFile(this, [self = QPointer<PrintDialog>(this), p, c](const QString &answer) {
            if (!self)
                return;
            QString file = answer;
            if (!file.isEmpty() && !file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
                file += QStringLiteral(".pdf");
            if (!file.isEmpty())
                p->setOutputFileName(file);
            self->printAndClose(file.isEmpty() ? nullptr : p, c);
        });
        return;
    }
    printAndClose(p, c);
}

void PrintDialog::printAndClose(Printer *p, const PrintContents &contents)
{
    if (p) {
        p->setDocumentName(QStringLiteral("ジハンコウボウ"));
        const QString failure = printMachine(*p, m_source, contents.numbers);
        if (!failure.isEmpty())
            m_questions.message(messageParent(), failure);
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
