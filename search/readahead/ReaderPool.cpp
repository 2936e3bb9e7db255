#include "search/readahead/ReaderPool.h"

#include "search/Limits.h"

void CReaderPool::Run(void* reader) {
    auto& self = *static_cast<Reader*>(reader);
    self.pool->routine(self.pool->owner, self.self);
}

void CReaderPool::StartUpTo(int count) {
    if (count > kMaxReaders) count = kMaxReaders;
    while (!refused && started.load() < count) {
        int self = started.load();
        Reader& reader = readers[self];
        reader.pool = this;
        reader.self = self;
        reader.state = kAwake;
        awake.fetch_add(1);
        if (!reader.thread.Start(Run, &reader, limits::kThreadStackBytes)) {
            awake.fetch_sub(1);
            refused = true;
            return;
        }
        started.fetch_add(1);
    }
}

void CReaderPool::Stop() {
    stopping = true;
    int count = started.load();
    for (int i = 0; i < count; ++i) WakeAt(i);
    for (int i = 0; i < count; ++i) readers[i].thread.Join();
    started = 0;
}

bool CReaderPool::WakeAt(int self) {
    std::atomic<int>& state = readers[self].state;
    int expected = kAsleep;
    if (!state.compare_exchange_strong(expected, kAwake)) return false;
    awake.fetch_add(1);
    readers[self].wakes.Wake();
    return true;
}

bool CReaderPool::WakeOne(int limit) {
    int count = Started();
    if (limit > count) limit = count;
    for (int i = 0; i < limit; ++i) {
        if (readers[i].state.load() == kAsleep && WakeAt(i)) return true;
    }
    return false;
}
