#include "shortcuts/KeyboardShortcuts.h"

#include "shortcuts/ShortcutText.h"

#include <cstdio>

KeyboardShortcuts::KeyboardShortcuts(SettingsFile& defaults, std::unique_ptr<HotKeyBackend> backend,
                                     QObject* parent)
    : QObject(parent), store_(defaults), backend_(std::move(backend)) {
    connect(backend_.get(), &HotKeyBackend::pressed, this, [this](int id) { run(id, true); });
    connect(backend_.get(), &HotKeyBackend::released, this, [this](int id) { run(id, false); });
    connect(backend_.get(), &HotKeyBackend::settled, this, [this](int id, HotKeyResult result) {
        if (Entry* found = entryWithHotKey(id)) {
            found->result = result;
            emit shortcutChanged(found->name.rawValue);
        }
    });
    connect(backend_.get(), &HotKeyBackend::renewalNeeded, this, [this] {
        if (!recorderActive()) {
            unregisterAll();
            registerAll();
        }
    });
}

KeyboardShortcuts::~KeyboardShortcuts() {
    unregisterAll();
}

KeyboardShortcuts::Entry& KeyboardShortcuts::entry(const ShortcutName& name) {
    auto found = entries_.find(name.rawValue);
    if (found == entries_.end()) {
        found = entries_.insert(name.rawValue, Entry{name, {}, {}, {}, {}, {}});
    }
    return *found;
}

void KeyboardShortcuts::onKeyDown(const ShortcutName& name, Action action) {
    Entry& added = entry(name);
    added.keyDown.push_back(std::move(action));
    registerName(added);
}

void KeyboardShortcuts::onKeyUp(const ShortcutName& name, Action action) {
    Entry& added = entry(name);
    added.keyUp.push_back(std::move(action));
    registerName(added);
}

std::optional<Shortcut> KeyboardShortcuts::getShortcut(const ShortcutName& name) const {
    return store_.shortcut(name);
}

void KeyboardShortcuts::setShortcut(const std::optional<Shortcut>& shortcut,
                                    const ShortcutName& name) {
    store_.setShortcut(shortcut, name);
    Entry& changed = entry(name);
    registerName(changed, true);
    emit shortcutChanged(name.rawValue);
}

std::optional<HotKeyResult> KeyboardShortcuts::registration(const QString& rawValue) const {
    const auto found = entries_.constFind(rawValue);
    return found == entries_.constEnd() ? std::nullopt : found->result;
}

std::optional<QString> KeyboardShortcuts::nameUsing(const Shortcut& shortcut,
                                                    const QString& except) const {
    for (const Entry& other : entries_) {
        if (other.name.rawValue != except && store_.shortcut(other.name) == shortcut) {
            return other.name.rawValue;
        }
    }
    return std::nullopt;
}

void KeyboardShortcuts::registerName(Entry& entry, bool again) {
    const auto shortcut = store_.shortcut(entry.name);
    if (!again && entry.hotKeyId && entry.registered == shortcut) {
        return;
    }
    unregisterName(entry);
    if (!shortcut || (entry.keyDown.empty() && entry.keyUp.empty()) || recorderActive()) {
        return;
    }
    const int id = nextHotKeyId_++;
    entry.hotKeyId = id;
    entry.registered = shortcut;
    entry.result = backend_->add(id, entry.name.rawValue, *shortcut);
    const HotKeyOutcome outcome = entry.result->outcome;
    if (outcome == HotKeyOutcome::taken || outcome == HotKeyOutcome::noKey ||
        outcome == HotKeyOutcome::failed) {
        std::printf("Error registering hotkey %s: %d\n", qPrintable(shortcutText(*shortcut)),
                    entry.result->status);
        std::fflush(stdout);
    }
}

void KeyboardShortcuts::unregisterName(Entry& entry) {
    if (entry.hotKeyId) {
        backend_->remove(*entry.hotKeyId);
    }
    entry.hotKeyId.reset();
    entry.registered.reset();
    entry.result.reset();
}

void KeyboardShortcuts::registerAll() {
    for (Entry& each : entries_) {
        registerName(each);
        emit shortcutChanged(each.name.rawValue);
    }
}

void KeyboardShortcuts::unregisterAll() {
    for (Entry& each : entries_) {
        unregisterName(each);
    }
}

KeyboardShortcuts::Entry* KeyboardShortcuts::entryWithHotKey(int id) {
    for (Entry& each : entries_) {
        if (each.hotKeyId == id) {
            return &each;
        }
    }
    return nullptr;
}

void KeyboardShortcuts::run(int id, bool down) {
    const Entry* found = entryWithHotKey(id);
    if (!found) {
        return;  // a press of a registration already replaced
    }
    // An action may change the shortcuts: run a copy of the list.
    const std::vector<Action> actions = down ? found->keyDown : found->keyUp;
    for (const Action& action : actions) {
        action();
    }
}

void KeyboardShortcuts::setRecorderActive(const QObject* recorder, bool active) {
    const bool wasActive = recorderActive();
    if (active) {
        activeRecorders_.insert(recorder);
    } else {
        activeRecorders_.remove(recorder);
    }
    if (wasActive == recorderActive()) {
        return;
    }
    if (recorderActive()) {
        unregisterAll();
        for (const Entry& each : entries_) {
            emit shortcutChanged(each.name.rawValue);
        }
    } else {
        registerAll();
    }
}
