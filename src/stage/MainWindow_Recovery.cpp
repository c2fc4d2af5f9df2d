// Recovery copies: the document commands decide when; the window keeps the clock.
#include "stage/MainWindow.h"

#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace jhk {

namespace {

// A change reaches the recovery copy within this time.
constexpr int RecoveryIntervalMs = 5000;

} // namespace

void MainWindow::enableRecovery(const std::string &folder)
{
    m_commands->enableRecovery(folder);
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setInterval(RecoveryIntervalMs);
    connect(m_recoveryTimer, &QTimer::timeout, this, &MainWindow::keepRecoveryCopy);
    m_recoveryTimer->start();
}

void MainWindow::keepRecoveryCopy() { m_commands->keepRecoveryCopy(); }

bool MainWindow::offerRecovery()
{
    auto restored = std::make_shared<bool>(false);
    m_commands->offerRecovery([restored](bool r) { *restored = r; });
    return *restored;
}

void MainWindow::withTemporaryFolder(const std::function<void(const std::string *)> &use)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    use(folder.isValid() ? &path : nullptr);
}

} // namespace jhk
