#pragma once

#include "print/MachinePrintout.h"
#include "print/Printer.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QPushButton;

namespace jhk {

// The print dialog frmPrintDialog: what to print, the printer set-up and OK / Cancel. It is
// shown without being modal and deletes itself when closed, so each opening starts afresh.
class PrintDialog : public QDialog {
    Q_OBJECT
public:
    PrintDialog(PrintSource source, QWidget *parent = nullptr);

    // Questions the dialog asks on the way; tests answer them instead of real dialogs.
    struct Questions {
        // The PDF file to print to when no printer is set up; "" when the pupil cancels.
        std::function<QString(QWidget *parent)> pdfFile;
        // The system's printer set-up, working on the dialog's printer.
        std::function<void(QWidget *parent, Printer &printer)> printerSetup;
        // A message box with an OK button.
        std::function<void(QWidget *parent, const QString &text)> message;
    };
    void setQuestions(Questions questions) { m_questions = std::move(questions); }

    PrintContents contents() const;
    // The dialog's printer, made (and the print plugin loaded) on first use; null when the
    // plugin is missing, after telling the pupil.
    Printer *printer();

    // "印刷": prints when the machine is being edited and the appearance box is ticked,
    // then closes in every case.
    void accept() override;
    // "用紙設定"
    void setUpPrinter();

private:
    static Questions systemQuestions();

    PrintSource m_source;
    std::unique_ptr<Printer> m_printer;
    Questions m_questions;
    QCheckBox *m_picture = nullptr;
    QCheckBox *m_numbers = nullptr;
};

// Opens the print dialog over `parent` (the main window's print command).
PrintDialog *showPrintDialog(QWidget *parent, PrintSource source);

} // namespace jhk
