#include "StartLists.h"

#include "core/AppState.h"
#include "core/Backup.h"
#include "core/Messages.h"
#include "core/Schema.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "core/Texts.h"
#include "widgets/WaitCursor.h"

namespace {

// The day's copy, held while the lists are read, goes on.
void resumeCopy()
{
    if (Backup* copy = dailyCopy())
        copy->resume();
}

} // namespace

StartLists::StartLists()
{
    if (!app().DB)
        return;
    Database* db = app().DB.get();
    try {
        m_upgrading = Schema::storedVersion(*db) < Schema::version();
    } catch (const SqlError&) {
        m_openFailed = true;
        resumeCopy();
        return;
    }
    m_thread.reset(QThread::create([this, db] {
        try {
            completeOpen();
        } catch (const SqlError&) {
            m_openFailed = true;
        }
        try {
            if (!m_openFailed)
                m_lists = MainLists::read(*db);
        } catch (const SqlError&) {
            m_lists.reset();
        }
        m_done = true;
        resumeCopy();
    }));
    m_thread->start();
}

StartLists::~StartLists()
{
    if (m_thread)
        m_thread->wait();
    resumeCopy();
}

std::optional<MainLists> StartLists::take()
{
    if (m_thread) {
        if (m_upgrading) {
            const Backup* copy = dailyCopy();
            Messages::instance().wait(
                GetText(QStringLiteral("Das Register wird für diese Version des Programms umgestellt."), 1744),
                [copy] { return copy && copy->phase() == Backup::Phase::Copying ? copy->progress() : -1; },
                [this] { return m_done.load(); });
        }
        WaitCursor wait;  // when the answer came before the reading was done
        m_thread->wait(); // the thread's writes are seen from here on
    }
    return std::exchange(m_lists, std::nullopt);
}
