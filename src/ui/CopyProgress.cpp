#include "CopyProgress.h"

#include "core/Backup.h"
#include "core/Startup.h"
#include "core/Texts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

CopyProgress::CopyProgress() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmSicherung"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    lblWas = new QLabel(this);
    lblWozu = new QLabel(this);
    lblWozu->setWordWrap(true);
    prgKopie = new QProgressBar(this);
    QFont bold = lblWas->font();
    bold.setBold(true);
    lblWas->setFont(bold);
    layout->addWidget(lblWas);
    layout->addWidget(lblWozu);
    layout->addWidget(prgKopie);
    setFixedWidth(480);

    // Looked at every tenth of a second, the first time after the start window has painted.
    connect(&m_timer, &QTimer::timeout, this, &CopyProgress::follow);
    m_timer.start(100);
}

void CopyProgress::follow()
{
    const Backup* copy = dailyCopy();
    if (!copy || copy->phase() == Backup::Phase::Done) {
        if (isVisible()) {
            hide();
            reportBackupFailure();
        }
        return;
    }
    setWindowTitle(GetText(QStringLiteral("Sicherungskopie"), 1745));
    const bool copying = copy->phase() == Backup::Phase::Copying;
    lblWas->setText(copying ? GetText(QStringLiteral("Die Sicherungskopie des Tages wird angelegt."), 1740)
                            : GetText(QStringLiteral("Die Sicherungskopie des Tages wird geprüft."), 1742));
    lblWozu->setText(copying
                         ? GetText(QStringLiteral("Sie bewahrt den Stand des Registers vor der ersten Änderung des "
                                                  "Tages. Änderungen warten, bis sie vollständig ist."),
                                   1741)
                         : GetText(QStringLiteral("Sie ist vollständig: Änderungen werden wieder gespeichert."), 1746));
    if (copying) {
        prgKopie->setRange(0, 1000);
        prgKopie->setValue(static_cast<int>(copy->progress() * 1000));
    } else {
        prgKopie->setRange(0, 0); // busy
    }
    if (!isVisible()) {
        adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center().x() - width() / 2, area.bottom() - height() - 48);
        }
        show();
    }
}
