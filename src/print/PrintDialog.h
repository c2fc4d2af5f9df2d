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

    // Questions the dialog asks on the way; tests answer them instead of real dialogs. None
    // waits: each opens its window and the answer comes later through the callback.
    struct Questions {
        // Asks for the PDF file to print to when no printer is set up; answers "" when the
        // pupil cancels.
        std::function<void(QWidget *parent, std::function<void(const QString &file)> answer)> pdfFile;
        // The system's printer set-up, working on the dialog's printer; `done` once it closes.
        std::function<void(QWidget *parent, Printer &printer, std::function<void()> done)> printerSetup;
        // A message box with an OK button, left on the screen.
        std::function<void(QWidget *parent, const QString &text)> message;
    };
    void setQuestions(Questions questions) { m_questions = std::move(questions); }

    PrintContents contents() const;
    // The dialog's printer, made (and the print plugin loaded) on first use; null when the
    // plugin is missing, after telling the pupil.
    Printer *printer();

    // "印刷": prints when the machine is being edited and the appearance box is ticked,
    // then closes in every case (once the PDF file asked for is named or not).
    void accept() override;
    // "用紙設定"
    void setUpPrinter();

private:
    static Questions systemQuestions();
    // Prints to `p` (the file chosen, if any, already set) and closes.
    void printAndClose(Printer *p, const PrintContents &contents);
    // Where a message goes that stays up after the dialog has closed.
    QWidget *messageParent();

    PrintSource m_source;
    std::unique_ptr<Printer> m_printer;
    Questions m_questions;
    QCheckBox *m_picture = nullptr;
    QCheckBox *m_numbers = nullptr;
};

// Opens the print dialog over `parent` (the main window's print command).
PrintDialog *showPrintDialog(QWidget *parent, PrintSource source);

} // namespace jhk
