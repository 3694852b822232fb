#pragma once

#include "shortcuts/HotKeyBackend.h"

#include <QHash>

#include <map>

// Hot keys that record what is registered; combinations in `taken` are another program's.
class FakeHotKeys final : public HotKeyBackend {
public:
    bool offered = true;
    QList<Shortcut> taken;
    std::map<int, Shortcut> registered;
    QHash<quint32, int> keyboard;  // key code -> unshifted keysym

    bool available() const override { return offered; }
    QString unavailableReason() const override { return QStringLiteral("no desktop"); }
    HotKeyResult add(int id, const QString&, const Shortcut& shortcut) override {
        if (!offered) {
            return {};
        }
        if (taken.contains(shortcut)) {
            return {HotKeyOutcome::taken, 10};
        }
        registered[id] = shortcut;
        return {HotKeyOutcome::registered, 0};
    }
    void remove(int id) override { registered.erase(id); }
    std::optional<int> unshiftedKeysymOfKey(quint32 keyCode) const override {
        return keyboard.contains(keyCode) ? std::optional<int>(keyboard[keyCode]) : std::nullopt;
    }

    // Presses and releases the registered combination.
    void type(const Shortcut& shortcut) {
        for (const auto& [id, held] : registered) {
            if (held == shortcut) {
                emit pressed(id);
                emit released(id);
                return;
            }
        }
    }
    QList<Shortcut> shortcuts() const {
        QList<Shortcut> list;
        for (const auto& [id, shortcut] : registered) {
            list.append(shortcut);
        }
        return list;
    }
};
