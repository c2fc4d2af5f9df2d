// Recovery copies: the window only decides when; the store keeps, finds and restores them.
#include "stage/MainWindow.h"

#include <QTemporaryDir>
#include <QTimer>

namespace jhk {

namespace {

// A change reaches the recovery copy within this time.
constexpr int RecoveryIntervalMs = 5000;

} // namespace

void MainWindow::enableRecovery(const std::string &folder)
{
    m_recovery = std::make_unique<RecoveryStore>(folder);
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setInterval(RecoveryIntervalMs);
    connect(m_recoveryTimer, &QTimer::timeout, this, &MainWindow::keepRecoveryCopy);
    m_recoveryTimer->start();
}

void MainWindow::keepRecoveryCopy()
{
    // During a run the tables hold the run's values; the copy keeps the machine as edited.
    if (!m_recovery || m_machine.app.RunMode != ModeEditing)
        return;
    if (!m_saved.hasUnsavedChanges(m_machine)) {
        m_recovery->discard();
        return;
    }
    // A copy that cannot be written is tried again at the next tick; the store says once
    // that copies cannot be written now.
    m_recovery->keep(m_machine, [this] { return m_painted.bitmaps(); });
    for (const std::string &notice : m_recovery->takeNotices())
        m_ui->message(notice, MessageIcon::Exclamation);
}

bool MainWindow::offerRecovery()
{
    if (!m_recovery || m_machine.app.RunMode != ModeEditing)
        return false;
    auto left = m_recovery->claimLeftCopy();
    for (const std::string &notice : m_recovery->takeNotices())
        m_ui->message(notice, MessageIcon::Exclamation);
    if (!left)
        return false;
    if (m_ui->ask(recoveryQuestion(left->madeAt()), MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes) {
        left->remove();
        return false;
    }
    bool restored = false;
    const RecoveryRead read = left->read();
    if (!read.machine) {
        m_ui->message(read.message, MessageIcon::Critical);
    } else {
        // Opened like a document, so pictures, labels and the level panel come back the same
        // way; but it stays a machine with unsaved changes.
        QTemporaryDir unpacked;
        const auto path = unpacked.isValid() ? read.machine->unpack(unpacked.path().toStdString()) : std::nullopt;
        if (!path) {
            m_ui->message(std::string(DamagedRecoveryMessage) + "\n一時フォルダに書き込めません。", MessageIcon::Critical);
        } else {
            const auto before = std::make_unique<Machine>(m_machine);
            restored = openFile(*path);
            if (restored) {
                m_saved.markSaved(*before);
                keepRecoveryCopy();
            }
        }
    }
    left->remove();
    return restored;
}

} // namespace jhk
