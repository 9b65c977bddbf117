#include "StartLists.h"

#include "core/AppState.h"
#include "core/SqlError.h"

StartLists::StartLists()
{
    if (!app().DB)
        return;
    Database* db = app().DB.get();
    m_thread.reset(QThread::create([this, db] {
        try {
            m_lists = MainLists::read(*db);
        } catch (const SqlError&) {
            m_lists.reset();
        }
    }));
    m_thread->start();
}

StartLists::~StartLists()
{
    if (m_thread)
        m_thread->wait();
}

std::optional<MainLists> StartLists::take()
{
    if (m_thread)
        m_thread->wait(); // the thread's writes are seen from here on
    return std::exchange(m_lists, std::nullopt);
}
