#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace jhk {

struct AppState;

// Ctrl+S pressed where it cannot save (a run, a dialog, the block editor) would do nothing at
// all: this says why instead, in a note beside the window the key was pressed in. Watches the
// key presses of the whole program; a Ctrl+S that saves never reaches it (the save command's
// shortcut takes it first).
class SaveKeyNote : public QObject {
public:
    SaveKeyNote(const AppState &app, QWidget *mainWindow);

    // The note last shown, for the tests.
    const QString &lastNote() const { return m_last; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const AppState &m_app;
    QWidget *m_main;
    QString m_last;
};

} // namespace jhk
