#pragma once

#include "IniStore.h"

// One user action that writes many keys of a file saves it once: open a batch
// on the file for the action's duration. commit() saves and reports a failed
// save; a batch left by an exception still saves what was written so far, as
// key-by-key saving would have.
class IniBatch
{
public:
    IniBatch(IniStore& store, QByteArray path) : m_store(store), m_path(std::move(path)) { m_store.beginBatch(m_path); }
    ~IniBatch()
    {
        if (!m_done) {
            try {
                m_store.endBatch(m_path);
            } catch (...) {
            }
        }
    }
    void commit()
    {
        m_done = true;
        m_store.endBatch(m_path);
    }
    IniBatch(const IniBatch&) = delete;
    IniBatch& operator=(const IniBatch&) = delete;

private:
    IniStore& m_store;
    QByteArray m_path;
    bool m_done = false;
};
