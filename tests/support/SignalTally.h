#pragma once

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QSignalSpy>

#include <memory>
#include <utility>
#include <vector>

// Counts the emissions of every signal that `object`'s own class declares, by name.
class SignalTally {
public:
    explicit SignalTally(const QObject& object) {
        const QMetaObject& meta = *object.metaObject();
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Signal) {
                spies_.emplace_back(method.name(), std::make_unique<QSignalSpy>(&object, method));
            }
        }
    }

    int count(const QByteArray& name) const {
        int total = 0;
        for (const auto& [signal, spy] : spies_) {
            total += signal == name ? static_cast<int>(spy->count()) : 0;
        }
        return total;
    }

    int totalExcept(const QByteArray& name) const {
        int total = 0;
        for (const auto& [signal, spy] : spies_) {
            total += signal == name ? 0 : static_cast<int>(spy->count());
        }
        return total;
    }

    void clear() {
        for (auto& entry : spies_) {
            entry.second->clear();
        }
    }

private:
    std::vector<std::pair<QByteArray, std::unique_ptr<QSignalSpy>>> spies_;
};
